#include "controls/QelSckClient.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <thread>

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kelpo {

struct QelSckClient::Address {
    sockaddr_storage address;
    socklen_t length;
    int family;
};

QelSckClient::QelSckClient(QObject* parent) : QObject(parent)
{
    connectTimer_.setSingleShot(true);
    QObject::connect(&connectTimer_, &QTimer::timeout, this, &QelSckClient::onConnectTimeout);
}

QelSckClient::~QelSckClient()
{
    *alive_ = false;
    closeSocket();
}

std::vector<QelSckClient::Address> QelSckClient::Resolve(const QByteArray& host, const QByteArray& port,
                                                         bool numericOnly)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    // Every family the name has: one that cannot be reached here fails its
    // connect and the next address is tried.
    hints.ai_flags = AI_NUMERICSERV | (numericOnly ? AI_NUMERICHOST : 0);
    addrinfo* list = nullptr;
    std::vector<Address> out;
    if (getaddrinfo(host.constData(), port.constData(), &hints, &list) != 0)
        return out;
    for (const addrinfo* a = list; a; a = a->ai_next) {
        if (a->ai_addrlen > sizeof(sockaddr_storage))
            continue;
        Address one{};
        std::memcpy(&one.address, a->ai_addr, a->ai_addrlen);
        one.length = a->ai_addrlen;
        one.family = a->ai_family;
        out.push_back(one);
    }
    freeaddrinfo(list);
    return out;
}

void QelSckClient::Connect(const QString& host, int port, int timeoutSeconds)
{
    if (finished_ || link_ != Link::Unconnected)
        return;
    if (port < 1 || port > 65535 || host.isEmpty()) {
        finish(Event::Failed);
        return;
    }
    if (timeoutSeconds > 0)
        connectTimer_.start(std::chrono::seconds(timeoutSeconds));
    link_ = Link::Resolving;
    const QByteArray name = host.toUtf8();
    const QByteArray service = QByteArray::number(port);
    std::vector<Address> numeric = Resolve(name, service, true);
    if (!numeric.empty()) {
        // The connection is asked for at once; its outcome still arrives from
        // the event loop, never inside Connect.
        resolved(std::move(numeric));
        return;
    }
    // A name may take the resolver seconds: not on the window's thread.
    std::thread([name, service, alive = alive_, self = this] {
        std::vector<Address> found = Resolve(name, service, false);
        QCoreApplication* app = QCoreApplication::instance();
        if (!app)
            return;
        QMetaObject::invokeMethod(
            app,
            [alive, self, found = std::move(found)]() mutable {
                if (*alive)
                    self->resolved(std::move(found));
            },
            Qt::QueuedConnection);
    }).detach();
}

void QelSckClient::resolved(std::vector<Address> addresses)
{
    if (finished_ || link_ != Link::Resolving)
        return;
    addresses_ = std::move(addresses);
    nextAddress_ = 0;
    link_ = Link::Connecting;
    tryNextAddress();
}

void QelSckClient::tryNextAddress()
{
    closeSocket();
    while (nextAddress_ < addresses_.size()) {
        const Address& a = addresses_[nextAddress_++];
        fd_ = ::socket(a.family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd_ < 0)
            continue;
        if (::connect(fd_, reinterpret_cast<const sockaddr*>(&a.address), a.length) == 0 || errno == EINPROGRESS) {
            // Done or not, the answer comes as the socket turning writable.
            writeNotifier_ = new QSocketNotifier(fd_, QSocketNotifier::Write, this);
            QObject::connect(writeNotifier_, &QSocketNotifier::activated, this, &QelSckClient::writeReady);
            return;
        }
        closeSocket();
    }
    finish(Event::Failed);
}

void QelSckClient::connectFinished()
{
    int error = 0;
    socklen_t length = sizeof(error);
    if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) {
        tryNextAddress();
        return;
    }
    connectTimer_.stop();
    link_ = Link::Connected;
    writeNotifier_->setEnabled(false);
    // Plays are a few bytes each; waiting to fill a segment would hold
    // every turn back by the peer's delayed acknowledgement.
    const int on = 1;
    ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
    readNotifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    QObject::connect(readNotifier_, &QSocketNotifier::activated, this, [this] { readAvailable(); });
    emit Connected();
}

void QelSckClient::writeReady()
{
    if (link_ == Link::Connecting)
        connectFinished();
    else if (link_ == Link::Connected && !flushOutput())
        writeFailed();
}

void QelSckClient::writeFailed()
{
    if (errno != EPIPE && errno != ECONNRESET) {
        finish(Event::Failed);
        return;
    }
    // The peer has gone: what it sent before still arrives, then Closed.
    readAvailable();
    finish(Event::Closed);
}

