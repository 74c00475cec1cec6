#pragma once
// One hosted table driven straight through RoomTable, with two players, a
// spectator and bots, and a check on everything it sends: only to open
// connections, and only what a frame can carry.

#include "platform/TickClock.h"
#include "server/RoomTable.h"

#include <memory>
#include <set>

namespace kelpo::fuzz {

class ServerHarness {
public:
    ServerHarness();

    server::RoomTable& table() { return *table_; }
    ManualTickClock& clock() { return clock_; }

    void open(int connection);
    void close(int connection);
    bool isOpen(int connection) const { return open_.count(connection) != 0; }
    // Lets time pass and runs the table's tick.
    void advance(std::int64_t ms);

    static QByteArray Identification();

private:
    ManualTickClock clock_;
    std::unique_ptr<server::RoomTable> table_;
    std::set<int> open_;
};

} // namespace kelpo::fuzz
