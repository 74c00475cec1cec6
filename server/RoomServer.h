#pragma once
// The network side of the room server: a TCP listener, one framed stream per
// connection, and a steady tick, all feeding one RoomTable. A connection that
// sends a broken stream, or stops reading what it is sent, is closed alone.
//
// One peer must not be able to crowd out or starve the others:
// - connections that have not identified yet have a small budget of their
//   own, overall and per address; a new one past the budget pushes out the
//   oldest silent one, so a real client (which identifies at once) always
//   gets in;
// - a connection's input is handled a few messages per event-loop pass, and
//   not at all while any reader is backed up, so what one peer causes to be
//   sent leaves before more of it is made;
// - a reader is judged by what it fails to read over time: it is given up
//   only when its backlog stays high for a while (or passes a hard cap that
//   pacing keeps honest readers far from).

#include "net/FrameCodec.h"
#include "server/RoomTable.h"

#include <QHostAddress>
#include <QObject>
#include <QTcpServer>
#include <QTimer>

#include <map>
#include <memory>
#include <vector>

class QTcpSocket;

namespace kelpo::server {

class RoomServer : public QObject {
    Q_OBJECT
public:
    // Unsent bytes past which a connection is given up at once.
    static constexpr qint64 MaxPendingOutput = 8 * 1024 * 1024;
    // Unsent bytes past which a connection counts as backed up: nobody's
    // input is handled until it drains.
    static constexpr qint64 BackedUpOutput = 256 * 1024;
    // How long a connection may stay backed up before it is given up.
    static constexpr int ReaderStallMs = 10000;
    // Connections not yet identified, overall and from one address.
    static constexpr int MaxUnidentified = 16;
    static constexpr int MaxUnidentifiedPerAddress = 4;
    // Messages of one connection handled before the event loop runs again.
    static constexpr int MessagesPerPass = 16;
    static constexpr int TickMs = 50;

    // The clock must outlive the server.
    RoomServer(const RoomConfig& config, const TickClock& clock, QObject* parent = nullptr);
    ~RoomServer() override;

    // Starts listening on the configured address and port. False with the
    // reason in error when that fails.
    bool listen(QString& error);
    quint16 port() const { return listener_.serverPort(); }

    RoomTable& table() { return table_; }
    int openConnections() const { return static_cast<int>(peers_.size()); }

    // The steady tick: the table's time-outs, then held input and stalled
    // readers. Public so tests can drive it with their own clock.
    void tick();

private:
    struct Peer {
        QTcpSocket* socket = nullptr;
        QHostAddress address;
        FrameDecoder decoder;
        // Input waits for the backed-up readers to drain.
        bool held = false;
        bool readScheduled = false;
        // Since when the backlog has been above BackedUpOutput; -1 while not.
        std::int64_t backedUpSince = -1;
        // Written to since the last flush.
        bool unflushed = false;
    };

    void accept();
    // Makes room for one more unidentified connection from address.
    void admitUnidentified(const QHostAddress& address);
    bool identified(int id) const;
    void readFrom(int id);
    void readMessages(int id);
    void scheduleRead(int id);
    // Some connection holds more unsent bytes than BackedUpOutput.
    bool anyBackedUp() const;
    void resumeHeld();
    void judgeReaders();
    void send(int id, const QByteArray& message);
    // Hands what this pass wrote to the sockets now, one write per socket,
    // rather than on the event loop's next pass over every socket.
    void flushWritten();
    // Forgets the connection and closes its socket, without telling the table.
    void discard(int id);
    // The connection is gone: forget it and tell the table.
    void lost(int id);

    RoomConfig config_;
    const TickClock& clock_;
    QTcpServer listener_;
    QTimer ticker_;
    std::map<int, std::unique_ptr<Peer>> peers_;
    std::vector<int> unflushed_;
    int nextId_ = 1;
    RoomTable table_;
};

} // namespace kelpo::server
