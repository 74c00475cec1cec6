#pragma once
// The network side of the room server: a TCP listener, one framed stream per
// connection, and a steady tick, all feeding one RoomTable. A connection that
// sends a broken stream, or stops reading what it is sent, is closed alone.

#include "net/FrameCodec.h"
#include "server/RoomTable.h"

#include <QObject>
#include <QTcpServer>
#include <QTimer>

#include <map>
#include <memory>

class QTcpSocket;

namespace kelpo::server {

class RoomServer : public QObject {
    Q_OBJECT
public:
    // Unsent bytes a connection may hold back before it is given up.
    static constexpr qint64 MaxPendingOutput = 4 * 1024 * 1024;
    // Connections open at once, identified or not; more are refused.
    static constexpr int MaxConnections = 64;
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

private:
    struct Peer {
        QTcpSocket* socket = nullptr;
        FrameDecoder decoder;
    };

    void accept();
    void readFrom(int id);
    void send(int id, const QByteArray& message);
    // Forgets the connection and closes its socket, without telling the table.
    void discard(int id);
    // The connection is gone: forget it and tell the table.
    void lost(int id);

    RoomConfig config_;
    QTcpServer listener_;
    QTimer ticker_;
    std::map<int, std::unique_ptr<Peer>> peers_;
    int nextId_ = 1;
    RoomTable table_;
};

} // namespace kelpo::server
