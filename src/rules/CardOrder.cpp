#include "rules/CardOrder.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace kelpo {

namespace {

int clampCount(const CardList& list, int n) { return std::clamp(n, 0, list.count()); }

// Jokers above every ordinary rank, the big one above the small one. The key
// is defined for every byte so that codes that are no card still compare the
// same way as their suit and rank fields say, without a branch in the sort.
constexpr int rankKeyOf(CardCode code) { return IsJoker(code) ? 13 + RankField(code) : RankField(code); }

constexpr std::array<std::uint8_t, 256> makeRankKeys()
{
    std::array<std::uint8_t, 256> keys{};
    for (int c = 0; c < 256; ++c)
        keys[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(rankKeyOf(static_cast<CardCode>(c)));
    return keys;
}

constexpr std::array<std::uint8_t, 256> RankKeys = makeRankKeys();

} // namespace

bool IsLowerCard(CardCode a, CardCode b) { return RankKeys[a] < RankKeys[b]; }

bool IsSameRank(CardCode a, CardCode b) { return RankKeys[a] == RankKeys[b]; }

// The order is that of an exchange sort: position j takes every later card
// that ranks strictly higher than the one it holds, giving its own card to
// the position it came from. Only those record-breaking exchanges move cards,
// so each pass jumps from one to the next through bit masks instead of
// comparing every pair; the cards land exactly where the pairwise loop puts
// them. Short lists, where setting up the masks costs more than it saves, and
// lists longer than a mask go through the pairwise loop.
void SortCardsByRank(CardList& list, int n)
{
    auto& cards = list.codes();
    n = clampCount(list, n);
    if (n < 2)
        return;
    if (n <= 24 || n > 64) {
        for (int j = 0; j < n - 1; ++j) {
            for (int i = j + 1; i < n; ++i) {
                if (IsLowerCard(cards[j], cards[i]))
                    std::swap(cards[j], cards[i]);
            }
        }
        return;
    }

    constexpr int KeyCount = 26;
    std::array<CardCode, 64> code;
    std::array<std::uint8_t, 64> key;
    // higher[k]: positions whose card ranks above key k.
    std::array<std::uint64_t, KeyCount + 1> higher{};
    for (int p = 0; p < n; ++p) {
        code[p] = cards[p];
        key[p] = RankKeys[code[p]];
        higher[key[p]] |= std::uint64_t{1} << p;
    }
    // Turn "exactly key k" into "above key k" by summing from the top.
    std::uint64_t above = 0;
    for (int k = KeyCount - 1; k >= 0; --k) {
        const std::uint64_t exact = higher[k];
        higher[k] = above;
        above |= exact;
    }

    for (int j = 0; j < n - 1; ++j) {
        const std::uint64_t later = ~std::uint64_t{0} << (j + 1);
        int held = key[j];
        for (std::uint64_t m = higher[held] & later; m != 0; m = higher[held] & later) {
            const int i = std::countr_zero(m);
            const int taken = key[i];
            std::swap(code[j], code[i]);
            key[i] = static_cast<std::uint8_t>(held);
            // Position i now holds the lower card; position j is never asked again.
            const std::uint64_t clear = ~(std::uint64_t{1} << i);
            for (int k = held; k < taken; ++k)
                higher[k] &= clear;
            held = taken;
        }
        key[j] = static_cast<std::uint8_t>(held);
    }
    std::copy_n(code.begin(), n, cards.begin());
}

void SortCardsByRank(CardList& list) { SortCardsByRank(list, list.count()); }

bool RankGroup::append(CardCode code)
{
    if (count >= MaxRankGroupCards)
        return false;
    cards[count++] = code;
    return true;
}

const RankGroup& RankGroupList::at(int pos) const
{
    static const RankGroup empty;
    return pos >= 1 && pos <= count_ ? groups_[pos - 1] : empty;
}

RankGroupList GroupCardsByRank(const CardList& list, int n)
{
    RankGroupList result;
    n = clampCount(list, n);
    if (n > MaxListCards) {
        n = MaxListCards;
        result.cut_ = true;
    }
    for (int i = 1; i <= n; ++i) {
        const CardCode card = list.at(i);
        if (result.count_ == 0 || !IsSameRank(card, result.groups_[result.count_ - 1].cards[0])) {
            result.groups_[result.count_].count = 0;
            result.groups_[result.count_].append(card);
            ++result.count_;
        } else if (!result.groups_[result.count_ - 1].append(card)) {
            result.cut_ = true;
        }
    }
    return result;
}

void SortCardsByCount(CardList& list, int n)
{
    n = clampCount(list, n);
    SortCardsByRank(list, n);
    RankGroupList groups = GroupCardsByRank(list, n);
    if (groups.cut())
        return;

    auto& g = groups.groups_;
    const int groupCount = groups.count();
    for (int i = 0; i < groupCount - 1; ++i) {
        for (int j = i + 1; j < groupCount; ++j) {
            const bool fewer = g[i].count < g[j].count;
            const bool equalButLower = g[i].count == g[j].count && IsLowerCard(g[i].cards[0], g[j].cards[0]);
            if (fewer || equalButLower)
                std::swap(g[i], g[j]);
        }
    }

    int pos = 1;
    for (int i = 0; i < groupCount; ++i) {
        for (int k = 0; k < g[i].count; ++k)
            list.set(pos++, g[i].cards[k]);
    }
}

void SortCardsByCount(CardList& list) { SortCardsByCount(list, list.count()); }

void RemoveCards(CardList& hand, const CardList& cards)
{
    if (hand.isEmpty() || cards.isEmpty())
        return;
    // A hand removed from itself must still see every card it started with.
    const CardList copy = &hand == &cards ? cards : CardList();
    const CardList& toRemove = &hand == &cards ? copy : cards;

    auto& codes = hand.codes();
    for (CardCode card : toRemove.codes()) {
        auto it = std::find(codes.begin(), codes.end(), card);
        if (it != codes.end())
            codes.erase(it);
        if (codes.empty())
            return;
    }
}

void MoveCardZeroLast(CardList& hand, int n)
{
    n = clampCount(hand, n);
    for (int i = n; i >= 1; --i) {
        if (hand.at(i) == 0) {
            if (i < n) {
                hand.set(i, hand.at(n));
                hand.set(n, 0);
            }
            return;
        }
    }
}

void MoveCardZeroLast(CardList& hand) { MoveCardZeroLast(hand, hand.count()); }

} // namespace kelpo
