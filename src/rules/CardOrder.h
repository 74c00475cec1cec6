#pragma once
// Rank order of the cards, the two hand orders, grouping by rank and the
// list operations that hands and plays go through (modGameDefine).

#include "rules/Cards.h"

#include <array>
#include <cstdint>

namespace kelpo {

// Six packs hold at most 24 cards of one rank; a hand or play never holds
// more than one pack's worth of cards. Longer input is cut or refused.
inline constexpr int MaxRankGroupCards = 24;
inline constexpr int MaxListCards = 54;

// Suit field 0..3 for ordinary cards, 4 and up for the jokers.
inline constexpr int SuitField(CardCode code) { return code / 13; }
// 0 is the 3 ... 12 is the 2; small joker 0, big joker 1.
inline constexpr int RankField(CardCode code) { return code % 13; }
inline constexpr bool IsJoker(CardCode code) { return SuitField(code) >= 4; }

// True when card a ranks strictly below card b; suits never count.
bool IsLowerCard(CardCode a, CardCode b);
// True when both cards have the same rank; the two jokers differ.
bool IsSameRank(CardCode a, CardCode b);

// Sorts positions 1..n, highest rank first. The exchange order is kept as it
// is because it decides where cards of equal rank land on screen. n is
// clamped to the list.
void SortCardsByRank(CardList& list, int n);
void SortCardsByRank(CardList& list);

// Cards of one rank, in the order of the list they came from.
struct RankGroup {
    std::array<CardCode, MaxRankGroupCards> cards{};
    std::uint8_t count = 0;

    // 1-based; NoCardImage outside 1..count.
    CardCode at(int pos) const { return pos >= 1 && pos <= count ? cards[pos - 1] : NoCardImage; }
    // False when the group is full; the card is then dropped.
    bool append(CardCode code);
};

// The groups of a rank-sorted list, addressed 1..count().
class RankGroupList {
public:
    int count() const { return count_; }
    // An empty group outside 1..count().
    const RankGroup& at(int pos) const;
    // True when the input held more than MaxListCards cards or more than
    // MaxRankGroupCards of one rank, so that some cards are not in a group.
    bool cut() const { return cut_; }

private:
    friend RankGroupList GroupCardsByRank(const CardList& list, int n);
    friend void SortCardsByCount(CardList& list, int n);
    std::array<RankGroup, MaxListCards> groups_{};
    int count_ = 0;
    bool cut_ = false;
};

// Groups positions 1..n of a rank-sorted list: groups in descending rank,
// each in list order.
RankGroupList GroupCardsByRank(const CardList& list, int n);

// Rewrites positions 1..n in count order: larger groups first, higher rank
// first among equal sizes. A list that does not fit the groups is left in
// rank order rather than losing cards.
void SortCardsByCount(CardList& list, int n);
void SortCardsByCount(CardList& list);

// Removes one copy of each of cards from hand, the first one found; a card
// the hand does not hold is skipped.
void RemoveCards(CardList& hand, const CardList& cards);

// Keeps code 0 at the last of positions 1..n: the copy of it nearest the end
// is swapped with position n.
void MoveCardZeroLast(CardList& hand, int n);
void MoveCardZeroLast(CardList& hand);

} // namespace kelpo
