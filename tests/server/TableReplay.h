#pragma once
// Follows a referee's messages the way a client would and checks, move by
// move, that what the referee announced was lawful: each play was held by its
// seat, fits the play to beat, and every card of the deal stays accounted for.

#include "rules/Cards.h"
#include "server/Referee.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <vector>

namespace kelpo::server::testing {

inline CardCode Card(int rank, int suit = 0) { return static_cast<CardCode>(suit * 13 + rank); }

// Named ranks of the card code.
enum Rank { R3 = 0, R4, R5, R6, R7, R8, R9, R10, RJ, RQ, RK, RA, R2 };

struct PlayMessage {
    int next = 0;
    int phase = 0;
    int finishRank = 0;
    int warnFlag = 0;
    int seat = 0;
    CardList cards;
};

// The parsed play broadcasts among messages; malformed ones fail the test.
std::vector<PlayMessage> PlaysIn(const std::vector<Outgoing>& messages);
// The refusal texts sent to a seat.
std::vector<QString> RefusalsTo(const std::vector<Outgoing>& messages, int seat);

class TableReplay {
public:
    // Feeds one message; returns false, with error() saying why, at the
    // first thing a lawful table could not have sent.
    bool feed(const Outgoing& message);
    bool feedAll(const std::vector<Outgoing>& messages);

    const QString& error() const { return error_; }
    int handsOver() const { return handsOver_; }
    int plays() const { return plays_; }
    const std::array<CardList, SeatCount>& hands() const { return hands_; }

private:
    bool fail(const QString& why);
    bool onHandStart(const QByteArray& m);
    bool onDeal(int seat, const QByteArray& m);
    bool onPlay(const QByteArray& m);
    bool onTribute(const QByteArray& m);
    bool onHandOver(const QByteArray& m);
    bool removeFrom(int seat, const CardList& cards);

    std::array<CardList, SeatCount> hands_;
    std::array<CardList, SeatCount> dealt_;
    std::array<CardList, SeatCount> played_;
    std::array<CardCode, SeatCount> given_{};
    std::array<int, SeatCount> ranks_{};
    int deckCount_ = 2;
    int acting_ = 0;
    int phase_ = 0;
    RoundBest best_;
    bool inHand_ = false;
    int handsOver_ = 0;
    int plays_ = 0;
    QString error_;
};

} // namespace kelpo::server::testing
