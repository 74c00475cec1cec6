// The real client, headless, against the real room server on the loopback
// interface: short turns, bots with no delay, and automatic play standing in
// for the players, so a whole hand takes a few seconds.

#include "app/Main.h"
#include "controls/QelList.h"
#include "controls/QelSckClient.h"
#include "game/Client.h"
#include "game/TableFlow.h"
#include "net/FrameCodec.h"
#include "game/ShopFlow.h"
#include "room/frmGameMain.h"
#include "server/ItemShop.h"
#include "server/MemoryShopStore.h"
#include "server/RoomServer.h"
#include "skin/ModalBoxes.h"
#include "skin/frmMsg.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QHostAddress>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace kelpo {
namespace {

using server::RoomConfig;
using server::RoomServer;

constexpr int HandTimeoutMs = 90000;

bool PumpUntil(const std::function<bool()>& done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// One running client with the classes of every message it received.
struct TableClient {
    std::unique_ptr<Program> program;
    std::vector<int> received;
    int unloadedWith = -1;
    // Acts on its turns at once instead of letting the clock run out.
    bool quick = false;

    Client& client() { return *program->client; }
    ClientState& state() { return program->client->state; }
    bool connected() const
    {
        return program && program->client->socket().isConnected();
    }
};

// Plays as a quick person would, through the client's own play action and
// only while its play buttons are up: passes when following, and leads the
// card the automatic play would.
void ActNow(TableClient& c)
{
    ClientState& s = c.state();
    if (!c.program || s.globals.IsSpectator || s.table.ActingSeat != s.globals.MySeat
        || s.view.PlayButtonState[0] == 0)
        return;
    if (s.table.TurnPhase == 2) {
        PlayAction(c.client(), 1);
    } else if (s.table.TurnPhase == 1) {
        const int n = s.cards.HandCards.count();
        if (n == 0)
            return;
        s.cards.SelectedFlags.clear();
        s.cards.SelectedFlags.resize(n);
        s.cards.SelectedFlags.set(n, 1);
        PlayAction(c.client(), 0);
    }
}

// What the seats, the hand and the turn look like on a client.
QString TableFingerprint(const ClientState& s)
{
    QStringList parts;
    for (const SeatRecord& r : s.seats)
        parts << QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                     .arg(r.name)
                     .arg(r.iconNumber)
                     .arg(r.isOffline)
                     .arg(r.isHandUp)
                     .arg(r.cardsLeft)
                     .arg(r.currentPlay.count())
                     .arg(r.finishRank);
    for (std::uint8_t v : s.globals.SeatViewPos)
        parts << QString::number(v);
    parts << QStringLiteral("%1 %2 %3 %4 %5 %6")
                 .arg(s.table.ActingSeat)
                 .arg(s.table.TurnPhase)
                 .arg(s.table.MatchStarted)
                 .arg(s.table.NoHandInPlay)
                 .arg(s.table.StartOffered)
                 .arg(s.cards.HandCards.count());
    return parts.join(u'|');
}

class LocalTableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        driver.setInterval(20);
        QObject::connect(&driver, &QTimer::timeout, [this] {
            for (auto& c : clients)
                if (c && c->quick)
                    ActNow(*c);
        });
        driver.start();
    }
    void startServer(const QStringList& players, const QList<server::ExpectedSpectator>& spectators = {})
    {
        config.players = players;
        config.spectators = spectators;
        config.bots = SeatCount - static_cast<int>(players.size());
        config.table.turnSeconds = 1;
        config.table.tributeSeconds = 1;
        config.table.autoPlayLimit = 200;
        config.table.deckCount = 1;
        config.table.botDelayMs = 0;
        config.table.stake = 10;
        config.table.escapePenalty = 7;
        config.seed = 11;
        room = std::make_unique<RoomServer>(config, clock);
        QString error;
        ASSERT_TRUE(room->listen(error)) << error.toStdString();
    }

