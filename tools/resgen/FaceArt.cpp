#include "Art.h"
#include "Draw.h"

#include <QRadialGradient>

namespace kelpo::resgen {

namespace {

// Forty cartoon faces: the ground colour and the hair style together are
// different for every number, the rest varies with a seed.
QImage Face(int number)
{
    static const QColor grounds[8] = {QColor(86, 140, 214), QColor(220, 110, 100), QColor(96, 180, 130),
                                      QColor(230, 170, 60),  QColor(150, 110, 200), QColor(70, 170, 180),
                                      QColor(210, 120, 170), QColor(120, 130, 150)};
    static const QColor skins[4] = {QColor(255, 222, 190), QColor(240, 200, 160), QColor(214, 166, 124),
                                    QColor(170, 120, 86)};
    static const QColor hairs[6] = {QColor(30, 26, 24), QColor(90, 56, 30), QColor(160, 100, 40),
                                    QColor(220, 180, 90), QColor(120, 120, 130), QColor(150, 40, 40)};
    const int i = number - 1;
    Rng rng(number * 97);
    const QColor ground = grounds[i % 8];
    const int style = (i / 8) % 5;
    const QColor skin = skins[rng.next() % 4];
    const QColor hair = hairs[rng.next() % 6];
    const bool glasses = rng.next() % 4 == 0;
    const bool grin = rng.next() % 2 == 0;

    QImage img = Canvas(32, 32);
    QPainter p(&img);
    Smooth(p);
    QRadialGradient g(QPointF(11, 9), 26);
    g.setColorAt(0, ground.lighter(135));
    g.setColorAt(1, ground.darker(115));
    p.setPen(QPen(ground.darker(160), 1));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0.5, 0.5, 31, 31), 6, 6);

    p.setPen(Qt::NoPen);
    // Shoulders, then hair behind the head for long styles.
    p.setBrush(ground.darker(150));
    p.drawEllipse(QRectF(5, 25, 22, 14));
    p.setBrush(hair);
    if (style == 1)
        p.drawRoundedRect(QRectF(7, 8, 18, 20), 7, 7);
    p.setBrush(skin);
    p.setPen(QPen(skin.darker(130), 0.8));
    p.drawEllipse(QRectF(9, 7, 14, 17));
    p.setPen(Qt::NoPen);
    p.setBrush(hair);
    switch (style) {
    case 0: p.drawChord(QRectF(8.5, 5, 15, 12), 0, 180 * 16); break;                    // short
    case 1: p.drawChord(QRectF(8, 5, 16, 13), 0, 180 * 16); break;                      // long
    case 2: p.drawChord(QRectF(8.5, 5, 15, 12), 0, 180 * 16); p.drawEllipse(QRectF(12.5, 1.5, 7, 6)); break; // bun
    case 3:                                                                               // cap
        p.setBrush(ground.darker(170));
        p.drawChord(QRectF(8, 4, 16, 12), 0, 180 * 16);
        p.drawRoundedRect(QRectF(14, 9, 12, 2.5), 1, 1);
        break;
    default: p.drawPie(QRectF(8, 4, 16, 12), 20 * 16, 140 * 16); break;                  // spiky
    }
    // Eyes, cheeks and mouth.
    p.setBrush(QColor(30, 30, 40));
    p.drawEllipse(QPointF(13.3, 15.5), 1.1, 1.3);
    p.drawEllipse(QPointF(18.7, 15.5), 1.1, 1.3);
    p.setBrush(QColor(240, 120, 120, 120));
    p.drawEllipse(QPointF(11.5, 19), 1.6, 1);
    p.drawEllipse(QPointF(20.5, 19), 1.6, 1);
    p.setPen(QPen(QColor(140, 50, 40), 1, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(grin ? QColor(200, 70, 60) : Qt::NoBrush);
    if (grin)
        p.drawChord(QRectF(13.5, 17.5, 5, 4), 180 * 16, 180 * 16);
    else
        p.drawArc(QRectF(13.5, 17.5, 5, 3.5), 200 * 16, 140 * 16);
    if (glasses) {
        p.setPen(QPen(QColor(30, 30, 40), 0.9));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(13.3, 15.5), 2.6, 2.3);
        p.drawEllipse(QPointF(18.7, 15.5), 2.6, 2.3);
        p.drawLine(QPointF(15.9, 15.3), QPointF(16.1, 15.3));
    }
    return img;
}

} // namespace

void AddFaces(Pack& pack)
{
    for (int n = 1; n <= 40; ++n)
        pack.addIcon(Root::Parent, QStringLiteral("UserRes/LargeUser/%1.ico").arg(n), Face(n));
}

} // namespace kelpo::resgen
