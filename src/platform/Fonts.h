#pragma once
// The two Chinese font names the table prints with, pinned to installed
// faces so text looks the same on every machine and under every locale.

#include <QFont>
#include <QString>

namespace kelpo {

// Points to pixels at the 96 dots per inch the table is laid out for.
int PointsToPixels(int points);

// Installs the substitutions once per process; later calls do nothing.
void PinFontFamilies();

// The font for a name, size in points and weight, with a pixel size so the
// output does not depend on the screen's dots per inch.
QFont MakeFont(const QString& name, int points, bool bold);

} // namespace kelpo
