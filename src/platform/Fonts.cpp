#include "platform/Fonts.h"

#include <algorithm>
#include <mutex>

namespace kelpo {

void PinFontFamilies()
{
    static std::once_flag once;
    std::call_once(once, [] {
        QFont::insertSubstitution(QStringLiteral("黑体"), QStringLiteral("Noto Sans CJK SC"));
        QFont::insertSubstitution(QStringLiteral("宋体"), QStringLiteral("Noto Serif CJK SC"));
    });
}

int PointsToPixels(int points)
{
    // Size 0 or below would make Qt fall back to its own default size.
    return points > 0 ? std::min((points * 96 + 36) / 72, 400) : 1;
}

QFont MakeFont(const QString& name, int points, bool bold)
{
    PinFontFamilies();
    QFont font(name);
    font.setPixelSize(PointsToPixels(points));
    font.setBold(bold);
    font.setStyleStrategy(QFont::NoSubpixelAntialias);
    return font;
}

} // namespace kelpo
