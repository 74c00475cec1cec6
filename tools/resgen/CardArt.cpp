#include "Art.h"
#include "Draw.h"

#include <QLinearGradient>
#include <QRadialGradient>

namespace kelpo::resgen {

namespace {

constexpr int FullW = 80, FullH = 105;
constexpr int SmallW = 62, SmallH = 90;
constexpr qreal Radius = 6;

// Image rank within a suit runs K, A, 2 .. Q (face value mod 13).
QString RankText(int imageRank)
{
    static const char* names[13] = {"K", "A", "2", "3", "4", "5", "6", "7", "8", "9", "10", "J", "Q"};
    return QString::fromLatin1(names[imageRank]);
}

// Image suit 0..3 is printed as spade, heart, club, diamond: the colours
// alternate along the file numbers.
int PrintedSuit(int imageSuit) { return imageSuit; }

QColor SuitColor(int suit) { return SuitIsRed(suit) ? CardRed : CardBlack; }

QPainterPath CardShape(int w, int h)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(0, 0, w, h), Radius, Radius);
    return path;
}

void PaintCardBase(QPainter& p, int w, int h)
{
    QLinearGradient g(0, 0, w, h);
    g.setColorAt(0, QColor(255, 255, 253));
    g.setColorAt(1, QColor(240, 238, 230));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(CardShape(w, h));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(96, 100, 112), 1));
    p.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), Radius - 0.5, Radius - 0.5);
}

void FillSuit(QPainter& p, int suit, const QRectF& box, bool flipped = false)
{
    p.save();
    if (flipped) {
        p.translate(box.center());
        p.rotate(180);
        p.translate(-box.center());
    }
    p.setPen(Qt::NoPen);
    p.setBrush(SuitColor(suit));
    p.drawPath(SuitPath(suit, box));
    p.restore();
}

// The rank and suit in the 18-pixel strip that stays visible when the next
// card covers the rest; drawn again upside down in the far corner.
void PaintFullCorner(QPainter& p, int suit, const QString& rank)
{
    const bool ten = rank.size() > 1;
    for (int flip = 0; flip < 2; ++flip) {
        p.save();
        if (flip) {
            p.translate(FullW, FullH);
            p.rotate(180);
        }
        DrawText(p, QRectF(0, 2, 18, 18), rank, SansFont(ten ? 14 : 17, true, ten ? 62 : 100),
                 SuitColor(suit));
        FillSuit(p, suit, QRectF(3.5, 21, 11, 12));
        p.restore();
    }
}

// Pip centres for 2..10 in a 40 x 75 field; those below the middle are drawn
// upside down, as on printed cards.
std::vector<QPointF> PipLayout(int n)
{
    const qreal l = 0, m = 0.5, r = 1;
    switch (n) {
    case 2: return {{m, 0}, {m, 1}};
    case 3: return {{m, 0}, {m, 0.5}, {m, 1}};
    case 4: return {{l, 0}, {r, 0}, {l, 1}, {r, 1}};
    case 5: return {{l, 0}, {r, 0}, {m, 0.5}, {l, 1}, {r, 1}};
    case 6: return {{l, 0}, {r, 0}, {l, 0.5}, {r, 0.5}, {l, 1}, {r, 1}};
    case 7: return {{l, 0}, {r, 0}, {m, 0.25}, {l, 0.5}, {r, 0.5}, {l, 1}, {r, 1}};
    case 8: return {{l, 0}, {r, 0}, {m, 0.25}, {l, 0.5}, {r, 0.5}, {m, 0.75}, {l, 1}, {r, 1}};
    case 9: return {{l, 0}, {r, 0}, {l, 1.0 / 3}, {r, 1.0 / 3}, {m, 0.5},
                    {l, 2.0 / 3}, {r, 2.0 / 3}, {l, 1}, {r, 1}};
    default: return {{l, 0}, {r, 0}, {m, 1.0 / 6}, {l, 1.0 / 3}, {r, 1.0 / 3},
                     {l, 2.0 / 3}, {r, 2.0 / 3}, {m, 5.0 / 6}, {l, 1}, {r, 1}};
    }
}

