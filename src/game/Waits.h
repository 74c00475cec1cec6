#pragma once
// Cooperative waits: window, timer and network events go on running while a
// handler waits, so handlers may be re-entered from inside them.
//
// Both return false once the client is quitting (QuitRequested). The caller
// must then return at once, touching no window: the program is on its way
// out and ends as soon as the call chain has unwound to the event loop.

#include <cstdint>

namespace kelpo {

class Client;

bool PumpEvents(Client& client);

// Counts a nested event loop that takes messages (a wait, a modal box opened
// by a handler) against Client::MaxNestedWaits while it lives.
class NestedLoop {
public:
    explicit NestedLoop(Client& client);
    ~NestedLoop();
    NestedLoop(const NestedLoop&) = delete;
    NestedLoop& operator=(const NestedLoop&) = delete;

private:
    Client& client_;
};

// Waits at least ms milliseconds on the client's clock, pumping events on
// every pass.
bool WaitMilliseconds(Client& client, std::int64_t ms);

} // namespace kelpo
