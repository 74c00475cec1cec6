// The explosion played over a seat's play.

#include "platform/Raster.h"
#include "skin/clsPaintImageByNullBack.h"
#include "table/TablePainter.h"

#include <utility>

namespace kelpo {

namespace {

struct BombKind {
    int frames;
    int width;
    int height;
    QRgb key;
    int delayMs;
};

constexpr BombKind Kinds[3] = {
    {9, 180, 135, qRgb(0, 0, 0), 30},
    {15, 88, 80, qRgb(255, 255, 255), 40},
    {27, 78, 121, qRgb(0, 0, 0), 10},
};

} // namespace

void TablePainter::PlayBombAnimation(int seat, int kind)
{
    const int view = ViewOfSeat(state, seat);
    // A second explosion asked for while one waits between frames would
    // take over the saved background and leave the first one's frame behind.
    if (view < 0 || kind < 1 || kind > 3 || bombRunning_)
        return;
    const BombKind& k = Kinds[kind - 1];
    const QPoint a = state.view.Layout.PlayAnchor[view];
    const int w = RowWidth(state.seats[static_cast<std::size_t>(seat)].currentPlay.count());
    int x = 0;
    int y = 0;
    switch (AlignmentOf(view)) {
    case Alignment::Centre:
        x = a.x() - k.width / 2;
        y = a.y() + (kind == 1 ? -10 : kind == 2 ? 0 : 10);
        break;
    case Alignment::Left:
        x = a.x() + w / 2 - k.width / 2;
        y = a.y() + (kind == 1 ? -60 : -40);
        break;
    case Alignment::Right:
        x = a.x() - w / 2 - k.width / 2;
        y = a.y() + (kind == 1 ? -60 : -40);
        break;
    case Alignment::None:
        return;
    }

    bombRunning_ = true;
    state.view.BombPlaying = true;
    picBomb1.resize(k.width, k.height);
    picBomb1.transfer(0, 0, k.width, k.height, std::as_const(picGameBack).image(), x, y, RasterOp::Copy);
    // Kept apart from picBomb1: a full repaint during a wait may resize the
    // table but must not change what goes back at the end.
    const QImage clean = picBomb1.image();
    clsPaintImageByNullBack painter;
    for (int frame = 1; frame <= k.frames; ++frame) {
        const QImage picture = AppImage(QStringLiteral("Res\\Bomb\\b%1\\Blast0%2.jpg")
                                            .arg(kind)
                                            .arg(frame, 2, 10, QLatin1Char('0')));
        if (picture.isNull())
            continue;
        picGameBack.transfer(x, y, k.width, k.height, clean, 0, 0, RasterOp::Copy);
        painter.PictureBox_PaintImageByNullBack(picGameBack, picture, picBomb2, k.key, x, y);
        if (WaitMilliseconds)
            WaitMilliseconds(k.delayMs);
        if (state.globals.QuitRequested)
            break;
    }
    picGameBack.transfer(x, y, k.width, k.height, clean, 0, 0, RasterOp::Copy);
    state.view.BombPlaying = false;
    bombRunning_ = false;
}

} // namespace kelpo
