#include "Art.h"
#include "Draw.h"

#include <functional>
#include <vector>

namespace kelpo::resgen {

namespace {

struct Tile {
    QString label;
    QImage image;
};

struct Section {
    QString title;
    std::vector<Tile> tiles;
};

constexpr int SheetWidth = 1480;
constexpr int Gap = 8;

// What the client's AND-then-OR drawing leaves on the table cloth.
QImage OverTable(const QImage& picture, const QImage& mask)
{
    QImage out(picture.size(), QImage::Format_RGB32);
    const QRgb cloth = TableBlue.rgb() & 0xFFFFFF;
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
            const QRgb m = mask.pixel(x, y) & 0xFFFFFF;
            out.setPixel(x, y, 0xFF000000 | ((cloth & m) | (picture.pixel(x, y) & 0xFFFFFF)));
        }
    return out;
}

// Colour-keyed drawing over the table cloth, as the explosion is painted.
QImage KeyedOverTable(const QImage& frame, QRgb key)
{
    QImage out(frame.size(), QImage::Format_RGB32);
    out.fill(TableBlue);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            if ((frame.pixel(x, y) & 0xFFFFFF) != (key & 0xFFFFFF))
                out.setPixel(x, y, frame.pixel(x, y));
    return out;
}

QImage Cell(const QImage& strip, int x, int y, int w, int h) { return strip.copy(x, y, w, h); }

class SheetBuilder {
public:
    explicit SheetBuilder(const Pack& pack) : pack_(pack) {}

    QImage app(const QString& path) const { return pack_.image(Root::App, path); }
    QImage parent(const QString& path) const { return pack_.image(Root::Parent, path); }

    Section& section(const QString& title)
    {
        sections_.push_back({title, {}});
        return sections_.back();
    }

    static void add(Section& s, const QString& label, const QImage& image)
    {
        if (!image.isNull())
            s.tiles.push_back({label, image});
    }

    QImage render() const
    {
        const int height = layout(nullptr);
        QImage sheet(SheetWidth, height, QImage::Format_RGB32);
        sheet.fill(QColor(236, 238, 242));
        QPainter p(&sheet);
        Smooth(p);
        layout(&p);
        return sheet;
    }

private:
    // Places every tile; draws too when given a painter. Returns the height used.
    int layout(QPainter* p) const
    {
        const QFont titleFont = SansFont(18);
        const QFont labelFont = SansFont(10, false);
        int y = Gap;
        for (const Section& s : sections_) {
            if (p)
                DrawText(*p, QRectF(Gap, y, SheetWidth, 26), s.title, titleFont, Ink,
                         Qt::AlignLeft | Qt::AlignVCenter);
            y += 30;
            int x = Gap, rowH = 0;
            for (const Tile& t : s.tiles) {
                const int w = std::max(t.image.width(), 40);
                if (x + w > SheetWidth - Gap && x > Gap) {
                    x = Gap;
                    y += rowH + Gap;
                    rowH = 0;
                }
                if (p) {
                    p->drawImage(x, y, t.image);
                    DrawText(*p, QRectF(x - 4, y + t.image.height() + 1, w + 8, 13), t.label,
                             labelFont, QColor(70, 74, 90));
                }
                x += w + Gap;
                rowH = std::max(rowH, t.image.height() + 15);
            }
            y += rowH + Gap * 2;
        }
        return y;
    }

