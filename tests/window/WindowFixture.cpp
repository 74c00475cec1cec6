#include "WindowFixture.h"

#include "server/GameMessages.h"
#include "server/RoomMessages.h"
#include "support/Users.h"
#include "table/TableFixture.h"
#include "table/TablePainter.h"
#include "table/TableWidget.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScreen>

namespace kelpo::test {

ScriptedServer::ScriptedServer()
{
    server_.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server_, &QTcpServer::newConnection, [this] {
        peer_ = server_.nextPendingConnection();
        QObject::connect(peer_, &QTcpSocket::readyRead, [this] {
            decoder_.feed(peer_->readAll());
            while (decoder_.hasMessage())
                received.push_back(decoder_.takeMessage());
        });
    });
}

void ScriptedServer::send(const std::vector<QByteArray>& messages)
{
    QByteArray bytes;
    for (const QByteArray& m : messages)
        AppendFrame(bytes, m);
    if (peer_) {
        peer_->write(bytes);
        peer_->flush();
    }
}

bool ScriptedServer::waitForSent(const QByteArray& prefix, int ms)
{
    return PumpUntil(
        [&] {
            for (const QByteArray& m : received)
                if (m.startsWith(prefix))
                    return true;
            return false;
        },
        ms);
}

WindowTest::WindowTest()
{
    const QString app = dir.filePath(QStringLiteral("bin/"));
    WriteTableResources(app, dir.path() + QStringLiteral("/"));
    QFile prefs(app + QStringLiteral("UserSet.ini"));
    prefs.open(QIODevice::WriteOnly);
    prefs.write("0\r\n0\r\n1\r\n0\r\n1\r\n");
    prefs.close();

    const QString line = QStringLiteral("KELPO-LOBBY 127.0.0.1 %1 升级 新手_0`高手_100 x y 甲 1").arg(server.port());
    int exitCode = -1;
    program = StartUp(line, {app}, exitCode);
    if (!program) {
        ADD_FAILURE() << "start-up refused: " << exitCode;
        return;
    }
    program->window->resize(1024, 736);
    program->window->LayoutMainWindow();
    EXPECT_TRUE(server.waitForSent(QByteArray("\x82\x00", 2))) << "no identification";

    const QStringList names{QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙"),
                            QStringLiteral("丁"), QStringLiteral("戊"), QStringLiteral("己")};
    server.send({server::BuildIdentity(names[0], names[0]), server::BuildUserList(SeatedPlayers(names))});
    EXPECT_TRUE(PumpUntil([&] { return state().seats[5].name == names[5]; })) << "no user list";
    settle();
}

WindowTest::~WindowTest()
{
    program.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TablePainter& WindowTest::painter() { return *program->window->painter; }

void WindowTest::settle(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

QImage WindowTest::screen()
{
    QCoreApplication::processEvents();
    frmGameMain& w = window();
    return w.screen()->grabWindow(w.winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

bool WindowTest::tableShown(const QRect& tableRect)
{
    const QImage shown = screen();
    const QImage& pic = painter().picGameBack.image();
    TableWidget* table = window().picGameBack;
    const QPoint origin = table->mapTo(&window(), QPoint(0, 0));
    // Controls standing on the table (time bar, start button) cover it.
    QRegion visible(tableRect.intersected(pic.rect()));
    for (const QWidget* child : table->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->isVisible())
            visible -= child->geometry();
    for (const QRect& r : visible)
        if (shown.copy(r.translated(origin)) != pic.copy(r))
            return false;
    return !visible.isEmpty();
}

QRgb WindowTest::shownAt(QPoint tablePoint)
{
    const QPoint origin = window().picGameBack->mapTo(&window(), QPoint(0, 0));
    return screen().pixel(tablePoint + origin);
}

namespace {

CardList ListOf(const std::vector<int>& cards)
{
    CardList list;
    for (int c : cards)
        list.append(static_cast<CardCode>(c));
    return list;
}

} // namespace

QByteArray HandStart(int actingSeat, int phase)
{
    return server::BuildHandStart(server::TableConfig{}, actingSeat, static_cast<server::Phase>(phase));
}

QByteArray Deal(const std::vector<int>& hand)
{
    std::array<CardList, SeatCount> hands;
    hands[0] = ListOf(hand);
    return server::BuildDeal(hands, 0, false);
}

QByteArray Play(int seat, const std::vector<int>& cards, int nextSeat, int phase)
{
    return server::BuildPlay(nextSeat, static_cast<server::Phase>(phase), 0, 0, seat, ListOf(cards));
}

QByteArray Pass(int seat, int nextSeat) { return Play(seat, {PassMarker}, nextSeat, 2); }

QByteArray HandOverWithResults(const std::array<int, SeatCount>& results,
                               const std::array<std::vector<int>, SeatCount>& remaining)
{
    server::SeatResults r{};
    std::array<CardList, SeatCount> hands;
    for (std::size_t s = 0; s < SeatCount; ++s) {
        r[s] = results[s];
        hands[s] = ListOf(remaining[s]);
    }
    return server::BuildHandOver(r, hands);
}

QByteArray HandOverScores(int first, int second)
{
    QByteArray m(4, '\0');
    m[0] = 22;
    m[1] = 2;
    m[2] = static_cast<char>(first);
    m[3] = static_cast<char>(second);
    return m;
}

} // namespace kelpo::test
