#include "rules/TributeRules.h"

#include "rules/CardOrder.h"

#include <algorithm>

namespace kelpo {

namespace {

// An ordinary card below the A.
bool IsReturnableCard(CardCode code) { return code <= 51 && RankField(code) <= 10; }

// The hand of seat that this client holds, if any.
CardList* localHandOf(int seat, int mySeat, bool threeHandDeal, LocalHands& hands, unsigned& change)
{
    if (!IsSeat(seat) || !IsSeat(mySeat))
        return nullptr;
    if (seat == mySeat) {
        change = OwnHandChanged;
        return &hands.own;
    }
    if (!threeHandDeal)
        return nullptr;
    if (seat == PartnerNextSeat(mySeat)) {
        change = PartnerNextChanged;
        return &hands.partnerNext;
    }
    if (seat == PartnerFarSeat(mySeat)) {
        change = PartnerFarChanged;
        return &hands.partnerFar;
    }
    return nullptr;
}

} // namespace

QString TributeNotHighestMessage() { return QStringLiteral("进贡要进你手里最大的牌！"); }
QString ReturnTooHighMessage() { return QStringLiteral("回贡只能回A以下的牌！"); }

bool CheckTributeCard(CardCode card, const CardList& hand, QString& message)
{
    const auto& codes = hand.codes();
    if (std::any_of(codes.begin(), codes.end(), [card](CardCode h) { return IsLowerCard(card, h); })) {
        message = TributeNotHighestMessage();
        return false;
    }
    return true;
}

bool CheckReturnTributeCard(CardCode card, const CardList& hand, QString& message)
{
    if (IsReturnableCard(card))
        return true;
    const auto& codes = hand.codes();
    if (std::any_of(codes.begin(), codes.end(), IsReturnableCard)) {
        message = ReturnTooHighMessage();
        return false;
    }
    return true;
}

unsigned RemoveGivenCard(int giver, CardCode card, int mySeat, bool threeHandDeal, LocalHands hands)
{
    unsigned change = NoHandChanged;
    CardList* hand = localHandOf(giver, mySeat, threeHandDeal, hands, change);
    if (!hand)
        return NoHandChanged;
    RemoveCards(*hand, CardList{card});
    if (change == OwnHandChanged)
        MoveCardZeroLast(*hand);
    return change;
}

unsigned ExchangeTributeCards(const TributePairs& pairs, const std::array<CardCode, SeatCount>& givenCards,
                              int mySeat, bool threeHandDeal, LocalHands hands)
{
    unsigned changed = NoHandChanged;
    auto receive = [&](int receiver, int giver) {
        if (!IsSeat(giver) || !IsValidCard(givenCards[giver]))
            return;
        unsigned change = NoHandChanged;
        CardList* hand = localHandOf(receiver, mySeat, threeHandDeal, hands, change);
        if (!hand)
            return;
        hand->append(givenCards[giver]);
        SortCardsByRank(*hand);
        if (change == OwnHandChanged)
            MoveCardZeroLast(*hand);
        changed |= change;
    };
    // Receivers first, then givers, pair 0 before pair 1 each time: the order
    // in which cards arrive decides where equal ranks land after the sort.
    for (int k = 0; k < 2; ++k)
        receive(pairs[2 * k], pairs[2 * k + 1]);
    for (int k = 0; k < 2; ++k)
        receive(pairs[2 * k + 1], pairs[2 * k]);
    return changed;
}

std::array<std::uint8_t, SeatCount> ReceivedCardCounts(const TributePairs& pairs,
                                                       const std::array<CardCode, SeatCount>& givenCards)
{
    std::array<std::uint8_t, SeatCount> counts{};
    auto receive = [&](int receiver, int giver) {
        if (IsSeat(receiver) && IsSeat(giver) && IsValidCard(givenCards[giver]))
            ++counts[receiver];
    };
    for (int k = 0; k < 2; ++k) {
        receive(pairs[2 * k], pairs[2 * k + 1]);
        receive(pairs[2 * k + 1], pairs[2 * k]);
    }
    return counts;
}

} // namespace kelpo
