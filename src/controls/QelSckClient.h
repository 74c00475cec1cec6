#pragma once
// The client end of the room-server connection: whole messages in and out
// over one TCP connection, framed by the frame codec.

#include "net/FrameCodec.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>

class QTcpSocket;

namespace kelpo {

class QelSckClient : public QObject {
    Q_OBJECT
public:
    explicit QelSckClient(QObject* parent = nullptr);
    ~QelSckClient() override;

    // Opens the connection; the outcome arrives later as Connected or Failed.
    // No answer within timeoutSeconds also fails.
    void Connect(const QString& host, int port, int timeoutSeconds);

    // Sends bytes[first..last] as one message. Nothing is sent for an empty
    // or out-of-range span, a message longer than a frame holds, or while
    // the connection is not open; false then.
    bool Send(const QByteArray& bytes, int first, int last);

    bool isConnected() const;

    // While held, messages wait in order until delivery is released. The end
    // of the connection does not wait: Closed or Failed is handed out at
    // once and the messages still held are dropped, since every handler
    // that could take them is busy and the program is about to end.
    void holdDelivery(bool held);
    bool deliveryHeld() const { return deliveryHeld_; }

    // Called by the connect timer; public so tests need not wait two minutes.
    void onConnectTimeout();

    // Decoded messages held back while handlers are busy. Past this, reading
    // from the socket pauses, so a flooding peer cannot grow memory.
    static constexpr qsizetype MaxPendingBytes = 1 << 20;
    static constexpr qint64 ReadBufferSize = 64 * 1024;

signals:
    void Connected();
    // Exactly one whole message.
    void DataArrived(const QByteArray& message);
    // The peer ended the connection.
    void Closed();
    // The connection could not be opened, timed out, or broke (including a
    // peer that broke the framing).
    void Failed();

private:
    enum class Event { Message, Closed, Failed };
    struct Pending {
        Event event;
        QByteArray message;
    };

    // all: the peer has gone, take everything left regardless of the limit.
    void readAvailable(bool all);
    void finish(Event event);
    void scheduleDelivery();
    void deliverOne();

    QTcpSocket* socket_;
    QTimer connectTimer_;
    FrameDecoder decoder_;
    std::deque<Pending> queue_;
    qsizetype queuedBytes_ = 0;
    bool deliveryScheduled_ = false;
    bool deliveryHeld_ = false;
    bool finished_ = false; // Closed or Failed has been queued
};

} // namespace kelpo
