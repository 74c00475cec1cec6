#pragma once
// The parameters a table is played with, as the owner's settings round and
// the room server's command line fix them.

#include "rules/TributeRules.h"

#include <cstdint>

namespace kelpo::server {

inline constexpr int CardsPerPack = 54;
// More than six packs would put over 24 cards of one rank at the table, which
// the clients' grouping cannot hold.
inline constexpr int MaxPacks = 6;

// The turn phases the clients know.
enum class Phase : std::uint8_t {
    None = 0,
    Lead = 1,
    Follow = 2,
    Tribute = 3,
    ReturnTribute = 4,
    BetweenHands = 100,
};

inline constexpr bool ArePartners(int a, int b) { return (a - b) % 2 == 0; }

struct TableConfig {
    int deckCount = 2;
    int turnSeconds = 30;
    int tributeSeconds = 15;
    int autoPlayLimit = 5;
    int showCardCounts = 0;
    // Sent in the hand start; clients store it without using it.
    int spareParameter = 0;
    bool threeHandDeal = false;
    int stake = 10;
    int escapePenalty = 0;
    // How long a bot waits before it acts; the referee never sleeps, it acts
    // on the first tick after the delay.
    int botDelayMs = 0;
    // How long after its turn ran out a human seat is played for.
    int overdueGraceMs = 10000;

    int cardsPerSeat() const { return deckCount * CardsPerPack / SeatCount; }
    // Every field brought into the range the messages can carry.
    TableConfig sanitized() const;

    friend bool operator==(const TableConfig&, const TableConfig&) = default;
};

} // namespace kelpo::server
