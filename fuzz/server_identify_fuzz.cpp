// What connections that have not identified may send: every message of the
// input comes on a connection of its own, opened for it, while the table
// is being joined.

#include "FuzzSupport.h"
#include "ServerHarness.h"

using namespace kelpo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::ServerHarness h;
    int next = 1;
    for (const QByteArray& message : fuzz::MessageSequence(data, size)) {
        const int c = next++;
        h.open(c);
        h.table().messageArrived(c, message);
        // A second message on the same connection, as the identified user.
        h.table().messageArrived(c, message);
        if (c % 4 == 0)
            h.advance(3000);
    }
    h.advance(60000);
    return 0;
}
