#pragma once
// Message boundaries on the stream: every message travels as a 4-byte
// unsigned big-endian length N (1 <= N <= MaxFrameLength), then its N bytes.
// Client and room server both frame with this.

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <deque>

namespace kelpo {

inline constexpr std::uint32_t MaxFrameLength = 65536;
inline constexpr int FrameHeaderLength = 4;

// Appends the framed message to out. False, appending nothing, for a
// message that is empty or longer than MaxFrameLength.
bool AppendFrame(QByteArray& out, QByteArrayView message);

// Cuts a byte stream, split anywhere, back into whole messages. A header
// announcing 0 or more than MaxFrameLength breaks the stream for good: it
// is noticed as soon as its four bytes are in, and nothing of that frame or
// after it becomes a message.
class FrameDecoder {
public:
    // Returns false once the stream is broken.
    bool feed(QByteArrayView bytes);

    bool hasMessage() const { return !messages_.empty(); }
    QByteArray takeMessage();
    bool broken() const { return broken_; }
    // Bytes held in whole messages not yet taken.
    qsizetype pendingBytes() const { return pendingBytes_; }

private:
    QByteArray partial_; // header and body of the frame being read
    std::uint32_t expected_ = 0; // body length of that frame, 0 while the header is incomplete
    std::deque<QByteArray> messages_;
    qsizetype pendingBytes_ = 0;
    bool broken_ = false;
};

} // namespace kelpo
