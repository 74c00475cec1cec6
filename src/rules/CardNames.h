#pragma once
// Cards in words, for the hand review and for screen readers.

#include "rules/Cards.h"

#include <QString>

namespace kelpo {

// "黑桃A", "红桃10", "小王", "大王"; empty for a code that is no card.
QString CardName(CardCode code);

// The cards of a list in order, separated by blanks.
QString CardNames(const CardList& cards);

} // namespace kelpo
