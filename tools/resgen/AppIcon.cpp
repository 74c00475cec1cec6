#include "Art.h"
#include "Draw.h"

namespace kelpo::resgen {

QImage AppIcon(int size)
{
    QImage img = Canvas(size, size);
    QPainter p(&img);
    Smooth(p);
    const qreal s = size;
    // The table cloth as a rounded tile, two cards fanned on it.
    QLinearGradient cloth(0, 0, 0, s);
    cloth.setColorAt(0, TableBlue.lighter(130));
    cloth.setColorAt(1, TableBlue.darker(130));
    p.setPen(QPen(DeepGold, s / 32));
    p.setBrush(cloth);
    p.drawRoundedRect(QRectF(s / 32, s / 32, s * 30 / 32, s * 30 / 32), s / 6, s / 6);

    const QRectF card(-s * 0.2, -s * 0.28, s * 0.4, s * 0.56);
    const struct {
        qreal angle, dx;
        int suit;
    } cards[] = {{-14, -0.1, 0}, {12, 0.1, 1}};
    for (const auto& c : cards) {
        p.save();
        p.translate(s * (0.5 + c.dx), s * 0.54);
        p.rotate(c.angle);
        p.setPen(QPen(Ink, s / 64));
        p.setBrush(Qt::white);
        p.drawRoundedRect(card, s / 24, s / 24);
        p.setPen(Qt::NoPen);
        p.setBrush(SuitIsRed(c.suit) ? CardRed : CardBlack);
        p.drawPath(SuitPath(c.suit, QRectF(-s * 0.12, -s * 0.1, s * 0.24, s * 0.24)));
        p.restore();
    }
    return img;
}

} // namespace kelpo::resgen
