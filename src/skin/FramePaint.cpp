#include "skin/FramePaint.h"

#include "platform/Fonts.h"
#include "platform/ImageFiles.h"
#include "platform/ResourcePath.h"

#include <QPainter>

namespace kelpo::FramePaint {

namespace {

constexpr int SysSlotStep = 26;
constexpr int SysRightOffset = 100; // slot 0 lies this far left of the right edge
constexpr int SysTop = 7;
constexpr int UserTop = 4;
constexpr int HoverSysOffset = 4 * SysButtonSize;
constexpr int HoverUserOffset = 2 * UserButtonWidth;

bool StrictlyInside(QPoint at, QPoint corner, int w, int h)
{
    return at.x() > corner.x() && at.x() < corner.x() + w && at.y() > corner.y() && at.y() < corner.y() + h;
}

// Copies one cell of a strip of button pictures; a strip too short for the
// cell leaves the button out rather than drawing part of it.
void DrawCell(QPainter& p, const QImage& strip, QPoint to, int cellX, int w, int h)
{
    if (strip.isNull() || cellX < 0 || cellX + w > strip.width() || h > strip.height())
        return;
    p.drawImage(to, strip, QRect(cellX, 0, w, h));
}

} // namespace

ButtonPositions PlaceFrameButtons(int windowWidth, int stripWidth)
{
    ButtonPositions pos;
    for (int s = 0; s < 3; ++s)
        pos.SysButtonPos[s] = QPoint(windowWidth - SysRightOffset + s * SysSlotStep, SysTop);
    const int d = stripWidth / 3;
    pos.UserButtonPos[0] = QPoint(d - 30, UserTop);
    pos.UserButtonPos[1] = QPoint(2 * d - 10, UserTop);
    return pos;
}

int HitSysButton(const ButtonPositions& pos, QPoint at)
{
    for (int s = 0; s < 3; ++s)
        if (StrictlyInside(at, pos.SysButtonPos[s], SysButtonSize, SysButtonSize))
            return s;
    return -1;
}

int HitUserButton(const ButtonPositions& pos, QPoint at)
{
    for (int s = 0; s < 2; ++s)
        if (StrictlyInside(at, pos.UserButtonPos[s], UserButtonWidth, UserButtonHeight))
            return s;
    return -1;
}

int SlotOfKind(int kind)
{
    switch (kind) {
    case KindMinimise: return SlotMinimise;
    case KindMaximise:
    case KindRestore: return SlotMaximise;
    case KindClose: return SlotClose;
    default: return -1;
    }
}

int KindOfSlot(int slot, bool maximised)
{
    switch (slot) {
    case SlotMinimise: return KindMinimise;
    case SlotMaximise: return maximised ? KindRestore : KindMaximise;
    case SlotClose: return KindClose;
    default: return -1;
    }
}

FrameArt FrameArt::Load(ImageFileCache& cache, const QString& appPath)
{
    ImageFileCache::Batch batch(cache);
    auto read = [&](const char* name) { return cache.load(ResolvePath(appPath, QString::fromLatin1(name))); };
    FrameArt art;
    art.captionMid = read("Res\\CaptionMid.bmp");
    art.captionEnd = read("Res\\CaptionLR.bmp");
    art.sysMenu = read("Res\\SysMenu.bmp");
    art.userButton = read("Res\\UserButton.bmp");
    art.logo = read("Res\\CaptionLogo.bmp");
    return art;
}

void PaintCaption(QPainter& p, const FrameArt& art, const ButtonPositions& pos, int windowWidth,
                  int splitterRight, bool maximised, const QString& title)
{
    const int W = windowWidth;
    if (W - 7 < CaptionTileStep || splitterRight >= W)
        return;
    if (!art.captionMid.isNull())
        for (int x = 5; x <= W - 2; x += CaptionTileStep)
            p.drawImage(x, CaptionTop, art.captionMid);
    if (!art.captionEnd.isNull()) {
        // The left end is the right end seen in a mirror, ending at x = 19.
        p.drawImage(19 - art.captionEnd.width(), CaptionTop, art.captionEnd.mirrored(true, false));
        p.drawImage(W - 19, CaptionTop, art.captionEnd);
    }
    for (int slot = 0; slot < 3; ++slot)
        PaintSysButton(p, art, pos, KindOfSlot(slot, maximised), false);
    if (!art.logo.isNull())
        p.drawImage(LogoAt, art.logo);
    p.save();
    p.setFont(FontForText(MakeFont(QStringLiteral("黑体"), 9, false), title));
    const QRect room(0, 0, std::max(W - SysRightOffset - TitleAt.x() - 4, 0), 20);
    p.setPen(QColor(230, 250, 240));
    p.drawText(room.translated(TitleShadowAt), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, title);
    p.setPen(QColor(0, 0, 0));
    p.drawText(room.translated(TitleAt), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, title);
    p.restore();
}

void PaintFrameBorder(QPainter& p, int windowWidth, int windowHeight)
{
    PaintOutlines(p, QSize(windowWidth, windowHeight),
                  {QColor(115, 113, 115), QColor(173, 174, 173), QColor(214, 211, 214), QColor(231, 231, 231)});
}

void PaintOutlines(QPainter& p, QSize size, std::initializer_list<QColor> colours)
{
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setRenderHint(QPainter::Antialiasing, false);
    int k = 0;
    for (const QColor& c : colours) {
        const int w = size.width() - 1 - 2 * k;
        const int h = size.height() - 1 - 2 * k;
        if (w < 0 || h < 0)
            break;
        // A cosmetic pen of width 1 covers the outline of (k, k)-(k + w, k + h).
        p.setPen(QPen(c, 0));
        p.drawRect(k, k, w, h);
        ++k;
    }
    p.restore();
}

void PaintSysButton(QPainter& p, const FrameArt& art, const ButtonPositions& pos, int kind, bool hover)
{
    const int slot = SlotOfKind(kind);
    if (slot < 0)
        return;
    DrawCell(p, art.sysMenu, pos.SysButtonPos[slot], SysButtonSize * kind + (hover ? HoverSysOffset : 0),
             SysButtonSize, SysButtonSize);
}

void PaintUserButton(QPainter& p, const FrameArt& art, const ButtonPositions& pos, int slot, bool hover)
{
    if (slot < 0 || slot > 1)
        return;
    DrawCell(p, art.userButton, pos.UserButtonPos[slot], UserButtonWidth * slot + (hover ? HoverUserOffset : 0),
             UserButtonWidth, UserButtonHeight);
}

QRect CaptionRect(int windowWidth) { return QRect(0, 0, windowWidth, 35); }

QRect SysButtonRect(const ButtonPositions& pos, int slot)
{
    return slot >= 0 && slot < 3 ? QRect(pos.SysButtonPos[slot], QSize(SysButtonSize, SysButtonSize)) : QRect();
}

QRect UserButtonRect(const ButtonPositions& pos, int slot)
{
    return slot >= 0 && slot < 2 ? QRect(pos.UserButtonPos[slot], QSize(UserButtonWidth, UserButtonHeight))
                                 : QRect();
}

} // namespace kelpo::FramePaint
