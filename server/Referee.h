#pragma once
// One table's game: deals, referees every play and tribute card, ends the
// hand with its results, and plays for the seats that bots hold. It knows no
// sockets: clients' actions come in as messages from a seat, and what each
// seat must see goes out through an outbox the network side empties.

#include "platform/TickClock.h"
#include "server/Dealer.h"
#include "server/TableState.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace kelpo::server {

// Outgoing::seat for a message every seat (and every spectator) receives.
inline constexpr int AllSeats = -1;

struct Outgoing {
    // AllSeats, or the one seat whose view this is (its spectators share it).
    int seat = AllSeats;
    QByteArray bytes;
    friend bool operator==(const Outgoing&, const Outgoing&) = default;
};

class Referee {
public:
    // The clock must outlive the referee.
    Referee(const TableConfig& config, std::uint64_t seed, const TickClock& clock);

    // The table parameters take effect from the next hand, the bots' delay
    // and the grace time at once; out-of-range values are brought into range.
    void setConfig(const TableConfig& config);
    const TableConfig& config() const { return config_; }

    // A new match: the next hand is dealt without tribute, as a first hand.
    void newMatch();

    // Deals the next hand and sends its start and deal. False while a hand is
    // in play.
    bool startHand();
    // The same with a given deal instead of a shuffled one (replays, tests).
    bool startHand(const Hands& deal);

    // One game message from the client playing seat. Anything not its to do
    // is refused with a reason and changes nothing; malformed messages and
    // messages outside a hand are ignored.
    void handleMessage(int seat, const QByteArray& message);

    // A seat held by a bot is played by the referee on its turn; a human seat
    // only when its turn is long overdue. Either can change at any moment.
    void setBot(int seat, bool bot);
    bool isBot(int seat) const { return IsSeat(seat) && bot_[seat]; }

    // A seat whose player has gone: if still gone when the hand ends, the
    // escape penalty is taken from its result.
    void setAbsent(int seat, bool absent);
    bool isAbsent(int seat) const { return IsSeat(seat) && absent_[seat]; }

    // After a round is won, and after the tribute cards are all given, nobody
    // is played for until these pauses have passed: the clients are still
    // showing the round's end or the given cards.
    void setPauses(int roundEndMs, int exchangeMs)
    {
        roundEndPauseMs_ = roundEndMs;
        exchangePauseMs_ = exchangeMs;
    }

    // Acts for every seat that is due: a bot once its delay has passed since
    // the turn began, a human seat once its turn ran out by the grace time.
    void tick();
    // Acts for bot seats at once, whatever their delay, until a human seat is
    // to act or the hand is over.
    void runBots();

    // Messages produced since the last call, in order.
    std::vector<Outgoing> takeOutgoing();

    const TableState& state() const { return state_; }
    bool handInPlay() const { return state_.handInPlay; }
    int actingSeat() const { return state_.actingSeat; }
    Phase phase() const { return state_.phase; }
    // Hands dealt since construction or newMatch().
    int handsInMatch() const { return handsInMatch_; }
    std::int64_t turnStartedMs() const { return turnStartedMs_; }
    // The results of the last finished hand, escape penalties applied.
    std::optional<SeatResults> lastResults() const { return lastResults_; }

    // The table as viewSeat sees it, for a client joining mid-match (room
    // message 109). handsUp is used only between hands.
    QByteArray snapshot(int viewSeat, bool canSeeHand,
                        const std::array<bool, SeatCount>& handsUp) const;

    // The reasons given with a refusal.
    static QString NotYourTurnMessage();
    static QString CardsNotHeldMessage();
    static QString MustLeadMessage();
    static QString NotPlayTimeMessage();
    static QString NotTributeTimeMessage();

private:
    void send(int seat, QByteArray bytes);
    void refuse(int seat, const QString& reason);
    void beginTurn(int seat, Phase phase);
    bool holdsAll(int seat, const CardList& cards) const;
    int nextStillPlaying(int seat) const;
    // False, after refusing, unless it is seat's turn for this kind of action.
    bool isTurnOf(int seat, bool tributeAction);
    // The turn moves on to the next seat still playing, to follow.
    void passTurnOn(int seat);

    // Each returns false (after sending a refusal) when the action is not
    // allowed.
    bool play(int seat, const CardList& cards);
    bool pass(int seat);
    bool tribute(int seat, CardCode card);

    void finishHand();
    void actFor(int seat);
    bool isDue(int seat, std::int64_t now) const;

    TableConfig config_;
    TableState state_;
    Dealer dealer_;
    const TickClock& clock_;
    std::array<bool, SeatCount> bot_{};
    std::array<bool, SeatCount> absent_{};
    std::vector<Outgoing> outbox_;
    std::int64_t turnStartedMs_ = 0;
    int roundEndPauseMs_ = 0;
    int exchangePauseMs_ = 0;
    std::int64_t pauseUntilMs_ = 0;
    int handsInMatch_ = 0;
    // The places of the last hand, best first; the next hand's tribute.
    std::optional<std::array<int, SeatCount>> previousOrder_;
    std::optional<SeatResults> lastResults_;
};

} // namespace kelpo::server
