#include "rules/CardNames.h"

#include "rules/CardOrder.h"

#include <QStringList>

namespace kelpo {

QString CardName(CardCode code)
{
    if (code == SmallJoker)
        return QStringLiteral("小王");
    if (code == BigJoker)
        return QStringLiteral("大王");
    if (!IsValidCard(code))
        return {};
    // Suit fields as the card pictures print them.
    static const char16_t* const suits[4] = {u"黑桃", u"梅花", u"方块", u"红桃"};
    static const char* const ranks[13] = {"3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K", "A", "2"};
    return QString::fromUtf16(suits[SuitField(code)]) + QLatin1String(ranks[RankField(code)]);
}

QString CardNames(const CardList& cards)
{
    QStringList names;
    for (CardCode c : cards.codes()) {
        const QString n = CardName(c);
        if (!n.isEmpty())
            names << n;
    }
    return names.join(QLatin1Char(' '));
}

} // namespace kelpo
