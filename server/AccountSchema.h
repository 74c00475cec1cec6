#pragma once
// The accounts database's tables and the steps that bring an older database
// up to date. The version lives in the database, so a server started on a
// database another server already moved on finds nothing to do.

#include <QString>

class QSqlDatabase;

namespace kelpo::server {

enum class SqlDialect { Sqlite, Postgres };

// The version this server reads and writes.
inline constexpr int AccountSchemaVersion = 5;

// The version the database holds: 0 for an empty one, -1 when it cannot be
// read.
int ReadSchemaVersion(QSqlDatabase& db);

// Runs every step after the database's version up to upTo, in one
// transaction that keeps other servers on the same database from migrating
// at the same time. False with the reason when a step fails (nothing is then
// changed) or the database is newer than this server.
bool MigrateAccountSchema(QSqlDatabase& db, SqlDialect dialect, QString& error, int upTo = AccountSchemaVersion);

// Statements run one by one; the first that fails is reported in error.
bool ExecAll(QSqlDatabase& db, const QStringList& statements, QString& error);

} // namespace kelpo::server
