#include "server/Dealer.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace kelpo::server {

std::uint32_t Dealer::below(std::uint32_t bound)
{
    if (bound < 1)
        return 0;
    // Rejection keeps every value equally likely.
    const std::uint64_t limit = std::numeric_limits<std::uint64_t>::max()
        - std::numeric_limits<std::uint64_t>::max() % bound;
    std::uint64_t v = rng_();
    while (v >= limit)
        v = rng_();
    return static_cast<std::uint32_t>(v % bound);
}

Hands Dealer::deal(int deckCount)
{
    deckCount = std::clamp(deckCount, 1, MaxPacks);
    std::vector<CardCode> deck;
    deck.reserve(static_cast<std::size_t>(deckCount) * CardsPerPack);
    for (int pack = 0; pack < deckCount; ++pack)
        for (int code = 0; code < CardsPerPack; ++code)
            deck.push_back(static_cast<CardCode>(code));
    for (std::size_t i = deck.size() - 1; i > 0; --i)
        std::swap(deck[i], deck[below(static_cast<std::uint32_t>(i + 1))]);

    Hands hands;
    const std::size_t perSeat = deck.size() / SeatCount;
    for (int seat = 0; seat < SeatCount; ++seat) {
        auto first = deck.begin() + static_cast<std::ptrdiff_t>(seat * perSeat);
        hands[seat] = CardList(std::vector<CardCode>(first, first + static_cast<std::ptrdiff_t>(perSeat)));
    }
    return hands;
}

int FirstHolderOfCardZero(const Hands& hands)
{
    for (int seat = 0; seat < SeatCount; ++seat) {
        const auto& codes = hands[seat].codes();
        if (std::find(codes.begin(), codes.end(), CardCode{0}) != codes.end())
            return seat;
    }
    return 0;
}

} // namespace kelpo::server
