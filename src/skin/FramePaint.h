#pragma once
// The main window's own frame: the caption band with its logo, title and
// three system buttons, the four-line border, and the two user buttons of
// the room pane's strip. Positions are window (or strip) client pixels.

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <QColor>

#include <array>
#include <initializer_list>

class QPainter;

namespace kelpo {

class ImageFileCache;

namespace FramePaint {

constexpr int SysButtonSize = 21;
constexpr int UserButtonWidth = 41;
constexpr int UserButtonHeight = 25;
constexpr int CaptionTileStep = 12;
constexpr int CaptionTop = 2;
constexpr int EndCapWidth = 15;
constexpr QPoint LogoAt{25, 6};
// The title is printed twice: a light copy one pixel down and right, then
// the black text over it.
constexpr QPoint TitleShadowAt{55, 13};
constexpr QPoint TitleAt{54, 12};

// Kinds of system-button picture, and the slots they are drawn in.
enum SysKind { KindMinimise = 0, KindMaximise = 1, KindRestore = 2, KindClose = 3 };
enum SysSlot { SlotMinimise = 0, SlotMaximise = 1, SlotClose = 2 };
enum UserSlot { UserSlotSettings = 0, UserSlotHelp = 1 };

struct ButtonPositions {
    std::array<QPoint, 3> SysButtonPos;
    std::array<QPoint, 2> UserButtonPos; // strip coordinates
};

// windowWidth is the main window's client width, stripWidth that of the
// user-button strip.
ButtonPositions PlaceFrameButtons(int windowWidth, int stripWidth);

// The slot whose button strictly contains the point, or -1.
int HitSysButton(const ButtonPositions& pos, QPoint at);
int HitUserButton(const ButtonPositions& pos, QPoint at);

// The slot a kind is drawn in, and the kind slot 1 shows for the window's
// state.
int SlotOfKind(int kind);
int KindOfSlot(int slot, bool maximised);

// The bitmaps of the frame, read through the cache from below appPath.
struct FrameArt {
    QImage captionMid;
    QImage captionEnd;
    QImage sysMenu;
    QImage userButton;
    QImage logo;
    static FrameArt Load(ImageFileCache& cache, const QString& appPath);
};

// Caption band, system buttons (all in their normal state), logo and title.
// Nothing is painted when the window is too narrow for the band or when the
// vertical bar reaches the right edge (splitterRight >= windowWidth).
void PaintCaption(QPainter& p, const FrameArt& art, const ButtonPositions& pos, int windowWidth,
                  int splitterRight, bool maximised, const QString& title);
void PaintFrameBorder(QPainter& p, int windowWidth, int windowHeight);
// Nested one-pixel outlines inside a rectangle of this size, outermost first.
void PaintOutlines(QPainter& p, QSize size, std::initializer_list<QColor> colours);
// Kinds outside 0..3 and slots outside 0..1 are ignored.
void PaintSysButton(QPainter& p, const FrameArt& art, const ButtonPositions& pos, int kind, bool hover);
void PaintUserButton(QPainter& p, const FrameArt& art, const ButtonPositions& pos, int slot, bool hover);

// Moves the lit button of a row of count buttons to slot (-1 for none) and
// returns the new lit slot; repaint(slot) is called for each button whose
// look changes.
template <typename Repaint>
int MoveHover(int current, int slot, int count, Repaint repaint)
{
    if (slot >= 0 && slot == current)
        return current;
    if (current >= 0)
        repaint(current);
    const int lit = slot < 0 || slot >= count ? -1 : slot;
    if (lit >= 0)
        repaint(lit);
    return lit;
}

// Where each piece lies, for repainting just that piece.
QRect CaptionRect(int windowWidth);
QRect SysButtonRect(const ButtonPositions& pos, int slot);
QRect UserButtonRect(const ButtonPositions& pos, int slot);

} // namespace FramePaint
} // namespace kelpo
