#include "controls/QelSckClient.h"

#include <QMetaObject>
#include <QTcpSocket>

namespace kelpo {

QelSckClient::QelSckClient(QObject* parent) : QObject(parent), socket_(new QTcpSocket(this))
{
    socket_->setReadBufferSize(ReadBufferSize);
    connectTimer_.setSingleShot(true);
    QObject::connect(&connectTimer_, &QTimer::timeout, this, &QelSckClient::onConnectTimeout);
    QObject::connect(socket_, &QTcpSocket::connected, this, [this] {
        connectTimer_.stop();
        // Plays are a few bytes each; waiting to fill a segment would hold
        // every turn back by the peer's delayed acknowledgement.
        socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        emit Connected();
    });
    QObject::connect(socket_, &QTcpSocket::readyRead, this, [this] { readAvailable(false); });
    QObject::connect(socket_, &QTcpSocket::disconnected, this, [this] {
        // Whatever the peer sent before leaving is still delivered, then Closed.
        readAvailable(true);
        finish(Event::Closed);
    });
    QObject::connect(socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        if (error == QAbstractSocket::RemoteHostClosedError && socket_->state() != QAbstractSocket::UnconnectedState)
            return; // disconnected follows and reports Closed
        if (error == QAbstractSocket::RemoteHostClosedError) {
            readAvailable(true);
            finish(Event::Closed);
            return;
        }
        finish(Event::Failed);
    });
}

QelSckClient::~QelSckClient()
{
    // No signals into a half-destroyed owner.
    socket_->disconnect(this);
    socket_->abort();
}

void QelSckClient::Connect(const QString& host, int port, int timeoutSeconds)
{
    if (finished_ || socket_->state() != QAbstractSocket::UnconnectedState)
        return;
    if (port < 1 || port > 65535) {
        finish(Event::Failed);
        return;
    }
    if (timeoutSeconds > 0)
        connectTimer_.start(std::chrono::seconds(timeoutSeconds));
    socket_->connectToHost(host, static_cast<quint16>(port));
}

bool QelSckClient::Send(const QByteArray& bytes, int first, int last)
{
    if (!isConnected() || first < 0 || last < first || last >= bytes.size())
        return false;
    QByteArray frame;
    if (!AppendFrame(frame, QByteArrayView(bytes).sliced(first, last - first + 1)))
        return false;
    if (socket_->write(frame) != frame.size())
        return false;
    // Out now rather than on the next pass of the event loop, which may first
    // paint the whole window.
    socket_->flush();
    return true;
}

bool QelSckClient::isConnected() const
{
    return !finished_ && socket_->state() == QAbstractSocket::ConnectedState;
}

void QelSckClient::onConnectTimeout()
{
    if (finished_ || socket_->state() == QAbstractSocket::ConnectedState)
        return;
    finish(Event::Failed);
}

void QelSckClient::readAvailable(bool all)
{
    if (finished_)
        return;
    while ((all || queuedBytes_ < MaxPendingBytes) && socket_->bytesAvailable() > 0) {
        const QByteArray chunk = socket_->read(ReadBufferSize);
        if (chunk.isEmpty())
            break;
        const bool ok = decoder_.feed(chunk);
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
    scheduleDelivery();
}

void QelSckClient::finish(Event event)
{
    if (finished_)
        return;
    finished_ = true;
    connectTimer_.stop();
    queue_.push_back({event, QByteArray()});
    if (socket_->state() != QAbstractSocket::UnconnectedState)
        socket_->abort();
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
        if (!finished_ && queuedBytes_ < MaxPendingBytes && socket_->bytesAvailable() > 0)
            QMetaObject::invokeMethod(this, [this] { readAvailable(false); }, Qt::QueuedConnection);
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
