#include "server/RoomServer.h"

#include <QTcpSocket>

#include <vector>

namespace kelpo::server {

namespace {

// Bytes taken from the socket at a time; the decoder holds no more than one
// chunk's worth of messages, and the socket buffers no more than this either,
// so a sender whose input is held waits in its own TCP window.
constexpr qint64 ReadChunk = 64 * 1024;

} // namespace

RoomServer::RoomServer(const RoomConfig& config, const TickClock& clock, QObject* parent)
    : QObject(parent),
      config_(config),
      clock_(clock),
      table_(config, clock, [this](int id, const QByteArray& m) { send(id, m); },
             [this](int id) { discard(id); })
{
    connect(&listener_, &QTcpServer::newConnection, this, &RoomServer::accept);
    ticker_.setInterval(TickMs);
    connect(&ticker_, &QTimer::timeout, this, &RoomServer::tick);
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

void RoomServer::tick()
{
    table_.tick();
    judgeReaders();
    resumeHeld();
    flushWritten();
}

bool RoomServer::identified(int id) const { return !table_.userOf(id).isEmpty(); }

void RoomServer::accept()
{
    while (QTcpSocket* socket = listener_.nextPendingConnection()) {
        const QHostAddress address = socket->peerAddress();
        admitUnidentified(address);
        // Small messages go out at once rather than wait for the peer's ack.
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        const int id = nextId_++;
        auto peer = std::make_unique<Peer>();
        peer->socket = socket;
        peer->address = address;
        socket->setReadBufferSize(ReadChunk);
        peers_[id] = std::move(peer);
        connect(socket, &QTcpSocket::readyRead, this, [this, id] { readFrom(id); });
        connect(socket, &QTcpSocket::bytesWritten, this, &RoomServer::resumeHeld);
        connect(socket, &QTcpSocket::disconnected, this, [this, id] { lost(id); });
        connect(socket, &QTcpSocket::errorOccurred, this, [this, id] { lost(id); });
        table_.connectionOpened(id, socket->peerAddress().toString());
        // Bytes may have come with the connection itself.
        if (socket->bytesAvailable() > 0)
            readFrom(id);
    }
    flushWritten();
}

void RoomServer::admitUnidentified(const QHostAddress& address)
{
    // Identifications already sent are taken first: a client is not pushed
    // out only because its bytes had not been read yet.
    std::vector<int> waiting;
    for (const auto& [id, peer] : peers_)
        if (!identified(id))
            waiting.push_back(id);
    for (int id : waiting)
        if (const auto it = peers_.find(id); it != peers_.end())
            it->second->socket->waitForReadyRead(0);

    for (;;) {
        // Oldest first: peers_ is ordered by id, and ids only grow.
        std::map<QString, std::vector<int>> byAddress;
        int total = 0;
        for (const auto& [id, peer] : peers_) {
            if (identified(id))
                continue;
            byAddress[peer->address.toString()].push_back(id);
            ++total;
        }
        const std::vector<int>* from = nullptr;
        const std::vector<int>& mine = byAddress[address.toString()];
        if (static_cast<int>(mine.size()) >= MaxUnidentifiedPerAddress) {
            from = &mine;
        } else if (total >= MaxUnidentified) {
            // The address holding the most of them gives one up.
            for (const auto& [addr, ids] : byAddress)
                if (!from || ids.size() > from->size())
                    from = &ids;
        }
        if (!from || from->empty())
            return;
        lost(from->front());
    }
}

void RoomServer::readFrom(int id)
{
    readMessages(id);
    flushWritten();
}

void RoomServer::readMessages(int id)
{
    int handled = 0;
    for (;;) {
        const auto it = peers_.find(id);
        if (it == peers_.end())
            return;
        Peer& peer = *it->second;
        if (!peer.decoder.hasMessage()) {
            const QByteArray bytes = peer.socket->read(ReadChunk);
            if (bytes.isEmpty())
                return;
            if (!peer.decoder.feed(bytes)) {
                // Whatever came whole before the break is not trusted either.
                lost(id);
                return;
            }
            continue;
        }
        // An identification is let through: it sends little, and a joining
        // client must not time out behind someone else's backlog.
        if (identified(id) && anyBackedUp()) {
            peer.held = true;
            return;
        }
        if (handled == MessagesPerPass) {
            scheduleRead(id);
            return;
        }
        ++handled;
        // peer may be gone once the table has handled the message.
        table_.messageArrived(id, peer.decoder.takeMessage());
    }
}

void RoomServer::scheduleRead(int id)
{
    const auto it = peers_.find(id);
    if (it == peers_.end() || it->second->readScheduled)
        return;
    it->second->readScheduled = true;
    QMetaObject::invokeMethod(
        this,
        [this, id] {
            const auto p = peers_.find(id);
            if (p == peers_.end())
                return;
            p->second->readScheduled = false;
            readFrom(id);
        },
        Qt::QueuedConnection);
}

bool RoomServer::anyBackedUp() const
{
    for (const auto& [id, peer] : peers_)
        if (peer->socket->bytesToWrite() > BackedUpOutput)
            return true;
    return false;
}

void RoomServer::resumeHeld()
{
    bool anyHeld = false;
    for (const auto& [id, peer] : peers_)
        anyHeld = anyHeld || peer->held;
    if (!anyHeld || anyBackedUp())
        return;
    for (const auto& [id, peer] : peers_) {
        if (peer->held) {
            peer->held = false;
            scheduleRead(id);
        }
    }
}

void RoomServer::judgeReaders()
{
    const std::int64_t now = clock_.TickCount();
    std::vector<int> stalled;
    for (const auto& [id, peer] : peers_) {
        if (peer->socket->bytesToWrite() <= BackedUpOutput) {
            peer->backedUpSince = -1;
        } else if (peer->backedUpSince < 0) {
            peer->backedUpSince = now;
        } else if (now - peer->backedUpSince >= ReaderStallMs) {
            stalled.push_back(id);
        }
    }
    for (int id : stalled)
        lost(id);
}

void RoomServer::send(int id, const QByteArray& message)
{
    const auto it = peers_.find(id);
    if (it == peers_.end())
        return;
    QTcpSocket* socket = it->second->socket;
    if (socket->bytesToWrite() > MaxPendingOutput) {
        // Pacing keeps a reader far below this; one that gets here is not
        // reading at all. It is treated as gone, once the table is done with
        // the message being sent.
        QMetaObject::invokeMethod(this, [this, id] { lost(id); }, Qt::QueuedConnection);
        return;
    }
    QByteArray frame;
    if (!AppendFrame(frame, message))
        return;
    socket->write(frame);
    if (!it->second->unflushed) {
        it->second->unflushed = true;
        unflushed_.push_back(id);
    }
}

void RoomServer::flushWritten()
{
    // A failed write reports the loss at once, and the table may then send
    // to others: every step looks the connection up again.
    while (!unflushed_.empty()) {
        const int id = unflushed_.back();
        unflushed_.pop_back();
        const auto it = peers_.find(id);
        if (it == peers_.end())
            continue;
        it->second->unflushed = false;
        it->second->socket->flush();
    }
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
    flushWritten();
}

} // namespace kelpo::server
