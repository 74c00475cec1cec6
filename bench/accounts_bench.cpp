#include "server/AccountStore.h"
#include "server/ScratchPostgres.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace kelpo::server;

const QStringList Players{QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙"),
                          QStringLiteral("丁"), QStringLiteral("戊"), QStringLiteral("己")};

// One hand of six human players written as the server writes it: one
// transaction, six increments and the hand's log line, committed to the disk.
void WriteHands(benchmark::State& state, AccountStore& store)
{
    QString error;
    for (const QString& name : Players)
        if (!store.account(name, 1, error)) {
            state.SkipWithError(qPrintable(error));
            return;
        }
    std::vector<SeatOutcome> hand;
    for (int s = 0; s < Players.size(); ++s)
        hand.push_back({Players[s], s % 2 ? -10 : 10, s == 5});
    for (auto _ : state)
        if (!store.recordHand(hand, error)) {
            state.SkipWithError(qPrintable(error));
            return;
        }
}

void BM_HandWriteSqlite(benchmark::State& state)
{
    QTemporaryDir dir;
    AccountStore store;
    QString error;
    if (!store.open({dir.filePath(QStringLiteral("room.sqlite")), {}}, error)) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    WriteHands(state, store);
}
// Waiting for the disk is the cost, so the time is the wall clock's.
BENCHMARK(BM_HandWriteSqlite)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_HandWritePostgres(benchmark::State& state)
{
    // A cluster of its own, durable like a real one.
    static std::unique_ptr<ScratchPostgres> cluster;
    static QString why;
    if (!cluster) {
        cluster = std::make_unique<ScratchPostgres>(true);
        if (!cluster->start(why))
            why = QStringLiteral("skipped: ") + why;
    }
    AccountStore store;
    QString error;
    if (!why.isEmpty() || !store.open({{}, cluster->connection()}, error)) {
        state.SkipWithError(qPrintable(why.isEmpty() ? error : why));
        return;
    }
    WriteHands(state, store);
}
BENCHMARK(BM_HandWritePostgres)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
