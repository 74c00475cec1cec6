#pragma once
// Everything the referee knows about the hand in play, as plain data, so a
// test can compare the whole table before and after an action.

#include "rules/Cards.h"
#include "server/HandScoring.h"
#include "server/TableConfig.h"

#include <array>
#include <cstdint>

namespace kelpo::server {

struct SeatState {
    CardList hand;
    // The latest play of the round (a lone PassMarker for a pass), or the
    // given card while the tribute runs; what each client shows for the seat.
    CardList currentPlay;
    int finishRank = 0;
    int warnFlag = 0;
    friend bool operator==(const SeatState&, const SeatState&) = default;
};

struct TableState {
    TableConfig config;
    bool handInPlay = false;
    Phase phase = Phase::BetweenHands;
    int actingSeat = 0;
    std::array<SeatState, SeatCount> seats;
    // Valid while a round is open (phase Follow).
    RoundBest best;
    // Passes since the best play of the round.
    int passesSinceBest = 0;
    int finishedCount = 0;
    // The hand as dealt, before any tribute.
    std::array<CardList, SeatCount> dealt;

    // The tribute of this hand: which pairs and how far it has got (0..3:
    // the two gifts, then the two returns).
    std::array<TributePair, 2> tributePairs{};
    int tributeStep = 0;
    std::array<CardCode, SeatCount> givenCard{};

    friend bool operator==(const TableState&, const TableState&) = default;
};

} // namespace kelpo::server
