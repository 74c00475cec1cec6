#pragma once
// Level names by score, from the level table the lobby passes on the
// command line: "name_threshold" items joined by back-quotes, lowest first.

#include "state/ClientState.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace kelpo {

std::vector<LevelEntry> ParseLevelTable(const QString& text);

// "未知级别" for an empty table; a score on a threshold belongs to that level.
QString LevelName(const std::vector<LevelEntry>& table, std::int32_t score);

} // namespace kelpo
