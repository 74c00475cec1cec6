#include "Art.h"
#include "Draw.h"

#include <QRadialGradient>

#include <cmath>

namespace kelpo::resgen {

namespace {

// Frames are painted over the key colour, which the table leaves out when it
// draws them. Edges are not antialiased: a pixel blended with the key would
// show as a dark (or pale) fringe on the cloth.
constexpr int JpegQuality = 100;

// The large frames sit beside the standard ones with "@2x" before the
// extension.
QString FramePath(int kind, int frame, int scale)
{
    return QStringLiteral("Res/Bomb/b%1/Blast0%2%3.jpg")
        .arg(kind)
        .arg(frame, 2, 10, QLatin1Char('0'))
        .arg(scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale));
}

// A frame of w by h at the given scale, filled with its key colour.
QImage Canvas(int w, int h, QColor key, int scale)
{
    QImage img(w * scale, h * scale, QImage::Format_RGB32);
    img.fill(key);
    return img;
}

// Kind 1: a fireball that swells, throws sparks and burns out into smoke.
QImage Fireball(int k, int frames, int scale)
{
    const int w = 180, h = 135;
    QImage img = Canvas(w, h, Qt::black, scale);
    QPainter p(&img);
    // Drawn in the standard frame's coordinates.
    p.scale(scale, scale);
    const qreal t = qreal(k) / (frames - 1);
    const QPointF c(w / 2.0, h / 2.0 + 6);
    const qreal r = 14 + 52 * std::sqrt(std::min(t, 0.65) / 0.65);
    // After the peak the fire shrinks inside a thinning cloud of smoke.
    const qreal burn = t < 0.65 ? 1.0 : 1.0 - (t - 0.65) / 0.35 * 0.75;
    const int heat = int(255 * (1 - t * 0.75));
    // Smoke ring, then the fire body, then the white core while it is young.
    QRadialGradient smoke(c, r * 1.15);
    smoke.setColorAt(0.7, QColor(96, 84, 80));
    smoke.setColorAt(1, QColor(60, 56, 56));
    p.setPen(Qt::NoPen);
    p.setBrush(smoke);
    p.drawEllipse(c, r * 1.1, r * 0.9);
    QRadialGradient fire(c, r);
    fire.setColorAt(0, QColor(255, 250, 200));
    fire.setColorAt(0.35, QColor(255, std::max(120, heat), 40));
    fire.setColorAt(0.8, QColor(std::max(150, heat), 70, 20));
    fire.setColorAt(1, QColor(110, 50, 30));
    p.setBrush(fire);
    p.save();
    p.translate(c);
    p.scale(burn, burn);
    p.translate(-c);
    Rng rng(1000 + k);
    QPainterPath body;
    const int lobes = 11;
    for (int i = 0; i <= lobes; ++i) {
        const qreal a = i * 2 * M_PI / lobes;
        const qreal rr = r * (0.78 + 0.22 * rng.unit());
        const QPointF pt(c.x() + rr * std::cos(a), c.y() + rr * 0.82 * std::sin(a));
        i ? body.lineTo(pt) : body.moveTo(pt);
    }
    p.drawPath(body);
    p.restore();
    Rng sparks(77);
    for (int i = 0; i < 26; ++i) {
        const qreal a = sparks.range(0, 2 * M_PI);
        const qreal d = r * (0.9 + 0.9 * t) * sparks.range(0.7, 1.2);
        const qreal sx = c.x() + d * std::cos(a), sy = c.y() + d * 0.8 * std::sin(a);
        if (sx < 4 || sy < 4 || sx > w - 4 || sy > h - 4)
            continue;
        p.setBrush(QColor(255, 220 - int(120 * t), 80));
        p.drawEllipse(QPointF(sx, sy), 2.2 * (1 - t * 0.5), 2.2 * (1 - t * 0.5));
    }
    return img;
}

// Kind 2: a comic burst on white that pops into grey puffs.
QImage ComicBurst(int k, int frames, int scale)
{
    const int w = 88, h = 80;
    QImage img = Canvas(w, h, Qt::white, scale);
    QPainter p(&img);
    // Drawn in the standard frame's coordinates.
    p.scale(scale, scale);
    const qreal t = qreal(k) / (frames - 1);
    const QPointF c(w / 2.0, h / 2.0);
    if (t < 0.6) {
        const qreal s = 0.35 + t / 0.6 * 0.65;
        QPainterPath burst = Star(c, 38 * s, 22 * s, 12);
        p.setPen(QPen(QColor(170, 20, 20), 2.5));
        p.setBrush(QColor(255, 150, 30));
        p.drawPath(burst);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 226, 60));
        p.drawPath(Star(c, 26 * s, 15 * s, 12));
        if (s > 0.6)
            DrawOutlinedText(p, QRectF(0, c.y() - 16, w, 32), QStringLiteral("砰!"),
                             SansFont(int(24 * s), true), QColor(200, 20, 20), QColor(90, 10, 10));
    } else {
        const qreal u = (t - 0.6) / 0.4;
        Rng rng(5);
        for (int i = 0; i < 7; ++i) {
            const qreal a = i * 2 * M_PI / 7 + rng.range(-0.3, 0.3);
            const qreal d = 14 + 20 * u;
            const qreal pr = 12 * (1 - u) + 3;
            const int g = 110 + int(90 * u);
            p.setPen(QPen(QColor(g - 40, g - 40, g - 30), 1.5));
            p.setBrush(QColor(g, g, g + 8));
            p.drawEllipse(QPointF(c.x() + d * std::cos(a), c.y() + d * std::sin(a)), pr, pr);
        }
    }
    return img;
}

