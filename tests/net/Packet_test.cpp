#include "net/Packet.h"

#include <gtest/gtest.h>

using namespace kelpo;

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

} // namespace

TEST(Packet, BuildsHeaderThenBody)
{
    QByteArray header(18, '\x7f');
    header[0] = static_cast<char>(130);
    header[1] = 0;
    QByteArray packet("stale");
    ASSERT_TRUE(BuildPacket(QStringLiteral("ab"), packet, 2, header));
    EXPECT_EQ(packet, bytes({130, 0, 97, 98}));

    ASSERT_TRUE(BuildPacket(QStringLiteral("x"), packet, 0, header));
    EXPECT_EQ(packet, QByteArray("x"));
    // A header shorter than its announced length is padded, never over-read.
    ASSERT_TRUE(BuildPacket(QStringLiteral("x"), packet, 3, bytes({1})));
    EXPECT_EQ(packet, bytes({1, 0, 0, 'x'}));
}

TEST(Packet, EmptyBodyBuildsNothing)
{
    QByteArray packet("untouched");
    EXPECT_FALSE(BuildPacket(QString(), packet, 2, bytes({110, 0})));
    EXPECT_EQ(packet, QByteArray("untouched"));
}

TEST(Packet, TextComesBackFromTheBody)
{
    const QString body = QStringLiteral("张三`abc`旁观 1`");
    QByteArray packet;
    ASSERT_TRUE(BuildPacket(body, packet, 2, bytes({130, 4})));
    EXPECT_EQ(BytesToText(packet, 2), body);
    EXPECT_EQ(BytesToText(packet, packet.size()), QString());
    EXPECT_EQ(BytesToText(packet, 1000), QString());
    // A message cut inside a double-byte character reads as empty.
    EXPECT_EQ(BytesToText(packet.left(3), 2), QString());
}

TEST(Packet, ReadsSignedBigEndianNumbers)
{
    std::int32_t v = 7;
    ASSERT_TRUE(ReadInt32BE(v, bytes({255, 255, 255, 254}), 0));
    EXPECT_EQ(v, -2);
    ASSERT_TRUE(ReadInt32BE(v, bytes({9, 0, 0, 1, 0}), 1));
    EXPECT_EQ(v, 256);
    ASSERT_TRUE(ReadInt32BE(v, bytes({0x80, 0, 0, 0}), 0));
    EXPECT_EQ(v, std::numeric_limits<std::int32_t>::min());

    v = 7;
    EXPECT_FALSE(ReadInt32BE(v, bytes({9, 0, 1, 0}), 1));
    EXPECT_FALSE(ReadInt32BE(v, bytes({0, 0, 1, 0}), -1));
    EXPECT_FALSE(ReadInt32BE(v, QByteArray(), 0));
    EXPECT_FALSE(ReadInt32BE(v, bytes({0, 0, 1, 0}), std::numeric_limits<int>::max()));
    EXPECT_EQ(v, 7);

    QByteArray m;
    AppendInt32BE(m, -123456789);
    ASSERT_TRUE(ReadInt32BE(v, m, 0));
    EXPECT_EQ(v, -123456789);
}
