#include "platform/Cp936.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <gtest/gtest.h>

using namespace kelpo;

namespace {

bool isPrivateUse(QChar c) { return c.unicode() >= 0xE000 && c.unicode() <= 0xF8FF; }

} // namespace

// The codec's table comes from the C library; Qt's ICU converter is the
// independent reference for every double-byte pair.
TEST(Cp936, EveryPairAgreesWithTheIndependentConverter)
{
    int checked = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            QByteArray pair;
            pair.append(static_cast<char>(lead)).append(static_cast<char>(trail));
            QStringDecoder ref("GBK");
            const QString expected = ref(pair);
            const bool refValid = !ref.hasError() && expected.size() == 1 && expected[0] != QChar(0xFFFD)
                && !isPrivateUse(expected[0]);
            const QChar got = cp936::PairChar(static_cast<std::uint8_t>(lead), static_cast<std::uint8_t>(trail));
            if (!refValid) {
                ASSERT_EQ(got, QChar(u'?')) << std::hex << lead << ' ' << trail;
                continue;
            }
            ASSERT_EQ(got, expected[0]) << std::hex << lead << ' ' << trail;
            ASSERT_EQ(cp936::CharCode(got.unicode()), lead * 256 + trail) << std::hex << lead << ' ' << trail;
            ASSERT_EQ(cp936::Encode(expected), pair);
            ++checked;
        }
    }
    // The standard repertoire: GBK's 21,886 codes less the user-defined areas.
    EXPECT_GT(checked, 21000);
}

TEST(Cp936, AsciiIsOneByteAndChineseTwo)
{
    const QString text = QStringLiteral("ab 黑体`1");
    const QByteArray bytes = cp936::Encode(text);
    QStringEncoder ref("GBK");
    EXPECT_EQ(bytes, QByteArray(ref(text)));
    EXPECT_EQ(bytes.size(), 9);
    EXPECT_EQ(cp936::Decode(bytes), text);
}

TEST(Cp936, UnrepresentableCharactersBecomeQuestionMarks)
{
    // The euro sign would be the lone byte 0x80, which readers take as a lead byte.
    EXPECT_EQ(cp936::CharCode(0x20AC), u'?');
    EXPECT_EQ(cp936::Encode(QStringLiteral("5€x")), QByteArray("5?x"));
    // Outside the code page: an emoji (a surrogate pair gives one '?'), Hangul, a private-use character.
    EXPECT_EQ(cp936::Encode(QString::fromUcs4(U"a\U0001F600b")), QByteArray("a?b"));
    EXPECT_EQ(cp936::Encode(QString(QChar(0xD55C))), QByteArray("?"));
    EXPECT_EQ(cp936::Encode(QString(QChar(0xE000))), QByteArray("?"));
    // A lone surrogate half is not a character either.
    EXPECT_EQ(cp936::Encode(QString(QChar(0xD800))), QByteArray("?"));
}

TEST(Cp936, DecodeEdges)
{
    const QByteArray hei = cp936::Encode(QStringLiteral("黑"));
    // A lead byte with no trail spoils the whole text.
    EXPECT_EQ(cp936::Decode(QByteArray("ab") + hei.left(1)), QString());
    EXPECT_EQ(cp936::Decode(QByteArray("\x80", 1)), QString());
    // A start past the end, or before the start, gives the empty text.
    EXPECT_EQ(cp936::Decode(QByteArray("abc"), 3), QString());
    EXPECT_EQ(cp936::Decode(QByteArray("abc"), 99), QString());
    EXPECT_EQ(cp936::Decode(QByteArray("abc"), -1), QString());
    // NUL is a character like any other.
    EXPECT_EQ(cp936::Decode(QByteArray("a\0b", 3)), QString(QStringLiteral("a")) + QChar(0) + u'b');
    // 0x80 and 0xFF are lead bytes of no character; the pair gives '?', the rest survives.
    EXPECT_EQ(cp936::Decode(QByteArray("\x80" "Ax", 3)), QStringLiteral("?x"));
    EXPECT_EQ(cp936::Decode(QByteArray("\xFF\xFFx", 3)), QStringLiteral("?x"));
    EXPECT_EQ(cp936::Decode(QByteArray("x") + hei, 1), QStringLiteral("黑"));
}
