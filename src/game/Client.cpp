#include "game/Client.h"

#include "controls/QelSckClient.h"
#include "game/GameMessageReaders.h"
#include "game/GameMessages.h"
#include "game/RoomMessages.h"
#include "game/Sounds.h"
#include "net/Packet.h"
#include "platform/NumericValue.h"
#include "platform/TickClock.h"
#include "skin/MsgPool.h"

namespace kelpo {

MessageRoute RouteOf(const QByteArray& message)
{
    if (message.isEmpty())
        return MessageRoute::None;
    const auto c = static_cast<std::uint8_t>(message[0]);
    return c >= 95 && c != 113 && c != 133 ? MessageRoute::Room : MessageRoute::Game;
}

Client::Client(QObject* parent)
    : QObject(parent), socket_(new QelSckClient(this)), msgPool_(new MsgPool(state, this)),
      clock_(&SystemTickClock()), dateClock_([] { return QDateTime::currentDateTime(); })
{
    connect(socket_, &QelSckClient::Connected, this, &Client::OnConnected);
    connect(socket_, &QelSckClient::DataArrived, this, &Client::OnDataArrived);
    connect(socket_, &QelSckClient::Closed, this, &Client::OnClosed);
    connect(socket_, &QelSckClient::Failed, this, &Client::OnFailed);
}

Client::~Client() = default;

SoundOutput& Client::soundOutput()
{
    if (!sound_)
        sound_ = MakeSystemSoundOutput(state.globals.AppPath);
    return *sound_;
}

void Client::setSoundOutput(std::unique_ptr<SoundOutput> output)
{
    sound_ = std::move(output);
}

void Client::enterWait()
{
    if (++waitDepth_ == MaxNestedWaits)
        socket_->holdDelivery(true);
}

void Client::leaveWait()
{
    if (waitDepth_-- == MaxNestedWaits)
        socket_->holdDelivery(false);
}

void Client::RecordForReview(const QByteArray& message)
{
    std::array<QString, 6> names;
    for (int seat = 0; seat < SeatCount; ++seat)
        names[static_cast<std::size_t>(seat)] = state.seats[static_cast<std::size_t>(seat)].name;
    // The clock is read only for the start of a hand: reading the local
    // time makes the C library look at the time zone file every time. A
    // hand start begins a new review even when the last hand never ended.
    const bool starts = !message.isEmpty() && static_cast<std::uint8_t>(message.at(0)) == MsgHandStart;
    const QDateTime now = recorder_.currentHand() && !starts ? QDateTime() : dateClock_();
    const bool ended = recorder_.record(message, names, now, state.table.TurnPhase);
    // The steps the message added are what there is to announce.
    for (const QString& step : recorder_.takeNewSteps())
        Announce(step);
    if (!ended)
        return;
    Announce(QStringLiteral("本局结束。") + recorder_.lastHand()->results.join(QStringLiteral("；")));
    // A review that cannot be written is still shown; the table goes on.
    if (!reviewFolder_.isEmpty())
        WriteHandReview(*recorder_.lastHand(), reviewFolder_);
    emit handReviewed();
}

void Client::ConnectRoomServer()
{
    socket_->Connect(state.globals.ServerHost, NumericInt32(state.globals.ServerPort), ConnectTimeoutSeconds);
}

void Client::SendPacket(const QByteArray& packet)
{
    if (packet.isEmpty())
        return;
    if (sink_) {
        sink_(packet);
        return;
    }
    socket_->Send(packet, 0, static_cast<int>(packet.size() - 1));
}

void Client::SendDecline()
{
    QByteArray packet;
    if (BuildPacket(state.globals.UserName, packet, 2, QByteArray("\x6e\x00", 2)))
        SendPacket(packet);
}

void Client::SendGameSetResult(const QByteArray& bteCmd)
{
    SendPacket(bteCmd);
}

void Client::OnConnected()
{
    QByteArray header(18, '\0');
    header[0] = static_cast<char>(130);
    // The preferences file may hold any number up to 255; the server is told one digit.
    const QString body = QStringLiteral("300`KELPO`") + QString::number(state.prefs.AllowWatchCards != 0 ? 1 : 0);
    QByteArray packet;
    if (BuildPacket(body, packet, 2, header))
        SendPacket(packet);
}

void Client::OnDataArrived(const QByteArray& message)
{
    switch (RouteOf(message)) {
    case MessageRoute::Room:
        HandleRoomMessage(*this, message);
        break;
    case MessageRoute::Game:
        HandleGameMessage(*this, message);
        break;
    case MessageRoute::None:
        break;
    }
}

void Client::OnClosed()
{
    connectionLost(ExitConnectionClosed);
}

void Client::OnFailed()
{
    connectionLost(ExitConnectionFailed);
}

void Client::connectionLost(int exitCode)
{
    // One connection, never reopened: it can only be lost once.
    if (lost_)
        return;
    lost_ = true;
    emit unloadRequested(exitCode);
}

} // namespace kelpo
