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

// Names the face that the application's font resolves to in place of its
// family when that family is an alias ("Sans Serif"), so that the widgets
// draw with the same face. Asked for by the alias, Qt's font database
// matches no family and has fontconfig sort every installed font again for
// each script the text brings (about 0.5 ms each), before it loads the same
// face; a named face is matched at once.
void ResolveDefaultFamily();

// The font for a name, size in points and weight, with a pixel size so the
// output does not depend on the screen's dots per inch.
QFont MakeFont(const QString& name, int points, bool bold);

// font for drawing text, told to skip shaping when every character is an
// ASCII digit, a CJK ideograph or punctuation mark, or a full-width form:
// such text comes out the same pixel for pixel either way in the pinned
// faces, and a font engine that never shapes never copies its face's
// layout tables (over 200 KB for each size of a CJK face). Anything else,
// Latin letters above all, keeps the shaping that kerns it.
QFont FontForText(QFont font, const QString& text);

} // namespace kelpo
