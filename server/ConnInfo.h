#pragma once
// A PostgreSQL connection string, in either of the forms its users know
// ("host=db port=5432 dbname=kelpo user=room password='a b'" or
// "postgresql://room:pw@db:5432/kelpo?sslmode=require"), taken apart into
// what a Qt SQL connection is given.

#include <QString>

#include <optional>

namespace kelpo::server {

struct PgConnection {
    // A host name, an address, or a socket folder (starting with '/').
    QString host;
    // -1: the driver's default.
    int port = -1;
    QString dbname;
    QString user;
    QString password;
    // The other keywords, "key=value;key=value" as the Qt driver takes them.
    QString options;
};

// Nothing, with the reason in error, for a malformed string.
std::optional<PgConnection> ParseConnInfo(const QString& text, QString& error);

} // namespace kelpo::server
