#pragma once
// Seeded random hands and an independent rank key for the property tests.

#include "rules/Cards.h"

#include <algorithm>
#include <map>
#include <random>
#include <vector>

namespace kelpo::test {

// 0 for the 3 up to 12 for the 2, then 13 small joker, 14 big joker; written
// from the card table, not from the code under test.
inline int rankKey(CardCode c)
{
    if (c == 52)
        return 13;
    if (c == 53)
        return 14;
    return c % 13;
}

inline std::map<CardCode, int> multiset(const CardList& list)
{
    std::map<CardCode, int> m;
    for (CardCode c : list.codes())
        ++m[c];
    return m;
}

// n cards drawn from `packs` shuffled packs of 54.
inline CardList randomCards(std::mt19937& rng, int n, int packs = 2)
{
    std::vector<CardCode> deck;
    for (int p = 0; p < packs; ++p)
        for (int c = 0; c <= 53; ++c)
            deck.push_back(static_cast<CardCode>(c));
    std::shuffle(deck.begin(), deck.end(), rng);
    deck.resize(static_cast<std::size_t>(std::min<int>(n, static_cast<int>(deck.size()))));
    return CardList(deck);
}

} // namespace kelpo::test
