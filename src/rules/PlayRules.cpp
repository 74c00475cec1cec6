#include "rules/PlayRules.h"

#include "rules/CardOrder.h"

namespace kelpo {

QString WrongPatternMessage() { return QStringLiteral("出牌错误：牌型不对！"); }
QString WrongCountMessage() { return QStringLiteral("出牌必须和上家的张数相同!"); }
QString WrongTypeMessage() { return QStringLiteral("出牌必须和上家的牌型相同!"); }
QString NotHigherMessage() { return QStringLiteral("出牌错误：出牌必须比本轮最大出牌还要大！"); }

PlayType ClassifyPlay(const CardList& cards, CardCode& maxCard)
{
    const int n = cards.count();
    if (n < 1 || n > MaxListCards)
        return PlayType::Invalid;
    const CardCode first = cards.at(1);
    if (!IsValidCard(first))
        return PlayType::Invalid;
    if (n == 1) {
        maxCard = first;
        return PlayType::Single;
    }
    if (n > MaxRankGroupCards)
        return PlayType::Invalid;
    for (int i = 2; i <= n; ++i) {
        const CardCode card = cards.at(i);
        if (!IsValidCard(card) || !IsSameRank(card, first))
            return PlayType::Invalid;
    }
    // The rank sort never swaps two cards of one rank, so a one-rank play
    // keeps its first card in front: that is the card the sort would give.
    maxCard = first;
    return n == 2 ? PlayType::Pair : PlayType::SameRank;
}

bool CheckLeadPlay(const CardList& cards, QString& message, PlayType& type, CardCode& maxCard)
{
    type = ClassifyPlay(cards, maxCard);
    if (type == PlayType::Invalid) {
        message = WrongPatternMessage();
        return false;
    }
    return true;
}

bool CheckFollowPlay(const CardList& cards, const RoundBest& best, QString& message, PlayType& type,
                     CardCode& maxCard)
{
    type = ClassifyPlay(cards, maxCard);
    if (type == PlayType::Invalid) {
        message = WrongPatternMessage();
        return false;
    }
    if (cards.count() != best.cardCount) {
        message = WrongCountMessage();
        return false;
    }
    if (static_cast<std::uint8_t>(type) != best.playType) {
        message = WrongTypeMessage();
        return false;
    }
    if (!IsLowerCard(best.maxCard, maxCard)) {
        message = NotHigherMessage();
        return false;
    }
    return true;
}

} // namespace kelpo
