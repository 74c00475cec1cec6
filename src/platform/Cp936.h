#pragma once
// Code page 936, the only text encoding on the wire. Text is handled one
// character or one byte pair at a time, as every reader of the protocol
// does, so no library's error policy leaks into what a handler sees.

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace kelpo::cp936 {

// The code of one character: 0..0x7F for a single byte, lead * 256 + trail
// for a double-byte character. A character the code page cannot carry gives
// '?'. The euro sign is one of them: its single byte 0x80 would be taken for
// a lead byte by the other side and swallow the next character.
std::uint16_t CharCode(char32_t ch);

// The character of one lead/trail pair; a pair outside the code page (or in
// its user-defined areas) gives '?'.
QChar PairChar(std::uint8_t lead, std::uint8_t trail);

// Whole-text helpers built on the two above. Decode stops at nothing, a 0
// byte gives a NUL character; a lead byte with no trail gives an empty text.
QByteArray Encode(const QString& text);
QString Decode(const QByteArray& bytes, qsizetype start = 0);

inline constexpr bool IsLeadByte(std::uint8_t b) { return b >= 0x80; }

} // namespace kelpo::cp936
