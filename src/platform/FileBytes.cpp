#include "platform/FileBytes.h"

#include <algorithm>

namespace kelpo {

QByteArray ReadAtMost(QIODevice& device, qint64 maxBytes)
{
    QByteArray out;
    while (out.size() < maxBytes) {
        // What the device says is left, or a small block for one that cannot say.
        const qint64 want = std::min<qint64>(maxBytes - out.size(), std::max<qint64>(device.bytesAvailable(), 4096));
        const QByteArray chunk = device.read(want);
        if (chunk.isEmpty())
            break;
        out += chunk;
    }
    return out;
}

} // namespace kelpo