// Hands the socket what it takes now; the rest waits for it to turn
// writable. False when the connection broke.
bool QelSckClient::flushOutput()
{
    while (!output_.isEmpty()) {
        const ssize_t n = ::send(fd_, output_.constData(), static_cast<size_t>(output_.size()), MSG_NOSIGNAL);
        if (n > 0) {
            output_.remove(0, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        return false;
    }
    writeNotifier_->setEnabled(!output_.isEmpty());
    return true;
}

bool QelSckClient::Send(const QByteArray& bytes, int first, int last)
{
    if (!isConnected() || first < 0 || last < first || last >= bytes.size())
        return false;
    QByteArray frame;
    if (!AppendFrame(frame, QByteArrayView(bytes).sliced(first, last - first + 1)))
        return false;
    output_ += frame;
    // Out now rather than on the next pass of the event loop, which may first
    // paint the whole window.
    if (!flushOutput()) {
        writeFailed();
        return false;
    }
    return true;
}

bool QelSckClient::isConnected() const { return !finished_ && link_ == Link::Connected; }

void QelSckClient::onConnectTimeout()
{
    if (finished_ || link_ == Link::Connected)
        return;
    finish(Event::Failed);
}

void QelSckClient::readAvailable()
{
    if (finished_ || link_ != Link::Connected)
        return;
    char chunk[ReadBufferSize];
    while (queuedBytes_ < MaxPendingBytes) {
        const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (n <= 0) {
            // The peer ended the connection (a reset too): what it sent
            // before is delivered, then Closed. Anything else failed.
            const bool closed = n == 0 || errno == ECONNRESET || errno == EPIPE;
            scheduleDelivery();
            finish(closed ? Event::Closed : Event::Failed);
            return;
        }
        const bool ok = decoder_.feed(QByteArrayView(chunk, n));
        while (decoder_.hasMessage()) {
            QByteArray m = decoder_.takeMessage();
            queuedBytes_ += m.size();
            queue_.push_back({Event::Message, std::move(m)});
        }
        if (!ok) {
            finish(Event::Failed);
            return;
        }
    }
    // Past the limit the socket keeps the rest until deliveries make room.
    readPaused_ = queuedBytes_ >= MaxPendingBytes;
    readNotifier_->setEnabled(!readPaused_);
    scheduleDelivery();
}

void QelSckClient::closeSocket()
{
    // Possibly inside the notifier's own signal: off now, gone later.
    for (QSocketNotifier** n : {&readNotifier_, &writeNotifier_}) {
        if (*n) {
            (*n)->setEnabled(false);
            (*n)->deleteLater();
        }
        *n = nullptr;
    }
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

void QelSckClient::finish(Event event)
{
    if (finished_)
        return;
    finished_ = true;
    connectTimer_.stop();
    queue_.push_back({event, QByteArray()});
    closeSocket();
    link_ = Link::Unconnected;
    output_.clear();
    scheduleDelivery();
}

void QelSckClient::holdDelivery(bool held)
{
    deliveryHeld_ = held;
    scheduleDelivery();
}

void QelSckClient::scheduleDelivery()
{
    if ((deliveryHeld_ && !finished_) || deliveryScheduled_ || queue_.empty())
        return;
    deliveryScheduled_ = true;
    QMetaObject::invokeMethod(this, &QelSckClient::deliverOne, Qt::QueuedConnection);
}

// One event per queued call, scheduling the next before handing this one
// out: a handler that runs a nested event loop (a cooperative wait, a modal
// box) then receives the following messages inside it, still in order.
void QelSckClient::deliverOne()
{
    deliveryScheduled_ = false;
    if (queue_.empty() || (deliveryHeld_ && !finished_))
        return;
    if (deliveryHeld_) {
        // The handlers are nested to their bound, the innermost perhaps a box
        // waiting for the user: the end goes ahead, or nothing would end it.
        const Event end = queue_.back().event;
        queue_.clear();
        queuedBytes_ = 0;
        emit end == Event::Closed ? Closed() : Failed();
        return;
    }
    Pending p = std::move(queue_.front());
    queue_.pop_front();
    scheduleDelivery();
    switch (p.event) {
    case Event::Message:
        queuedBytes_ -= p.message.size();
        // Room freed for data the socket held back.
        if (!finished_ && readPaused_ && queuedBytes_ < MaxPendingBytes) {
            readPaused_ = false;
            QMetaObject::invokeMethod(this, [this] { readAvailable(); }, Qt::QueuedConnection);
        }
        emit DataArrived(p.message);
        break;
    case Event::Closed:
        emit Closed();
        break;
    case Event::Failed:
        emit Failed();
        break;
    }
}

} // namespace kelpo
