// The resource pack as the client will find it: every file at its place with
// the size and cell layout the drawing code assumes, masks that obey the
// AND-then-OR rule, and the same bytes from every run of the generator.

#include "platform/Cp936.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct PackRun {
    QTemporaryDir dir;
    QString app() const { return dir.path() + "/bin/"; }
    QString parent() const { return dir.path() + "/"; }
};

std::unique_ptr<PackRun> Generate()
{
    auto run = std::make_unique<PackRun>();
    QProcess gen;
    gen.start(QStringLiteral(KELPO_RESGEN), {"--out", run->dir.path()});
    const bool finished = gen.waitForFinished(60000);
    EXPECT_TRUE(finished);
    EXPECT_EQ(gen.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(gen.exitCode(), 0) << gen.readAllStandardError().toStdString();
    return run;
}

class ResourcePack : public ::testing::Test {
protected:
    static void SetUpTestSuite() { pack_ = Generate().release(); }
    static void TearDownTestSuite()
    {
        delete pack_;
        pack_ = nullptr;
    }

    static QImage App(const QString& path) { return Load(pack_->app() + path); }
    static QImage Parent(const QString& path) { return Load(pack_->parent() + path); }
    static QImage Load(const QString& file)
    {
        QImage img(file);
        return img.isNull() ? img : img.convertToFormat(QImage::Format_RGB32);
    }

    static PackRun* pack_;
};

PackRun* ResourcePack::pack_ = nullptr;

struct Expected {
    bool parent;
    QString path;
    int w, h; // 0 = any
};

// Every file below the program's folder (or the one above it) that the
// client opens, with the size its drawing code relies on.
std::vector<Expected> ExpectedFiles()
{
    std::vector<Expected> list;
    auto app = [&](const QString& p, int w = 0, int h = 0) { list.push_back({false, p, w, h}); };
    auto par = [&](const QString& p, int w = 0, int h = 0) { list.push_back({true, p, w, h}); };
    for (int i = 0; i <= 53; ++i) {
        app(QStringLiteral("Res/ResPk/Pk%1.bmp").arg(i), 80, 105);
        app(QStringLiteral("Res/ResPK_DJ/Pk%1.bmp").arg(i), 62, 90);
    }
    app("Res/ResPk/Pk100.bmp", 80, 105);
    app("Res/ResPk/PkMask.bmp", 80, 105);
    app("Res/ResPk/PkBack.bmp", 80, 105);
    app("Res/PkBack.bmp", 80, 105);
    app("Res/ResPK_DJ/PkMask.bmp", 62, 90);
    app("Res/ResPK_DJ/PkBack.bmp", 62, 90);

    app("Res/BuChu.bmp", 2 * 95, 45);
    app("Res/MingCi.bmp", 5 * 66, 2 * 25);
    app("Res/UserWarnFlag.bmp", 2 * 32, 32);
    app("Res/Hand.bmp", 2 * 80, 35);
    app("Res/UserOptBut.bmp", 4 * 44, 24);
    app("Res/UserOutBut.bmp", 366 + 61, 28);
    app("Res/GongBut.bmp", 366 + 61, 28);
    app("Res/NetBreak.bmp", 32, 32);
    for (const char* s : {"s0", "s1"})
        app(QStringLiteral("Res/%1.bmp").arg(s), 150, 38);
    for (const char* c : {"c0", "c1"})
        app(QStringLiteral("Res/%1.bmp").arg(c));
    for (int n = 1; n <= 40; ++n)
        par(QStringLiteral("UserRes/LargeUser/%1.ico").arg(n), 32, 32);

    app("Res/TimeBarHead.bmp", 52);
    app("Res/TimeBarEnd.bmp");
    app("Res/Clock.bmp", 9 * 31, 38);
    app("Res/GameEnd.bmp", 309, 300);
    app("Res/GameEndM.bmp", 309, 300);
    app("Res/GameScore.bmp", 182, 99);
    app("Res/GameScoreM.bmp", 182, 99);
    const struct { int kind, frames, w, h; } bombs[] = {{1, 9, 180, 135}, {2, 15, 88, 80}, {3, 27, 78, 121}};
    for (const auto& b : bombs)
        for (int k = 1; k <= b.frames; ++k)
            app(QStringLiteral("Res/Bomb/b%1/Blast0%2.jpg").arg(b.kind).arg(k, 2, 10, QLatin1Char('0')), b.w, b.h);

    app("Res/GameBackMid.bmp", 295, 345);
    app("Res/LeftLogo.bmp");
    app("Res/GameBackVsBian.bmp");
    app("Res/GameBackHsBian.bmp");
    app("Res/GameBackJiao.bmp", 18, 18);
    for (const char* f : {"LtDjbk", "RtDjbk", "DjBkMid", "LtDjHead", "RtDjHead"})
        app(QStringLiteral("Res/%1.bmp").arg(f));
    for (const char* f : {"VSpliterBk", "VSpliterMidBk", "VSpliterMid_Right", "VSpliterMid_Left"})
        app(QStringLiteral("res/%1.bmp").arg(f));

    app("Res/CaptionMid.bmp", 12);
    app("Res/CaptionLR.bmp", 15);
    app("Res/SysMenu.bmp", 8 * 21, 21);
    app("Res/UserButton.bmp", 4 * 41, 25);
    for (int t = 0; t <= 2; ++t)
        par(QStringLiteral("res/Msg%1.ico").arg(t), 32, 32);

    par("DaoJuMaket/DaoJuMain.bmp", 727, 541);
    par("DaoJuMaket/SysBut.bmp", 4 * 17, 17);
    par("DaoJuMaket/TabBut.bmp", 85, 20);
    par("DaoJuMaket/TabButM.bmp", 85, 20);
    par("DaoJuMaket/BuyBut.bmp", 55, 23);
    par("DaoJuMaket/BuyButM.bmp", 55, 23);
    for (int i = 0; i <= 1; ++i) {
        par(QStringLiteral("DaoJuMaket/Move%1.bmp").arg(i), 38, 94);
        par(QStringLiteral("DaoJuMaket/move%1M.bmp").arg(i), 38, 94);
    }
    par("DaoJuMaket/DaoJuInfoBk.bmp");
    par("DaoJuMaket/MyDaoJuBk.bmp", 81, 79);
    par("DaoJuMaket/DaoJuNo.bmp");
    par("DaoJuMaket/MeNo.bmp", 81, 79);
    return list;
}

bool IsBlack(QRgb c) { return (c & 0xFFFFFF) == 0; }
bool IsWhite(QRgb c) { return (c & 0xFFFFFF) == 0xFFFFFF; }

// Checks one picture/mask pair inside a file: the mask is pure black and
// white with some of each, and the picture is black wherever the mask is
// white, so the OR step leaves the table untouched there.
void ExpectMaskedPair(const QImage& file, QRect picture, QRect mask, const QString& what)
{
    ASSERT_FALSE(file.isNull()) << what.toStdString();
    int white = 0, black = 0, leaks = 0, grey = 0;
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x) {
            const QRgb m = file.pixel(mask.x() + x, mask.y() + y);
            if (IsWhite(m)) {
                ++white;
                if (!IsBlack(file.pixel(picture.x() + x, picture.y() + y)))
                    ++leaks;
            } else if (IsBlack(m)) {
                ++black;
            } else {
                ++grey;
            }
        }
    EXPECT_EQ(grey, 0) << what.toStdString() << ": mask pixels neither black nor white";
    EXPECT_EQ(leaks, 0) << what.toStdString() << ": picture not black under a white mask";
    EXPECT_GT(black, mask.width() * mask.height() / 4) << what.toStdString() << ": mask hides too little";
    EXPECT_GT(white, 0) << what.toStdString() << ": mask has no see-through part";
}

