#include "Art.h"
#include "Draw.h"

namespace kelpo::resgen {

namespace {

class Table {
public:
    Table(const Pack& pack, int w, int h) : pack_(pack), img_(w, h, QImage::Format_RGB32), p_(&img_)
    {
        img_.fill(TableBlue);
    }

    QImage app(const QString& path) const { return pack_.image(Root::App, path); }

    void opaque(const QString& path, int x, int y) { p_.drawImage(x, y, app(path)); }

    // AND with the mask, then OR with the picture, as the table draws.
    void masked(const QImage& picture, const QImage& mask, int x, int y)
    {
        if (picture.isNull() || mask.isNull())
            return;
        p_.end();
        for (int j = 0; j < mask.height(); ++j)
            for (int i = 0; i < mask.width(); ++i) {
                if (!img_.rect().contains(x + i, y + j))
                    continue;
                const QRgb d = img_.pixel(x + i, y + j) & mask.pixel(i, j);
                img_.setPixel(x + i, y + j, 0xFF000000 | d | (picture.pixel(i, j) & 0xFFFFFF));
            }
        p_.begin(&img_);
    }

    void pair(const QString& path, int cellW, int cellH, int x, int y)
    {
        const QImage s = app(path);
        masked(s.copy(0, 0, cellW, cellH), s.copy(cellW, 0, cellW, cellH), x, y);
    }

    void cards(const std::vector<int>& indices, int x, int y, const std::vector<int>& raised = {})
    {
        const QImage mask = app("Res/ResPk/PkMask.bmp");
        for (std::size_t i = 0; i < indices.size(); ++i) {
            const bool up = std::find(raised.begin(), raised.end(), int(i)) != raised.end();
            masked(app(QStringLiteral("Res/ResPk/Pk%1.bmp").arg(indices[i])), mask, x + int(i) * 18, up ? y - 24 : y);
        }
    }

    void seat(const QString& frame, const QImage& face, int fx, int fy, int x, int y, const QString& name,
              int nx, int ny)
    {
        opaque(frame, fx, fy);
        p_.drawImage(x, y, face);
        DrawText(p_, QRectF(nx, ny, 120, 14), name, SerifFont(12, false), Qt::white, Qt::AlignLeft | Qt::AlignTop);
    }

    QPainter& painter() { return p_; }
    QImage take()
    {
        p_.end();
        return img_;
    }

private:
    const Pack& pack_;
    QImage img_;
    QPainter p_;
};

} // namespace

// An 800 x 600 table in the standard layout, put together from the pack at
// the places the table view uses, to judge the pieces side by side.
QImage TablePreview(const Pack& pack)
{
    const int W = 800, H = 600;
    Table t(pack, W, H);
    t.opaque("Res/GameBackMid.bmp", (W - 295) / 2, (H - 345) / 2);
    t.opaque("Res/LeftLogo.bmp", 30, 30);
    const QImage v = t.app("Res/GameBackVsBian.bmp"), h = t.app("Res/GameBackHsBian.bmp");
    const QImage corner = t.app("Res/GameBackJiao.bmp");
    QPainter& p = t.painter();
    for (int y = 0; y < H; y += 5) {
        p.drawImage(0, y, v);
        p.drawImage(W - v.width(), y, v.mirrored(true, false));
    }
    for (int x = 0; x < W; x += 5) {
        p.drawImage(x, 0, h);
        p.drawImage(x, H - h.height(), h.mirrored(false, true));
    }
    p.drawImage(0, 0, corner);
    p.drawImage(W - 18, 0, corner.mirrored(true, false));
    p.drawImage(0, H - 18, corner.mirrored(false, true));
    p.drawImage(W - 18, H - 18, corner.mirrored(true, true));
    t.opaque("Res/TimeBarHead.bmp", 15, 15);
    t.opaque("Res/TimeBarEnd.bmp", 187, 15);

    // Seat anchors of the standard layout at 800 x 600, views 0..5.
    const QPoint seat[6] = {{9, 134}, {9, 284}, {384, 558}, {750, 284}, {750, 134}, {384, 9}};
    const char* names[6] = {"小白", "阿飞", "我自己", "老王", "糖糖", "北风"};
    auto face = [&](int n) { return pack.image(Root::Parent, QStringLiteral("UserRes/LargeUser/%1.ico").arg(n)); };
    for (int view = 0; view < 6; ++view) {
        const QPoint a = seat[view];
        const int parity = (view + 1) % 2;
        if (view == 2 || view == 5)
            t.seat(QStringLiteral("Res/s%1.bmp").arg(parity), face(view * 6 + 3), a.x() - 5, a.y() - 3, a.x(), a.y(),
                   QString::fromUtf8(names[view]), a.x() + 35, a.y() + 8);
        else
            t.seat(QStringLiteral("Res/c%1.bmp").arg(parity), face(view * 6 + 3),
                   view == 0 ? a.x() - 1 : view == 1 ? a.x() - 1 : a.x() - 10, view == 1 || view == 3 ? a.y() - 2 : a.y(),
                   a.x(), a.y(), QString::fromUtf8(names[view]), view < 2 ? a.x() : a.x() - 10, a.y() + 35);
    }
    // Plays: the top seat passed, the others laid cards.
    t.pair("Res/BuChu.bmp", 95, 45, 400 - 47, 59 + 30);
    t.cards({16, 29}, 111, 174);
    t.cards({8, 21, 34}, 111, 289);
    t.cards({44}, 648 - 80, 289);
    t.cards({52, 53}, 648 - 98, 174);
    t.cards({10, 23, 36, 49}, 400 - 67, 308);
    // The bottom hand with two cards raised, its buttons and marks.
    const std::vector<int> hand = {16, 3, 29, 42, 4, 30, 17, 44, 7, 33, 20, 11, 24, 38, 1, 40, 52, 100};
    t.cards(hand, 400 - (17 * 18 + 80) / 2, 447, {4, 9});
    const QImage out = t.app("Res/UserOutBut.bmp");
    t.masked(out.copy(0, 0, 61, 28), out.copy(366, 0, 61, 28), 400 - 65, 308 + 38);
    t.masked(out.copy(4 * 61, 0, 61, 28), out.copy(366, 0, 61, 28), 400 - 65 + 69, 308 + 38);
    const QImage clock = t.app("Res/Clock.bmp");
    t.masked(clock.copy(3 * 31, 0, 31, 38), clock.copy(248, 0, 31, 38), 384 - 90, 558 - 5);
    const QImage rank = t.app("Res/MingCi.bmp");
    t.masked(rank.copy(0, 0, 66, 25), rank.copy(0, 25, 66, 25), 9 + 60, 284);
    t.pair("Res/UserWarnFlag.bmp", 32, 32, 750, 284 + 105);
    t.pair("Res/Hand.bmp", 80, 35, 750 - 100, 134);
    t.masked(t.app("Res/GameScore.bmp"), t.app("Res/GameScoreM.bmp"), W - 182 - 15, 15);
    DrawText(p, QRectF(W - 197 + 129, 48 - 8, 40, 30), "2", SansFont(26), QColor(0, 0, 255), Qt::AlignLeft);
    DrawText(p, QRectF(W - 197 + 129, 83 - 8, 40, 30), "5", SansFont(26), QColor(255, 0, 0), Qt::AlignLeft);
    const QImage opt = t.app("Res/UserOptBut.bmp");
    p.drawImage(W - 54, H - 65, opt.copy(0, 0, 44, 24));
    p.drawImage(W - 54, H - 36, opt.copy(3 * 44, 0, 44, 24));
    return t.take();
}

} // namespace kelpo::resgen
