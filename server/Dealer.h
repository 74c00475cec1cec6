#pragma once
// Shuffling and dealing from a seeded generator, so that a seed replays the
// same deals on every machine.

#include "rules/Cards.h"
#include "server/TableConfig.h"

#include <array>
#include <cstdint>
#include <random>

namespace kelpo::server {

using Hands = std::array<CardList, SeatCount>;

class Dealer {
public:
    explicit Dealer(std::uint64_t seed) : rng_(seed) {}

    // deckCount packs shuffled and dealt deckCount * 54 / 6 cards to a seat,
    // each hand in the order it was dealt.
    Hands deal(int deckCount);

    // A number in 0..bound-1 (0 when bound < 1), unbiased and independent of
    // the standard library's distributions.
    std::uint32_t below(std::uint32_t bound);

private:
    std::mt19937_64 rng_;
};

// The first seat 0..5 that holds code 0, or 0 when none does.
int FirstHolderOfCardZero(const Hands& hands);

} // namespace kelpo::server
