#pragma once
// Every group of files in the pack, each drawn by its own source file.

#include "Pack.h"

namespace kelpo::resgen {

void AddCards(Pack& pack);       // faces, masks and backs, both sizes, and all again at twice the size
void AddTableArt(Pack& pack);    // table background pieces, seat frames, marks, buttons, panels, also at twice the size
void AddBombs(Pack& pack);       // explosion frames, also at twice the size
void AddWindowArt(Pack& pack);   // caption, frame buttons, splitter, message-box icons
void AddFaces(Pack& pack);       // the forty face icons
void AddShop(Pack& pack);        // shop skin, item pictures and descriptions, chat page
void AddSounds(Pack& pack);      // the eleven cues

// Everything above, in a fixed order.
void BuildPack(Pack& pack);

// One picture of all cards, marks and buttons, masked pictures shown as the
// client draws them over the table cloth.
QImage ContactSheet(const Pack& pack);

// The program's icon, size x size, for the desktop entry.
QImage AppIcon(int size);

// An assembled table for the contact sheet.
QImage TablePreview(const Pack& pack);

} // namespace kelpo::resgen
