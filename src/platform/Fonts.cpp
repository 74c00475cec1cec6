#include "platform/Fonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>

#include <algorithm>
#include <array>
#include <mutex>

namespace kelpo {

namespace {

struct PinnedFace {
    QString name;
    QString face;
};

// The two names and their faces. Asking Qt for 黑体 or 宋体 itself makes its
// font database fail to match the name, then have fontconfig sort every
// installed font twice (once for the name, once more for the face's own
// fallback list) before it tries the substitute: about 1.2 ms at the first
// text in each. Asking for the installed face skips both and loads the same
// face; its fallback list is then built only if a glyph is missing from it.
const std::array<PinnedFace, 2>& Pinned()
{
    static const std::array<PinnedFace, 2> pinned{PinnedFace{QStringLiteral("黑体"), QStringLiteral("Noto Sans CJK SC")},
                                                   PinnedFace{QStringLiteral("宋体"), QStringLiteral("Noto Serif CJK SC")}};
    return pinned;
}

// The family to ask for: the pinned face when it is installed, else the name
// as given, which keeps fontconfig's own choice for it on other machines.
QString FamilyFor(const QString& name)
{
    // The font database needs the application; without one, stay with the
    // name (and its substitution), and do not remember the answer.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return name;
    static std::once_flag once;
    static std::array<bool, 2> installed{};
    std::call_once(once, [] {
        for (std::size_t i = 0; i < installed.size(); ++i)
            // One family looked up, not the list of every family that
            // hasFamily() builds.
            installed[i] = !QFontDatabase::styles(Pinned()[i].face).isEmpty();
    });
    for (std::size_t i = 0; i < installed.size(); ++i)
        if (installed[i] && name == Pinned()[i].name)
            return Pinned()[i].face;
    return name;
}

} // namespace

void PinFontFamilies()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (const PinnedFace& p : Pinned())
            QFont::insertSubstitution(p.name, p.face);
    });
}

void ResolveDefaultFamily()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    QFont font = QGuiApplication::font();
    // The face Qt loads for the font as it is: the first widget's text
    // would load it anyway.
    const QString face = QFontInfo(font).family();
    if (face.isEmpty() || face == font.family())
        return;
    font.setFamilies({face});
    QGuiApplication::setFont(font);
}

int PointsToPixels(int points)
{
    // Size 0 or below would make Qt fall back to its own default size.
    return points > 0 ? std::min((points * 96 + 36) / 72, 400) : 1;
}

QFont MakeFont(const QString& name, int points, bool bold)
{
    PinFontFamilies();
    QFont font(FamilyFor(name));
    font.setPixelSize(PointsToPixels(points));
    font.setBold(bold);
    font.setStyleStrategy(QFont::NoSubpixelAntialias);
    return font;
}

namespace {

bool NeedsNoShaping(const QString& text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= u'0' && u <= u'9') || (u >= 0x3000 && u <= 0x303F) || (u >= 0x4E00 && u <= 0x9FFF) ||
               (u >= 0xFF01 && u <= 0xFF5E) || (u >= 0xFFE0 && u <= 0xFFE6);
    });
}

} // namespace

QFont FontForText(QFont font, const QString& text)
{
    if (NeedsNoShaping(text))
        font.setStyleStrategy(QFont::StyleStrategy(font.styleStrategy() | QFont::PreferNoShaping));
    return font;
}

} // namespace kelpo
