#include "net/FrameCodec.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kelpo;

namespace {

QByteArray header(std::uint32_t n)
{
    QByteArray h;
    for (int shift = 24; shift >= 0; shift -= 8)
        h.append(static_cast<char>((n >> shift) & 0xFF));
    return h;
}

QByteArray framed(const QByteArray& message)
{
    QByteArray out;
    EXPECT_TRUE(AppendFrame(out, message));
    return out;
}

std::vector<QByteArray> drain(FrameDecoder& d)
{
    std::vector<QByteArray> out;
    while (d.hasMessage())
        out.push_back(d.takeMessage());
    return out;
}

} // namespace

TEST(FrameCodec, EncodesLengthThenBytes)
{
    EXPECT_EQ(framed("ab"), header(2) + "ab");
    QByteArray out("keep");
    EXPECT_FALSE(AppendFrame(out, QByteArray()));
    EXPECT_FALSE(AppendFrame(out, QByteArray(MaxFrameLength + 1, 'x')));
    EXPECT_EQ(out, QByteArray("keep"));
    EXPECT_TRUE(AppendFrame(out, QByteArray(MaxFrameLength, 'x')));
    EXPECT_EQ(out.size(), 4 + 4 + static_cast<qsizetype>(MaxFrameLength));
}

TEST(FrameCodec, AnySplitOfTwoMessagesGivesBothWhole)
{
    const QByteArray first = QByteArray::fromHex("8200") + "300`KELPO`1";
    const QByteArray second = QByteArray::fromHex("14000000");
    const QByteArray stream = framed(first) + framed(second);
    for (qsizetype cut = 0; cut <= stream.size(); ++cut) {
        FrameDecoder d;
        ASSERT_TRUE(d.feed(QByteArrayView(stream).first(cut)));
        ASSERT_TRUE(d.feed(QByteArrayView(stream).sliced(cut)));
        EXPECT_EQ(drain(d), (std::vector<QByteArray>{first, second})) << "cut at " << cut;
        EXPECT_EQ(d.pendingBytes(), 0);
    }
    FrameDecoder bytewise;
    std::vector<QByteArray> got;
    for (char c : stream) {
        ASSERT_TRUE(bytewise.feed(QByteArrayView(&c, 1)));
        for (auto& m : drain(bytewise))
            got.push_back(m);
    }
    EXPECT_EQ(got, (std::vector<QByteArray>{first, second}));
}

TEST(FrameCodec, ManyFramesInOneRead)
{
    QByteArray stream;
    std::vector<QByteArray> sent;
    for (int i = 1; i <= 500; ++i) {
        sent.push_back(QByteArray(i % 37 + 1, static_cast<char>(i)));
        stream += framed(sent.back());
    }
    FrameDecoder d;
    ASSERT_TRUE(d.feed(stream));
    EXPECT_EQ(d.pendingBytes(), stream.size() - 4 * 500);
    EXPECT_EQ(drain(d), sent);
}

TEST(FrameCodec, LongestFrameIsAccepted)
{
    const QByteArray big(MaxFrameLength, 'k');
    FrameDecoder d;
    ASSERT_TRUE(d.feed(framed(big)));
    ASSERT_TRUE(d.hasMessage());
    EXPECT_EQ(d.takeMessage(), big);
    EXPECT_FALSE(d.broken());
}

TEST(FrameCodec, BadLengthBreaksTheStreamAtItsHeader)
{
    for (std::uint32_t bad : {0u, MaxFrameLength + 1, 0xFFFFFFFFu}) {
        FrameDecoder d;
        const QByteArray good = framed("ok");
        // The header arrives alone: the break is seen before any body byte.
        ASSERT_TRUE(d.feed(good + header(bad).left(3)));
        EXPECT_FALSE(d.broken());
        EXPECT_FALSE(d.feed(header(bad).right(1)));
        EXPECT_TRUE(d.broken());
        // Whatever follows is never turned into messages.
        EXPECT_FALSE(d.feed(framed("after")));
        EXPECT_EQ(drain(d), std::vector<QByteArray>{QByteArray("ok")}) << bad;
    }
}
