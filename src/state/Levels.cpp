#include "state/Levels.h"

#include "platform/NumericValue.h"

#include <QStringList>

namespace kelpo {

std::vector<LevelEntry> ParseLevelTable(const QString& text)
{
    std::vector<LevelEntry> table;
    if (text.isEmpty())
        return table;
    const QStringList items = text.split(QLatin1Char('`'));
    table.reserve(static_cast<std::size_t>(items.size()));
    for (const QString& item : items) {
        const QStringList parts = item.split(QLatin1Char('_'));
        LevelEntry e;
        e.name = parts.value(0);
        e.threshold = parts.size() > 1 ? NumericInt32(parts[1]) : 0;
        table.push_back(std::move(e));
    }
    return table;
}

QString LevelName(const std::vector<LevelEntry>& table, std::int32_t score)
{
    if (table.empty())
        return QStringLiteral("未知级别");
    if (score <= table.front().threshold)
        return table.front().name;
    if (score >= table.back().threshold)
        return table.back().name;
    for (std::size_t i = 1; i < table.size(); ++i)
        if (table[i].threshold > score)
            return table[i - 1].name;
    return table.back().name;
}

} // namespace kelpo