    // Starts a client and waits until the server has given it an identity.
    TableClient& startClient(const QString& name, bool allowWatch = false)
    {
        auto dir = std::make_unique<QTemporaryDir>();
        QFile prefs(dir->filePath(QStringLiteral("UserSet.ini")));
        prefs.open(QIODevice::WriteOnly);
        prefs.write(allowWatch ? "1\r\n0\r\n1\r\n0\r\n1\r\n" : "0\r\n0\r\n1\r\n0\r\n1\r\n");
        prefs.close();
        const QString line = QStringLiteral("KELPO-LOBBY 127.0.0.1 %1 升级 新手_0`高手_100 x y %2 1")
                                 .arg(room->port())
                                 .arg(name);
        int exitCode = -1;
        auto c = std::make_unique<TableClient>();
        c->program = StartUp(line, {dir->path()}, exitCode);
        EXPECT_TRUE(c->program) << exitCode;
        TableClient* raw = c.get();
        QObject::connect(&raw->client().socket(), &QelSckClient::DataArrived, &raw->client(),
                         [raw](const QByteArray& m) { raw->received.push_back(static_cast<std::uint8_t>(m[0])); });
        QObject::connect(&raw->client(), &Client::unloadRequested, &raw->client(),
                         [raw](int code) { raw->unloadedWith = code; });
        dirs.push_back(std::move(dir));
        clients.push_back(std::move(c));
        const int before = identified();
        EXPECT_TRUE(PumpUntil([&] { return identified() > before; }, 10000)) << "no identity for " << name.toStdString();
        return *raw;
    }

    int identified() const
    {
        int n = 0;
        for (int seat = 0; seat < SeatCount; ++seat)
            n += !room->table().isOffline(seat) && config.players.contains(room->table().seatHolder(seat));
        return n + spectatorsIn();
    }
    int spectatorsIn() const
    {
        int n = 0;
        for (int id = 1; id < 64; ++id)
            for (const auto& s : config.spectators)
                n += room->table().userOf(id) == s.name;
        return n;
    }

    // The settings dialog, as the owner confirms it and the others agree.
    void confirmSettings(TableClient& c)
    {
        ASSERT_TRUE(PumpUntil([&] { return !c.client().room.gameSet.isNull(); }, 10000))
            << "no settings dialog";
        c.client().room.gameSet->cmdUser_Click(0);
    }

    bool waitForHands(int n) { return PumpUntil([&] { return room->table().handsFinished() >= n; }, HandTimeoutMs); }

