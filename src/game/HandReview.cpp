#include "game/HandReview.h"

#include "game/GameMessageReaders.h"
#include "rules/CardNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace kelpo {

namespace {

// A hand of six packs has a few hundred plays at most; a server that sends
// more is not worth remembering step by step.
constexpr std::size_t MaxSteps = 4000;

constexpr int PhaseLead = 1;
constexpr int PhaseTribute = 3;
constexpr int PhaseReturn = 4;

// Clients of one user share the review folder, and clients at one table (a
// player and a spectator, say) end a hand in the same second: each review
// takes a name no file holds yet, "-2", "-3"... after the first. The name is
// taken by creating the file exclusively, so two clients never take the same
// one; the review then replaces that empty file as a whole. Empty when no
// name could be taken.
QString ReserveFileName(const QDir& folder, const QString& fileName)
{
    constexpr int MaxSameNames = 99;
    const QFileInfo name(fileName);
    for (int n = 1; n <= MaxSameNames; ++n) {
        QFile f(folder.filePath(n == 1 ? fileName
                                       : QStringLiteral("%1-%2.%3").arg(name.completeBaseName()).arg(n).arg(name.suffix())));
        if (f.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return f.fileName();
        if (!f.exists())
            return {};
    }
    return {};
}

} // namespace

QString HandReview::seatName(int seat) const
{
    if (seat < 0 || seat >= 6)
        return {};
    // Built by joining: every play of the hand names its seat.
    QString name = QString::number(seat + 1) + u'号';
    if (!names[seat].isEmpty())
        name += u' ' + names[seat];
    return name;
}

QString HandReview::text() const
{
    QString t = QStringLiteral("牌局回顾  %1\n").arg(started.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    for (int s = 0; s < 6; ++s)
        t += QStringLiteral("  %1\n").arg(seatName(s));
    if (!myHand.isEmpty())
        t += QStringLiteral("我的牌：%1\n").arg(myHand);
    t += QLatin1Char('\n');
    int n = 0;
    for (const ReviewStep& s : steps)
        t += QStringLiteral("%1. %2\n").arg(++n, 3).arg(s.text);
    t += QLatin1Char('\n');
    if (!complete)
        t += QStringLiteral("（这一局没有打完）\n");
    for (const QString& r : results)
        t += r + QLatin1Char('\n');
    return t;
}

QString HandReview::fileName() const
{
    return started.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")) + QStringLiteral(".txt");
}

HandReview& HandRecorder::current(const std::array<QString, 6>& names, const QDateTime& now)
{
    if (!current_) {
        current_.emplace();
        current_->started = now;
        finished_ = {};
        seatNames_ = {};
    }
    // A name learnt after the hand began still shows.
    for (std::size_t s = 0; s < 6; ++s) {
        if (current_->names[s].isEmpty() && !names[s].isEmpty()) {
            current_->names[s] = names[s];
            seatNames_[s] = QString();
        }
    }
    return *current_;
}

const QString& HandRecorder::seatName(int seat)
{
    static const QString none;
    if (!current_ || seat < 0 || seat >= 6)
        return none;
    QString& name = seatNames_[static_cast<std::size_t>(seat)];
    if (name.isNull())
        name = current_->seatName(seat);
    return name;
}

void HandRecorder::add(int seat, const QString& text)
{
    if (current_ && current_->steps.size() < MaxSteps) {
        current_->steps.push_back({seat, text});
        newSteps_ << text;
    }
}

bool HandRecorder::record(const QByteArray& m, const std::array<QString, 6>& names, const QDateTime& now,
                          int tablePhase)
{
    if (m.isEmpty())
        return false;
    switch (static_cast<std::uint8_t>(m.at(0))) {
    case MsgHandStart: {
        const HandStartMessage start = ReadHandStart(m);
        current_.reset();
        current(names, now);
        if (start.hasParameters) {
            if (start.DeckCount)
                deckCount_ = *start.DeckCount;
            // A hand that opens with tribute is led by the seat the exchange
            // hands the turn to.
            if (start.ActingSeat && start.TurnPhase != PhaseTribute && start.TurnPhase != PhaseReturn)
                add(*start.ActingSeat, seatName(*start.ActingSeat) + QStringLiteral(" 先出"));
        }
        return false;
    }
    case MsgDeal:
        if (const auto deal = ReadDeal(m, deckCount_); deal && deal->fits)
            current(names, now).myHand = CardNames(deal->hand);
        return false;
    case MsgPlay: {
        const auto play = ReadPlay(m);
        if (!play)
            return false;
        current(names, now);
        // Built by joining: a name is shown as it is, whatever it holds.
        const QString& who = seatName(play->seat);
        if (play->cards.isPass())
            add(play->seat, who + QStringLiteral(" 不要"));
        else
            add(play->seat, who + QStringLiteral(" 出 ") + CardNames(play->cards));
        if (play->finishRank > 0 && !finished_[play->seat]) {
            finished_[play->seat] = true;
            add(play->seat, who + QStringLiteral(" 第") + QString::number(play->finishRank) + QStringLiteral("个出完"));
        }
        return false;
    }
    case MsgTribute: {
        const auto tribute = ReadTribute(m);
        if (!tribute)
            return false;
        HandReview& r = current(names, now);
        const QString card = IsValidCard(tribute->card) ? CardName(tribute->card) : QStringLiteral("一张牌");
        if (tribute->seat < 6)
            add(tribute->seat, tablePhase == PhaseReturn
                                   ? QStringLiteral("%1 还贡 %2").arg(r.seatName(tribute->seat), card)
                                   : QStringLiteral("%1 进贡 %2").arg(r.seatName(tribute->seat), card));
        if (tribute->TurnPhase == PhaseLead && (tablePhase == PhaseTribute || tablePhase == PhaseReturn)) {
            for (const auto& pair : tribute->pairs)
                if (pair[0] < 6 && pair[1] < 6 && pair[0] != pair[1])
                    add(-1, QStringLiteral("%1 与 %2 交换贡牌").arg(r.seatName(pair[0]), r.seatName(pair[1])));
            if (tribute->ActingSeat < 6)
                add(tribute->ActingSeat, seatName(tribute->ActingSeat) + QStringLiteral(" 先出"));
        }
        return false;
    }
    case MsgHandOver: {
        const HandOverMessage over = ReadHandOver(m);
        HandReview& r = current(names, now);
        if (over.kind == 1) {
            for (int s = 0; s < 6; ++s)
                r.results << seatName(s) + QStringLiteral("：") + (over.results[s] > 0 ? QStringLiteral("+") : QString())
                                 + QString::number(over.results[s]);
        } else if (over.kind == 2) {
            r.results << QStringLiteral("比分：蓝队 %1，红队 %2").arg(over.ScoreCounters[1]).arg(over.ScoreCounters[0]);
        }
        for (int s = 0; s < 6; ++s)
            if (over.revealed[s] && !over.revealed[s]->isEmpty())
                r.results << QStringLiteral("%1 剩下：%2").arg(r.seatName(s), CardNames(*over.revealed[s]));
        r.complete = true;
        last_ = std::move(current_);
        current_.reset();
        return true;
    }
    default:
        return false;
    }
}

bool WriteHandReview(const HandReview& review, const QString& folder, QString* error)
{
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("cannot make %1").arg(folder);
        return false;
    }
    const QString path = ReserveFileName(QDir(folder), review.fileName());
    if (path.isEmpty()) {
        if (error)
            *error = QStringLiteral("no free name for %1 in %2").arg(review.fileName(), folder);
        return false;
    }
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Text) || f.write(review.text().toUtf8()) < 0 || !f.commit()) {
        if (error)
            *error = f.errorString();
        QFile::remove(path);
        return false;
    }
    return true;
}

} // namespace kelpo
