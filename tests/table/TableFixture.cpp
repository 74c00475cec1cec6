#include "TableFixture.h"

#include <QDir>
#include <QFile>
#include <QPainter>

namespace kelpo::test {

namespace {

constexpr QRgb Black = 0xFF000000u;
constexpr QRgb White = 0xFFFFFFFFu;

QImage Solid(int w, int h, QRgb c)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(c);
    return image;
}

void Save(const QString& path, const QImage& image, const char* format = "BMP")
{
    QDir().mkpath(QFileInfo(path).path());
    image.save(path, format);
}

} // namespace

QRgb CardPixel(int imageIndex, int x, int y)
{
    // The three transparent corner pixels of every card: black over white.
    if (x < 3 && y < 3)
        return Black;
    return qRgb(30 + (imageIndex * 37) % 200, (x * 3) % 256, 1 + (y * 2) % 250);
}

QRgb SmallCardColour(int imageIndex) { return qRgb(40 + imageIndex * 3, 200, 60); }
QRgb RankMarkColour(int rank) { return qRgb(200, 40 * rank, 40); }
QRgb ClockFrameColour(int frame) { return qRgb(20 + 25 * frame, 220, 120); }

TableFixture::TableFixture(int width, int height)
{
    state.globals.AppPath = dir_.path() + QStringLiteral("/bin/");
    state.globals.ParentPath = dir_.path() + QStringLiteral("/");
    WriteTableResources(state.globals.AppPath, state.globals.ParentPath);
    painter = std::make_unique<TablePainter>(state);
    painter->ResizeTable(width, height);
}

void WriteTableResources(const QString& appPath, const QString& parentPath)
{
    auto appFile = [&](const QString& relative) { return appPath + relative; };
    auto parentFile = [&](const QString& relative) { return parentPath + relative; };

    QImage mask = Solid(80, 105, Black);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            mask.setPixel(x, y, White);
    Save(appFile(QStringLiteral("Res/ResPk/PkMask.bmp")), mask);
    auto card = [](int index) {
        QImage image(80, 105, QImage::Format_RGB32);
        for (int y = 0; y < 105; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < 80; ++x)
                line[x] = CardPixel(index, x, y);
        }
        return image;
    };
    for (int i = 0; i <= 53; ++i)
        Save(appFile(QStringLiteral("Res/ResPk/Pk%1.bmp").arg(i)), card(i));
    Save(appFile(QStringLiteral("Res/ResPk/Pk100.bmp")), card(100));
    QImage back = Solid(80, 105, CardBackColour);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            back.setPixel(x, y, Black);
    Save(appFile(QStringLiteral("Res/PkBack.bmp")), back);

    Save(appFile(QStringLiteral("Res/ResPK_DJ/PkMask.bmp")), Solid(62, 90, Black));
    for (int i = 0; i <= 53; ++i)
        Save(appFile(QStringLiteral("Res/ResPK_DJ/Pk%1.bmp").arg(i)), Solid(62, 90, SmallCardColour(i)));
    Save(appFile(QStringLiteral("Res/ResPK_DJ/PkBack.bmp")), Solid(62, 90, SmallBackColour));

    auto masked = [](int cells, int w, int h, auto colour, QPoint maskAt) {
        QImage image = Solid(std::max(cells * w, maskAt.x() + w), std::max(h, maskAt.y() + h), Black);
        QPainter p(&image);
        for (int c = 0; c < cells; ++c)
            p.fillRect(c * w, 0, w, h, QColor::fromRgb(colour(c)));
        return image;
    };
    Save(appFile(QStringLiteral("Res/BuChu.bmp")), masked(1, 95, 45, [](int) { return PassMarkColour; }, {95, 0}));
    {
        QImage ranks = Solid(330, 50, Black);
        QPainter p(&ranks);
        for (int r = 1; r <= 5; ++r)
            p.fillRect((r - 1) * 66, 0, 66, 25, QColor::fromRgb(RankMarkColour(r)));
        p.end();
        Save(appFile(QStringLiteral("Res/MingCi.bmp")), ranks);
    }
    Save(appFile(QStringLiteral("Res/UserWarnFlag.bmp")), masked(1, 32, 32, [](int) { return WarnFlagColour; }, {32, 0}));
    Save(appFile(QStringLiteral("Res/Hand.bmp")), masked(1, 80, 35, [](int) { return ReadyColour; }, {80, 0}));
    Save(appFile(QStringLiteral("Res/UserOptBut.bmp")), masked(4, 44, 24, [](int c) { return qRgb(200, 10 * c + 5, 50); }, {0, 0}));
    Save(appFile(QStringLiteral("Res/UserOutBut.bmp")), masked(6, 61, 28, [](int c) { return qRgb(150, 20 * c + 10, 90); }, {366, 0}));
    Save(appFile(QStringLiteral("Res/GongBut.bmp")), masked(4, 61, 28, [](int c) { return qRgb(90, 20 * c + 10, 150); }, {366, 0}));
    Save(appFile(QStringLiteral("Res/TimeBarHead.bmp")), Solid(52, 30, qRgb(70, 70, 90)));
    Save(appFile(QStringLiteral("Res/TimeBarEnd.bmp")), Solid(10, 30, qRgb(90, 70, 70)));
    Save(appFile(QStringLiteral("Res/Clock.bmp")), masked(8, 31, 38, [](int f) { return ClockFrameColour(f); }, {248, 0}));
    Save(appFile(QStringLiteral("Res/GameEnd.bmp")), Solid(309, 300, EndPanelColour));
    Save(appFile(QStringLiteral("Res/GameEndM.bmp")), Solid(309, 300, Black));
    Save(appFile(QStringLiteral("Res/GameScore.bmp")), Solid(182, 99, ScorePanelColour));
    Save(appFile(QStringLiteral("Res/GameScoreM.bmp")), Solid(182, 99, Black));
    Save(appFile(QStringLiteral("Res/s0.bmp")), Solid(150, 38, qRgb(100, 60, 20)));
    Save(appFile(QStringLiteral("Res/s1.bmp")), Solid(150, 38, qRgb(100, 60, 30)));
    Save(appFile(QStringLiteral("Res/c0.bmp")), Solid(52, 90, qRgb(100, 60, 40)));
    Save(appFile(QStringLiteral("Res/c1.bmp")), Solid(52, 90, qRgb(100, 60, 50)));
    Save(appFile(QStringLiteral("Res/NetBreak.bmp")), Solid(32, 32, qRgb(250, 250, 0)));
    Save(appFile(QStringLiteral("Res/GameBackMid.bmp")), Solid(295, 345, qRgb(30, 90, 60)));
    Save(appFile(QStringLiteral("Res/LeftLogo.bmp")), Solid(60, 30, qRgb(200, 200, 200)));
    Save(appFile(QStringLiteral("Res/GameBackVsBian.bmp")), Solid(6, 5, qRgb(120, 80, 40)));
    Save(appFile(QStringLiteral("Res/GameBackHsBian.bmp")), Solid(5, 6, qRgb(120, 80, 40)));
    Save(appFile(QStringLiteral("Res/GameBackJiao.bmp")), Solid(18, 18, qRgb(160, 110, 50)));
    for (int n = 1; n <= 6; ++n)
        Save(parentFile(QStringLiteral("UserRes/LargeUser/%1.ico").arg(n)), Solid(32, 32, qRgb(20 * n, 150, 200)),
             "ICO");
    QImage blast = Solid(88, 80, White);
    {
        QPainter p(&blast);
        p.fillRect(20, 20, 48, 40, QColor(220, 30, 30));
    }
    for (int k = 1; k <= 15; ++k)
        Save(appFile(QStringLiteral("Res/Bomb/b2/Blast0%1.jpg").arg(k, 2, 10, QLatin1Char('0'))), blast, "JPEG");
}