TEST_F(ResourcePack, EveryFileIsThereWithItsSize)
{
    for (const Expected& e : ExpectedFiles()) {
        const QImage img = e.parent ? Parent(e.path) : App(e.path);
        ASSERT_FALSE(img.isNull()) << "missing or unreadable: " << e.path.toStdString();
        if (e.w) {
            EXPECT_EQ(img.width(), e.w) << e.path.toStdString();
        }
        if (e.h) {
            EXPECT_EQ(img.height(), e.h) << e.path.toStdString();
        }
    }
    // Pieces whose size follows from where the table draws or erases them.
    EXPECT_LE(App("Res/c0.bmp").width(), 52);
    EXPECT_LE(App("Res/c0.bmp").height(), 90);
    EXPECT_EQ(App("Res/c0.bmp").size(), App("Res/c1.bmp").size());
    // Seats at the lower side views draw the frame one row above what an
    // emptied seat restores, so that row must be plain cloth.
    for (const char* c : {"Res/c0.bmp", "Res/c1.bmp"}) {
        const QImage frame = App(c);
        for (int x = 0; x < frame.width(); ++x)
            ASSERT_EQ(frame.pixel(x, 0) & 0xFFFFFF, qRgb(41, 73, 123) & 0xFFFFFF) << c << " x " << x;
    }
    EXPECT_GE(App("Res/TimeBarHead.bmp").height(), 25); // the seconds print 15 px down
    for (const char* f : {"VSpliterBk", "VSpliterMidBk", "VSpliterMid_Right", "VSpliterMid_Left"})
        EXPECT_LE(App(QStringLiteral("res/%1.bmp").arg(f)).width(), 12) << f;
    EXPECT_EQ(App("Res/LtDjbk.bmp").size(), QSize(123, 321)); // the partner-hand area it backs
    for (const char* f : {"Start", "Liang", "OutPai", "Pass", "Hong10", "ZhaDan", "Warning", "End",
                          "PangGuanIn", "PangGuanOut", "UserWarn"})
        EXPECT_TRUE(QFile::exists(pack_->app() + QStringLiteral("Res/Sound/%1.wav").arg(f))) << f;
    EXPECT_TRUE(QFile::exists(pack_->app() + "Res/DaoJu/DaoJuInfo.ini"));
    EXPECT_TRUE(QFile::exists(pack_->app() + "MeChatWeb.htm"));
    EXPECT_TRUE(QFile::exists(pack_->parent() + "site/help/Zuduva/KELPO.htm"));

    // Bitmaps are plain 24-bit uncompressed, whatever their colours: Qt
    // would otherwise write two-colour masks as 4-bit palette files.
    for (const Expected& e : ExpectedFiles()) {
        if (!e.path.endsWith(".bmp"))
            continue;
        QFile f((e.parent ? pack_->parent() : pack_->app()) + e.path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << e.path.toStdString();
        const QByteArray head = f.read(54);
        ASSERT_EQ(head.size(), 54) << e.path.toStdString();
        EXPECT_EQ(qFromLittleEndian<quint16>(head.constData() + 28), 24) << e.path.toStdString();
        EXPECT_EQ(qFromLittleEndian<quint32>(head.constData() + 30), 0u) << e.path.toStdString();
    }
}

TEST_F(ResourcePack, CardMasksFitEveryFaceAndBackAtBothDensities)
{
    for (const auto& [folder, last] : {std::pair{QStringLiteral("Res/ResPk/"), 100},
                                       std::pair{QStringLiteral("Res/ResPK_DJ/"), 53},
                                       std::pair{QStringLiteral("Res/ResPk@2x/"), 100},
                                       std::pair{QStringLiteral("Res/ResPK_DJ@2x/"), 53}}) {
        const QImage mask = App(folder + "PkMask.bmp");
        ASSERT_FALSE(mask.isNull());
        // The large pack is the standard one at exactly twice the size.
        if (folder.contains(QLatin1String("@2x")))
            EXPECT_EQ(mask.size(), App(QString(folder).remove(QLatin1String("@2x")) + "PkMask.bmp").size() * 2);
        // Rounded corners: the corner shows the table, the middle hides it.
        EXPECT_TRUE(IsWhite(mask.pixel(0, 0)));
        EXPECT_TRUE(IsWhite(mask.pixel(mask.width() - 1, mask.height() - 1)));
        EXPECT_TRUE(IsBlack(mask.pixel(mask.width() / 2, mask.height() / 2)));
        QStringList faces;
        for (int i = 0; i <= 53; ++i)
            faces << QStringLiteral("Pk%1.bmp").arg(i);
        if (last == 100)
            faces << "Pk100.bmp";
        faces << "PkBack.bmp";
        for (const QString& f : faces) {
            const QImage face = App(folder + f);
            ASSERT_EQ(face.size(), mask.size()) << f.toStdString();
            QImage both(face.width() * 2, face.height(), QImage::Format_RGB32);
            for (int y = 0; y < face.height(); ++y)
                for (int x = 0; x < face.width(); ++x) {
                    both.setPixel(x, y, face.pixel(x, y));
                    both.setPixel(face.width() + x, y, mask.pixel(x, y));
                }
            ExpectMaskedPair(both, face.rect(), face.rect().translated(face.width(), 0), folder + f);
        }
    }
    const QImage back = App("Res/PkBack.bmp");
    EXPECT_EQ(back, App("Res/ResPk/PkBack.bmp"));
}

TEST_F(ResourcePack, MarksAndButtonsFollowTheirCellLayouts)
{
    ExpectMaskedPair(App("Res/BuChu.bmp"), {0, 0, 95, 45}, {95, 0, 95, 45}, "BuChu");
    ExpectMaskedPair(App("Res/UserWarnFlag.bmp"), {0, 0, 32, 32}, {32, 0, 32, 32}, "UserWarnFlag");
    ExpectMaskedPair(App("Res/Hand.bmp"), {0, 0, 80, 35}, {80, 0, 80, 35}, "Hand");
    for (int r = 1; r <= 5; ++r)
        ExpectMaskedPair(App("Res/MingCi.bmp"), {(r - 1) * 66, 0, 66, 25}, {(r - 1) * 66, 25, 66, 25},
                         QStringLiteral("MingCi rank %1").arg(r));
    for (int f = 0; f < 8; ++f)
        ExpectMaskedPair(App("Res/Clock.bmp"), {f * 31, 0, 31, 38}, {248, 0, 31, 38},
                         QStringLiteral("Clock frame %1").arg(f));
    // Play and pass in frames 0 and 1 (cell = frame x 3 + button).
    for (int cell : {0, 1, 3, 4})
        ExpectMaskedPair(App("Res/UserOutBut.bmp"), {cell * 61, 0, 61, 28}, {366, 0, 61, 28},
                         QStringLiteral("UserOutBut cell %1").arg(cell));
    // Tribute and return tribute in frames 0 and 1 (cell = frame x 2 + variant).
    for (int cell = 0; cell < 4; ++cell)
        ExpectMaskedPair(App("Res/GongBut.bmp"), {cell * 61, 0, 61, 28}, {366, 0, 61, 28},
                         QStringLiteral("GongBut cell %1").arg(cell));
    for (const char* panel : {"GameEnd", "GameScore"}) {
        const QImage img = App(QStringLiteral("Res/%1.bmp").arg(panel));
        const QImage mask = App(QStringLiteral("Res/%1M.bmp").arg(panel));
        ASSERT_EQ(img.size(), mask.size());
        QImage both(img.width() * 2, img.height(), QImage::Format_RGB32);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                both.setPixel(x, y, img.pixel(x, y));
                both.setPixel(img.width() + x, y, mask.pixel(x, y));
            }
        ExpectMaskedPair(both, img.rect(), img.rect().translated(img.width(), 0), panel);
    }
    // Cells meant to look different do: each state of each button, each
    // clock frame, each rank.
    auto distinct = [](const QImage& strip, int cellW, std::vector<int> cells, const char* what) {
        for (std::size_t i = 0; i < cells.size(); ++i)
            for (std::size_t j = i + 1; j < cells.size(); ++j)
                EXPECT_NE(strip.copy(cells[i] * cellW, 0, cellW, strip.height()),
                          strip.copy(cells[j] * cellW, 0, cellW, strip.height()))
                    << what << " cells " << cells[i] << " and " << cells[j];
    };
    distinct(App("Res/UserOutBut.bmp"), 61, {0, 1, 3, 4}, "UserOutBut");
    distinct(App("Res/GongBut.bmp"), 61, {0, 1, 2, 3}, "GongBut");
    distinct(App("Res/UserOptBut.bmp"), 44, {0, 1, 2, 3}, "UserOptBut");
    distinct(App("Res/Clock.bmp"), 31, {0, 1, 2, 3, 4, 5, 6, 7}, "Clock");
    distinct(App("Res/MingCi.bmp").copy(0, 0, 330, 25), 66, {0, 1, 2, 3, 4}, "MingCi");
    distinct(App("Res/SysMenu.bmp"), 21, {0, 1, 2, 3, 4, 5, 6, 7}, "SysMenu");
    distinct(App("Res/UserButton.bmp"), 41, {0, 1, 2, 3}, "UserButton");
    distinct(Parent("DaoJuMaket/SysBut.bmp"), 17, {0, 1, 2, 3}, "SysBut");
}