void PaintPips(QPainter& p, int suit, int count)
{
    const qreal columns[3] = {29, 40, 51};
    const qreal top = 18, span = 69;
    const qreal pw = 12, ph = 13;
    for (const QPointF& c : PipLayout(count)) {
        const int col = c.x() == 0 ? 0 : (c.x() == 1 ? 2 : 1);
        const QPointF at(columns[col], top + c.y() * span);
        FillSuit(p, suit, QRectF(at.x() - pw / 2, at.y() - ph / 2, pw, ph), c.y() > 0.5);
    }
}

void PaintCourt(QPainter& p, int suit, const QString& rank)
{
    const QRectF panel(21.5, 9.5, 37, 86);
    const QColor tint = SuitIsRed(suit) ? QColor(252, 226, 222) : QColor(222, 230, 246);
    QLinearGradient g(panel.topLeft(), panel.bottomRight());
    g.setColorAt(0, tint);
    g.setColorAt(1, tint.darker(112));
    p.setBrush(g);
    p.setPen(QPen(DeepGold, 1.2));
    p.drawRoundedRect(panel, 3, 3);
    p.setPen(QPen(Gold, 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(panel.adjusted(2.5, 2.5, -2.5, -2.5), 2, 2);
    // Crown over the letter: points for K, a rounded tiara for Q, a cap for J.
    QPainterPath crown;
    const qreal cx = panel.center().x(), top = 20;
    if (rank == "K") {
        crown.moveTo(cx - 10, top + 9);
        crown.lineTo(cx - 10, top);
        crown.lineTo(cx - 5, top + 5);
        crown.lineTo(cx, top - 2);
        crown.lineTo(cx + 5, top + 5);
        crown.lineTo(cx + 10, top);
        crown.lineTo(cx + 10, top + 9);
        crown.closeSubpath();
    } else if (rank == "Q") {
        crown.moveTo(cx - 9, top + 9);
        crown.quadTo(cx - 9, top + 1, cx - 4, top + 3);
        crown.quadTo(cx, top - 3, cx + 4, top + 3);
        crown.quadTo(cx + 9, top + 1, cx + 9, top + 9);
        crown.closeSubpath();
    } else {
        crown.moveTo(cx - 9, top + 9);
        crown.quadTo(cx - 8, top, cx, top);
        crown.quadTo(cx + 8, top, cx + 9, top + 9);
        crown.closeSubpath();
    }
    p.setPen(QPen(DeepGold, 1));
    p.setBrush(Gold);
    p.drawPath(crown);
    DrawText(p, QRectF(panel.left(), 30, panel.width(), 40), rank, SerifFont(34), SuitColor(suit));
    FillSuit(p, suit, QRectF(cx - 7, 72, 14, 15));
}

void PaintAce(QPainter& p, int suit)
{
    const QRectF box(22, 30, 36, 42);
    if (suit == 0) { // the ace of spades carries a ring
        p.setPen(QPen(Gold, 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(box.center(), 21, 24);
    }
    FillSuit(p, suit, box);
}

// Jokers: the big one in red and gold, the small one in black and silver.
void PaintJokerFull(QPainter& p, bool big)
{
    const QColor ink = big ? CardRed : CardBlack;
    const QFont letters = SansFont(11, true);
    const QString word = QStringLiteral("JOKER");
    for (int flip = 0; flip < 2; ++flip) {
        p.save();
        if (flip) {
            p.translate(FullW, FullH);
            p.rotate(180);
        }
        for (int i = 0; i < word.size(); ++i)
            DrawText(p, QRectF(1, 3 + i * 11, 16, 12), word.mid(i, 1), letters, ink);
        p.restore();
    }
    const QPointF c(40, 44);
    const QPainterPath star = Star(c, 21, 9);
    QRadialGradient g(c, 22);
    g.setColorAt(0, big ? QColor(255, 236, 150) : QColor(250, 250, 250));
    g.setColorAt(1, big ? QColor(230, 120, 30) : QColor(120, 124, 136));
    p.setPen(QPen(big ? QColor(150, 30, 20) : QColor(40, 40, 48), 1.2));
    p.setBrush(g);
    p.drawPath(star);
    DrawText(p, QRectF(18, 68, 44, 22), big ? QStringLiteral("大王") : QStringLiteral("小王"),
             SansFont(16), ink);
}

// Every picture below is drawn at `scale` times its size by the same
// strokes, so the large pack is as sharp as a screen of that density allows.
QImage FullFace(int index, bool marked, int scale = 1)
{
    QImage img = Canvas(FullW * scale, FullH * scale);
    QPainter p(&img);
    p.scale(scale, scale);
    Smooth(p);
    PaintCardBase(p, FullW, FullH);
    if (index == 52 || index == 53) {
        PaintJokerFull(p, index == 53);
    } else {
        const int suit = PrintedSuit(index / 13);
        const int rank = index % 13;
        PaintFullCorner(p, suit, RankText(rank));
        if (rank == 1)
            PaintAce(p, suit);
        else if (rank == 0 || rank == 11 || rank == 12)
            PaintCourt(p, suit, RankText(rank));
        else
            PaintPips(p, suit, rank);
    }
    if (marked) {
        // The first leader's card: a gold inner frame and a seal saying "first".
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Gold, 2.5));
        p.drawRoundedRect(QRectF(2.5, 2.5, FullW - 5, FullH - 5), 4, 4);
        const QPointF c(61, 21);
        QRadialGradient g(c, 12);
        g.setColorAt(0, QColor(236, 60, 50));
        g.setColorAt(1, QColor(160, 16, 24));
        p.setPen(QPen(Gold, 1.5));
        p.setBrush(g);
        p.drawEllipse(c, 12, 12);
        DrawText(p, QRectF(c.x() - 12, c.y() - 12, 24, 24), QStringLiteral("先"), SansFont(15),
                 QColor(255, 240, 200));
        // Visible in the corner strip too, under the suit.
        const QPainterPath star = Star(QPointF(9, 42), 6, 2.4);
        p.setPen(QPen(DeepGold, 0.8));
        p.setBrush(Gold);
        p.drawPath(star);
    }
    return img;
}

QImage SmallFace(int index, int scale = 1)
{
    QImage img = Canvas(SmallW * scale, SmallH * scale);
    QPainter p(&img);
    p.scale(scale, scale);
    Smooth(p);
    PaintCardBase(p, SmallW, SmallH);
    // Partner hands stack these 16 pixels apart: rank and suit sit side by
    // side in the top strip.
    if (index == 52 || index == 53) {
        const bool big = index == 53;
        const QColor ink = big ? CardRed : CardBlack;
        DrawText(p, QRectF(3, 0, 40, 16), big ? QStringLiteral("大王") : QStringLiteral("小王"),
                 SansFont(13), ink, Qt::AlignLeft | Qt::AlignVCenter);
        const QPainterPath star = Star(QPointF(31, 52), 17, 7);
        p.setPen(QPen(ink, 1));
        p.setBrush(big ? Gold : QColor(190, 194, 204));
        p.drawPath(star);
        return img;
    }
    const int suit = PrintedSuit(index / 13);
    const QString rank = RankText(index % 13);
    const bool ten = rank.size() > 1;
    DrawText(p, QRectF(2, 0, 17, 16), rank, SansFont(ten ? 13 : 15, true, ten ? 70 : 100),
             SuitColor(suit));
    FillSuit(p, suit, QRectF(19, 2.5, 10, 11));
    FillSuit(p, suit, QRectF(15, 32, 32, 36));
    DrawText(p, QRectF(SmallW - 22, SmallH - 18, 19, 16), rank,
             SansFont(ten ? 12 : 14, true, ten ? 70 : 100), SuitColor(suit));
    return img;
}

QImage Back(int w, int h, int scale = 1)
{
    QImage img = Canvas(w * scale, h * scale);
    QPainter p(&img);
    p.scale(scale, scale);
    Smooth(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 248, 240));
    p.drawPath(CardShape(w, h));
    const QRectF inner(3.5, 3.5, w - 7, h - 7);
    QLinearGradient g(inner.topLeft(), inner.bottomRight());
    g.setColorAt(0, QColor(164, 28, 40));
    g.setColorAt(1, QColor(112, 14, 28));
    p.setBrush(g);
    p.drawRoundedRect(inner, 3, 3);
    // A lattice of gold diagonals, clipped to the inner panel.
    p.save();
    QPainterPath clip;
    clip.addRoundedRect(inner, 3, 3);
    p.setClipPath(clip);
    p.setPen(QPen(QColor(232, 190, 92, 120), 1));
    for (int d = -h; d < w + h; d += 8) {
        p.drawLine(QPointF(d, 0), QPointF(d + h, h));
        p.drawLine(QPointF(d, h), QPointF(d + h, 0));
    }
    p.restore();
    p.setPen(QPen(Gold, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(inner.adjusted(2, 2, -2, -2), 2, 2);
    // Centre medallion with a suit of each colour.
    const QPointF c(w / 2.0, h / 2.0);
    const qreal rx = w * 0.26, ry = h * 0.2;
    QRadialGradient m(c, rx * 1.3);
    m.setColorAt(0, QColor(255, 232, 160));
    m.setColorAt(1, QColor(200, 140, 50));
    p.setPen(QPen(QColor(120, 60, 20), 1));
    p.setBrush(m);
    p.drawEllipse(c, rx, ry);
    const qreal s = rx * 0.62;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 20, 34));
    p.drawPath(SuitPath(1, QRectF(c.x() - s - 1, c.y() - s / 2, s, s)));
    p.setBrush(CardBlack);
    p.drawPath(SuitPath(0, QRectF(c.x() + 1, c.y() - s / 2, s, s)));
    return img;
}

QImage ShapeMask(int w, int h, int scale = 1)
{
    QImage shape = Canvas(w * scale, h * scale);
    {
        QPainter p(&shape);
        p.scale(scale, scale);
        Smooth(p);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPath(CardShape(w, h));
    }
    QImage picture, mask;
    SplitMasked(shape, Qt::black, &picture, &mask);
    return mask;
}

QImage Finish(const QImage& drawn, const QImage& mask)
{
    QImage picture, ownMask;
    SplitMasked(drawn, TableBlue, &picture, &ownMask);
    ClearOutsideMask(picture, mask);
    return picture;
}

} // namespace

