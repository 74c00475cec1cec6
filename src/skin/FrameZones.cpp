#include "skin/FrameZones.h"

namespace kelpo::FrameZones {

FrameZone ZoneAt(const QRect& window, QPoint pointer, bool onSysButton)
{
    // Outer edges: R and B are one past the last pixel, as a window
    // rectangle is reported by the window system.
    const int L = window.left();
    const int T = window.top();
    const int R = window.left() + window.width();
    const int B = window.top() + window.height();
    const int x = pointer.x();
    const int y = pointer.y();
    const bool left = x < L + EdgeWidth;
    const bool right = x > R - EdgeWidth;
    const bool up = y < T + EdgeWidth;
    const bool down = y > B - EdgeWidth;
    if (left && up)
        return FrameZone::LeftUp;
    if (right && down)
        return FrameZone::RightDown;
    if (up && right)
        return FrameZone::RightUp;
    if (down && left)
        return FrameZone::LeftDown;
    if (left)
        return FrameZone::Left;
    if (right)
        return FrameZone::Right;
    if (up)
        return FrameZone::Up;
    if (down)
        return FrameZone::Down;
    if (y > T + EdgeWidth && y < T + CaptionBottom && !onSysButton)
        return FrameZone::Move;
    return FrameZone::None;
}

QString ZoneName(FrameZone zone)
{
    switch (zone) {
    case FrameZone::LeftUp: return QStringLiteral("LeftUp");
    case FrameZone::RightDown: return QStringLiteral("RightDown");
    case FrameZone::RightUp: return QStringLiteral("RightUp");
    case FrameZone::LeftDown: return QStringLiteral("LeftDown");
    case FrameZone::Left: return QStringLiteral("Left");
    case FrameZone::Right: return QStringLiteral("Right");
    case FrameZone::Up: return QStringLiteral("Up");
    case FrameZone::Down: return QStringLiteral("Down");
    case FrameZone::Move: return QStringLiteral("Move");
    case FrameZone::None: break;
    }
    return QString();
}

Qt::CursorShape ZoneCursor(FrameZone zone)
{
    switch (zone) {
    case FrameZone::LeftUp:
    case FrameZone::RightDown: return Qt::SizeFDiagCursor;
    case FrameZone::RightUp:
    case FrameZone::LeftDown: return Qt::SizeBDiagCursor;
    case FrameZone::Left:
    case FrameZone::Right: return Qt::SizeHorCursor;
    case FrameZone::Up:
    case FrameZone::Down: return Qt::SizeVerCursor;
    case FrameZone::Move:
    case FrameZone::None: break;
    }
    return Qt::ArrowCursor;
}

Qt::Edges ZoneEdges(FrameZone zone)
{
    switch (zone) {
    case FrameZone::LeftUp: return Qt::LeftEdge | Qt::TopEdge;
    case FrameZone::RightDown: return Qt::RightEdge | Qt::BottomEdge;
    case FrameZone::RightUp: return Qt::RightEdge | Qt::TopEdge;
    case FrameZone::LeftDown: return Qt::LeftEdge | Qt::BottomEdge;
    case FrameZone::Left: return Qt::LeftEdge;
    case FrameZone::Right: return Qt::RightEdge;
    case FrameZone::Up: return Qt::TopEdge;
    case FrameZone::Down: return Qt::BottomEdge;
    case FrameZone::Move:
    case FrameZone::None: break;
    }
    return {};
}

QRect DraggedGeometry(FrameZone zone, const QRect& start, QPoint from, QPoint to)
{
    const QPoint d = to - from;
    if (zone == FrameZone::Move)
        return start.translated(d);
    const Qt::Edges edges = ZoneEdges(zone);
    QRect r = start;
    if (edges & Qt::LeftEdge)
        r.setLeft(std::min(start.left() + d.x(), start.right() + 1 - MinimumSize.width()));
    if (edges & Qt::RightEdge)
        r.setRight(std::max(start.right() + d.x(), start.left() + MinimumSize.width() - 1));
    if (edges & Qt::TopEdge)
        r.setTop(std::min(start.top() + d.y(), start.bottom() + 1 - MinimumSize.height()));
    if (edges & Qt::BottomEdge)
        r.setBottom(std::max(start.bottom() + d.y(), start.top() + MinimumSize.height() - 1));
    return r;
}

} // namespace kelpo::FrameZones
