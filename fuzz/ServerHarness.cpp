#include "ServerHarness.h"

#include "FuzzSupport.h"

#include "net/FrameCodec.h"
#include "net/Packet.h"

namespace kelpo::fuzz {

ServerHarness::ServerHarness()
{
    server::RoomConfig config;
    config.players = {QStringLiteral("甲"), QStringLiteral("乙")};
    config.spectators = {{QStringLiteral("丙"), QStringLiteral("甲")}};
    config.bots = 4;
    config.table.botDelayMs = 0;
    config.table.turnSeconds = 2;
    config.seed = 3;
    table_ = std::make_unique<server::RoomTable>(
        config, clock_,
        [this](int id, const QByteArray& m) {
            if (!isOpen(id))
                Fail("a message to a connection that is not open");
            if (m.isEmpty() || m.size() > static_cast<qsizetype>(MaxFrameLength))
                Fail("a message no frame can carry");
        },
        [this](int id) {
            if (!isOpen(id))
                Fail("a connection closed twice");
            open_.erase(id);
        });
}

void ServerHarness::open(int connection)
{
    open_.insert(connection);
    table_->connectionOpened(connection);
}

void ServerHarness::close(int connection)
{
    if (!isOpen(connection))
        return;
    open_.erase(connection);
    table_->connectionClosed(connection);
}

void ServerHarness::advance(std::int64_t ms)
{
    clock_.advance(ms);
    table_->tick();
}

QByteArray ServerHarness::Identification()
{
    QByteArray packet;
    BuildPacket(QStringLiteral("300`KELPO`1"), packet, 2, QByteArray("\x82\x00", 2));
    return packet;
}

} // namespace kelpo::fuzz