// Every large file is its standard file at exactly twice the size, so the
// client can swap one for the other without touching its layout, and the
// large masks stay exact.
TEST_F(ResourcePack, LargeArtIsTwiceItsStandardFile)
{
    int large = 0;
    for (QDirIterator it(pack_->app() + "Res", QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        const QString path = QDir(pack_->app()).relativeFilePath(it.next());
        if (!path.contains(QLatin1String("@2x")))
            continue;
        ++large;
        const QImage standard = App(QString(path).remove(QLatin1String("@2x")));
        ASSERT_FALSE(standard.isNull()) << path.toStdString();
        EXPECT_EQ(App(path).size(), standard.size() * 2) << path.toStdString();
    }
    EXPECT_GE(large, 194); // both card folders, the back, the table pieces, the explosion frames
    for (const char* f : {"BuChu", "UserWarnFlag", "Hand"}) {
        const QImage img = App(QStringLiteral("Res/%1@2x.bmp").arg(f));
        const QRect half(0, 0, img.width() / 2, img.height());
        ExpectMaskedPair(img, half, half.translated(half.width(), 0), f);
    }
    ExpectMaskedPair(App("Res/Clock@2x.bmp"), {62, 0, 62, 76}, {496, 0, 62, 76}, "Clock@2x");
}

// The part of a card left visible by the next one must tell every card
// apart, and show hearts and diamonds in red, spades and clubs in black.
TEST_F(ResourcePack, VisibleCornersIdentifyEveryCard)
{
    auto redPixels = [](const QImage& img) {
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QColor c = img.pixelColor(x, y);
                n += c.red() > 150 && c.green() < 90 && c.blue() < 90;
            }
        return n;
    };
    for (const auto& [folder, strip, last] :
         {std::tuple{QStringLiteral("Res/ResPk/"), QRect(0, 0, 18, 105), 100},
          std::tuple{QStringLiteral("Res/ResPK_DJ/"), QRect(0, 0, 62, 16), 53}}) {
        std::vector<int> indices;
        for (int i = 0; i <= 53; ++i)
            indices.push_back(i);
        if (last == 100)
            indices.push_back(100);
        std::vector<QImage> parts;
        for (int i : indices)
            parts.push_back(App(folder + QStringLiteral("Pk%1.bmp").arg(i)).copy(strip));
        for (std::size_t a = 0; a < parts.size(); ++a) {
            for (std::size_t b = a + 1; b < parts.size(); ++b)
                EXPECT_NE(parts[a], parts[b]) << folder.toStdString() << indices[a] << " and " << indices[b];
            const int index = indices[a] == 100 ? 3 : indices[a];
            if (index >= 52)
                continue;
            const bool red = (index / 13) % 2 == 1;
            if (red) {
                EXPECT_GT(redPixels(parts[a]), 10) << folder.toStdString() << index;
            } else {
                EXPECT_EQ(redPixels(parts[a]), 0) << folder.toStdString() << index;
            }
        }
    }
    // The two jokers differ in colour, not only in shape.
    EXPECT_EQ(redPixels(App("Res/ResPk/Pk52.bmp").copy(0, 0, 18, 105)), 0);
    EXPECT_GT(redPixels(App("Res/ResPk/Pk53.bmp").copy(0, 0, 18, 105)), 10);
}

