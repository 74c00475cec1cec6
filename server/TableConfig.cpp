#include "server/TableConfig.h"

#include <algorithm>

namespace kelpo::server {

namespace {
int ToByte(int v, int lo, int hi) { return std::clamp(v, lo, hi); }
} // namespace

TableConfig TableConfig::sanitized() const
{
    TableConfig c = *this;
    c.deckCount = ToByte(deckCount, 1, MaxPacks);
    c.turnSeconds = ToByte(turnSeconds, 1, 255);
    c.tributeSeconds = ToByte(tributeSeconds, 1, 255);
    c.autoPlayLimit = ToByte(autoPlayLimit, 1, 255);
    c.showCardCounts = ToByte(showCardCounts, 0, 255);
    c.spareParameter = ToByte(spareParameter, 0, 255);
    c.stake = std::max(stake, 0);
    c.escapePenalty = std::max(escapePenalty, 0);
    c.botDelayMs = std::max(botDelayMs, 0);
    c.overdueGraceMs = std::max(overdueGraceMs, 0);
    return c;
}

} // namespace kelpo::server
