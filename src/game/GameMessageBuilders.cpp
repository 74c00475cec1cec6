#include "game/GameMessageBuilders.h"

#include "net/Packet.h"

namespace kelpo {

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    out.reserve(static_cast<qsizetype>(values.size()));
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

} // namespace

QByteArray BuildChatLinePacket(const QStringList& fields)
{
    QByteArray packet;
    if (!BuildPacket(fields.join(QLatin1Char('`')), packet, 1, bytes({1})))
        return {};
    return packet;
}

QByteArray BuildHandStartAckPacket(std::uint8_t mySeat) { return bytes({19, mySeat}); }

QByteArray BuildPlayPacket(std::uint8_t mySeat, const CardList& cards)
{
    if (cards.isEmpty() || cards.count() > 255)
        return {};
    QByteArray out = bytes({20, 0, 0, 0, 0, 0, mySeat, cards.count()});
    for (CardCode c : cards.codes())
        out.append(static_cast<char>(c));
    return out;
}

QByteArray BuildPassPacket(std::uint8_t mySeat) { return bytes({20, 0, 0, 0, 0, 0, mySeat, 1, PassMarker}); }

QByteArray BuildNoCardsPacket(std::uint8_t mySeat) { return bytes({2, 0, mySeat}); }

QByteArray BuildTributePacket(bool returnTribute, std::uint8_t mySeat, CardCode card)
{
    return bytes({23, returnTribute ? 1 : 0, mySeat, card, 0, 0, 0, 0, 0, 0});
}

QByteArray BuildReadyPacket(std::uint8_t mySeat) { return bytes({18, mySeat}); }

QByteArray BuildMatchStartedPacket() { return bytes({130, 1}); }

} // namespace kelpo
