#include "server/ScratchPostgres.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <unistd.h>

namespace kelpo::server {

namespace {

const QString BinDir = QStringLiteral("/usr/lib/postgresql/15/bin/");
// Only the socket file's name carries it: the cluster has no TCP listener.
constexpr int SocketPort = 5432;

} // namespace

ScratchPostgres::~ScratchPostgres()
{
    if (running_) {
        QString ignored;
        pgCtl({QStringLiteral("-m"), QStringLiteral("immediate"), QStringLiteral("stop")}, ignored);
    }
}

bool ScratchPostgres::binariesFound() const
{
    return QFileInfo(BinDir + QStringLiteral("initdb")).isExecutable()
           && QFileInfo(BinDir + QStringLiteral("pg_ctl")).isExecutable();
}

bool ScratchPostgres::run(const QStringList& command, QString& why) const
{
    QStringList args = command;
    QString program = args.takeFirst();
    if (geteuid() == 0) {
        args = QStringList{QStringLiteral("-u"), QStringLiteral("nobody"), QStringLiteral("--"), program} + args;
        program = QStringLiteral("runuser");
    }
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        why = QStringLiteral("%1 failed: %2").arg(command.first(), QString::fromLocal8Bit(p.readAll()).right(400));
        return false;
    }
    return true;
}

bool ScratchPostgres::start(QString& why)
{
    if (!binariesFound()) {
        why = QStringLiteral("PostgreSQL 15 is not installed (%1initdb missing); scripts/install-deps installs it")
                  .arg(BinDir);
        return false;
    }
    dir_ = std::make_unique<QTemporaryDir>(QStringLiteral("/tmp/kelpo-pg-XXXXXX"));
    if (!dir_->isValid()) {
        why = QStringLiteral("no temporary folder");
        return false;
    }
    if (geteuid() == 0 && ::chown(QFile::encodeName(dir_->path()).constData(), 65534, 65534) != 0) {
        why = QStringLiteral("cannot hand the temporary folder to nobody");
        return false;
    }
    if (!run({BinDir + QStringLiteral("initdb"), QStringLiteral("-D"), dir_->filePath(QStringLiteral("data")), QStringLiteral("-A"), QStringLiteral("trust"),
              QStringLiteral("-U"), QStringLiteral("kelpo"), QStringLiteral("-E"), QStringLiteral("UTF8"),
              QStringLiteral("--locale=C"), QStringLiteral("--no-sync")},
             why))
        return false;
    if (!pgCtl({QStringLiteral("start")}, why))
        return false;
    running_ = true;
    return true;
}

bool ScratchPostgres::pgCtl(const QStringList& arguments, QString& why) const
{
    const QString options = QStringLiteral("-p %1 -k %2 -c listen_addresses= -c fsync=%3")
                                .arg(SocketPort)
                                .arg(dir_->path(), durable_ ? QStringLiteral("on") : QStringLiteral("off"));
    return run(QStringList{BinDir + QStringLiteral("pg_ctl"), QStringLiteral("-D"), dir_->filePath(QStringLiteral("data")),
                           QStringLiteral("-o"), options, QStringLiteral("-l"), dir_->filePath(QStringLiteral("log")),
                           QStringLiteral("-w")}
                   + arguments,
               why);
}

bool ScratchPostgres::restart(QString& why)
{
    return pgCtl({QStringLiteral("-m"), QStringLiteral("immediate"), QStringLiteral("restart")}, why);
}

bool ScratchPostgres::crash(QString& why)
{
    running_ = !pgCtl({QStringLiteral("-m"), QStringLiteral("immediate"), QStringLiteral("stop")}, why);
    return !running_;
}

bool ScratchPostgres::startAgain(QString& why)
{
    running_ = pgCtl({QStringLiteral("start")}, why);
    return running_;
}

PgConnection ScratchPostgres::connection() const
{
    PgConnection c;
    c.host = dir_ ? dir_->path() : QString();
    c.port = SocketPort;
    c.dbname = QStringLiteral("postgres");
    c.user = QStringLiteral("kelpo");
    return c;
}

} // namespace kelpo::server
