#pragma once
// The client end of the room-server connection: whole messages in and out
// over one TCP connection, framed by the frame codec. Written on the system's
// sockets under two socket notifiers: the client needs nothing else of a
// network library, and one costs a start-up about 1.7 MB of mapped code and
// its share of the time spent loading libraries.

#include "net/FrameCodec.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>
#include <memory>
#include <vector>

class QSocketNotifier;

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
    enum class Link { Unconnected, Resolving, Connecting, Connected };
    struct Address; // one resolved address to try

    // Every address of host and port, in the resolver's order; none for a
    // name that does not resolve.
    static std::vector<Address> Resolve(const QByteArray& host, const QByteArray& port, bool numericOnly);
    void resolved(std::vector<Address> addresses);
    void tryNextAddress();
    void connectFinished();
    void writeReady();
    bool flushOutput();
    void writeFailed(); // after flushOutput failed, with its errno
    void closeSocket();

    // Up to the pending limit; the peer's end of the stream finishes.
    void readAvailable();
    void finish(Event event);
    void scheduleDelivery();
    void deliverOne();

    int fd_ = -1;
    Link link_ = Link::Unconnected;
    std::vector<Address> addresses_;
    std::size_t nextAddress_ = 0;
    QSocketNotifier* readNotifier_ = nullptr;
    QSocketNotifier* writeNotifier_ = nullptr;
    QByteArray output_;        // framed bytes the socket has not taken yet
    bool readPaused_ = false;  // the pending limit is reached
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true); // for the resolver thread
    QTimer connectTimer_;
    FrameDecoder decoder_;
    std::deque<Pending> queue_;
    qsizetype queuedBytes_ = 0;
    bool deliveryScheduled_ = false;
    bool deliveryHeld_ = false;
    bool finished_ = false; // Closed or Failed has been queued
};

} // namespace kelpo
