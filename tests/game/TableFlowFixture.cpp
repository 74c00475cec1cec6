#include "TableFlowFixture.h"

#include "game/Sounds.h"
#include "skin/ModalBoxes.h"
#include "support/Boxes.h"
#include "skin/MsgPool.h"
#include "state/Session.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kelpo::test {

namespace {

class CueRecorder final : public SoundOutput {
public:
    explicit CueRecorder(std::vector<QString>& files) : files_(files) {}
    int deviceCount() const override { return 1; }
    void play(const QString& file) override { files_.push_back(QFileInfo(file).fileName()); }

private:
    std::vector<QString>& files_;
};

} // namespace

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

QByteArray Cards(const std::vector<int>& cards)
{
    QByteArray out;
    for (int c : cards)
        out.append(static_cast<char>(c));
    return out;
}

QByteArray HandStartMsg(int actingSeat, int phase, int autoPlayLimit, int decks)
{
    QByteArray m(18, '\0');
    m[0] = 17;
    m[3] = static_cast<char>(autoPlayLimit);
    m[11] = static_cast<char>(decks);
    m[13] = 30;
    m[14] = 15;
    m[15] = static_cast<char>(actingSeat);
    m[16] = static_cast<char>(phase);
    return m;
}

QByteArray DealMsg(const std::vector<int>& hand) { return Bytes({19, 0, 0}) + Cards(hand); }

QByteArray PlayMsg(int seat, const std::vector<int>& cards, int nextSeat, int phase, int finishRank, int warnFlag)
{
    return Bytes({20, 0, nextSeat, phase, finishRank, warnFlag, seat, static_cast<int>(cards.size())})
        + Cards(cards);
}

QByteArray PassMsg(int seat, int nextSeat, int phase) { return PlayMsg(seat, {254}, nextSeat, phase); }

QByteArray TributeMsg(int seat, int card, int nextSeat, int phase, std::array<int, 4> pairs)
{
    return Bytes({23, 0, seat, card, nextSeat, phase, pairs[0], pairs[1], pairs[2], pairs[3]});
}

QByteArray SnapshotMsg(int actingSeat, int phase, const QByteArray& playsAndHands)
{
    QByteArray m(37, '\0');
    m[0] = static_cast<char>(109);
    m[2] = 1;
    m[5] = 1;
    m[8] = 30;
    m[9] = 15;
    m[10] = static_cast<char>(actingSeat);
    m[11] = static_cast<char>(phase);
    return m + playsAndHands;
}

TableFlowTest::TableFlowTest()
{
    const QString app = dir.filePath(QStringLiteral("bin"));
    QDir().mkpath(app + QStringLiteral("/Res/Sound"));
    for (int cue = 0; cue < SoundCueCount; ++cue) {
        QFile f(app + QStringLiteral("/Res/Sound/") + SoundCueFileName(cue));
        f.open(QIODevice::WriteOnly);
    }
    ClientGlobals& g = client.state.globals;
    g.GameName = QStringLiteral("牌局");
    InitSession(client.state, app);
    client.msgPool().InitMsgObjects();
    client.setClock(clock);
    client.setSoundOutput(std::make_unique<CueRecorder>(cues));
    client.setPacketSink([this](const QByteArray& p) { sent.push_back(p); });
    CloseEveryBox();
    window = std::make_unique<frmGameMain>(client);
    QObject::connect(window.get(), &frmGameMain::unloaded, [this](int code) { unloadedWith = code; });
    window->resize(1024, 736);
    window->show();
    window->LayoutMainWindow();
    QCoreApplication::processEvents();
    ModalBoxes::instance().clearHistory();
    seatAt(1);
}

TableFlowTest::~TableFlowTest()
{
    ModalBoxes::instance().clearObserver();
    ModalBoxes::instance().clearHistory();
    window.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TableFlowTest::seatAt(int mySeat, bool spectator)
{
    ClientGlobals& g = client.state.globals;
    for (int s = 0; s < SeatCount; ++s)
        seat(s).name = QStringLiteral("p%1").arg(s);
    g.ViewedUserName = seat(mySeat).name;
    g.UserName = spectator ? QStringLiteral("watcher") : g.ViewedUserName;
    g.MySeat = static_cast<std::uint8_t>(mySeat);
    g.IsSpectator = spectator;
    for (int s = 0; s < SeatCount; ++s)
        g.SeatViewPos[static_cast<std::size_t>(s)] = static_cast<std::uint8_t>((s - mySeat + 8) % 6);
}

void TableFlowTest::startHand(const std::vector<int>& hand, int actingSeat, int phase, int autoPlayLimit)
{
    QByteArray deal = DealMsg(hand);
    const int decks = static_cast<int>(hand.size()) / 9;
    deliver(HandStartMsg(actingSeat, phase, autoPlayLimit, decks));
    deliver(deal);
    sent.clear();
    cues.clear();
}

std::vector<QString> TableFlowTest::takeBoxes()
{
    std::vector<QString> out;
    for (const auto& b : ModalBoxes::instance().history())
        out.push_back(b.caption + QLatin1Char('|') + b.text);
    ModalBoxes::instance().clearHistory();
    return out;
}

std::vector<QByteArray> TableFlowTest::takeSent()
{
    std::vector<QByteArray> out;
    out.swap(sent);
    return out;
}

} // namespace kelpo::test
