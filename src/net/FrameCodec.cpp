#include "net/FrameCodec.h"

#include <algorithm>

namespace kelpo {

bool AppendFrame(QByteArray& out, QByteArrayView message)
{
    if (message.isEmpty() || static_cast<std::uint64_t>(message.size()) > MaxFrameLength)
        return false;
    const auto n = static_cast<std::uint32_t>(message.size());
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(static_cast<char>((n >> shift) & 0xFF));
    out.append(message);
    return true;
}

bool FrameDecoder::feed(QByteArrayView bytes)
{
    qsizetype pos = 0;
    while (!broken_ && pos < bytes.size()) {
        if (expected_ == 0) {
            const qsizetype take = std::min<qsizetype>(FrameHeaderLength - partial_.size(), bytes.size() - pos);
            partial_.append(bytes.sliced(pos, take));
            pos += take;
            if (partial_.size() < FrameHeaderLength)
                break;
            std::uint32_t n = 0;
            for (int i = 0; i < FrameHeaderLength; ++i)
                n = (n << 8) | static_cast<std::uint8_t>(partial_[i]);
            partial_.clear();
            if (n == 0 || n > MaxFrameLength) {
                broken_ = true;
                break;
            }
            // Nothing is reserved for the announced length: memory follows
            // the bytes that actually arrive, so a peer cannot make every
            // connection hold a whole frame's worth by sending headers.
            expected_ = n;
            continue;
        }
        const qsizetype take =
            std::min<qsizetype>(static_cast<qsizetype>(expected_) - partial_.size(), bytes.size() - pos);
        partial_.append(bytes.sliced(pos, take));
        pos += take;
        if (partial_.size() == static_cast<qsizetype>(expected_)) {
            pendingBytes_ += partial_.size();
            messages_.push_back(std::move(partial_));
            partial_ = QByteArray();
            expected_ = 0;
        }
    }
    if (broken_)
        partial_.clear();
    return !broken_;
}

QByteArray FrameDecoder::takeMessage()
{
    if (messages_.empty())
        return QByteArray();
    QByteArray m = std::move(messages_.front());
    messages_.pop_front();
    pendingBytes_ -= m.size();
    return m;
}

} // namespace kelpo
