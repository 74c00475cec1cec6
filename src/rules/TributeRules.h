#pragma once
// The tribute and return-tribute rules for the local player's card, and the
// card movements of the exchange (modGameDefine). The server decides who
// gives to whom; these only apply what its messages say.

#include "rules/Cards.h"

#include <QString>

#include <array>
#include <cstdint>

namespace kelpo {

inline constexpr int PartnerNextSeat(int seat) { return (seat + 2) % SeatCount; }
inline constexpr int PartnerFarSeat(int seat) { return (seat + 4) % SeatCount; }
inline constexpr bool IsSeat(int seat) { return seat >= 0 && seat < SeatCount; }

QString TributeNotHighestMessage();
QString ReturnTooHighMessage();

// Tribute: the card must be of the highest rank in the hand; any suit.
bool CheckTributeCard(CardCode card, const CardList& hand, QString& message);
// Return tribute: an ordinary card up to the K, unless the hand holds none.
bool CheckReturnTributeCard(CardCode card, const CardList& hand, QString& message);

// The hands this client holds: its own and, after a three-hand deal, those of
// the two partners.
struct LocalHands {
    CardList& own;
    CardList& partnerNext;
    CardList& partnerFar;
};

// Which local hands an operation changed, so the caller redraws only those.
enum HandChange : unsigned {
    NoHandChanged = 0,
    OwnHandChanged = 1,
    PartnerNextChanged = 2,
    PartnerFarChanged = 4,
};

// The receiver/giver pairs of the exchange as the server sends them:
// A0, B0, A1, B1. Each seat of a pair receives what the other gave.
using TributePairs = std::array<std::uint8_t, 4>;

// The given card leaves the giver's hand if this client holds that hand.
// Seats outside 0..5 change nothing.
unsigned RemoveGivenCard(int giver, CardCode card, int mySeat, bool threeHandDeal, LocalHands hands);

// Hands each seat of a pair the card the other seat gave (givenCards[seat];
// anything that is not a card means that seat gave nothing). The receiving
// hand is rank-sorted; the own hand also keeps code 0 last.
unsigned ExchangeTributeCards(const TributePairs& pairs, const std::array<CardCode, SeatCount>& givenCards,
                              int mySeat, bool threeHandDeal, LocalHands hands);

// How many cards each seat receives in that exchange, whether or not this
// client holds its hand.
std::array<std::uint8_t, SeatCount> ReceivedCardCounts(const TributePairs& pairs,
                                                       const std::array<CardCode, SeatCount>& givenCards);

} // namespace kelpo
