#include "server/Standings.h"

#include "server/AccountStore.h"

namespace kelpo::server {

const Account& Standings::of(const QString& name, int icon)
{
    const auto it = known_.find(name);
    // An account the store could not give is asked for again next time.
    if (it != known_.end() && (!store_ || it->second.userId != 0))
        return it->second;
    Account a;
    a.name = name;
    a.icon = icon;
    if (store_) {
        QString error;
        if (const auto stored = store_->account(name, icon, error))
            a = *stored;
        else
            qWarning("kelpo-room: the account of %s is not available: %s", qPrintable(name), qPrintable(error));
    }
    return known_[name] = a;
}

bool Standings::recordHand(const std::vector<SeatOutcome>& seats, QString& error)
{
    if (!store_) {
        for (const SeatOutcome& seat : seats) {
            const auto it = known_.find(seat.name);
            if (it != known_.end())
                Apply(it->second, DeltaOf(seat));
        }
        return true;
    }
    // An account the store could not give when its user came is asked for
    // once more; one still missing is left out rather than failing the
    // others' hand.
    std::vector<SeatOutcome> stored;
    for (const SeatOutcome& seat : seats) {
        const auto it = known_.find(seat.name);
        if (it != known_.end() && of(seat.name, it->second.icon).userId != 0)
            stored.push_back(seat);
    }
    if (unsaved_.size() >= MaxUnsavedHands) {
        qWarning("kelpo-room: an unsaved hand is given up: the accounts database has refused %zu hands",
                 unsaved_.size());
        unsaved_.pop_front();
    }
    unsaved_.push_back(stored);
    while (!unsaved_.empty()) {
        if (!store_->recordHand(unsaved_.front(), error)) {
            // Shown as played until the store has it; read back once it does.
            for (const SeatOutcome& seat : stored)
                Apply(known_[seat.name], DeltaOf(seat));
            return false;
        }
        // Read back rather than add here: another server may have written
        // the same accounts since they were loaded.
        for (const SeatOutcome& seat : unsaved_.front()) {
            QString readError;
            if (const auto fresh = store_->find(seat.name, readError))
                known_[seat.name] = *fresh;
        }
        unsaved_.pop_front();
    }
    return true;
}

} // namespace kelpo::server
