#include "server/Standings.h"

#include "server/AccountStore.h"
#include "server/RoomMessages.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QUuid>

#include <cstdint>
#include <limits>

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
        if (const auto stored = store_->account(name, icon, error)) {
            a = *stored;
        } else {
            qWarning("kelpo-room: the account of %s is not available: %s", qPrintable(name), qPrintable(error));
            // It still shows the hands waiting for the store.
            if (it != known_.end())
                return it->second;
        }
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
    if (seats.empty()) {
        // Bots alone played it: nothing to keep, and nothing to take a
        // place among the hands that wait. Those are tried again.
        retryUnsaved();
        return true;
    }
    // Every seat waits with the hand, also one whose account the store could
    // not give when its user came: the store is most likely down for both,
    // and the account is made when the hand is written (writeUnsaved).
    if (unsaved_.size() >= MaxUnsavedHands) {
        qWarning("kelpo-room: an unsaved hand is given up: the accounts database has refused %zu hands",
                 unsaved_.size());
        unsaved_.pop_front();
    }
    WaitingHand hand{QUuid::createUuid().toString(QUuid::WithoutBraces), seats, {}};
    for (const SeatOutcome& seat : seats)
        if (const Account* a = find(seat.name); a && a->userId == 0)
            hand.newAccounts[seat.name] = a->icon;
    unsaved_.push_back(std::move(hand));
    if (writeUnsaved(error))
        return true;
    // Shown as played until the store has it; read back once it does.
    for (const SeatOutcome& seat : seats)
        Apply(known_[seat.name], DeltaOf(seat));
    return false;
}

bool Standings::writeUnsaved(QString& error)
{
    const std::size_t waiting = unsaved_.size();
    bool all = true;
    while (!unsaved_.empty()) {
        if (store_)
            makeMissingAccounts(unsaved_.front());
        if (!store_ || !store_->recordHand(unsaved_.front().seats, error, unsaved_.front().key)) {
            all = false;
            break;
        }
        // Read back rather than add here: another server may have written
        // the same accounts since they were loaded.
        for (const SeatOutcome& seat : unsaved_.front().seats) {
            QString readError;
            if (const auto fresh = store_->find(seat.name, readError))
                known_[seat.name] = *fresh;
        }
        unsaved_.pop_front();
    }
    // The file follows the queue: a hand written leaves it, one refused
    // (this one or one read back from it) is in it.
    if (unsaved_.size() != waiting || !all)
        saveUnsavedFile();
    return all;
}

void Standings::makeMissingAccounts(const WaitingHand& hand)
{
    // The store writes a hand only to accounts it has; one whose user came
    // here while it was down is made first, also when the hand comes from
    // the file of an earlier run. Any other name is not: its account may
    // have been removed since. A store that still refuses will refuse the
    // hand too.
    for (const SeatOutcome& seat : hand.seats) {
        const auto it = known_.find(seat.name);
        const auto made = hand.newAccounts.find(seat.name);
        const bool unknown = it != known_.end() && it->second.userId == 0;
        if (!unknown && made == hand.newAccounts.end())
            continue;
        QString error;
        if (!store_->account(seat.name, unknown ? it->second.icon : made->second, error))
            return;
    }
}

