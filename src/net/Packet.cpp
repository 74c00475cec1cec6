#include "net/Packet.h"

#include "platform/Cp936.h"

namespace kelpo {

bool BuildPacket(const QString& body, QByteArray& packet, std::uint8_t headerLength, const QByteArray& header)
{
    if (body.isEmpty())
        return false;
    packet = header.left(headerLength);
    if (packet.size() < headerLength)
        packet.append(headerLength - packet.size(), '\0');
    packet.append(cp936::Encode(body));
    return true;
}

QString BytesToText(const QByteArray& message, int start)
{
    return cp936::Decode(message, start);
}

bool ReadInt32BE(std::int32_t& value, const QByteArray& message, int index)
{
    if (index < 0 || static_cast<qsizetype>(index) + 4 > message.size())
        return false;
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v = (v << 8) | static_cast<std::uint8_t>(message[index + i]);
    value = static_cast<std::int32_t>(v);
    return true;
}

void AppendInt32BE(QByteArray& message, std::int32_t value)
{
    const auto v = static_cast<std::uint32_t>(value);
    for (int shift = 24; shift >= 0; shift -= 8)
        message.append(static_cast<char>((v >> shift) & 0xFF));
}

} // namespace kelpo
