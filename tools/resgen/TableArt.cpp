#include "Art.h"
#include "Draw.h"

#include <QLinearGradient>
#include <QRadialGradient>

namespace kelpo::resgen {

namespace {

// Picture and mask next to each other in one file.
QImage MaskedPair(const QImage& argb)
{
    QImage picture, mask;
    SplitMasked(argb, TableBlue, &picture, &mask);
    return Strip({picture, mask});
}

// Opaque pieces are drawn over the cloth colour so they sit on the table
// without a seam.
QImage OnCloth(int w, int h, int s) { return Canvas(w * s, h * s, TableBlue); }

QImage CentreImage(int s)
{
    QImage img = OnCloth(295, 345, s);
    QPainter p(&img);
    p.scale(s, s);
    Smooth(p);
    const QRectF outer(4, 4, 287, 337);
    QRadialGradient g(outer.center(), 200);
    g.setColorAt(0, QColor(66, 108, 168));
    g.setColorAt(1, QColor(44, 78, 130));
    p.setPen(QPen(DeepGold, 2));
    p.setBrush(g);
    p.drawRoundedRect(outer, 28, 28);
    p.setPen(QPen(QColor(232, 190, 92, 150), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(outer.adjusted(7, 7, -7, -7), 22, 22);
    // Four suits around a ring, faint, as the cloth's emblem.
    const QPointF c = outer.center();
    p.setPen(QPen(QColor(232, 190, 92, 90), 1.5));
    p.drawEllipse(c, 78, 78);
    p.drawEllipse(c, 70, 70);
    const QPointF at[4] = {{0, -74}, {74, 0}, {0, 74}, {-74, 0}};
    for (int s = 0; s < 4; ++s) {
        p.setPen(Qt::NoPen);
        p.setBrush(SuitIsRed(s) ? QColor(220, 90, 90, 120) : QColor(20, 30, 50, 110));
        p.drawPath(SuitPath(s, QRectF(c.x() + at[s].x() - 11, c.y() + at[s].y() - 12, 22, 24)));
    }
    const QPainterPath star = Star(c, 34, 14, 6);
    p.setPen(QPen(QColor(232, 190, 92, 110), 1));
    p.setBrush(QColor(232, 190, 92, 40));
    p.drawPath(star);
    DrawText(p, QRectF(0, c.y() + 92, 295, 30), QStringLiteral("KELPO"), SerifFont(22),
             QColor(232, 190, 92, 130));
    return img;
}

QImage LeftLogo(int s)
{
    QImage img = OnCloth(150, 56, s);
    QPainter p(&img);
    p.scale(s, s);
    Smooth(p);
    // A small fan of three cards beside the name.
    for (int i = 0; i < 3; ++i) {
        p.save();
        p.translate(24, 50);
        p.rotate(-20 + i * 20);
        p.setPen(QPen(QColor(90, 90, 100), 1));
        p.setBrush(i == 1 ? QColor(255, 252, 244) : QColor(240, 236, 226));
        p.drawRoundedRect(QRectF(-10, -40, 20, 28), 3, 3);
        p.setPen(Qt::NoPen);
        p.setBrush(i == 1 ? CardRed : CardBlack);
        p.drawPath(SuitPath(i == 1 ? 1 : (i == 0 ? 0 : 2), QRectF(-5, -32, 10, 11)));
        p.restore();
    }
    DrawText(p, QRectF(49, 7, 100, 30), QStringLiteral("KELPO"), SerifFont(24), QColor(20, 30, 50));
    DrawText(p, QRectF(48, 6, 100, 30), QStringLiteral("KELPO"), SerifFont(24), Gold);
    DrawText(p, QRectF(48, 34, 100, 16), QStringLiteral("六 人 团 队 牌 戏"), SansFont(11, false),
             QColor(200, 214, 236));
    return img;
}

// Edge strips: dark outside, fading into the cloth, with a gold thread.
QImage EdgeTile(bool vertical, int s)
{
    const int depth = 9;
    QImage img = vertical ? OnCloth(depth, 5, s) : OnCloth(5, depth, s);
    QPainter p(&img);
    p.scale(s, s);
    for (int d = 0; d < depth; ++d) {
        QColor c;
        if (d == 5)
            c = QColor(196, 156, 70);
        else
            c = QColor::fromRgbF(TableBlue.redF() * (0.45 + 0.06 * d), TableBlue.greenF() * (0.45 + 0.06 * d),
                                 TableBlue.blueF() * (0.5 + 0.055 * d));
        if (d == 8)
            c = TableBlue;
        p.fillRect(vertical ? QRectF(d, 0, 1, 5) : QRectF(0, d, 5, 1), c);
    }
    return img;
}

QImage Corner(int s)
{
    QImage img = OnCloth(18, 18, s);
    QPainter p(&img);
    // The two edge tiles meeting, then a gold quarter boss over the joint.
    const QImage v = EdgeTile(true, s), h = EdgeTile(false, s);
    for (int y = 0; y < 18 * s; y += 5 * s)
        p.drawImage(0, y, v);
    for (int x = 0; x < 18 * s; x += 5 * s)
        p.drawImage(x, 0, h);
    p.scale(s, s);
    p.fillRect(0, 0, 5, 5, QColor(16, 28, 48));
    Smooth(p);
    p.setPen(QPen(DeepGold, 1));
    p.setBrush(Gold);
    p.drawEllipse(QPointF(5.5, 5.5), 4, 4);
    return img;
}

QImage ItemPanel(bool right, int s)
{
    QImage img = OnCloth(123, 321, s);
    QPainter p(&img);
    p.scale(s, s);
    Smooth(p);
    QLinearGradient g(0, 0, 123, 0);
    g.setColorAt(right ? 1 : 0, QColor(30, 54, 94));
    g.setColorAt(right ? 0 : 1, QColor(36, 64, 108));
    p.setPen(QPen(QColor(232, 190, 92, 170), 1));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0.5, 0.5, 122, 320), 10, 10);
    p.setPen(QPen(QColor(255, 255, 255, 40), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(3.5, 3.5, 116, 314), 8, 8);
    return img;
}

QImage BandTile(int s)
{
    QImage img = OnCloth(10, 24, s);
    QPainter p(&img);
    p.scale(s, s);
    QLinearGradient g(0, 0, 0, 24);
    g.setColorAt(0, QColor(28, 50, 88));
    g.setColorAt(0.5, QColor(38, 66, 112));
    g.setColorAt(1, QColor(28, 50, 88));
    p.fillRect(0, 2, 10, 20, g);
    p.fillRect(QRectF(0, 2, 10, 1), QColor(196, 156, 70));
    p.fillRect(QRectF(0, 21, 10, 1), QColor(196, 156, 70));
    return img;
}

QImage BandHead(bool right, int s)
{
    QImage img = OnCloth(153, 24, s);
    QPainter p(&img);
    p.drawImage(0, 0, BandTile(s).scaled(153 * s, 24 * s));
    p.scale(s, s);
    Smooth(p);
    // The inner end is a rounded tip with a gem, pointing at the centre.
    const qreal tip = right ? 8 : 145;
    QRadialGradient gem(QPointF(tip, 12), 8);
    gem.setColorAt(0, QColor(255, 236, 170));
    gem.setColorAt(1, DeepGold);
    p.setPen(QPen(QColor(120, 80, 20), 1));
    p.setBrush(gem);
    p.drawEllipse(QPointF(tip, 12), 7, 7);
    p.setPen(QPen(QColor(232, 190, 92, 160), 1));
    const qreal from = right ? 20 : 30, to = right ? 123 : 133;
    p.drawLine(QPointF(from, 12), QPointF(to, 12));
    return img;
}

// Seat frames: gold for even seats, silver-teal for odd ones, so partners match.
QColor SeatAccent(int parity) { return parity == 0 ? Gold : QColor(150, 210, 220); }

QImage SeatFrameWide(int parity, int s)
{
    QImage img = OnCloth(150, 38, s);
    QPainter p(&img);
    p.scale(s, s);
    Smooth(p);
    Panel(p, QRectF(0.5, 0.5, 149, 37), 8, QColor(30, 52, 92), QColor(18, 34, 64), QPen(SeatAccent(parity), 1));
    // The face well and a line under the name.
    p.setPen(QPen(SeatAccent(parity).darker(140), 1));
    p.setBrush(QColor(12, 22, 42));
    p.drawRoundedRect(QRectF(3.5, 1.5, 35, 35), 4, 4);
    p.setPen(QPen(QColor(255, 255, 255, 50), 1));
    p.drawLine(QPointF(42, 27.5), QPointF(142, 27.5));
    return img;
}

QImage SeatFrameTall(int parity, int s)
{
    // The top row stays cloth: the lower side seats draw this frame one row
    // above the area their empty-seat erase restores.
    QImage img = OnCloth(50, 86, s);
    QPainter p(&img);
    p.scale(s, s);
    Smooth(p);
    Panel(p, QRectF(0.5, 1.5, 49, 84), 8, QColor(30, 52, 92), QColor(18, 34, 64), QPen(SeatAccent(parity), 1));
    p.setPen(QPen(QColor(255, 255, 255, 45), 1));
    p.drawLine(QPointF(5, 36.5), QPointF(45, 36.5));
    return img;
}

QImage NetBreak(int s)
{
    QImage img = OnCloth(32, 32, s);
    QPainter p(&img);
    p.scale(s, s);
    Smooth(p);
    QRadialGradient g(QPointF(13, 12), 18);
    g.setColorAt(0, QColor(240, 90, 80));
    g.setColorAt(1, QColor(160, 20, 30));
    p.setPen(QPen(QColor(255, 220, 210), 1.2));
    p.setBrush(g);
    p.drawEllipse(QRectF(1.5, 1.5, 29, 29));
    // "Cut off": one character reads better than any plug drawing at 32 px.
    DrawOutlinedText(p, QRectF(0, 0, 32, 31), QStringLiteral("断"), SansFont(19), Qt::white,
                     QColor(110, 10, 14));
    return img;
}

QImage PassMark(int s)
{
    QImage img = Canvas(95 * s, 45 * s);
    QPainter p(&img);
    p.scale(s, s);
    Smooth(p);
    Panel(p, QRectF(2, 4, 91, 37), 18, QColor(132, 144, 166), QColor(74, 84, 104), QPen(QColor(226, 232, 242), 2));
    DrawOutlinedText(p, QRectF(0, 3, 95, 38), QStringLiteral("不出"), SansFont(25),
                     QColor(255, 255, 255), QColor(40, 46, 60));
    return img;
}

QImage RankMark(int rank, int s)
{
    static const QColor tones[5] = {QColor(236, 180, 40), QColor(176, 186, 200), QColor(196, 120, 60),
                                    QColor(70, 170, 160), QColor(150, 110, 190)};
    static const char* words[5] = {"第一名", "第二名", "第三名", "第四名", "第五名"};
    const QColor tone = tones[rank - 1];
    QImage img = Canvas(66 * s, 25 * s);
    QPainter p(&img);
    p.scale(s, s);
    Smooth(p);
    Panel(p, QRectF(0.5, 1.5, 65, 22), 11, tone.lighter(135), tone.darker(125), QPen(tone.darker(170), 1));
    DrawOutlinedText(p, QRectF(0, 1, 66, 23), QString::fromUtf8(words[rank - 1]), SansFont(15),
                     Qt::white, tone.darker(200));
    return img;
}

QImage WarnFlag(int s)
{
    QImage img = Canvas(32 * s, 32 * s);
    QPainter p(&img);
    p.scale(s, s);
    Smooth(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 230, 236));
    p.drawRoundedRect(QRectF(5, 2, 3, 29), 1.5, 1.5);
    p.setBrush(QColor(200, 200, 210));
    p.drawEllipse(QPointF(6.5, 2.5), 2.5, 2.5);
    QPainterPath flag;
    flag.moveTo(8, 4);
    flag.cubicTo(14, 1, 20, 8, 30, 4);
    flag.lineTo(30, 19);
    flag.cubicTo(20, 23, 14, 16, 8, 19);
    flag.closeSubpath();
    QLinearGradient g(8, 0, 30, 0);
    g.setColorAt(0, QColor(236, 40, 36));
    g.setColorAt(1, QColor(180, 16, 24));
    p.setPen(QPen(QColor(110, 10, 14), 1));
    p.setBrush(g);
    p.drawPath(flag);
    DrawText(p, QRectF(10, 2, 20, 19), QStringLiteral("!"), SansFont(16), QColor(255, 236, 120));
    return img;
}

QImage ReadyHand(int s)
{
    QImage img = Canvas(80 * s, 35 * s);
    QPainter p(&img);
    p.scale(s, s);
    Smooth(p);
    Panel(p, QRectF(1, 3, 78, 29), 14, QColor(74, 170, 96), QColor(30, 110, 56), QPen(QColor(200, 240, 200), 1.2));
    // An open hand: palm, four fingers and a thumb.
    p.setPen(QPen(QColor(120, 70, 40), 0.8));
    p.setBrush(QColor(255, 214, 170));
    const qreal fx[4] = {12, 16.5, 21, 25.5};
    const qreal fh[4] = {10, 12, 11.5, 9};
    for (int i = 0; i < 4; ++i)
        p.drawRoundedRect(QRectF(fx[i], 17 - fh[i], 4, fh[i] + 4), 2, 2);
    p.drawRoundedRect(QRectF(11.5, 14, 19, 14), 5, 5);
    p.save();
    p.translate(12, 22);
    p.rotate(-40);
    p.drawRoundedRect(QRectF(-2, -9, 4.5, 10), 2, 2);
    p.restore();
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(12.5, 15, 17, 5));
    DrawOutlinedText(p, QRectF(32, 3, 44, 29), QStringLiteral("准备"), SansFont(17), Qt::white,
                     QColor(20, 80, 36));
    return img;
}

// Option buttons are drawn opaque; their rounded corners show the cloth.
QImage OptionButton(const QString& text, bool hover, int s)
{
    QImage img = OnCloth(44, 24, s);
    QPainter p(&img);
    p.scale(s, s);
    Smooth(p);
    if (hover)
        DrawButtonFace(p, QRectF(0, 0, 44, 24), 6, QColor(255, 236, 170), QColor(226, 170, 60),
                       QColor(130, 86, 20));
    else
        DrawButtonFace(p, QRectF(0, 0, 44, 24), 6, QColor(120, 150, 200), QColor(56, 84, 136),
                       QColor(20, 36, 70));
    DrawText(p, QRectF(0, 0, 44, 24), text, SansFont(13),
             hover ? QColor(90, 40, 10) : QColor(246, 248, 255));
    return img;
}

QImage ActionButtonArgb(const QString& text, bool hover, bool warm, int s)
{
    QImage img = Canvas(61 * s, 28 * s);
    QPainter p(&img);
    p.scale(s, s);
    Smooth(p);
    if (warm) {
        if (hover)
            DrawButtonFace(p, QRectF(0, 0, 61, 28), 9, QColor(255, 246, 196), QColor(244, 190, 70),
                           QColor(140, 90, 20));
        else
            DrawButtonFace(p, QRectF(0, 0, 61, 28), 9, QColor(250, 222, 140), QColor(210, 150, 44),
                           QColor(120, 76, 16));
    } else {
        if (hover)
            DrawButtonFace(p, QRectF(0, 0, 61, 28), 9, QColor(214, 226, 244), QColor(140, 160, 196),
                           QColor(50, 66, 100));
        else
            DrawButtonFace(p, QRectF(0, 0, 61, 28), 9, QColor(186, 198, 220), QColor(108, 124, 158),
                           QColor(40, 52, 84));
    }
    DrawText(p, QRectF(0, 0, 61, 28), text, SansFont(15),
             hover ? QColor(150, 30, 10) : QColor(60, 30, 8));
    return img;
}

// Every cell shares the one mask in the seventh cell.
QImage ButtonStrip(const std::vector<QImage>& argbCells, int s) { return MaskedCells(argbCells, 61 * s, 28 * s, 6); }

void TimeBarStyle(QPainter& p)
{
    QLinearGradient g(0, 0, 0, 28);
    g.setColorAt(0, QColor(40, 64, 108));
    g.setColorAt(1, QColor(16, 30, 58));
    p.setPen(QPen(Gold, 1));
    p.setBrush(g);
}

QImage TimeBarHead(int s)
{
    QImage img = OnCloth(52, 28, s);
    QPainter p(&img);
    p.scale(s, s);
    Smooth(p);
    TimeBarStyle(p);
    QPainterPath cap;
    cap.moveTo(60, 0.5);
    cap.lineTo(14, 0.5);
    cap.arcTo(QRectF(0.5, 0.5, 27, 27), 90, 180);
    cap.lineTo(60, 27.5);
    p.drawPath(cap);
    // An hourglass.
    p.setPen(QPen(QColor(255, 236, 170), 1.2));
    p.setBrush(QColor(232, 190, 92, 160));
    QPainterPath glass;
    glass.moveTo(9, 6);
    glass.lineTo(21, 6);
    glass.lineTo(15, 14);
    glass.lineTo(21, 22);
    glass.lineTo(9, 22);
    glass.lineTo(15, 14);
    glass.closeSubpath();
    p.drawPath(glass);
    p.drawLine(QPointF(8, 5.5), QPointF(22, 5.5));
    p.drawLine(QPointF(8, 22.5), QPointF(22, 22.5));
    return img;
}

QImage TimeBarEnd(int s)
{
    QImage img = OnCloth(10, 28, s);
    QPainter p(&img);
    p.scale(s, s);
    Smooth(p);
    TimeBarStyle(p);
    QPainterPath cap;
    cap.moveTo(-10, 0.5);
    cap.lineTo(0, 0.5);
    cap.arcTo(QRectF(-17.5, 0.5, 27, 27), 90, -180);
    cap.lineTo(-10, 27.5);
    p.drawPath(cap);
    return img;
}

QImage ClockFrame(int frame, int s)
{
    QImage img = Canvas(31 * s, 38 * s);
    QPainter p(&img);
    p.scale(s, s);
    Smooth(p);
    const QPointF c(15.5, 21.5);
    // Bells and legs.
    p.setPen(QPen(QColor(110, 16, 20), 1));
    p.setBrush(QColor(226, 58, 48));
    p.drawPie(QRectF(1, 3, 12, 12), 30 * 16, 180 * 16);
    p.drawPie(QRectF(18, 3, 12, 12), -30 * 16 + 0, 180 * 16);
    p.setPen(QPen(QColor(60, 60, 70), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(7, 34), QPointF(5, 37));
    p.drawLine(QPointF(24, 34), QPointF(26, 37));
    p.drawLine(QPointF(15.5, 4), QPointF(15.5, 7.5));
    // Body and face.
    QRadialGradient rim(c, 14);
    rim.setColorAt(0.8, QColor(236, 70, 56));
    rim.setColorAt(1, QColor(150, 20, 24));
    p.setPen(QPen(QColor(110, 16, 20), 1));
    p.setBrush(rim);
    p.drawEllipse(c, 14, 14);
    p.setBrush(QColor(255, 252, 240));
    p.setPen(Qt::NoPen);
    p.drawEllipse(c, 10.5, 10.5);
    p.setPen(QPen(QColor(80, 80, 90), 1));
    for (int i = 0; i < 12; i += 3) {
        const qreal a = i * M_PI / 6;
        p.drawLine(QPointF(c.x() + 8 * std::sin(a), c.y() - 8 * std::cos(a)),
                   QPointF(c.x() + 10 * std::sin(a), c.y() - 10 * std::cos(a)));
    }
    // The sweep hand moves an eighth of a turn per frame.
    const qreal a = frame * M_PI / 4;
    p.setPen(QPen(QColor(200, 20, 30), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, QPointF(c.x() + 8.5 * std::sin(a), c.y() - 8.5 * std::cos(a)));
    p.setPen(QPen(QColor(30, 30, 40), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, QPointF(c.x() + 5, c.y() + 1));
    p.setBrush(QColor(30, 30, 40));
    p.setPen(Qt::NoPen);
    p.drawEllipse(c, 1.6, 1.6);
    return img;
}

QImage ClockStrip(int s)
{
    std::vector<QImage> frames;
    for (int f = 0; f < 8; ++f)
        frames.push_back(ClockFrame(f, s));
    return MaskedCells(frames, 31 * s, 38 * s, 8);
}

QImage EndPanel(int s)
{
    QImage img = Canvas(309 * s, 300 * s);
    QPainter p(&img);
    p.scale(s, s);
    Smooth(p);
    Panel(p, QRectF(1.5, 1.5, 306, 297), 18, QColor(255, 250, 236), QColor(236, 224, 194), QPen(DeepGold, 3));
    p.setPen(QPen(Gold, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(7.5, 7.5, 294, 285), 13, 13);
    // Title ribbon.
    QLinearGradient r(0, 16, 0, 56);
    r.setColorAt(0, QColor(214, 52, 44));
    r.setColorAt(1, QColor(150, 18, 24));
    p.setPen(QPen(QColor(110, 10, 14), 1));
    p.setBrush(r);
    QPainterPath ribbon;
    ribbon.moveTo(60, 18);
    ribbon.lineTo(249, 18);
    ribbon.lineTo(239, 37);
    ribbon.lineTo(249, 56);
    ribbon.lineTo(60, 56);
    ribbon.lineTo(70, 37);
    ribbon.closeSubpath();
    p.drawPath(ribbon);
    DrawOutlinedText(p, QRectF(60, 18, 189, 38), QStringLiteral("本局成绩"), SansFont(21),
                     QColor(255, 240, 196), QColor(110, 10, 14));
    // Six result rows, tinted by team, with a team dot in front.
    for (int i = 0; i < 6; ++i) {
        const qreal y = 86 + 25 * i;
        p.setPen(Qt::NoPen);
        p.setBrush(i % 2 ? QColor(150, 210, 220, 50) : QColor(232, 190, 92, 55));
        p.drawRoundedRect(QRectF(28, y, 253, 22), 6, 6);
        p.setBrush(i % 2 ? QColor(70, 150, 170) : DeepGold);
        p.drawEllipse(QPointF(43, y + 11), 5, 5);
    }
    return img;
}

QImage ScorePanel(int s)
{
    QImage img = Canvas(182 * s, 99 * s);
    QPainter p(&img);
    p.scale(s, s);
    Smooth(p);
    Panel(p, QRectF(1, 1, 180, 97), 12, QColor(255, 250, 236), QColor(232, 220, 190), QPen(DeepGold, 2));
    DrawText(p, QRectF(0, 4, 182, 22), QStringLiteral("比  分"), SansFont(15), QColor(90, 60, 20));
    p.setPen(QPen(QColor(200, 170, 110), 1));
    p.drawLine(QPointF(14, 27.5), QPointF(168, 27.5));
    // Rows match the numbers the table prints: blue above, red below.
    const struct { qreal y; QColor c; const char* label; } rows[2] = {
        {33, QColor(0, 0, 255), "蓝队"}, {68, QColor(255, 0, 0), "红队"}};
    for (const auto& r : rows) {
        p.setPen(Qt::NoPen);
        p.setBrush(r.c);
        p.drawEllipse(QPointF(24, r.y + 13), 5, 5);
        DrawText(p, QRectF(34, r.y, 70, 26), QString::fromUtf8(r.label), SansFont(18), r.c.darker(130),
                 Qt::AlignLeft | Qt::AlignVCenter);
        p.setPen(QPen(QColor(200, 180, 140), 1));
        p.setBrush(QColor(255, 255, 255));
        p.drawRoundedRect(QRectF(122.5, r.y - 1.5, 50, 28), 5, 5);
    }
    return img;
}

// The table's pieces at one scale; the large ones are named with "@2x"
// before the extension, beside the standard files.
class TableSet {
public:
    TableSet(Pack& pack, int scale)
        : pack_(pack), s(scale), suffix_(scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale))
    {
    }

    void add(const QString& name, const QImage& image)
    {
        pack_.addBitmap(Root::App, "Res/" + name + suffix_ + ".bmp", image);
    }

    void addPanel(const QString& name, const QImage& argb)
    {
        QImage picture, mask;
        SplitMasked(argb, TableBlue, &picture, &mask);
        add(name, picture);
        add(name + "M", mask);
    }

    void addAll();

private:
    Pack& pack_;
    const int s;
    const QString suffix_;
};

void TableSet::addAll()
{
    add("GameBackMid", CentreImage(s));
    add("LeftLogo", LeftLogo(s));
    add("GameBackVsBian", EdgeTile(true, s));
    add("GameBackHsBian", EdgeTile(false, s));
    add("GameBackJiao", Corner(s));
    add("LtDjbk", ItemPanel(false, s));
    add("RtDjbk", ItemPanel(true, s));
    add("DjBkMid", BandTile(s));
    add("LtDjHead", BandHead(false, s));
    add("RtDjHead", BandHead(true, s));

    add("s0", SeatFrameWide(0, s));
    add("s1", SeatFrameWide(1, s));
    add("c0", SeatFrameTall(0, s));
    add("c1", SeatFrameTall(1, s));
    add("NetBreak", NetBreak(s));

    add("BuChu", MaskedPair(PassMark(s)));
    {
        // Rank r: picture in the top row, its mask right under it.
        const int w = 66 * s, h = 25 * s;
        QImage strip(5 * w, 2 * h, QImage::Format_RGB32);
        strip.fill(Qt::black);
        QPainter p(&strip);
        for (int r = 1; r <= 5; ++r) {
            QImage picture, mask;
            SplitMasked(RankMark(r, s), TableBlue, &picture, &mask);
            p.drawImage((r - 1) * w, 0, picture);
            p.drawImage((r - 1) * w, h, mask);
        }
        p.end();
        add("MingCi", strip);
    }
    add("UserWarnFlag", MaskedPair(WarnFlag(s)));
    add("Hand", MaskedPair(ReadyHand(s)));

    add("UserOptBut", Strip({OptionButton("上轮", false, s), OptionButton("排序", false, s),
                             OptionButton("上轮", true, s), OptionButton("排序", true, s)}));
    // Cell = frame x 3 + button: play, pass and a spare hint button per frame.
    add("UserOutBut",
        ButtonStrip({ActionButtonArgb("出牌", false, true, s), ActionButtonArgb("不出", false, false, s),
                     ActionButtonArgb("提示", false, false, s), ActionButtonArgb("出牌", true, true, s),
                     ActionButtonArgb("不出", true, false, s), ActionButtonArgb("提示", true, false, s)},
                    s));
    // Cell = frame x 2 + variant: give tribute, return tribute.
    add("GongBut", ButtonStrip({ActionButtonArgb("进贡", false, true, s), ActionButtonArgb("还贡", false, true, s),
                                ActionButtonArgb("进贡", true, true, s), ActionButtonArgb("还贡", true, true, s)},
                               s));

    add("TimeBarHead", TimeBarHead(s));
    add("TimeBarEnd", TimeBarEnd(s));
    add("Clock", ClockStrip(s));
    addPanel("GameEnd", EndPanel(s));
    addPanel("GameScore", ScorePanel(s));
}

} // namespace

void AddTableArt(Pack& pack)
{
    TableSet(pack, 1).addAll();
    TableSet(pack, 2).addAll();
}

} // namespace kelpo::resgen