namespace {

// Bounds for a file read back: no more than the queue keeps, no more seats
// than a table has, nothing larger than such a list can be.
constexpr qint64 MaxUnsavedFileBytes = qint64(4) << 20;
constexpr qsizetype MaxSeatsInHand = 6;

using Hands = std::deque<WaitingHand>;

// Longer than any key this server makes; an earlier run's file has none.
constexpr qsizetype MaxHandKeyLength = 64;

// The lock that makes a file one server's for as long as it runs; only a
// dead holder's lock is taken over.
std::unique_ptr<QLockFile> LockUnsavedFile(const QString& path, QString& error, UnsavedFileRefusal& why)
{
    auto lock = std::make_unique<QLockFile>(path + QStringLiteral(".lock"));
    lock->setStaleLockTime(0);
    if (lock->tryLock(0))
        return lock;
    qint64 pid = 0;
    QString host;
    QString program;
    if (lock->error() == QLockFile::LockFailedError && lock->getLockInfo(&pid, &host, &program)) {
        why = UnsavedFileRefusal::KeptByAnother;
        error = QStringLiteral("%1: kept by another server (process %2 on %3)").arg(path).arg(pid).arg(host);
    } else {
        why = UnsavedFileRefusal::Unreadable;
        error = QStringLiteral("%1: cannot be locked beside it").arg(path);
    }
    return nullptr;
}

// The hands a file holds, none when there is no file. False with the
// reason when it cannot be read as such a list.
bool ReadUnsavedFile(const QString& path, Hands& hands, QString& error)
{
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxUnsavedFileBytes) {
        error = QStringLiteral("%1: cannot be read as a list of hands").arg(path);
        return false;
    }
    QJsonParseError parse{};
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parse);
    if (parse.error != QJsonParseError::NoError || !doc.isArray()) {
        error = QStringLiteral("%1: not a list of hands (%2)").arg(path, parse.errorString());
        return false;
    }
    for (const QJsonValue& h : doc.array()) {
        // A hand is its key and seats; a file of a server before keys holds
        // the list of seats alone.
        const QJsonValue list = h.isArray() ? h : h.toObject().value(QStringLiteral("seats"));
        const QJsonValue key = h.toObject().value(QStringLiteral("key"));
        const QJsonArray seats = list.toArray();
        if (!list.isArray() || seats.size() > MaxSeatsInHand || !(key.isUndefined() || key.isString()) ||
            key.toString().size() > MaxHandKeyLength) {
            error = QStringLiteral("%1: a hand is not a list of seats").arg(path);
            return false;
        }
        // A hand without a key gets one here, kept in this server's file
        // before it is written.
        WaitingHand hand{key.toString().isEmpty() ? QUuid::createUuid().toString(QUuid::WithoutBraces) : key.toString(),
                         {}};
        for (const QJsonValue& v : seats) {
            const QJsonObject o = v.toObject();
            const QJsonValue result = o.value(QStringLiteral("result"));
            // A hand's result is a whole number in a seat's 32-bit range; a
            // larger one would be added to the account as it stands.
            const qint64 value = result.toInteger();
            if (!o.value(QStringLiteral("name")).isString() || !result.isDouble() ||
                result.toDouble() != static_cast<double>(value) || value < std::numeric_limits<std::int32_t>::min() ||
                value > std::numeric_limits<std::int32_t>::max()) {
                error = QStringLiteral("%1: a seat lacks its name or result").arg(path);
                return false;
            }
            hand.seats.push_back({o.value(QStringLiteral("name")).toString(), value,
                                  o.value(QStringLiteral("escaped")).toBool()});
            if (o.value(QStringLiteral("newAccount")).toBool()) {
                const int icon = o.value(QStringLiteral("icon")).toInt();
                hand.newAccounts[hand.seats.back().name] = icon >= 1 && icon <= FaceCount ? icon : 0;
            }
        }
        hands.push_back(std::move(hand));
    }
    if (hands.size() > Standings::MaxUnsavedHands) {
        qWarning("kelpo-room: %zu unsaved hands in %s: the oldest %zu are given up", hands.size(), qPrintable(path),
                 hands.size() - Standings::MaxUnsavedHands);
        hands.erase(hands.begin(), hands.end() - Standings::MaxUnsavedHands);
    }
    return true;
}

} // namespace