TEST_F(ResourcePack, FaceAndMessageIconsAreAllDifferent)
{
    std::vector<QImage> faces;
    for (int n = 1; n <= 40; ++n) {
        const QImage face = Parent(QStringLiteral("UserRes/LargeUser/%1.ico").arg(n));
        for (std::size_t i = 0; i < faces.size(); ++i)
            EXPECT_NE(face, faces[i]) << "faces " << i + 1 << " and " << n;
        faces.push_back(face);
    }
    EXPECT_NE(Parent("res/Msg0.ico"), Parent("res/Msg1.ico"));
    EXPECT_NE(Parent("res/Msg1.ico"), Parent("res/Msg2.ico"));
    EXPECT_NE(Parent("res/Msg0.ico"), Parent("res/Msg2.ico"));
}

TEST_F(ResourcePack, ExplosionFramesKeepTheirKeyColour)
{
    const struct { int kind, frames; QRgb key; } kinds[] = {
        {1, 9, qRgb(0, 0, 0)}, {2, 15, qRgb(255, 255, 255)}, {3, 27, qRgb(0, 0, 0)}};
    // The large frames too: the key must survive compression at any size.
    for (const auto& k : kinds)
        for (const QString& suffix : {QString(), QStringLiteral("@2x")}) {
            QImage previous;
            for (int f = 1; f <= k.frames; ++f) {
                const QString name = QStringLiteral("Res/Bomb/b%1/Blast0%2%3.jpg")
                                         .arg(k.kind)
                                         .arg(f, 2, 10, QLatin1Char('0'))
                                         .arg(suffix);
                const QImage img = App(name);
                ASSERT_FALSE(img.isNull()) << name.toStdString();
                // The key must survive compression exactly, or the painter would
                // draw the frame's background as a box over the table.
                int keyed = 0;
                for (int y = 0; y < img.height(); ++y)
                    for (int x = 0; x < img.width(); ++x)
                        keyed += (img.pixel(x, y) & 0xFFFFFF) == (k.key & 0xFFFFFF);
                EXPECT_GT(keyed, img.width() * img.height() / 4) << name.toStdString();
                EXPECT_LT(keyed, img.width() * img.height()) << name.toStdString() << " is empty";
                for (QPoint corner : {QPoint(0, 0), QPoint(img.width() - 1, 0), QPoint(0, img.height() - 1),
                                      QPoint(img.width() - 1, img.height() - 1)})
                    EXPECT_EQ(img.pixel(corner) & 0xFFFFFF, k.key & 0xFFFFFF) << name.toStdString();
                EXPECT_NE(img, previous) << name.toStdString() << " repeats the frame before";
                previous = img;
            }
        }
}

