#include "server/RoomServer.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace kelpo::server {

namespace {

// Bytes taken from the socket at a time; the decoder holds no more than one
// frame's worth of them.
constexpr qint64 ReadChunk = 64 * 1024;

} // namespace

RoomServer::RoomServer(const RoomConfig& config, const TickClock& clock, QObject* parent)
    : QObject(parent),
      config_(config),
      table_(config, clock, [this](int id, const QByteArray& m) { send(id, m); },
             [this](int id) { discard(id); })
{
    connect(&listener_, &QTcpServer::newConnection, this, &RoomServer::accept);
    ticker_.setInterval(TickMs);
    connect(&ticker_, &QTimer::timeout, this, [this] { table_.tick(); });
}

RoomServer::~RoomServer()
{
    ticker_.stop();
    while (!peers_.empty())
        discard(peers_.begin()->first);
}

bool RoomServer::listen(QString& error)
{
    const QHostAddress address(config_.listenHost);
    if (address.isNull()) {
        error = QStringLiteral("not an address: %1").arg(config_.listenHost);
        return false;
    }
    if (!listener_.listen(address, static_cast<quint16>(config_.port))) {
        error = listener_.errorString();
        return false;
    }
    ticker_.start();
    return true;
}

void RoomServer::accept()
{
    while (QTcpSocket* socket = listener_.nextPendingConnection()) {
        if (static_cast<int>(peers_.size()) >= MaxConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        // Small messages go out at once rather than wait for the peer's ack.
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        const int id = nextId_++;
        auto peer = std::make_unique<Peer>();
        peer->socket = socket;
        peers_[id] = std::move(peer);
        connect(socket, &QTcpSocket::readyRead, this, [this, id] { readFrom(id); });
        connect(socket, &QTcpSocket::disconnected, this, [this, id] { lost(id); });
        connect(socket, &QTcpSocket::errorOccurred, this, [this, id] { lost(id); });
        table_.connectionOpened(id);
        // Bytes may have come with the connection itself.
        if (socket->bytesAvailable() > 0)
            readFrom(id);
    }
}

void RoomServer::readFrom(int id)
{
    for (;;) {
        auto it = peers_.find(id);
        if (it == peers_.end())
            return;
        Peer& peer = *it->second;
        const QByteArray bytes = peer.socket->read(ReadChunk);
        if (bytes.isEmpty())
            return;
        if (!peer.decoder.feed(bytes)) {
            // Whatever came whole before the break is not trusted either.
            lost(id);
            return;
        }
        while (true) {
            it = peers_.find(id);
            if (it == peers_.end() || !it->second->decoder.hasMessage())
                break;
            table_.messageArrived(id, it->second->decoder.takeMessage());
        }
    }
}

void RoomServer::send(int id, const QByteArray& message)
{
    const auto it = peers_.find(id);
    if (it == peers_.end())
        return;
    QTcpSocket* socket = it->second->socket;
    if (socket->bytesToWrite() > MaxPendingOutput) {
        // A client that does not read must not make the server hold the
        // whole match for it; it is treated as gone, once the table is done
        // with the message being sent.
        QMetaObject::invokeMethod(this, [this, id] { lost(id); }, Qt::QueuedConnection);
        return;
    }
    QByteArray frame;
    if (AppendFrame(frame, message))
        socket->write(frame);
}

void RoomServer::discard(int id)
{
    const auto it = peers_.find(id);
    if (it == peers_.end())
        return;
    QTcpSocket* socket = it->second->socket;
    peers_.erase(it);
    socket->disconnect(this);
    // What was written goes out before the close, so a refused client still
    // learns why where a message says it.
    socket->disconnectFromHost();
    socket->deleteLater();
}

void RoomServer::lost(int id)
{
    if (peers_.find(id) == peers_.end())
        return;
    QTcpSocket* socket = peers_[id]->socket;
    peers_.erase(id);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    table_.connectionClosed(id);
}

} // namespace kelpo::server