// The card set at one scale; the large one goes to folders named with
// "@2x" beside the standard ones.
void AddCardSet(Pack& pack, int scale)
{
    const QString suffix = scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale);
    const QString full = QStringLiteral("Res/ResPk%1/").arg(suffix);
    const QString small = QStringLiteral("Res/ResPK_DJ%1/").arg(suffix);
    const QImage fullMask = ShapeMask(FullW, FullH, scale);
    const QImage smallMask = ShapeMask(SmallW, SmallH, scale);
    for (int i = 0; i <= 53; ++i)
        pack.addBitmap(Root::App, full + QStringLiteral("Pk%1.bmp").arg(i), Finish(FullFace(i, false, scale), fullMask));
    // Card code 0 is image 3; its marked twin shows while the first lead is owed.
    pack.addBitmap(Root::App, full + QStringLiteral("Pk100.bmp"), Finish(FullFace(3, true, scale), fullMask));
    pack.addBitmap(Root::App, full + QStringLiteral("PkMask.bmp"), fullMask);
    const QImage fullBack = Finish(Back(FullW, FullH, scale), fullMask);
    pack.addBitmap(Root::App, full + QStringLiteral("PkBack.bmp"), fullBack);
    pack.addBitmap(Root::App, QStringLiteral("Res/PkBack%1.bmp").arg(suffix), fullBack);

    for (int i = 0; i <= 53; ++i)
        pack.addBitmap(Root::App, small + QStringLiteral("Pk%1.bmp").arg(i), Finish(SmallFace(i, scale), smallMask));
    pack.addBitmap(Root::App, small + QStringLiteral("PkMask.bmp"), smallMask);
    pack.addBitmap(Root::App, small + QStringLiteral("PkBack.bmp"), Finish(Back(SmallW, SmallH, scale), smallMask));
}

void AddCards(Pack& pack)
{
    AddCardSet(pack, 1);
    // For screens of twice the density: the same cards at twice the size.
    AddCardSet(pack, 2);
}

} // namespace kelpo::resgen