    const Pack& pack_;
    std::vector<Section> sections_;
};

// Eighteen overlapping cards as the hand shows them, to judge the corners.
QImage HandFan(const SheetBuilder& b, const QString& folder, const QString& maskName,
               const std::vector<int>& indices, int step, bool vertical)
{
    const QImage mask = b.app(folder + maskName);
    if (mask.isNull())
        return {};
    const int n = int(indices.size());
    const int w = vertical ? mask.width() : mask.width() + (n - 1) * step;
    const int h = vertical ? mask.height() + (n - 1) * step : mask.height();
    QImage out(w, h, QImage::Format_RGB32);
    out.fill(TableBlue);
    for (int i = 0; i < n; ++i) {
        const QImage card = b.app(folder + QStringLiteral("Pk%1.bmp").arg(indices[i]));
        if (card.isNull())
            continue;
        const int ox = vertical ? 0 : i * step, oy = vertical ? i * step : 0;
        for (int y = 0; y < card.height(); ++y)
            for (int x = 0; x < card.width(); ++x) {
                const QRgb d = out.pixel(ox + x, oy + y) & mask.pixel(x, y);
                out.setPixel(ox + x, oy + y, 0xFF000000 | d | (card.pixel(x, y) & 0xFFFFFF));
            }
    }
    return out;
}

// The shop's pieces put together at the window's own coordinates.
QImage ShopPreview(const SheetBuilder& b)
{
    const QImage main = b.parent("DaoJuMaket/DaoJuMain.bmp");
    if (main.isNull())
        return {};
    QImage out = main.copy();
    QPainter p(&out);
    p.drawImage(10, 63, b.parent("DaoJuMaket/DaoJuInfoBk.bmp"));
    for (int i = 1; i <= 3; ++i)
        p.drawImage(10 + (i - 1) * 85, 38, b.parent(i == 1 ? "DaoJuMaket/TabBut.bmp" : "DaoJuMaket/TabButM.bmp"));
    for (int i = 1; i <= 2; ++i)
        p.drawImage(10 + (i - 1) * 85, 427, b.parent(i == 1 ? "DaoJuMaket/TabBut.bmp" : "DaoJuMaket/TabButM.bmp"));
    for (int c = 0; c < 4; ++c) {
        p.drawImage(15 + 279 * (c % 2), 68 + 159 * (c / 2),
                    b.app(QStringLiteral("Res/DaoJu/DaoJuInfo_%1.bmp").arg(c + 1)));
        p.drawImage(c % 2 ? 506 : 227, c / 2 ? 348 : 190,
                    b.parent(c == 1 ? "DaoJuMaket/BuyButM.bmp" : "DaoJuMaket/BuyBut.bmp"));
    }
    p.drawImage(594, 78, b.parent("DaoJuMaket/DaoJuNo.bmp"));
    for (int k = 0; k < 7; ++k)
        p.drawImage(56 + 90 * k, 454,
                    k < 5 ? b.app(QStringLiteral("Res/DaoJu/MyDaoJu_%1.bmp").arg(k + 2))
                          : b.parent(k == 5 ? "DaoJuMaket/MeNo.bmp" : "DaoJuMaket/MyDaoJuBk.bmp"));
    p.drawImage(6, 447, b.parent("DaoJuMaket/Move0.bmp"));
    p.drawImage(688, 447, b.parent("DaoJuMaket/move1M.bmp"));
    const QImage sys = b.parent("DaoJuMaket/SysBut.bmp");
    p.drawImage(689, 2, sys.copy(0, 0, 17, 17));
    p.drawImage(710, 2, sys.copy(51, 0, 17, 17));
    return out;
}

} // namespace