bool Standings::keepUnsavedIn(const QString& path, QString& error, UnsavedFileRefusal* why)
{
    unsavedFile_.clear();
    unsavedLock_.reset();
    UnsavedFileRefusal refusal = UnsavedFileRefusal::None;
    auto lock = LockUnsavedFile(path, error, refusal);
    Hands hands;
    if (lock && !ReadUnsavedFile(path, hands, error)) {
        refusal = UnsavedFileRefusal::Unreadable;
        error += QStringLiteral("; move it aside to start without those hands");
    }
    if (why)
        *why = refusal;
    if (refusal != UnsavedFileRefusal::None)
        return false;
    unsavedFile_ = path;
    unsavedLock_ = std::move(lock);
    // Older than anything refused in this run.
    takeIn(hands, true);
    retryUnsaved();
    return true;
}

bool Standings::adoptUnsavedFrom(const QString& path, QString& error, UnsavedFileRefusal* why)
{
    UnsavedFileRefusal refusal = UnsavedFileRefusal::Unreadable;
    std::unique_ptr<QLockFile> lock;
    Hands hands;
    if (unsavedFile_.isEmpty() || path == unsavedFile_)
        error = QStringLiteral("%1: no file of this server's own to take its hands").arg(path);
    else if ((lock = LockUnsavedFile(path, error, refusal)) && ReadUnsavedFile(path, hands, error))
        refusal = UnsavedFileRefusal::None;
    if (why)
        *why = refusal;
    if (refusal != UnsavedFileRefusal::None)
        return false;
    if (hands.empty())
        return true;
    // In this server's file before they leave the other one. Kept only in
    // memory they would be lost to a stop while the database is down, so
    // when this file cannot be written they stay where they are, and out of
    // the queue: a hand of an earlier server without a key would get
    // another one when read again, and be written twice.
    const std::deque<WaitingHand> before = unsaved_;
    if (!takeIn(hands, false)) {
        unsaved_ = before;
        error = QStringLiteral("%1: left as it is, since this server's own file %2 cannot be written")
                    .arg(path, unsavedFile_);
        return false;
    }
    QFile::remove(path);
    retryUnsaved();
    return true;
}

bool Standings::takeIn(const std::deque<WaitingHand>& hands, bool older)
{
    unsaved_.insert(older ? unsaved_.begin() : unsaved_.end(), hands.begin(), hands.end());
    while (unsaved_.size() > MaxUnsavedHands)
        unsaved_.pop_front();
    return saveUnsavedFile();
}

void Standings::retryUnsaved()
{
    QString error;
    if (!unsaved_.empty() && !writeUnsaved(error))
        qWarning("kelpo-room: %zu unsaved hands wait for the accounts database: %s", unsaved_.size(),
                 qPrintable(error));
}

bool Standings::saveUnsavedFile() const
{
    if (unsavedFile_.isEmpty())
        return false;
    if (unsaved_.empty()) {
        QFile::remove(unsavedFile_);
        return true;
    }
    QJsonArray hands;
    for (const WaitingHand& hand : unsaved_) {
        QJsonArray seats;
        for (const SeatOutcome& seat : hand.seats) {
            QJsonObject o{{QStringLiteral("name"), seat.name},
                          {QStringLiteral("result"), static_cast<qint64>(seat.result)},
                          {QStringLiteral("escaped"), seat.escaped}};
            if (const auto made = hand.newAccounts.find(seat.name); made != hand.newAccounts.end()) {
                o.insert(QStringLiteral("newAccount"), true);
                o.insert(QStringLiteral("icon"), made->second);
            }
            seats.append(o);
        }
        hands.append(QJsonObject{{QStringLiteral("key"), hand.key}, {QStringLiteral("seats"), seats}});
    }
    QSaveFile file(unsavedFile_);
    if (file.open(QIODevice::WriteOnly) && file.write(QJsonDocument(hands).toJson(QJsonDocument::Compact)) >= 0 &&
        file.commit())
        return true;
    qWarning("kelpo-room: %zu unsaved hands could not be kept in %s: %s", unsaved_.size(), qPrintable(unsavedFile_),
             qPrintable(file.errorString()));
    return false;
}

} // namespace kelpo::server
