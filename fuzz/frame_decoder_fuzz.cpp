// The frame decoder fed the same stream whole and in random pieces must cut
// it into the same messages and break at the same point.

#include "FuzzSupport.h"

#include "net/FrameCodec.h"

#include <vector>

using namespace kelpo;

namespace {

struct Outcome {
    std::vector<QByteArray> messages;
    bool broken = false;
};

Outcome Decode(QByteArrayView stream, std::uint32_t seed)
{
    Outcome out;
    FrameDecoder decoder;
    qsizetype at = 0;
    while (at < stream.size()) {
        // seed 0: the whole stream at once; otherwise pieces of 0..64 bytes.
        seed = seed * 1103515245u + 12345u;
        const qsizetype piece = seed == 12345u ? stream.size() : static_cast<qsizetype>((seed >> 16) % 65);
        const qsizetype n = std::min(piece, stream.size() - at);
        const bool ok = decoder.feed(stream.sliced(at, n));
        at += n;
        while (decoder.hasMessage()) {
            const qsizetype before = decoder.pendingBytes();
            QByteArray m = decoder.takeMessage();
            if (m.isEmpty() || m.size() > static_cast<qsizetype>(MaxFrameLength))
                fuzz::Fail("a message outside 1..MaxFrameLength bytes");
            if (decoder.pendingBytes() != before - m.size())
                fuzz::Fail("pending bytes out of step with the messages taken");
            out.messages.push_back(std::move(m));
        }
        if (!ok) {
            out.broken = true;
            if (decoder.feed(QByteArrayView("\0\0\0\1x", 5)) || decoder.hasMessage())
                fuzz::Fail("a broken stream took more bytes");
            break;
        }
    }
    if (decoder.pendingBytes() != 0)
        fuzz::Fail("pending bytes left with no message");
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4)
        return 0;
    const std::uint32_t seed = (std::uint32_t{data[0]} << 24) | (std::uint32_t{data[1]} << 16) |
                               (std::uint32_t{data[2]} << 8) | data[3];
    const QByteArrayView stream(reinterpret_cast<const char*>(data + 4), static_cast<qsizetype>(size - 4));
    const Outcome whole = Decode(stream, 0);
    const Outcome split = Decode(stream, seed | 1u);
    if (whole.messages != split.messages || whole.broken != split.broken)
        fuzz::Fail("the split stream decoded differently");
    // Whatever came out frames back into the prefix it came from.
    QByteArray reframed;
    for (const QByteArray& m : whole.messages)
        AppendFrame(reframed, m);
    if (!stream.startsWith(reframed))
        fuzz::Fail("the messages are not the stream's own frames");
    return 0;
}
