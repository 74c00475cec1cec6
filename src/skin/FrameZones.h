#pragma once
// Which part of the main window's own frame the pointer is on: a corner or
// an edge (resize), the caption (move) or none. The window has no system
// frame, so these zones and the drags they start are its frame.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <Qt>

namespace kelpo {

enum class FrameZone { None, LeftUp, RightDown, RightUp, LeftDown, Left, Right, Up, Down, Move };

namespace FrameZones {

// How far inside an edge the resize zones reach, and the caption's band.
constexpr int EdgeWidth = 5;
constexpr int CaptionBottom = 35;
// The window never gets smaller than this.
constexpr QSize MinimumSize{800, 570};

// The zone for a pointer against the window rectangle, both in screen
// coordinates. onSysButton says whether the pointer is on a caption button,
// which belongs to no zone. Corners win over edges, edges over the caption;
// a pointer outside the window still counts for the edge it lies beyond.
FrameZone ZoneAt(const QRect& window, QPoint pointer, bool onSysButton);

// "LeftUp", "Move", ... or empty for None.
QString ZoneName(FrameZone zone);
Qt::CursorShape ZoneCursor(FrameZone zone);
// The edges a resize from this zone moves; none for Move and None.
Qt::Edges ZoneEdges(FrameZone zone);

// The window's rectangle while the pointer drags from `from` to `to` in a
// zone, for a window system that leaves moving and sizing to the program.
// Resizing stops at the minimum size with the opposite edges fixed.
QRect DraggedGeometry(FrameZone zone, const QRect& start, QPoint from, QPoint to);

} // namespace FrameZones
} // namespace kelpo