struct Wave {
    int format = 0, channels = 0, rate = 0, bits = 0;
    QByteArray data;
};

Wave ReadWave(const QByteArray& b)
{
    Wave w;
    if (b.size() < 12 || !b.startsWith("RIFF") || b.mid(8, 4) != "WAVE")
        return w;
    qsizetype p = 12;
    while (p + 8 <= b.size()) {
        const QByteArray id = b.mid(p, 4);
        const quint32 len = qFromLittleEndian<quint32>(b.constData() + p + 4);
        if (len > quint32(b.size() - p - 8))
            break;
        const char* body = b.constData() + p + 8;
        if (id == "fmt " && len >= 16) {
            w.format = qFromLittleEndian<quint16>(body);
            w.channels = qFromLittleEndian<quint16>(body + 2);
            w.rate = int(qFromLittleEndian<quint32>(body + 4));
            w.bits = qFromLittleEndian<quint16>(body + 14);
        } else if (id == "data") {
            w.data = QByteArray(body, len);
        }
        p += 8 + len + (len & 1);
    }
    return w;
}

TEST_F(ResourcePack, SoundsAreShortDistinctPcm)
{
    QList<QByteArray> seen;
    for (const char* f : {"Start", "Liang", "OutPai", "Pass", "Hong10", "ZhaDan", "Warning", "End",
                          "PangGuanIn", "PangGuanOut", "UserWarn"}) {
        QFile file(pack_->app() + QStringLiteral("Res/Sound/%1.wav").arg(f));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << f;
        const Wave w = ReadWave(file.readAll());
        EXPECT_EQ(w.format, 1) << f;
        EXPECT_EQ(w.bits, 16) << f;
        ASSERT_GT(w.channels, 0) << f;
        ASSERT_GT(w.rate, 0) << f;
        const double seconds = double(w.data.size()) / (w.channels * 2) / w.rate;
        EXPECT_GT(seconds, 0.05) << f;
        EXPECT_LT(seconds, 1.0) << f;
        int peak = 0;
        for (qsizetype i = 0; i + 1 < w.data.size(); i += 2)
            peak = std::max(peak, std::abs(int(qFromLittleEndian<qint16>(w.data.constData() + i))));
        EXPECT_GT(peak, 8000) << f << " is nearly silent";
        EXPECT_LT(peak, 32767) << f << " clips";
        // Starting or stopping mid-wave would click.
        ASSERT_GE(w.data.size(), 4);
        EXPECT_LT(std::abs(int(qFromLittleEndian<qint16>(w.data.constData()))), 300) << f;
        EXPECT_LT(std::abs(int(qFromLittleEndian<qint16>(w.data.constData() + w.data.size() - 2))), 300) << f;
        EXPECT_FALSE(seen.contains(w.data)) << f << " repeats another cue";
        seen << w.data;
    }
}