// Kind 3: a rocket climbs, bursts into a sparkling shower and fades.
QImage Firework(int k, int frames, int scale)
{
    const int w = 78, h = 121;
    QImage img = Canvas(w, h, Qt::black, scale);
    QPainter p(&img);
    // Drawn in the standard frame's coordinates.
    p.scale(scale, scale);
    const int climb = 9;
    const QPointF top(w / 2.0, 38);
    p.setPen(Qt::NoPen);
    if (k < climb) {
        const qreal t = qreal(k) / (climb - 1);
        const qreal y = h - 10 - (h - 10 - top.y()) * t;
        for (int i = 0; i < 8; ++i) {
            const qreal ty = y + 4 + i * 4;
            if (ty > h - 3)
                break;
            p.setBrush(QColor(255, 200 - i * 18, 80 - i * 8));
            p.drawEllipse(QPointF(top.x() + ((i % 2) ? 1 : -1), ty), 2.2 - i * 0.2, 2.2 - i * 0.2);
        }
        p.setBrush(QColor(255, 255, 230));
        p.drawEllipse(QPointF(top.x(), y), 3, 3);
        return img;
    }
    const qreal t = qreal(k - climb) / (frames - climb - 1);
    static const QColor tints[4] = {QColor(255, 90, 90), QColor(255, 220, 80), QColor(110, 220, 255),
                                    QColor(190, 120, 255)};
    Rng rng(31);
    for (int i = 0; i < 36; ++i) {
        const qreal a = rng.range(0, 2 * M_PI);
        const qreal speed = rng.range(0.6, 1.0);
        const qreal life = rng.unit();
        const QColor tint = tints[i % 4];
        const qreal d = 34 * speed * std::sqrt(t);
        const qreal fall = 30 * t * t;
        const QPointF at(top.x() + d * std::cos(a), top.y() + d * std::sin(a) + fall);
        if (at.x() < 3 || at.y() < 3 || at.x() > w - 3 || at.y() > h - 3)
            continue;
        // Sparks go out one by one and shrink rather than darken: a dark
        // spark would read as a hole in the cloth.
        if (life < t * 0.7)
            continue;
        const qreal size = 2.4 * (1 - 0.6 * t);
        p.setBrush(tint);
        p.drawEllipse(at, size, size);
    }
    if (t < 0.25) {
        QRadialGradient flash(top, 12);
        flash.setColorAt(0, QColor(255, 255, 235));
        flash.setColorAt(1, QColor(255, 190, 90));
        p.setBrush(flash);
        p.drawEllipse(top, 12 * (1 - 2 * t), 12 * (1 - 2 * t));
    }
    return img;
}

} // namespace

void AddBombs(Pack& pack)
{
    // The same strokes at twice the size for dense screens, aliased as well,
    // so the key colour stays exact around every shape.
    for (int scale : {1, 2}) {
        for (int k = 0; k < 9; ++k)
            pack.addJpeg(Root::App, FramePath(1, k + 1, scale), Fireball(k, 9, scale), JpegQuality);
        for (int k = 0; k < 15; ++k)
            pack.addJpeg(Root::App, FramePath(2, k + 1, scale), ComicBurst(k, 15, scale), JpegQuality);
        for (int k = 0; k < 27; ++k)
            pack.addJpeg(Root::App, FramePath(3, k + 1, scale), Firework(k, 27, scale), JpegQuality);
    }
}

} // namespace kelpo::resgen
