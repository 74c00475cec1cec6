#pragma once
// The review of a hand: every play, pass, finish, tribute card and the
// results, in the order they happened, built from the game messages as they
// arrive. The client keeps the last whole hand in memory and writes each one
// to a text file.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <utility>
#include <vector>

namespace kelpo {

struct ReviewStep {
    // The seat the step is about, or -1 for the table as a whole.
    int seat = -1;
    QString text;
};

struct HandReview {
    QDateTime started;
    std::array<QString, 6> names;
    QString myHand;
    std::vector<ReviewStep> steps;
    QStringList results;
    // False until the hand-over arrived.
    bool complete = false;

    // Seat number and name, e.g. "3号 乙".
    QString seatName(int seat) const;
    // The whole review as the file holds it.
    QString text() const;
    // A file name from the start time; WriteHandReview numbers a second
    // review of the same second.
    QString fileName() const;
};

class HandRecorder {
public:
    // Takes a game message before its handler runs, with the seats' names and
    // the table's turn phase at that moment (the phase a tribute card was
    // given in, also when the table was taken over mid-tribute). True when
    // the message ended a hand; its review is then lastHand().
    bool record(const QByteArray& message, const std::array<QString, 6>& names, const QDateTime& now,
                int tablePhase);

    const std::optional<HandReview>& lastHand() const { return last_; }
    const std::optional<HandReview>& currentHand() const { return current_; }
    // The steps recorded since the last call, in order.
    QStringList takeNewSteps() { return std::exchange(newSteps_, {}); }

private:
    HandReview& current(const std::array<QString, 6>& names, const QDateTime& now);
    // HandReview::seatName of the hand in progress, made once a hand.
    const QString& seatName(int seat);
    void add(int seat, const QString& text);

    std::optional<HandReview> current_;
    std::optional<HandReview> last_;
    int deckCount_ = 2;
    std::array<bool, 6> finished_{};
    std::array<QString, 6> seatNames_;
    QStringList newSteps_;
};

// Writes the review to folder/fileName(), or to a numbered name beside it
// when that file exists already, making the folder. False with a reason when
// it cannot.
bool WriteHandReview(const HandReview& review, const QString& folder, QString* error = nullptr);

} // namespace kelpo
