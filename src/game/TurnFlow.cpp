#include "game/TurnFlow.h"

#include "game/Client.h"
#include "game/GameMessageBuilders.h"
#include "net/Packet.h"
#include "platform/NumericValue.h"
#include "rules/CardOrder.h"
#include "state/CardStateOps.h"
#include "table/TablePainter.h"

#include <QPushButton>
#include <QTimer>

namespace kelpo {

namespace {

const QString StartCaption = QStringLiteral("可以开始");
const char* const TagProperty = "tag";
constexpr int CountdownSeconds = 20;

bool IsLocalTurn(const ClientState& s)
{
    return !s.globals.IsSpectator && s.table.ActingSeat == s.globals.MySeat && s.table.ActingSeat < SeatCount;
}

bool SomeoneRaisedAHand(const ClientState& s)
{
    for (const SeatRecord& seat : s.seats) {
        if (!seat.name.trimmed().isEmpty() && seat.isHandUp)
            return true;
    }
    return false;
}

// Wide enough for the countdown's longest caption, so it never clips. Measured
// when the button first shows: laying out its text loads a CJK face, which the
// start need not wait for.
void FitStartButton(QPushButton& button)
{
    const char* const fitted = "fitted";
    if (button.property(fitted).toBool())
        return;
    button.setProperty(fitted, true);
    const QString caption = button.text();
    button.setText(StartCaption + QStringLiteral(" 20"));
    const QSize counting = button.sizeHint();
    button.setText(caption);
    button.resize(counting);
}

QString TimerTag(const QTimer& timer)
{
    return timer.property(TagProperty).toString();
}

} // namespace

void SendNoCards(Client& client)
{
    client.SendPacket(BuildNoCardsPacket(client.state.globals.MySeat));
}

void ApplyTurn(Client& client)
{
    ClientState& s = client.state;
    TablePainter* view = client.room.painter;
    ++s.table.TurnsApplied;
    const std::uint8_t phase = s.table.TurnPhase;
    if (phase >= PhaseLead && phase <= PhaseReturnTribute) {
        static const QString mine[] = {QStringLiteral("轮到你出牌"), QStringLiteral("轮到你跟牌"),
                                       QStringLiteral("轮到你进贡"), QStringLiteral("轮到你还贡")};
        if (IsLocalTurn(s))
            client.Announce(mine[phase - PhaseLead]);
        else if (const SeatRecord* r = s.seat(s.table.ActingSeat))
            client.Announce(QStringLiteral("轮到 ") + r->name);
    }

    switch (phase) {
    case PhaseLead:
    case PhaseFollow:
        s.view.OptionButtonState = {1, 1};
        if (view) {
            view->PaintOptionButton(0);
            view->PaintOptionButton(1);
        }
        if (IsLocalTurn(s) && s.cards.HandCards.isEmpty()) {
            // The server moves on at once; a clock here would only expire
            // into an automatic play of a card that does not exist.
            SendNoCards(client);
            return;
        }
        if (view)
            view->StartTurnClock(s.table.ActingSeat);
        if (IsLocalTurn(s) && view)
            view->ShowPlayButtons(true);
        return;

    case PhaseTribute:
    case PhaseReturnTribute:
        if (view)
            view->StartTurnClock(s.table.ActingSeat);
        if (!IsLocalTurn(s))
            return;
        if (phase == PhaseTribute) {
            // The tribute must be the highest card, so it is raised already.
            s.cards.SelectedFlags = CardList(std::vector<CardCode>(static_cast<std::size_t>(s.cards.HandCards.count()), 0));
            s.cards.SelectedFlags.set(1, 1);
            MoveCardZeroLast(s.cards.HandCards);
            if (view)
                view->DrawHand();
        }
        if (view)
            view->ShowTributeButton(true);
        return;

    case PhaseBetweenHands: {
        s.table.StartOffered = false;
        UpdateStartButton(client);
        const SeatRecord* mine = s.seat(s.globals.MySeat);
        if (!s.globals.IsSpectator && mine && !mine->isHandUp) {
            s.table.StartOffered = true;
            UpdateStartButton(client);
        }
        return;
    }

    default:
        return;
    }
}

void ClearTurn(Client& client)
{
    if (client.room.painter)
        client.room.painter->StopTurnClock();
    client.state.table.StartOffered = false;
    UpdateStartButton(client);
}

void PlaceStartButton(Client& client)
{
    QPushButton* button = client.room.cmdStart;
    if (!button)
        return;
    const QPoint anchor = client.state.view.Layout.SeatAnchor[2];
    button->move(anchor.x() + 150, anchor.y() + 5);
}

void UpdateStartButton(Client& client)
{
    ClientState& s = client.state;
    QPushButton* button = client.room.cmdStart;
    QTimer* timer = client.room.tmrStart;

    if (button) {
        button->setText(StartCaption);
        PlaceStartButton(client);
    }
    if (s.globals.IsSpectator)
        s.table.StartOffered = false;
    const bool offered = s.table.StartOffered;
    if (button) {
        if (offered)
            FitStartButton(*button);
        button->setVisible(offered);
    }
    if (!timer)
        return;
    if (offered && !timer->isActive())
        timer->setProperty(TagProperty, QString::number(CountdownSeconds));
    if (offered && !timer->isActive())
        timer->start();
    else if (!offered)
        timer->stop();
}

void cmdStart_Click(Client& client)
{
    ClientState& s = client.state;
    if (s.table.MatchStarted != 0) {
        if (!s.globals.IsSpectator) {
            ResetForNewHand(s, false);
            ClearTurn(client);
            if (client.room.painter)
                client.room.painter->RepaintTable();
            client.SendPacket(BuildReadyPacket(s.globals.MySeat));
        }
    } else {
        QByteArray packet;
        if (BuildPacket(s.globals.UserName, packet, 2, QByteArray("\x70\x01", 2)))
            client.SendPacket(packet);
    }
    s.table.StartOffered = false;
    UpdateStartButton(client);
}

void tmrStart_Timer(Client& client)
{
    QTimer* timer = client.room.tmrStart;
    if (!timer)
        return;
    QPushButton* button = client.room.cmdStart;
    const QString caption = button ? button->text() : StartCaption;
    if (caption == StartCaption && !SomeoneRaisedAHand(client.state))
        return;

    const std::int32_t count = NumericInt32(TimerTag(*timer)) - 1;
    timer->setProperty(TagProperty, QString::number(count));
    if (button)
        button->setText(StartCaption + u' ' + QString::number(count));
    if (count >= 1)
        return;

    timer->stop();
    if (client.state.table.NoHandInPlay) {
        // Another player is ready and this one never started: leave the table.
        client.UnloadMainWindow(0);
        return;
    }
    cmdStart_Click(client);
}

void ConnectStartControls(Client& client)
{
    RoomView& room = client.room;
    if (!room.cmdStart && room.picGameBack) {
        auto* button = new QPushButton(StartCaption, room.picGameBack);
        button->setObjectName(QStringLiteral("cmdStart"));
        button->hide();
        QObject::connect(button, &QPushButton::clicked, &client, [&client] { cmdStart_Click(client); });
        room.cmdStart = button;
    }
    if (room.tmrStart)
        QObject::connect(room.tmrStart, &QTimer::timeout, &client, [&client] { tmrStart_Timer(client); });
    PlaceStartButton(client);
}

} // namespace kelpo