    void TearDown() override
    {
        driver.stop();
        clients.clear();
        room.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QTimer driver;
    SteadyTickClock clock;
    RoomConfig config;
    std::unique_ptr<RoomServer> room;
    std::vector<std::unique_ptr<QTemporaryDir>> dirs;
    std::vector<std::unique_ptr<TableClient>> clients;
};

TEST_F(LocalTableTest, OneClientAndFiveBotsPlayAWholeHandWhileGarbageClosesOnlyItsSender)
{
    startServer({QStringLiteral("甲")});
    TableClient& me = startClient(QStringLiteral("甲"));

    QTcpSocket garbage;
    garbage.connectToHost(QHostAddress::LocalHost, room->port());
    ASSERT_TRUE(PumpUntil([&] { return garbage.state() == QAbstractSocket::ConnectedState; }, 5000));
    garbage.write(QByteArray("\xff\xff\xff\xff" "rubbish", 11));
    EXPECT_TRUE(PumpUntil([&] { return garbage.state() == QAbstractSocket::UnconnectedState; }, 5000));
    EXPECT_TRUE(me.connected());

    confirmSettings(me);
    // The standings sent in the middle of a hand, while the table waits on
    // this player, change nothing on its table but the list.
    ASSERT_TRUE(PumpUntil([&] { return !me.state().table.NoHandInPlay && me.state().table.ActingSeat == 0
                                       && (me.state().table.TurnPhase == 1 || me.state().table.TurnPhase == 2); },
                          10000));
    const QString before = TableFingerprint(me.state());
    const QImage pictureBefore = me.client().room.picGameBack->grab().toImage();
    const std::size_t received = me.received.size();
    room->table().sendStandings();
    ASSERT_TRUE(PumpUntil([&] { return me.received.size() > received; }, 5000));
    EXPECT_EQ(me.received[received], 130);
    // Nothing else came meanwhile: the table waits on this player's turn.
    ASSERT_EQ(me.received.size(), received + 1);
    EXPECT_EQ(TableFingerprint(me.state()), before);
    EXPECT_TRUE(me.client().room.picGameBack->grab().toImage() == pictureBefore);
    ASSERT_TRUE(waitForHands(1));
    ASSERT_TRUE(PumpUntil([&] { return me.state().table.NoHandInPlay && me.state().table.StartOffered; }, 10000));
    // After the hand the list holds the hand: one game, the result as score.
    const QelList* list = me.client().room.lstUser;
    EXPECT_TRUE(PumpUntil([&] { return list->cellText(QStringLiteral("甲"), 5) == QStringLiteral("1"); }, 5000));
    EXPECT_EQ(list->cellText(QStringLiteral("甲"), 2).toInt(), (*room->table().referee().lastResults())[0]);
    EXPECT_EQ(me.unloadedWith, -1) << "the client ended itself";
    EXPECT_EQ(me.state().globals.MySeat, 0);
    for (int seat = 0; seat < SeatCount; ++seat)
        EXPECT_EQ(me.state().seats[seat].name, room->table().seatHolder(seat));
    // Every part of the exchange reached the client, and the table reset
    // that would clear its identity never did.
    for (int cls : {130, 111, 112, 17, 19, 20, 22})
        EXPECT_NE(std::count(me.received.begin(), me.received.end(), cls), 0) << cls;
}

TEST_F(LocalTableTest, TwoClientsAndFourBotsAgreeAndPlayAHand)
{
    startServer({QStringLiteral("甲"), QStringLiteral("乙")});
    TableClient& owner = startClient(QStringLiteral("甲"));
    TableClient& other = startClient(QStringLiteral("乙"));
    owner.quick = other.quick = true;
    confirmSettings(owner);
    confirmSettings(other);
    ASSERT_TRUE(waitForHands(1));
    for (TableClient* c : {&owner, &other}) {
        ASSERT_TRUE(PumpUntil([&] { return c->state().table.NoHandInPlay && c->state().table.StartOffered; }, 10000));
        EXPECT_EQ(c->unloadedWith, -1);
    }
    EXPECT_EQ(owner.state().globals.MySeat, 0);
    EXPECT_EQ(other.state().globals.MySeat, 1);

    // Both ready: the next hand, with its tribute, starts without waiting
    // for any countdown.
    owner.client().room.cmdStart->click();
    other.client().room.cmdStart->click();
    ASSERT_TRUE(waitForHands(2));
    // Had a client's hand gone wrong in the tribute exchange, it would have
    // played a card it no longer held (refused) or run out of cards early.
    for (TableClient* c : {&owner, &other}) {
        EXPECT_EQ(std::count(c->received.begin(), c->received.end(), 21), 0);
        EXPECT_EQ(std::count(c->received.begin(), c->received.end(), 2), 0);
        EXPECT_GT(std::count(c->received.begin(), c->received.end(), 23), 0);
    }
}

TEST_F(LocalTableTest, SpectatorJoiningMidHandGetsTheSnapshotAndFollowsThePlays)
{
    startServer({QStringLiteral("甲")}, {{QStringLiteral("丙"), QStringLiteral("甲")}});
    TableClient& player = startClient(QStringLiteral("甲"), true);
    player.quick = true;
    confirmSettings(player);
    ASSERT_TRUE(PumpUntil([&] { return room->table().referee().handInPlay(); }, 10000));
    TableClient& watcher = startClient(QStringLiteral("丙"));
    ASSERT_TRUE(PumpUntil([&] { return watcher.state().table.MatchStarted == 1; }, 10000));
    EXPECT_TRUE(watcher.state().globals.IsSpectator);
    EXPECT_EQ(watcher.state().globals.ViewedUserName, QStringLiteral("甲"));
    EXPECT_EQ(watcher.state().globals.MySeat, 0);
    const auto snapshot = std::find(watcher.received.begin(), watcher.received.end(), 109) - watcher.received.begin();
    ASSERT_LT(snapshot, static_cast<std::ptrdiff_t>(watcher.received.size()));
    ASSERT_TRUE(waitForHands(1));
    ASSERT_TRUE(PumpUntil([&] { return std::count(watcher.received.begin(), watcher.received.end(), 22) > 0; },
                          10000));
    EXPECT_GT(std::count(watcher.received.begin() + snapshot, watcher.received.end(), 20), 0)
        << "no play followed the snapshot";
    EXPECT_EQ(watcher.unloadedWith, -1);
}

TEST_F(LocalTableTest, KilledClientMissesTheHandEndAndGetsItsSeatBack)
{
    startServer({QStringLiteral("甲"), QStringLiteral("乙")});
    TableClient& owner = startClient(QStringLiteral("甲"));
    startClient(QStringLiteral("乙"));
    owner.quick = clients[1]->quick = true;
    confirmSettings(owner);
    confirmSettings(*clients[1]);
    ASSERT_TRUE(PumpUntil([&] { return room->table().referee().handInPlay(); }, 10000));

    clients[1].reset(); // the process is gone
    ASSERT_TRUE(PumpUntil([&] { return owner.state().seats[1].isOffline; }, 10000));
    ASSERT_TRUE(waitForHands(1));
    const auto results = room->table().referee().lastResults();
    ASSERT_TRUE(results.has_value());
    const int escaped = (*results)[1] + room->table().escapePenalty();
    EXPECT_TRUE(escaped == 0 || escaped == room->table().stake() || escaped == -room->table().stake())
        << (*results)[1];

    TableClient& back = startClient(QStringLiteral("乙"));
    ASSERT_TRUE(PumpUntil([&] { return back.state().table.MatchStarted == 1; }, 10000));
    EXPECT_EQ(back.state().globals.MySeat, 1);
    EXPECT_FALSE(back.state().globals.IsSpectator);
    EXPECT_TRUE(PumpUntil([&] { return !owner.state().seats[1].isOffline; }, 10000));
    EXPECT_EQ(owner.state().seats[1].name, QStringLiteral("乙"));
}

TEST_F(LocalTableTest, ShopSellsOverTheConnectionAndTheOpenShopShowsIt)
{
    startServer({QStringLiteral("甲")});
    server::MemoryShopStore store(20);
    const server::LoadedCatalogue catalogue = server::LoadCatalogueFile(
        qEnvironmentVariable("KELPO_SOURCE_DIR") + QStringLiteral("/server/shop-catalogue.txt"));
    ASSERT_TRUE(catalogue.catalogue) << catalogue.error.toStdString();
    room->table().setShop(std::make_unique<server::ItemShop>(*catalogue.catalogue, store,
                                                             [] { return QDateTime::currentDateTime(); }));
    QStringList notices;
    ModalBoxes::instance().setObserver([&](QWidget* w) {
        if (auto* box = qobject_cast<frmMsg*>(w); box && box->windowTitle() == QStringLiteral("升级提示")) {
            notices << box->labNote()->text();
            box->cmdUser_Click(0);
        }
    });
    TableClient& me = startClient(QStringLiteral("甲"));
    ShopState& shop = me.state().shop;
    ASSERT_TRUE(PumpUntil([&] { return shop.typeCount() == static_cast<int>(catalogue.catalogue->types.size()); }, 10000));
    OpenDaoJuMaket(me.client());
    frmDaoJuMaket* window = me.client().room.daoJuMaket;
    ASSERT_NE(window, nullptr);

    // The first offer of the first tab costs 8 of the 20 coins.
    const DaoJuInfo first = *shop.DaoJuTypes[1].item(1);
    window->imgBuyBut_Click(0);
    ASSERT_TRUE(PumpUntil([&] { return !notices.isEmpty(); }, 10000));
    EXPECT_TRUE(notices[0].startsWith(QStringLiteral("购买成功"))) << notices[0].toStdString();
    ASSERT_EQ(shop.MyDaoJuTypes[1].count(), 1);
    EXPECT_EQ(shop.MyDaoJuTypes[1].item(1)->lngID, first.lngID);
    EXPECT_TRUE(window->imgMyDaoJu(0)->toolTip().startsWith(first.strName + QStringLiteral("  剩1个")));
    EXPECT_EQ(store.account(QStringLiteral("甲"))->coins, 20 - first.lngNowPrice);

    // Then one the rest does not pay for: a notice, nothing charged or added.
    window->imgBuyBut_Click(1);
    ASSERT_TRUE(PumpUntil([&] { return notices.size() == 2; }, 10000));
    EXPECT_TRUE(notices[1].contains(QStringLiteral("金币不足"))) << notices[1].toStdString();
    EXPECT_EQ(store.account(QStringLiteral("甲"))->coins, 20 - first.lngNowPrice);
    EXPECT_EQ(shop.MyDaoJuTypes[1].count(), 1);
    ModalBoxes::instance().clearObserver();
    room->table().setShop(nullptr);
}

} // namespace
} // namespace kelpo