TEST_F(ResourcePack, ItemDescriptionsAreInCodePage936)
{
    QFile ini(pack_->app() + "Res/DaoJu/DaoJuInfo.ini");
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QString text = kelpo::cp936::Decode(ini.readAll());
    int items = 0;
    for (const QString& section : text.split('[', Qt::SkipEmptyParts)) {
        const QString id = section.section(']', 0, 0);
        ASSERT_TRUE(id.startsWith("DaoJuInfo_ID_")) << id.toStdString();
        const QString note = section.section("Note=", 1).section('\r', 0, 0);
        EXPECT_FALSE(note.isEmpty()) << id.toStdString();
        EXPECT_FALSE(note.contains('?')) << id.toStdString() << ": a character lost in encoding";
        EXPECT_TRUE(note.contains(QChar(0x3002)) || note.contains(QChar(0xFF0C))) << id.toStdString();
        // Each described item has both of its pictures.
        const QString n = id.mid(13);
        EXPECT_FALSE(App("Res/DaoJu/DaoJuInfo_" + n + ".bmp").isNull()) << n.toStdString();
        EXPECT_EQ(App("Res/DaoJu/MyDaoJu_" + n + ".bmp").size(), QSize(81, 79)) << n.toStdString();
        ++items;
    }
    EXPECT_GE(items, 4);
}