QString TableFixture::appFile(const QString& relative) const { return state.globals.AppPath + relative; }
QString TableFixture::parentFile(const QString& relative) const { return state.globals.ParentPath + relative; }
void TableFixture::remove(const QString& relative) const { QFile::remove(appFile(relative)); }

void TableFixture::seatPlayers()
{
    state.globals.UserName = QStringLiteral("张三");
    state.globals.MySeat = 1;
    for (int s = 0; s < SeatCount; ++s) {
        state.globals.SeatViewPos[static_cast<std::size_t>(s)] =
            static_cast<std::uint8_t>((s - 1 + 2 + SeatCount) % SeatCount);
        state.seats[static_cast<std::size_t>(s)].name = QStringLiteral("玩家%1").arg(s);
        state.seats[static_cast<std::size_t>(s)].iconNumber = s;
    }
}

int DifferingPixels(const QImage& a, const QImage& b, const QRect& r)
{
    int n = 0;
    const QRect c = r.intersected(a.rect()).intersected(b.rect());
    for (int y = c.top(); y <= c.bottom(); ++y) {
        const auto* pa = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* pb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = c.left(); x <= c.right(); ++x)
            n += pa[x] != pb[x];
    }
    return n;
}

int PixelsNotOf(const QImage& image, const QRect& r, QRgb colour)
{
    int n = 0;
    const QRect c = r.intersected(image.rect());
    for (int y = c.top(); y <= c.bottom(); ++y)
        for (int x = c.left(); x <= c.right(); ++x)
            n += image.pixel(x, y) != (colour | 0xFF000000u);
    return n;
}

QRect ChangedBox(const QImage& image, const QImage& ref, const QRect& r)
{
    QRect box;
    const QRect c = r.intersected(image.rect());
    for (int y = c.top(); y <= c.bottom(); ++y)
        for (int x = c.left(); x <= c.right(); ++x)
            if (image.pixel(x, y) != ref.pixel(x, y))
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace kelpo::test
