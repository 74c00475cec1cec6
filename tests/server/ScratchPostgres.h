#pragma once
// A throwaway PostgreSQL cluster in a temporary folder, reachable only
// through a socket in that folder, for tests and benchmarks of the accounts
// on PostgreSQL. The server refuses to run as root, so under root the
// cluster belongs to the unprivileged user "nobody".

#include "server/ConnInfo.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace kelpo::server {

class ScratchPostgres {
public:
    // durable: commits wait for the disk, as a real server's do; tests that
    // only count rows skip that.
    explicit ScratchPostgres(bool durable = false) : durable_(durable) {}
    ~ScratchPostgres();

    // False with the reason when the binaries are missing or the cluster
    // would not start.
    bool start(QString& why);
    bool binariesFound() const;
    // Stops the server at once, as a crash would, and starts it again.
    bool restart(QString& why);
    // The same in two steps, for a test that works while it is down.
    bool crash(QString& why);
    bool startAgain(QString& why);
    PgConnection connection() const;

private:
    bool run(const QStringList& command, QString& why) const;
    bool pgCtl(const QStringList& arguments, QString& why) const;

    std::unique_ptr<QTemporaryDir> dir_;
    bool durable_ = false;
    bool running_ = false;
};

} // namespace kelpo::server