TEST_F(ResourcePack, ShopWindowIsSeeThroughOnlyOutsideItsOutline)
{
    const QImage main = Parent("DaoJuMaket/DaoJuMain.bmp");
    const QRgb magenta = qRgb(255, 0, 255) & 0xFFFFFF;
    EXPECT_EQ(main.pixel(0, 0) & 0xFFFFFF, magenta);
    EXPECT_EQ(main.pixel(726, 540) & 0xFFFFFF, magenta);
    // The title bar, the catalogue and the owned-items strip are solid.
    for (QPoint p : {QPoint(363, 16), QPoint(300, 200), QPoint(363, 500), QPoint(1, 270), QPoint(725, 270)})
        EXPECT_NE(main.pixel(p) & 0xFFFFFF, magenta) << p.x() << "," << p.y();
}

TEST_F(ResourcePack, TwoRunsWriteTheSameBytes)
{
    const auto second = Generate();
    QStringList firstFiles, secondFiles;
    for (auto [root, list] : {std::pair{pack_->dir.path(), &firstFiles}, std::pair{second->dir.path(), &secondFiles}}) {
        QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            list->append(QDir(root).relativeFilePath(it.next()));
        list->sort();
    }
    ASSERT_EQ(firstFiles, secondFiles);
    EXPECT_GT(firstFiles.size(), qsizetype(ExpectedFiles().size()));
    for (const QString& f : firstFiles) {
        QFile a(pack_->dir.path() + '/' + f), b(second->dir.path() + '/' + f);
        ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly)) << f.toStdString();
        EXPECT_EQ(a.readAll(), b.readAll()) << f.toStdString() << " differs between runs";
    }
}

TEST(ResourceGenerator, RefusesIncompleteArguments)
{
    for (const QStringList& args : {QStringList{}, QStringList{"--app", "/tmp"}, QStringList{"--out"},
                                    QStringList{"--bogus", "x"}}) {
        QProcess gen;
        gen.start(QStringLiteral(KELPO_RESGEN), args);
        ASSERT_TRUE(gen.waitForFinished(30000));
        EXPECT_EQ(gen.exitCode(), 2) << args.join(' ').toStdString();
    }
}

TEST(ResourceGenerator, FailsWhenThePackCannotBeWritten)
{
    QTemporaryDir dir;
    QFile blocker(dir.path() + "/file");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QProcess gen;
    gen.start(QStringLiteral(KELPO_RESGEN), {"--out", dir.path() + "/file"});
    ASSERT_TRUE(gen.waitForFinished(60000));
    EXPECT_EQ(gen.exitCode(), 1);
    EXPECT_FALSE(gen.readAllStandardError().isEmpty());
}

TEST(ResourceGenerator, DrawsTheContactSheetWithoutWritingThePack)
{
    QTemporaryDir dir;
    const QString sheet = dir.path() + "/sheet.png";
    QProcess gen;
    gen.start(QStringLiteral(KELPO_RESGEN), {"--contact-sheet", sheet});
    ASSERT_TRUE(gen.waitForFinished(60000));
    ASSERT_EQ(gen.exitCode(), 0);
    const QImage img(sheet);
    ASSERT_FALSE(img.isNull());
    // Room for the table, both card sets and every strip.
    EXPECT_GE(img.width(), 800);
    EXPECT_GE(img.height(), 1500);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"sheet.png"});
}

} // namespace
