#pragma once
// A message is a class byte, usually a code byte, and a body: code page 936
// text with back-quotes between fields, or binary fields with 32-bit signed
// big-endian numbers. These are the builder and readers every handler uses.

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace kelpo {

inline constexpr QChar FieldSeparator = u'`';

// packet = the first headerLength bytes of header (zeros where header is
// shorter), then body in code page 936. An empty body builds nothing and
// returns false, so the caller sends nothing.
bool BuildPacket(const QString& body, QByteArray& packet, std::uint8_t headerLength, const QByteArray& header);

// The text from byte `start` to the end. A start past the end, or a lead byte
// with no trail at the end, gives the empty text.
QString BytesToText(const QByteArray& message, int start);

// The signed 32-bit big-endian number at bytes index..index+3. False, with
// value untouched, when those bytes are not all there.
bool ReadInt32BE(std::int32_t& value, const QByteArray& message, int index);

// Appends value as four big-endian bytes; the writer matching ReadInt32BE.
void AppendInt32BE(QByteArray& message, std::int32_t value);

} // namespace kelpo
