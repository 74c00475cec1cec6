#pragma once
// The game messages the client sends, built whole. Every sender goes
// through these, so each layout lives in one place.

#include "rules/Cards.h"

#include <QByteArray>
#include <QStringList>

#include <cstdint>

namespace kelpo {

// [1] and the ten chat fields joined by back-quotes in code page 936; empty
// (nothing to send) when the fields join to an empty text.
QByteArray BuildChatLinePacket(const QStringList& fields);

// [19] [seat]: the hand start arrived.
QByteArray BuildHandStartAckPacket(std::uint8_t mySeat);

// [20] 0 0 0 0 0 [seat] [n] and the cards in the given order. Empty when
// there are no cards or more than a count byte can say.
QByteArray BuildPlayPacket(std::uint8_t mySeat, const CardList& cards);

// [20] 0 0 0 0 0 [seat] [1] [PassMarker].
QByteArray BuildPassPacket(std::uint8_t mySeat);

// [2] [0] [seat]: the seat has no cards to act with.
QByteArray BuildNoCardsPacket(std::uint8_t mySeat);

// [23] [0 tribute / 1 return] [seat] [card] and six zero bytes.
QByteArray BuildTributePacket(bool returnTribute, std::uint8_t mySeat, CardCode card);

// [18] [seat]: ready for the next hand.
QByteArray BuildReadyPacket(std::uint8_t mySeat);

// [130] [1]: the first hand of a match has started.
QByteArray BuildMatchStartedPacket();

} // namespace kelpo
