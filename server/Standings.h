#pragma once
// The accounts of the users at one table, as the user list shows them:
// loaded when a user first comes, brought up to date after every hand. With
// a store the figures are the database's (other servers' hands included);
// without one they live as long as the table.

#include "server/Account.h"

#include <QLockFile>
#include <QString>

#include <deque>
#include <map>
#include <memory>
#include <vector>

namespace kelpo::server {

class AccountStore;

enum class UnsavedFileRefusal { None, KeptByAnother, Unreadable };

// A hand waiting for the store. Its key has it written once, also when a
// server is stopped between writing it and taking it out of its file.
struct WaitingHand {
    QString key;
    std::vector<SeatOutcome> seats;
    // The seats whose users came while the store could not give their
    // accounts, with their faces: those accounts are made before the hand
    // is written, also by a later run of the server.
    std::map<QString, int> newAccounts;
};

class Standings {
public:
    // The store, when given, must outlive the standings.
    explicit Standings(AccountStore* store = nullptr) : store_(store) {}
    void setStore(AccountStore* store) { store_ = store; }

    // The account of name, created with the given face when it is new. A
    // store that cannot be read gives a fresh account for now.
    const Account& of(const QString& name, int icon);

    // The account as last loaded, or nothing for a user not seen yet.
    const Account* find(const QString& name) const
    {
        const auto it = known_.find(name);
        return it == known_.end() ? nullptr : &it->second;
    }

    // Adds one finished hand. False when the store refused it (its server
    // down); the reason is in error. A refused hand is not lost: it is kept,
    // counted in the figures shown meanwhile, and written before the next
    // hand, in order, once the store takes writes again.
    bool recordHand(const std::vector<SeatOutcome>& seats, QString& error);
    std::size_t unsavedHands() const { return unsaved_.size(); }

    // Keeps the refused hands in file too, so that a server stopped (or
    // killed) while its store is down does not lose them: the hands the
    // file holds from an earlier run are queued first and written at once
    // if the store takes them; from then on the file holds exactly the
    // hands still waiting, and is removed when none are. False with the
    // reason (and why, when asked) when the file cannot be read as such a
    // list, then left as it is and not used, or when another server keeps
    // it: a file is locked by one server for as long as it runs, since two
    // would write each other's hands twice or drop them.
    bool keepUnsavedIn(const QString& path, QString& error, UnsavedFileRefusal* why = nullptr);

    // Takes the hands of another file that no running server keeps (one a
    // stopped server left) into this server's queue and file, then removes
    // that file. False with the reason (and why, when asked) when another
    // server keeps it or it cannot be read, or when this server's own file
    // cannot be written; it is then left as it is.
    bool adoptUnsavedFrom(const QString& path, QString& error, UnsavedFileRefusal* why = nullptr);

    // Past this many refused hands the oldest is given up, so a database
    // that never comes back cannot grow the server without bound.
    static constexpr std::size_t MaxUnsavedHands = 1000;

private:
    // Writes the waiting hands in order until the store refuses one.
    bool writeUnsaved(QString& error);
    // Asks the store for the accounts of hand's seats whose users came
    // while it could not give them, which makes those that are new.
    void makeMissingAccounts(const WaitingHand& hand);
    // Queues hands read from a file (before those refused in this run when
    // older) and keeps them in this server's file; false when that file
    // could not be written.
    bool takeIn(const std::deque<WaitingHand>& hands, bool older);
    // Writes what waits, if anything, and says so when the store refuses.
    void retryUnsaved();
    // False when the file could not be written (or there is none).
    bool saveUnsavedFile() const;

    AccountStore* store_ = nullptr;
    QString unsavedFile_;
    std::unique_ptr<QLockFile> unsavedLock_;
    std::map<QString, Account> known_;
    std::deque<WaitingHand> unsaved_;
};

} // namespace kelpo::server
