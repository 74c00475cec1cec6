#include "server/Referee.h"

#include "rules/CardOrder.h"
#include "rules/PlayRules.h"
#include "rules/TributeRules.h"
#include "server/Bots.h"
#include "server/GameMessages.h"

#include <algorithm>

namespace kelpo::server {

namespace {

// A hand holds at most six packs' share and one tribute card, so the warning
// threshold can never be crossed at the deal itself with one pack or more.
constexpr int WarnCards = 5;
// A bound on the actions of one tick, far above any hand's length, so a
// defect can never spin the server.
constexpr int MaxActionsPerTick = 4096;

} // namespace

QString Referee::NotYourTurnMessage() { return QStringLiteral("还没有轮到你！"); }
QString Referee::CardsNotHeldMessage() { return QStringLiteral("出牌错误：你手里没有这些牌！"); }
QString Referee::MustLeadMessage() { return QStringLiteral("出牌错误：你是本轮首家，必须出牌！"); }
QString Referee::NotPlayTimeMessage() { return QStringLiteral("现在不是出牌的时候！"); }
QString Referee::NotTributeTimeMessage() { return QStringLiteral("现在不是进贡的时候！"); }

Referee::Referee(const TableConfig& config, std::uint64_t seed, const TickClock& clock)
    : config_(config.sanitized()), dealer_(seed), clock_(clock)
{
    state_.config = config_;
}

void Referee::setConfig(const TableConfig& config) { config_ = config.sanitized(); }

void Referee::newMatch()
{
    previousOrder_.reset();
    handsInMatch_ = 0;
}

void Referee::setBot(int seat, bool bot)
{
    if (IsSeat(seat))
        bot_[seat] = bot;
}

void Referee::setAbsent(int seat, bool absent)
{
    if (IsSeat(seat))
        absent_[seat] = absent;
}

std::vector<Outgoing> Referee::takeOutgoing()
{
    std::vector<Outgoing> out;
    out.swap(outbox_);
    return out;
}

void Referee::send(int seat, QByteArray bytes) { outbox_.push_back({seat, std::move(bytes)}); }

void Referee::refuse(int seat, const QString& reason) { send(seat, BuildRefusal(reason)); }

void Referee::beginTurn(int seat, Phase phase)
{
    state_.actingSeat = seat;
    state_.phase = phase;
    turnStartedMs_ = clock_.TickCount();
}

bool Referee::startHand()
{
    if (state_.handInPlay)
        return false;
    return startHand(dealer_.deal(config_.deckCount));
}

bool Referee::startHand(const Hands& deal)
{
    if (state_.handInPlay)
        return false;
    TableState fresh;
    fresh.config = config_;
    fresh.handInPlay = true;
    fresh.dealt = deal;
    for (int seat = 0; seat < SeatCount; ++seat)
        fresh.seats[seat].hand = fresh.dealt[seat];
    state_ = std::move(fresh);
    ++handsInMatch_;

    if (previousOrder_) {
        state_.tributePairs = ChooseTributePairs(*previousOrder_);
        beginTurn(state_.tributePairs[0].giver, Phase::Tribute);
    } else {
        beginTurn(FirstHolderOfCardZero(state_.dealt), Phase::Lead);
    }

    send(AllSeats, BuildHandStart(config_, state_.actingSeat, state_.phase));
    for (int seat = 0; seat < SeatCount; ++seat)
        send(seat, BuildDeal(state_.dealt, seat, config_.threeHandDeal));
    return true;
}

void Referee::handleMessage(int seat, const QByteArray& message)
{
    if (!IsSeat(seat) || !state_.handInPlay)
        return;
    const auto action = ParseClientAction(message);
    if (!action)
        return;
    switch (action->kind) {
    case ClientAction::Kind::Play:
        if (action->cards.isPass())
            pass(seat);
        else
            play(seat, action->cards);
        break;
    case ClientAction::Kind::Tribute:
        tribute(seat, action->cards.at(1));
        break;
    case ClientAction::Kind::NoCards: {
        std::array<CardList, SeatCount> hands;
        for (int s = 0; s < SeatCount; ++s)
            hands[s] = state_.seats[s].hand;
        send(seat, BuildHandsRefresh(hands, seat, state_.config.threeHandDeal));
        break;
    }
    case ClientAction::Kind::HandStartAck:
        break;
    }
}

bool Referee::holdsAll(int seat, const CardList& cards) const
{
    std::array<int, CardsPerPack> held{};
    for (CardCode c : state_.seats[seat].hand.codes())
        if (IsValidCard(c))
            ++held[c];
    for (CardCode c : cards.codes()) {
        if (!IsValidCard(c) || held[c] == 0)
            return false;
        --held[c];
    }
    return true;
}

int Referee::nextStillPlaying(int seat) const
{
    for (int step = 1; step <= SeatCount; ++step) {
        const int s = (seat + step) % SeatCount;
        if (state_.seats[s].finishRank == 0)
            return s;
    }
    return seat;
}

bool Referee::isTurnOf(int seat, bool tributeAction)
{
    const bool tributeTime = state_.phase == Phase::Tribute || state_.phase == Phase::ReturnTribute;
    const bool playTime = state_.phase == Phase::Lead || state_.phase == Phase::Follow;
    if (tributeAction ? !tributeTime : !playTime) {
        refuse(seat, tributeAction ? NotTributeTimeMessage() : NotPlayTimeMessage());
        return false;
    }
    if (seat != state_.actingSeat) {
        refuse(seat, NotYourTurnMessage());
        return false;
    }
    return true;
}

void Referee::passTurnOn(int seat)
{
    const int next = nextStillPlaying(seat);
    beginTurn(next, Phase::Follow);
    // Each client clears the play area of the seat about to act.
    state_.seats[next].currentPlay.clear();
    const SeatState& me = state_.seats[seat];
    send(AllSeats, BuildPlay(next, Phase::Follow, me.finishRank, me.warnFlag, seat, me.currentPlay));
}

bool Referee::play(int seat, const CardList& cards)
{
    if (!isTurnOf(seat, false))
        return false;
    if (!holdsAll(seat, cards)) {
        refuse(seat, CardsNotHeldMessage());
        return false;
    }
    QString reason;
    PlayType type = PlayType::Invalid;
    CardCode maxCard = 0;
    const bool ok = state_.phase == Phase::Lead
        ? CheckLeadPlay(cards, reason, type, maxCard)
        : CheckFollowPlay(cards, state_.best, reason, type, maxCard);
    if (!ok) {
        refuse(seat, reason);
        return false;
    }

    SeatState& me = state_.seats[seat];
    RemoveCards(me.hand, cards);
    me.currentPlay = cards;
    SortCardsByRank(me.currentPlay);
    state_.best = RoundBest{static_cast<std::uint8_t>(seat), static_cast<std::uint8_t>(type), maxCard,
                            static_cast<std::uint8_t>(cards.count())};
    state_.passesSinceBest = 0;
    if (me.hand.count() <= WarnCards)
        me.warnFlag = 1;
    if (me.hand.isEmpty())
        me.finishRank = ++state_.finishedCount;

    FinishRanks ranks{};
    for (int s = 0; s < SeatCount; ++s)
        ranks[s] = state_.seats[s].finishRank;
    if (HandIsOver(ranks)) {
        state_.phase = Phase::None;
        send(AllSeats, BuildPlay(NobodyActs, Phase::None, me.finishRank, me.warnFlag, seat, me.currentPlay));
        finishHand();
        return true;
    }
    passTurnOn(seat);
    return true;
}

bool Referee::pass(int seat)
{
    if (!isTurnOf(seat, false))
        return false;
    if (state_.phase == Phase::Lead) {
        refuse(seat, MustLeadMessage());
        return false;
    }

    SeatState& me = state_.seats[seat];
    me.currentPlay = CardList{PassMarker};
    ++state_.passesSinceBest;

    const int maker = state_.best.seat;
    int othersPlaying = 0;
    for (int s = 0; s < SeatCount; ++s)
        if (s != maker && state_.seats[s].finishRank == 0)
            ++othersPlaying;

    if (state_.passesSinceBest >= othersPlaying) {
        // Everyone else passed: the maker leads again, or the next seat
        // still playing after it when it has gone out.
        const int leader = state_.seats[maker].finishRank == 0 ? maker : nextStillPlaying(maker);
        beginTurn(leader, Phase::Lead);
        pauseUntilMs_ = clock_.TickCount() + roundEndPauseMs_;
        state_.passesSinceBest = 0;
        send(AllSeats, BuildPlay(leader, Phase::Lead, me.finishRank, me.warnFlag, seat, me.currentPlay));
        for (SeatState& s : state_.seats)
            s.currentPlay.clear();
        return true;
    }
    passTurnOn(seat);
    return true;
}

bool Referee::tribute(int seat, CardCode card)
{
    if (!isTurnOf(seat, true))
        return false;
    const bool giving = state_.phase == Phase::Tribute;
    SeatState& me = state_.seats[seat];
    if (!holdsAll(seat, CardList{card})) {
        refuse(seat, CardsNotHeldMessage());
        return false;
    }
    QString reason;
    const bool ok = giving ? CheckTributeCard(card, me.hand, reason)
                           : CheckReturnTributeCard(card, me.hand, reason);
    if (!ok) {
        refuse(seat, reason);
        return false;
    }

    RemoveCards(me.hand, CardList{card});
    me.currentPlay = CardList{card};
    state_.givenCard[seat] = card;
    const auto& pairs = state_.tributePairs;
    const int step = ++state_.tributeStep;
    if (step == 1)
        beginTurn(pairs[1].giver, Phase::Tribute);
    else if (step == 2)
        beginTurn(pairs[0].receiver, Phase::ReturnTribute);
    else if (step == 3)
        beginTurn(pairs[1].receiver, Phase::ReturnTribute);
    else
        beginTurn(pairs[0].receiver, Phase::Lead);
    send(AllSeats, BuildTribute(seat, card, state_.actingSeat, state_.phase, pairs));

    if (state_.phase == Phase::Lead) {
        pauseUntilMs_ = clock_.TickCount() + exchangePauseMs_;
        for (const TributePair& p : pairs) {
            state_.seats[p.receiver].hand.append(state_.givenCard[p.giver]);
            state_.seats[p.giver].hand.append(state_.givenCard[p.receiver]);
        }
        for (SeatState& s : state_.seats)
            s.currentPlay.clear();
    }
    return true;
}

void Referee::finishHand()
{
    FinishRanks ranks{};
    std::array<int, SeatCount> cardsLeft{};
    std::array<CardList, SeatCount> remaining;
    for (int s = 0; s < SeatCount; ++s) {
        ranks[s] = state_.seats[s].finishRank;
        cardsLeft[s] = state_.seats[s].hand.count();
        remaining[s] = state_.seats[s].hand;
        SortCardsByRank(remaining[s]);
    }
    SeatResults results = HandResults(ranks, state_.config.stake);
    for (int s = 0; s < SeatCount; ++s)
        if (absent_[s])
            results[s] -= state_.config.escapePenalty;
    send(AllSeats, BuildHandOver(results, remaining));
    previousOrder_ = FinishingOrder(ranks, cardsLeft);
    lastResults_ = results;
    state_.handInPlay = false;
    state_.phase = Phase::BetweenHands;
}

bool Referee::isDue(int seat, std::int64_t now) const
{
    if (now < pauseUntilMs_)
        return false;
    if (bot_[seat])
        return now - turnStartedMs_ >= config_.botDelayMs;
    const bool tributeTurn = state_.phase == Phase::Tribute || state_.phase == Phase::ReturnTribute;
    // The limits the clients were told at the hand start; the delays are the
    // server's own and apply at once.
    const TableConfig& announced = state_.config;
    const std::int64_t limitMs =
        std::int64_t{tributeTurn ? announced.tributeSeconds : announced.turnSeconds} * 1000;
    return now - turnStartedMs_ >= limitMs + config_.overdueGraceMs;
}

void Referee::actFor(int seat)
{
    const CardList& hand = state_.seats[seat].hand;
    switch (state_.phase) {
    case Phase::Lead:
        // The lowest single card is always a valid lead, should the bot's
        // choice ever be refused.
        if (!play(seat, BotLead(hand)))
            play(seat, CardList{BotReturnCard(hand)});
        break;
    case Phase::Follow: {
        const CardList choice = BotFollow(hand, state_.best, seat);
        if (choice.isPass() || !play(seat, choice))
            pass(seat);
        break;
    }
    case Phase::Tribute:
        tribute(seat, BotTributeCard(hand));
        break;
    case Phase::ReturnTribute:
        tribute(seat, BotReturnCard(hand));
        break;
    default:
        break;
    }
}

void Referee::tick()
{
    for (int i = 0; i < MaxActionsPerTick && state_.handInPlay; ++i) {
        const int seat = state_.actingSeat;
        if (!isDue(seat, clock_.TickCount()))
            return;
        actFor(seat);
    }
}

void Referee::runBots()
{
    for (int i = 0; i < MaxActionsPerTick && state_.handInPlay && bot_[state_.actingSeat]; ++i)
        actFor(state_.actingSeat);
}

QByteArray Referee::snapshot(int viewSeat, bool canSeeHand,
                             const std::array<bool, SeatCount>& handsUp) const
{
    if (!state_.handInPlay)
        return BuildIdleSnapshot(handsUp, canSeeHand);
    return BuildSnapshot(state_, viewSeat, canSeeHand);
}

} // namespace kelpo::server
