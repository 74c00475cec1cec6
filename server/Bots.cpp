#include "server/Bots.h"

#include "rules/CardOrder.h"
#include "server/TableConfig.h"

#include <array>

namespace kelpo::server {

namespace {

// 0..12 for the 3 up to the 2, then 13 the small and 14 the big joker: the
// order IsLowerCard compares in.
constexpr int RankSlots = 15;
int RankSlot(CardCode c) { return IsJoker(c) ? 13 + RankField(c) : RankField(c); }

using RankCounts = std::array<int, RankSlots>;

RankCounts CountRanks(const CardList& hand)
{
    RankCounts counts{};
    for (CardCode c : hand.codes())
        if (IsValidCard(c))
            ++counts[RankSlot(c)];
    return counts;
}

CardList CardsOfSlot(const CardList& hand, int slot, int wanted)
{
    CardList out;
    for (CardCode c : hand.codes()) {
        if (out.count() == wanted)
            break;
        if (IsValidCard(c) && RankSlot(c) == slot)
            out.append(c);
    }
    return out;
}

CardList Pass() { return CardList{PassMarker}; }

} // namespace

CardList BotLead(const CardList& hand)
{
    const RankCounts counts = CountRanks(hand);
    for (int slot = 0; slot < RankSlots; ++slot)
        if (counts[slot] > 0)
            return CardsOfSlot(hand, slot, counts[slot]);
    return {};
}

CardList BotFollow(const CardList& hand, const RoundBest& best, int seat)
{
    const int needed = best.cardCount;
    if (needed < 1 || !IsValidCard(best.maxCard))
        return Pass();
    const RankCounts counts = CountRanks(hand);
    int chosen = -1;
    for (int slot = RankSlot(best.maxCard) + 1; slot < RankSlots && chosen < 0; ++slot)
        if (counts[slot] == needed)
            chosen = slot;
    for (int slot = RankSlot(best.maxCard) + 1; slot < RankSlots && chosen < 0; ++slot)
        if (counts[slot] > needed)
            chosen = slot;
    if (chosen < 0)
        return Pass();
    const bool emptiesHand = needed == hand.count();
    if (ArePartners(best.seat, seat) && !emptiesHand)
        return Pass();
    return CardsOfSlot(hand, chosen, needed);
}

CardCode BotTributeCard(const CardList& hand)
{
    CardCode top = NoCardImage;
    for (CardCode c : hand.codes())
        if (IsValidCard(c) && (top == NoCardImage || IsLowerCard(top, c)))
            top = c;
    return top;
}

CardCode BotReturnCard(const CardList& hand)
{
    CardCode lowest = NoCardImage;
    CardCode lowestBelowAce = NoCardImage;
    for (CardCode c : hand.codes()) {
        if (!IsValidCard(c))
            continue;
        if (lowest == NoCardImage || IsLowerCard(c, lowest))
            lowest = c;
        const bool belowAce = !IsJoker(c) && RankField(c) <= 10;
        if (belowAce && (lowestBelowAce == NoCardImage || IsLowerCard(c, lowestBelowAce)))
            lowestBelowAce = c;
    }
    return lowestBelowAce != NoCardImage ? lowestBelowAce : lowest;
}

} // namespace kelpo::server
