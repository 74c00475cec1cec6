#include "rules/CardNames.h"

#include "rules/CardOrder.h"

#include <array>

namespace kelpo {

namespace {

QString Named(CardCode code)
{
    if (code == SmallJoker)
        return QStringLiteral("小王");
    if (code == BigJoker)
        return QStringLiteral("大王");
    // Suit fields as the card pictures print them.
    static const char16_t* const suits[4] = {u"黑桃", u"梅花", u"方块", u"红桃"};
    static const char* const ranks[13] = {"3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K", "A", "2"};
    return QString::fromUtf16(suits[SuitField(code)]) + QLatin1String(ranks[RankField(code)]);
}

} // namespace

QString CardName(CardCode code)
{
    if (!IsValidCard(code))
        return {};
    // Every play of a hand is named for its review: the names are made once
    // and shared.
    static const std::array<QString, HighestCard + 1> names = [] {
        std::array<QString, HighestCard + 1> all;
        for (int c = 0; c <= HighestCard; ++c)
            all[static_cast<std::size_t>(c)] = Named(static_cast<CardCode>(c));
        return all;
    }();
    return names[code];
}

QString CardNames(const CardList& cards)
{
    QString out;
    for (CardCode c : cards.codes()) {
        if (!IsValidCard(c))
            continue;
        if (!out.isEmpty())
            out += u' ';
        out += CardName(c);
    }
    return out;
}

} // namespace kelpo
