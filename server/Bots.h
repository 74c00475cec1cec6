#pragma once
// What a bot does with its turn. The choices are plain and cheap: the referee
// checks them like any client's action, and a bot decides in microseconds.

#include "rules/Cards.h"

namespace kelpo::server {

// The lowest rank group of the hand, whole.
CardList BotLead(const CardList& hand);

// The cheapest play that beats best: the lowest rank that does, preferring a
// rank held exactly as often as needed over splitting a larger group. A pass
// (a lone PassMarker) when nothing beats, or when the partner holds the round
// and the play would not empty the hand.
CardList BotFollow(const CardList& hand, const RoundBest& best, int seat);

// The highest card of the hand, as the tribute must be.
CardCode BotTributeCard(const CardList& hand);

// The lowest card below the A; the lowest card at all when there is none.
CardCode BotReturnCard(const CardList& hand);

} // namespace kelpo::server
