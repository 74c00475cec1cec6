#pragma once
// The table client: its state, its one connection to the room server, and
// the routing of every arriving message to the room or the game handler.

#include "game/ExitStatus.h"
#include "game/HandReview.h"
#include "game/RoomView.h"
#include "state/ClientState.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>

namespace kelpo {

class MsgPool;
class QelSckClient;
class SoundOutput;
class TickClock;

// Handed to the socket with the connect call: seconds before giving up.
inline constexpr int ConnectTimeoutSeconds = 120;

enum class MessageRoute { None, Room, Game };

// Which handler a message goes to, by its first byte: room classes are
// 95..255 except 113 and 133, everything else is a game class. An empty
// message goes nowhere.
MessageRoute RouteOf(const QByteArray& message);

class Client : public QObject {
    Q_OBJECT
public:
    explicit Client(QObject* parent = nullptr);
    ~Client() override;

    ClientState state;
    // The main window's parts the handlers use; empty while no window is up.
    RoomView room;

    // The message-box pool (ShowMsg, CloseMsgBoxes, InitMsgObjects).
    MsgPool& msgPool() { return *msgPool_; }

    QelSckClient& socket() { return *socket_; }

    // Every packet the client sends goes to `sink` instead of the socket
    // while one is set; tests capture what is sent this way.
    void setPacketSink(std::function<void(const QByteArray&)> sink) { sink_ = std::move(sink); }

    // The clock behind waits and countdowns; the system's unless replaced.
    // The client does not own it.
    const TickClock& clock() const { return *clock_; }
    void setClock(const TickClock& clock) { clock_ = &clock; }

    // Where sound cues play: the system's, made on first use, unless a test
    // put a recorder in its place.
    SoundOutput& soundOutput();
    void setSoundOutput(std::unique_ptr<SoundOutput> output);

    // Cooperative waits and handlers' modal boxes running one inside the
    // other. Each hands further messages to the handlers, which may wait or
    // open a box in turn; at MaxNestedWaits the innermost takes no more
    // messages until it ends, so a fast stream of pausing or box-opening
    // messages cannot nest without bound. Nothing is dropped: held messages
    // follow in order once the innermost is over.
    static constexpr int MaxNestedWaits = 4;
    void enterWait();
    void leaveWait();
    int nestedWaits() const { return waitDepth_; }

    // The review of the hand in play and of the last whole one.
    const HandRecorder& handRecorder() const { return recorder_; }
    // Hands every game message to the review before its handler runs;
    // writes a finished hand's review and announces it.
    void RecordForReview(const QByteArray& message);
    // The date and time a hand's review is stamped and named with; the
    // system's unless replaced.
    void setDateClock(std::function<QDateTime()> now) { dateClock_ = std::move(now); }
    // Where each finished hand's review is written, one file a hand; nothing
    // is written while it is empty.
    void setReviewFolder(const QString& folder) { reviewFolder_ = folder; }
    const QString& reviewFolder() const { return reviewFolder_; }

    // Tells a screen reader what just happened at the table.
    void Announce(const QString& text) { emit announced(text); }

    // Ends the program from the table's side (the start countdown ran out,
    // the server sent the player away, too many automatic plays).
    void UnloadMainWindow(int exitCode) { emit unloadRequested(exitCode); }

    // Connects to ServerHost at the numeric value of ServerPort; the outcome
    // arrives as the socket's Connected or Failed.
    void ConnectRoomServer();

    // Sends the whole packet; an empty packet sends nothing.
    void SendPacket(const QByteArray& packet);
    // Declines the table settings or leaves: 110, 0 and the user name.
    void SendDecline();
    // Sends a table-settings reply built by the settings dialog, unchanged.
    void SendGameSetResult(const QByteArray& bteCmd);

    // The socket's events; public so tests can drive a client without one.
    void OnConnected();
    void OnDataArrived(const QByteArray& message);
    void OnClosed();
    void OnFailed();

signals:
    // The main window unloads and the program ends with exitCode; never 0
    // when the connection is gone.
    void unloadRequested(int exitCode);
    // A hand is over and handRecorder().lastHand() holds its review.
    void handReviewed();
    // A play, pass, turn or result in words, for a screen reader.
    void announced(const QString& text);

private:
    void connectionLost(int exitCode);

    QelSckClient* socket_;
    MsgPool* msgPool_;
    std::function<void(const QByteArray&)> sink_;
    std::unique_ptr<SoundOutput> sound_;
    const TickClock* clock_;
    std::function<QDateTime()> dateClock_;
    bool lost_ = false;
    int waitDepth_ = 0;

    HandRecorder recorder_;
    QString reviewFolder_;
};

} // namespace kelpo
