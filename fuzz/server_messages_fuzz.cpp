// Every message a joined connection may send, in any order, with time
// passing, drops and returns between them.
//
// Each message of the input begins with a control byte: its low two bits
// pick the sender (the two players, the spectator, or a connection that has
// not identified); bit 6 drops that sender and brings it back; bit 7 lets
// (control & 63) half-seconds pass instead of sending anything.

#include "FuzzSupport.h"
#include "ServerHarness.h"

using namespace kelpo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::ServerHarness h;
    int next = 1;
    int senders[4] = {};
    for (int& c : senders) {
        c = next++;
        h.open(c);
    }
    for (int i = 0; i < 3; ++i)
        h.table().messageArrived(senders[i], fuzz::ServerHarness::Identification());

    for (const QByteArray& entry : fuzz::MessageSequence(data, size)) {
        if (entry.isEmpty())
            continue;
        const auto control = static_cast<std::uint8_t>(entry[0]);
        int& sender = senders[control & 3];
        if (control & 0x80) {
            h.advance((control & 63) * 500);
            continue;
        }
        if (control & 0x40) {
            h.close(sender);
            sender = next++;
            h.open(sender);
            if ((control & 3) != 3)
                h.table().messageArrived(sender, fuzz::ServerHarness::Identification());
            continue;
        }
        if (h.isOpen(sender))
            h.table().messageArrived(sender, entry.mid(1));
    }
    h.advance(60000);
    return 0;
}