QImage ContactSheet(const Pack& pack)
{
    SheetBuilder b(pack);
    const QImage fullMask = b.app("Res/ResPk/PkMask.bmp");
    const QImage smallMask = b.app("Res/ResPK_DJ/PkMask.bmp");

    Section& table = b.section(QStringLiteral("An 800 x 600 table put together from the pack (standard layout)"));
    SheetBuilder::add(table, "table", TablePreview(pack));

    Section& hands = b.section(QStringLiteral("Hand as drawn (18 px step) and partner column (16 px step)"));
    SheetBuilder::add(hands, "hand", HandFan(b, "Res/ResPk/", "PkMask.bmp",
                                             {16, 3, 29, 42, 4, 30, 17, 44, 7, 33, 20, 11, 24, 38, 1,
                                              52, 53, 100}, 18, false));
    SheetBuilder::add(hands, "partner", HandFan(b, "Res/ResPK_DJ/", "PkMask.bmp",
                                                {3, 4, 18, 9, 23, 49, 0, 1, 14, 52, 53}, 16, true));

    Section& full = b.section(QStringLiteral("Full-size cards Res/ResPk (80 x 105), over the cloth"));
    for (int i = 0; i <= 53; ++i)
        SheetBuilder::add(full, QString::number(i),
                          OverTable(b.app(QStringLiteral("Res/ResPk/Pk%1.bmp").arg(i)), fullMask));
    SheetBuilder::add(full, "100", OverTable(b.app("Res/ResPk/Pk100.bmp"), fullMask));
    SheetBuilder::add(full, "back", OverTable(b.app("Res/PkBack.bmp"), fullMask));
    SheetBuilder::add(full, "mask", fullMask);

    Section& small = b.section(QStringLiteral("Small cards Res/ResPK_DJ (62 x 90)"));
    for (int i = 0; i <= 53; ++i)
        SheetBuilder::add(small, QString::number(i),
                          OverTable(b.app(QStringLiteral("Res/ResPK_DJ/Pk%1.bmp").arg(i)), smallMask));
    SheetBuilder::add(small, "back", OverTable(b.app("Res/ResPK_DJ/PkBack.bmp"), smallMask));
    SheetBuilder::add(small, "mask", smallMask);

    Section& marks = b.section(QStringLiteral("Marks, over the cloth"));
    auto sideBySide = [&](Section& s, const QString& label, const QString& path, int w, int h) {
        const QImage strip = b.app(path);
        if (!strip.isNull())
            SheetBuilder::add(s, label, OverTable(Cell(strip, 0, 0, w, h), Cell(strip, w, 0, w, h)));
    };
    sideBySide(marks, "BuChu", "Res/BuChu.bmp", 95, 45);
    sideBySide(marks, "UserWarnFlag", "Res/UserWarnFlag.bmp", 32, 32);
    sideBySide(marks, "Hand", "Res/Hand.bmp", 80, 35);
    if (const QImage mc = b.app("Res/MingCi.bmp"); !mc.isNull())
        for (int r = 1; r <= 5; ++r)
            SheetBuilder::add(marks, QStringLiteral("MingCi %1").arg(r),
                              OverTable(Cell(mc, (r - 1) * 66, 0, 66, 25), Cell(mc, (r - 1) * 66, 25, 66, 25)));
    if (const QImage clock = b.app("Res/Clock.bmp"); !clock.isNull())
        for (int f = 0; f < 8; ++f)
            SheetBuilder::add(marks, QStringLiteral("Clock %1").arg(f),
                              OverTable(Cell(clock, f * 31, 0, 31, 38), Cell(clock, 248, 0, 31, 38)));
    SheetBuilder::add(marks, "NetBreak", b.app("Res/NetBreak.bmp"));
    SheetBuilder::add(marks, "TimeBarHead", b.app("Res/TimeBarHead.bmp"));
    SheetBuilder::add(marks, "TimeBarEnd", b.app("Res/TimeBarEnd.bmp"));
    for (const char* s : {"s0", "s1", "c0", "c1"})
        SheetBuilder::add(marks, s, b.app(QStringLiteral("Res/%1.bmp").arg(s)));

    Section& buttons = b.section(QStringLiteral("Table buttons (normal, hover)"));
    if (const QImage opt = b.app("Res/UserOptBut.bmp"); !opt.isNull())
        for (int c = 0; c < 4; ++c)
            SheetBuilder::add(buttons, QStringLiteral("Opt %1").arg(c), Cell(opt, c * 44, 0, 44, 24));
    if (const QImage out = b.app("Res/UserOutBut.bmp"); !out.isNull())
        for (int c = 0; c < 6; ++c)
            SheetBuilder::add(buttons, QStringLiteral("Out %1").arg(c),
                              OverTable(Cell(out, c * 61, 0, 61, 28), Cell(out, 366, 0, 61, 28)));
    if (const QImage gong = b.app("Res/GongBut.bmp"); !gong.isNull())
        for (int c = 0; c < 4; ++c)
            SheetBuilder::add(buttons, QStringLiteral("Gong %1").arg(c),
                              OverTable(Cell(gong, c * 61, 0, 61, 28), Cell(gong, 366, 0, 61, 28)));

    Section& panels = b.section(QStringLiteral("Panels"));
    if (const QImage end = b.app("Res/GameEnd.bmp"); !end.isNull())
        SheetBuilder::add(panels, "GameEnd", OverTable(end, b.app("Res/GameEndM.bmp")));
    if (const QImage score = b.app("Res/GameScore.bmp"); !score.isNull())
        SheetBuilder::add(panels, "GameScore", OverTable(score, b.app("Res/GameScoreM.bmp")));
    SheetBuilder::add(panels, "GameBackMid", b.app("Res/GameBackMid.bmp"));
    SheetBuilder::add(panels, "LeftLogo", b.app("Res/LeftLogo.bmp"));
    SheetBuilder::add(panels, "LtDjbk", b.app("Res/LtDjbk.bmp"));
    SheetBuilder::add(panels, "LtDjHead", b.app("Res/LtDjHead.bmp"));
    SheetBuilder::add(panels, "RtDjHead", b.app("Res/RtDjHead.bmp"));
    SheetBuilder::add(panels, "Jiao", b.app("Res/GameBackJiao.bmp"));

    Section& window = b.section(QStringLiteral("Window, faces and explosions"));
    if (const QImage sys = b.app("Res/SysMenu.bmp"); !sys.isNull())
        for (int c = 0; c < 8; ++c)
            SheetBuilder::add(window, QStringLiteral("Sys %1").arg(c), Cell(sys, c * 21, 0, 21, 21));
    if (const QImage ub = b.app("Res/UserButton.bmp"); !ub.isNull())
        for (int c = 0; c < 4; ++c)
            SheetBuilder::add(window, QStringLiteral("User %1").arg(c), Cell(ub, c * 41, 0, 41, 25));
    SheetBuilder::add(window, "CaptionLR", b.app("Res/CaptionLR.bmp"));
    SheetBuilder::add(window, "CaptionLogo", b.app("Res/CaptionLogo.bmp"));
    if (const QImage l = b.app("res/VSpliterMid_Left.bmp"); !l.isNull())
        SheetBuilder::add(window, "Split<", l.scaled(24, 16));
    if (const QImage r = b.app("res/VSpliterMid_Right.bmp"); !r.isNull())
        SheetBuilder::add(window, "Split>", r.scaled(24, 16));
    for (int t = 0; t <= 2; ++t)
        SheetBuilder::add(window, QStringLiteral("Msg%1").arg(t),
                          b.parent(QStringLiteral("res/Msg%1.ico").arg(t)));
    for (int n = 1; n <= 40; ++n)
        SheetBuilder::add(window, QString::number(n),
                          b.parent(QStringLiteral("UserRes/LargeUser/%1.ico").arg(n)));
    const struct { int kind, frames; QRgb key; } bombs[] = {
        {1, 9, qRgb(0, 0, 0)}, {2, 15, qRgb(255, 255, 255)}, {3, 27, qRgb(0, 0, 0)}};
    for (const auto& k : bombs)
        for (int f = 1; f <= k.frames; f += (k.frames > 10 ? 3 : 2)) {
            const QImage frame = b.app(QStringLiteral("Res/Bomb/b%1/Blast0%2.jpg")
                                           .arg(k.kind)
                                           .arg(f, 2, 10, QLatin1Char('0')));
            if (!frame.isNull())
                SheetBuilder::add(window, QStringLiteral("b%1/%2").arg(k.kind).arg(f),
                                  KeyedOverTable(frame, k.key));
        }
    Section& shop = b.section(QStringLiteral("Item shop, pieces at their places (labels are the window's own)"));
    SheetBuilder::add(shop, "DaoJuMaket", ShopPreview(b));
    return b.render();
}

} // namespace kelpo::resgen
