#include "server/RoomTable.h"

#include "net/Packet.h"
#include "net/UserName.h"
#include "platform/NumericValue.h"
#include "server/GameMessages.h"

#include <QHostAddress>
#include <algorithm>

namespace kelpo::server {

namespace {

constexpr char GameId[] = "KELPO";
constexpr int ChatFieldCount = 10;
constexpr int ChatUserField = 1;
constexpr int ChatShownNameField = 2;
constexpr int ChatAddresseeField = 3;
// A typed line is at most 200 characters; this leaves room for the other
// fields. Longer lines are refused, not cut.
constexpr int MaxChatLineBytes = 1024;
// How long the clients pause, handling further messages meanwhile, after a
// round is won and before the tribute cards change hands; a seat played for
// during the pause would reach them in the middle of it. A margin is added.
constexpr int RoundEndPauseMs = 100 + 200;
constexpr int TributeExchangePauseMs = 3000 + 500;
// A spectator's client pauses this long after a hand; a table of bots alone
// waits as long before the next deal.
constexpr int BotTableHandPauseMs = 5000 + 1000;

int FaceFor(int n) { return 1 + (n * 7) % FaceCount; }

bool SameAddress(const QString& a, const QString& b)
{
    return QHostAddress(a).isEqual(QHostAddress(b), QHostAddress::TolerantConversion);
}

} // namespace

RoomTable::RoomTable(const RoomConfig& config, const TickClock& clock, SendFn send, CloseFn close)
    : config_(config),
      table_(config.table.sanitized()),
      clock_(clock),
      send_(std::move(send)),
      close_(std::move(close)),
      referee_(table_, config.seed, clock)
{
    int seat = 0;
    for (const QString& name : config_.players) {
        if (seat >= SeatCount)
            break;
        Member m;
        m.name = name;
        m.seat = seat;
        m.boundAddress = config_.boundAddress.value(name);
        members_.push_back(m);
        seats_[seat].member = static_cast<int>(members_.size()) - 1;
        ++seat;
    }
    for (const ExpectedSpectator& s : config_.spectators) {
        const int watched = static_cast<int>(config_.players.indexOf(s.watches));
        Member m;
        m.name = s.name;
        m.spectator = true;
        m.seat = IsSeat(watched) ? watched : 0;
        members_.push_back(m);
    }
    for (std::size_t i = 0; i < members_.size(); ++i) {
        members_[i].userId = QString::number(10001 + static_cast<int>(i));
        members_[i].iconNumber = FaceFor(static_cast<int>(i));
    }
    for (int s = 0; s < SeatCount; ++s) {
        if (seats_[s].member < 0)
            giveSeatToBot(s);
        else
            referee_.setBot(s, true); // until its player is here
    }
    settingsMade_ = !config_.settingsRound || ownerIndex() < 0;
    referee_.setPauses(RoundEndPauseMs, TributeExchangePauseMs);
}

// ---- connections -----------------------------------------------------------

void RoomTable::connectionOpened(int connection, const QString& address)
{
    connections_[connection] = Connection{-1, clock_.TickCount() + config_.identifyTimeoutMs, address};
}

void RoomTable::connectionClosed(int connection)
{
    const auto it = connections_.find(connection);
    if (it == connections_.end())
        return;
    const int member = it->second.member;
    connections_.erase(it);
    if (member >= 0 && members_[member].connection == connection)
        dropped(member);
}

void RoomTable::closeConnection(int connection)
{
    const auto it = connections_.find(connection);
    if (it == connections_.end())
        return;
    const int member = it->second.member;
    connections_.erase(it);
    close_(connection);
    if (member >= 0 && members_[member].connection == connection && !members_[member].left)
        dropped(member);
}

QString RoomTable::userOf(int connection) const
{
    const auto it = connections_.find(connection);
    if (it == connections_.end() || it->second.member < 0)
        return {};
    return members_[it->second.member].name;
}

void RoomTable::tick()
{
    const std::int64_t now = clock_.TickCount();
    std::vector<int> late;
    for (const auto& [id, c] : connections_)
        if (c.member < 0 && now >= c.identifyDeadline)
            late.push_back(id);
    for (int id : late)
        closeConnection(id);
    checkRaiseDeadlines();
    // A table that waited for nobody in particular (bots alone) moves on.
    if (matchStarted_ && now >= nextBotHandAt_)
        raiseBotsAndStart();
    pumpReferee();
}

void RoomTable::messageArrived(int connection, const QByteArray& message)
{
    const auto it = connections_.find(connection);
    if (it == connections_.end() || message.isEmpty())
        return;
    const auto cls = static_cast<std::uint8_t>(message[0]);
    if (it->second.member < 0) {
        if (cls == MsgRoomState && message.size() > 2 && static_cast<std::uint8_t>(message[1]) == RoomIdentify)
            identify(connection, MessageFields(message, 2));
        return;
    }
    const int memberIndex = it->second.member;
    Member& m = members_[memberIndex];
    switch (cls) {
    case MsgChat:
        handleChat(m, message);
        return;
    case MsgSeatReady:
        if (!m.spectator && message.size() == 2)
            seatReady(m.seat);
        return;
    case MsgItems:
        // Players and spectators alike may buy.
        if (shop_) {
            // The account the database could not give at the join is made
            // now, so the purchase does not fail for want of it.
            standings_.of(m.name, m.iconNumber);
            for (const QByteArray& answer : shop_->purchase(m.name, message))
                sendTo(m, answer);
        }
        return;
    case MsgHandsRefresh:
    case MsgDeal:
    case MsgPlay:
    case MsgTribute:
        if (!m.spectator) {
            referee_.handleMessage(m.seat, message);
            pumpReferee();
        }
        return;
    default:
        handleRoomMessage(m, message);
        return;
    }
}

void RoomTable::identify(int connection, const QStringList& fields)
{
    if (fields.size() < 2 || fields[1] != QLatin1String(GameId)) {
        closeConnection(connection);
        return;
    }
    const QString address = connections_[connection].address;
    const int chosen = chooseIdentity(address);
    if (chosen < 0) {
        closeConnection(connection);
        return;
    }
    Member& m = members_[chosen];
    const bool returning = m.joined;
    m.connection = connection;
    m.joined = true;
    m.lastAddress = address;
    // Told when the identity is taken, before the account is loaded and the
    // table's replies are made: whoever waits for the line (a start-up
    // timing above all) learns when the client identified itself, not how
    // long the server then took.
    if (joined_)
        joined_(m.name);
    standings_.of(m.name, m.iconNumber);
    m.allowWatch = fields.size() > 2 && NumericInt32(fields[2]) > 0;
    connections_[connection].member = chosen;
    // Back within a hand: the player plays on and pays no escape.
    if (!m.spectator) {
        referee_.setBot(m.seat, false);
        referee_.setAbsent(m.seat, false);
    }
    sendJoinSequence(chosen, returning);
    if (shop_) {
        sendTo(m, shop_->catalogueMessage());
        if (const QByteArray owned = shop_->ownedMessage(m.name); !owned.isEmpty())
            sendTo(m, owned);
    }
    if (!m.spectator)
        raiseBotsAndStart();
}

int RoomTable::chooseIdentity(const QString& address) const
{
    // The identification carries no name: a dropped identity goes back to a
    // connection from the address it last came from, then the identities
    // nobody took yet are given in order, and only then one whose player
    // may have come back from elsewhere. An identity bound to an address is
    // never given to a connection from another.
    auto free = [&](const Member& m) {
        return m.connection < 0 && !m.left && (m.boundAddress.isEmpty() || SameAddress(m.boundAddress, address));
    };
    auto first = [&](auto&& wanted) {
        for (std::size_t i = 0; i < members_.size(); ++i)
            if (free(members_[i]) && wanted(members_[i]))
                return static_cast<int>(i);
        return -1;
    };
    int chosen = first([&](const Member& m) { return m.joined && SameAddress(m.lastAddress, address); });
    if (chosen < 0)
        chosen = first([](const Member& m) { return !m.joined; });
    if (chosen < 0)
        chosen = first([](const Member&) { return true; });
    return chosen;
}

void RoomTable::sendJoinSequence(int memberIndex, bool returning)
{
    Member& m = members_[memberIndex];
    sendTo(m, BuildIdentity(m.name, m.spectator ? seatUser(m.seat).name : m.name));
    sendTo(m, BuildUserList(everyone()));
    if (returning && !m.spectator)
        broadcast(BuildConnectionState(ConnectionBack, m.name), memberIndex);
    else
        broadcast(BuildArrival(memberUser(memberIndex)), memberIndex);

    if (matchStarted_) {
        std::array<bool, SeatCount> handsUp{};
        for (int s = 0; s < SeatCount; ++s)
            handsUp[s] = seats_[s].handUp;
        const bool canSee = m.spectator ? canSpectatorsSee(m.seat) : true;
        sendTo(m, referee_.snapshot(m.seat, canSee, handsUp));
        if (!m.spectator && !referee_.handInPlay() && !seats_[m.seat].handUp)
            expectRaisedHandOnceAnotherIs(m.seat);
        return;
    }
    if (m.spectator || seats_[m.seat].handUp)
        return;
    if (!config_.settingsRound) {
        sendTo(m, BuildSettingsNeeded(false, false, false));
        expectRaisedHandOnceAnotherIs(m.seat);
    } else if (settingsMade_) {
        sendTo(m, BuildSettingsNeeded(false, true, true, settingsText()));
    } else {
        sendTo(m, BuildSettingsNeeded(memberIndex == ownerIndex(), true, memberIndex == ownerIndex(),
                                      settingsText()));
    }
}

// ---- room messages ---------------------------------------------------------

void RoomTable::handleRoomMessage(Member& m, const QByteArray& message)
{
    if (message.size() < 2)
        return;
    const auto cls = static_cast<std::uint8_t>(message[0]);
    const auto code = static_cast<std::uint8_t>(message[1]);
    const int memberIndex = static_cast<int>(&m - members_.data());
    const QStringList fields = MessageFields(message, 2);
    // Every room reply names its sender first; a reply in another's name
    // is not the sender's to give.
    if (fields.isEmpty() || fields[0] != m.name)
        return;
    if (cls == MsgHandUp && code == 0)
        ownerSettings(m, fields);
    else if (cls == MsgHandUp && code == 1)
        agree(m);
    else if (cls == MsgPlayerLeft && code == 0)
        leave(memberIndex);
    else if (cls == MsgViewFlag && code == 1 && fields.size() == 2 && !m.spectator) {
        m.allowWatch = NumericInt32(fields[1]) > 0;
        if (matchStarted_)
            for (const Member& other : members_)
                if (other.spectator && other.seat == m.seat)
                    sendTo(other, BuildViewFlag(m.allowWatch));
    }
}

void RoomTable::handleChat(const Member& m, const QByteArray& message)
{
    if (message.size() > MaxChatLineBytes) {
        sendTo(m, BuildServerText(QStringLiteral("聊天内容太长，没有发出。")));
        return;
    }
    QStringList fields = MessageFields(message, 1);
    if (fields.size() < ChatFieldCount)
        return;
    // The line goes out under the sender's own name, whatever it claims.
    fields = fields.mid(0, ChatFieldCount);
    fields[ChatUserField] = m.name;
    fields[ChatShownNameField] = m.name;
    QByteArray line;
    if (!BuildPacket(fields.join(FieldSeparator), line, 1, QByteArray(1, static_cast<char>(MsgChat))))
        return;
    const QString& addressee = fields[ChatAddresseeField];
    if (addressee == EveryoneAddressee()) {
        broadcast(line);
        return;
    }
    // A line for one user never goes to the whole table, even when that user
    // has gone: its sender meant nobody else to read it.
    sendTo(m, line);
    for (const Member& other : members_) {
        if (other.connection >= 0 && other.name == addressee && other.name != m.name) {
            sendTo(other, line);
            return;
        }
    }
    const bool bot = std::any_of(seats_.begin(), seats_.end(), [&](const Seat& s) {
        return s.member < 0 && s.botName == addressee;
    });
    if (addressee != m.name && !bot)
        sendTo(m, BuildServerText(QStringLiteral("%1 现在不在桌上，这句话只有你自己看得到。").arg(addressee)));
}

void RoomTable::ownerSettings(Member& m, const QStringList& fields)
{
    const int memberIndex = static_cast<int>(&m - members_.data());
    if (settingsMade_ || memberIndex != ownerIndex())
        return;
    const auto chosen = ParseOwnerSettings(fields, config_.stakeRange, config_.escapeRange);
    if (!chosen) {
        // Ask again rather than take values the table does not allow.
        sendTo(m, BuildServerText(QStringLiteral("设置的数值超出了允许的范围，请重新设置。")));
        sendTo(m, BuildSettingsNeeded(true, true, true, settingsText()));
        return;
    }
    makeSettings(chosen->stake, chosen->escapePenalty, memberIndex);
}

void RoomTable::makeSettings(int stake, int escapePenalty, int ownerMember)
{
    settingsMade_ = true;
    table_.stake = stake;
    table_.escapePenalty = escapePenalty;
    referee_.setConfig(table_);
    const QString text = settingsText();
    if (ownerMember >= 0) {
        const Member& owner = members_[ownerMember];
        seats_[owner.seat].handUp = true;
        for (const Member& other : members_) {
            const bool asks = !other.spectator && &other != &owner && !seats_[other.seat].handUp;
            sendTo(other, BuildHandUp(owner.name, 0, asks ? text : QString()));
        }
    } else {
        // The owner is gone before choosing: the proposed values stand and
        // the players present are asked to agree to them.
        for (const Member& other : members_)
            if (!other.spectator && !seats_[other.seat].handUp)
                sendTo(other, BuildSettingsNeeded(false, true, true, text));
    }
    raiseBotsAndStart();
}

void RoomTable::agree(Member& m)
{
    if (m.spectator || !settingsMade_ || matchStarted_ || seats_[m.seat].handUp)
        return;
    seats_[m.seat].handUp = true;
    seats_[m.seat].raiseDeadline = 0;
    broadcast(BuildHandUp(m.name, 1));
    raiseBotsAndStart();
}

void RoomTable::seatReady(int seat)
{
    if (!matchStarted_ || referee_.handInPlay() || seats_[seat].handUp)
        return;
    seats_[seat].handUp = true;
    seats_[seat].raiseDeadline = 0;
    broadcast(BuildSeatReady(seat));
    raiseBotsAndStart();
    if (referee_.handInPlay())
        return;
    // The others' clients count down from now: whoever has not raised his
    // hand by the end of it is taken to have left.
    for (int s = 0; s < SeatCount; ++s)
        if (s != seat && seatIsHuman(s) && !seats_[s].handUp && seats_[s].raiseDeadline == 0 &&
            members_[seats_[s].member].connection >= 0)
            expectRaisedHand(s);
    // Say who the table waits for, so a raised hand is not left wondering.
    QStringList away;
    for (int s = 0; s < SeatCount; ++s)
        if (isOffline(s) && !config_.botsStandIn)
            away << members_[seats_[s].member].name;
    if (!away.isEmpty())
        sendTo(members_[seats_[seat].member], BuildServerText(QStringLiteral("等待 %1 回来...").arg(away.join(u'、'))));
}

void RoomTable::leave(int memberIndex)
{
    Member& m = members_[memberIndex];
    if (matchStarted_ && !m.spectator && !m.left) {
        // Once the match runs the seat stays the player's: leaving within a
        // hand is escaping, leaving between hands is not, and either way the
        // player may come back to it.
        const int connection = m.connection;
        // Nothing more goes to the connection just closed.
        m.connection = -1;
        if (connection >= 0) {
            connections_.erase(connection);
            close_(connection);
        }
        broadcast(BuildServerText(QStringLiteral("%1 离开了座位。").arg(m.name)));
        dropped(memberIndex);
        return;
    }
    const bool wasOwner = !settingsMade_ && memberIndex == ownerIndex();
    const int connection = m.connection;
    m.left = true;
    m.connection = -1;
    if (connection >= 0) {
        connections_.erase(connection);
        close_(connection);
    }
    if (m.spectator) {
        broadcast(BuildConnectionState(ConnectionSpectatorLeft, m.name));
        return;
    }
    broadcast(BuildPlayerLeft(m.name));
    // Leaving during a hand is escaping: the seat's result pays for it.
    if (referee_.handInPlay())
        referee_.setAbsent(m.seat, true);
    giveSeatToBot(m.seat);
    broadcast(BuildArrival(seatUser(m.seat)));
    broadcast(BuildServerText(QStringLiteral("%1 离开了，由 %2 接替。").arg(m.name, seats_[m.seat].botName)));
    if (wasOwner)
        makeSettings(table_.stake, table_.escapePenalty, -1);
    else
        raiseBotsAndStart();
    pumpReferee();
}

void RoomTable::dropped(int memberIndex)
{
    Member& m = members_[memberIndex];
    m.connection = -1;
    if (m.spectator) {
        broadcast(BuildConnectionState(ConnectionSpectatorLeft, m.name));
        return;
    }
    broadcast(BuildConnectionState(ConnectionDropped, m.name));
    seats_[m.seat].raiseDeadline = 0;
    // Gone within a hand: the seat is played for, and it is an escape unless
    // the player is back before the hand ends (a hand he was not dealt in
    // costs him nothing). Between hands the next hand decides who plays.
    if (referee_.handInPlay()) {
        referee_.setBot(m.seat, true);
        referee_.setAbsent(m.seat, seats_[m.seat].playedBy == memberIndex);
    }
    if (!settingsMade_ && memberIndex == ownerIndex())
        makeSettings(table_.stake, table_.escapePenalty, -1);
    else
        raiseBotsAndStart();
    pumpReferee();
}

// ---- hands -----------------------------------------------------------------

void RoomTable::raiseBotsAndStart()
{
    if (!settingsMade_ || referee_.handInPlay())
        return;
    // Bots are ready only once every human here is, so no human's start
    // countdown is ever set off by a bot. Before the first hand every player
    // must have come; later a player away holds the table up unless the host
    // lets a bot play for him, and a table nobody is at deals on only for a
    // host who asked for it.
    int present = 0;
    bool away = false;
    for (int s = 0; s < SeatCount; ++s) {
        if (!seatIsHuman(s))
            continue;
        const Member& m = members_[seats_[s].member];
        if (!m.joined && !matchStarted_)
            return;
        if (m.connection < 0) {
            away = true;
        } else if (!seats_[s].handUp) {
            return;
        } else {
            ++present;
        }
    }
    if (present == 0 ? !(matchStarted_ && config_.botsPlayOn && clock_.TickCount() >= nextBotHandAt_)
                     : away && (!matchStarted_ || !config_.botsStandIn))
        return;
    for (int s = 0; s < SeatCount; ++s) {
        if (seats_[s].handUp)
            continue;
        seats_[s].handUp = true;
        broadcast(matchStarted_ ? BuildSeatReady(s) : BuildHandUp(seatUser(s).name, 1));
    }
    startHand();
}

void RoomTable::startHand()
{
    if (!matchStarted_) {
        referee_.newMatch();
        matchStarted_ = true;
    }
    referee_.setConfig(table_);
    // Who plays each seat is settled for the whole hand: a player here
    // plays his own, a seat whose player is away is played for, without
    // his account and without an escape.
    for (int s = 0; s < SeatCount; ++s) {
        Seat& seat = seats_[s];
        seat.handUp = false;
        seat.raiseDeadline = 0;
        const bool here = seatIsHuman(s) && members_[seat.member].connection >= 0;
        seat.playedBy = here ? seat.member : -1;
        referee_.setBot(s, !here);
        referee_.setAbsent(s, false);
    }
    referee_.startHand();
    pumpReferee();
}

void RoomTable::pumpReferee()
{
    referee_.tick();
    for (const Outgoing& out : referee_.takeOutgoing())
        routeOutgoing(out);
}

void RoomTable::routeOutgoing(const Outgoing& out)
{
    if (out.bytes.isEmpty())
        return;
    const auto cls = static_cast<std::uint8_t>(out.bytes[0]);
    if (out.seat == AllSeats) {
        for (const Member& m : members_) {
            sendTo(m, out.bytes);
            if (cls == MsgHandStart && m.spectator)
                sendTo(m, BuildViewFlag(canSpectatorsSee(m.seat)));
        }
    } else if (IsSeat(out.seat)) {
        // A refusal is for the player alone; spectators would only see a
        // box about a play they did not make.
        sendToViewers(out.seat, out.bytes, cls != MsgRefused);
    }
    if (cls == MsgHandOver)
        handEnded();
}

void RoomTable::handEnded()
{
    ++handsFinished_;
    recordStandings();
    sendStandings();
    int present = 0;
    for (int s = 0; s < SeatCount; ++s) {
        seats_[s].handUp = false;
        if (seatIsHuman(s) && members_[seats_[s].member].connection >= 0)
            ++present;
    }
    if (present == 0)
        nextBotHandAt_ = clock_.TickCount() + BotTableHandPauseMs;
}

void RoomTable::recordStandings()
{
    const std::optional<SeatResults> results = referee_.lastResults();
    if (!results)
        return;
    std::vector<SeatOutcome> outcomes;
    for (int s = 0; s < SeatCount; ++s) {
        const int member = seats_[s].playedBy;
        if (member >= 0)
            outcomes.push_back({members_[member].name, (*results)[s], referee_.isAbsent(s)});
    }
    QString error;
    if (!standings_.recordHand(outcomes, error)) {
        qWarning("kelpo-room: the hand's results were not saved: %s", qPrintable(error));
        broadcast(BuildServerText(QStringLiteral("本局成绩未能保存。")));
    }
}

void RoomTable::sendStandings() { broadcast(BuildUserList(everyone())); }

void RoomTable::expectRaisedHand(int seat)
{
    seats_[seat].raiseDeadline = clock_.TickCount() + config_.raiseHandTimeoutMs;
}

void RoomTable::expectRaisedHandOnceAnotherIs(int seat)
{
    for (int s = 0; s < SeatCount; ++s)
        if (s != seat && seats_[s].handUp) {
            expectRaisedHand(seat);
            return;
        }
}

void RoomTable::checkRaiseDeadlines()
{
    if (referee_.handInPlay())
        return;
    const std::int64_t now = clock_.TickCount();
    for (int s = 0; s < SeatCount; ++s) {
        Seat& seat = seats_[s];
        if (seat.raiseDeadline == 0 || now < seat.raiseDeadline || seat.handUp || !seatIsHuman(s))
            continue;
        seat.raiseDeadline = 0;
        const Member& m = members_[seat.member];
        if (m.connection < 0)
            continue;
        // Its client would have closed when its countdown ran out; one that
        // did not is closed here, and the seat waits as for any player away.
        broadcast(BuildServerText(QStringLiteral("%1 没有按时开始，已离开座位。").arg(m.name)));
        closeConnection(m.connection);
    }
}

// ---- sending ---------------------------------------------------------------

void RoomTable::sendTo(const Member& m, const QByteArray& message)
{
    if (m.connection >= 0)
        send_(m.connection, message);
}

void RoomTable::broadcast(const QByteArray& message, int exceptMember)
{
    for (std::size_t i = 0; i < members_.size(); ++i)
        if (static_cast<int>(i) != exceptMember)
            sendTo(members_[i], message);
}

void RoomTable::sendToViewers(int seat, const QByteArray& message, bool toSpectators)
{
    for (const Member& m : members_)
        if (m.seat == seat && (!m.spectator || toSpectators))
            sendTo(m, message);
}

// ---- who is who ------------------------------------------------------------

bool RoomTable::seatIsHuman(int seat) const { return IsSeat(seat) && seats_[seat].member >= 0; }

bool RoomTable::isOffline(int seat) const
{
    return seatIsHuman(seat) && members_[seats_[seat].member].connection < 0;
}

QString RoomTable::seatHolder(int seat) const { return IsSeat(seat) ? seatUser(seat).name : QString(); }

bool RoomTable::canSpectatorsSee(int seat) const
{
    return !seatIsHuman(seat) || members_[seats_[seat].member].allowWatch;
}

int RoomTable::ownerIndex() const
{
    for (std::size_t i = 0; i < members_.size(); ++i)
        if (!members_[i].spectator && !members_[i].left)
            return static_cast<int>(i);
    return -1;
}

void RoomTable::giveSeatToBot(int seat)
{
    Seat& s = seats_[seat];
    s.member = -1;
    s.botName = newBotName();
    s.botIcon = FaceFor(botsNamed_ + 20);
    referee_.setBot(seat, true);
}

QString RoomTable::newBotName()
{
    for (;;) {
        const QString name = QStringLiteral("机器人%1").arg(++botsNamed_);
        bool taken = false;
        for (const Member& m : members_)
            taken = taken || m.name == name;
        if (!taken)
            return name;
    }
}

UserInfo RoomTable::seatUser(int seat) const
{
    const Seat& s = seats_[seat];
    if (s.member >= 0)
        return memberUser(s.member);
    UserInfo u;
    u.name = s.botName;
    u.userId = QStringLiteral("0");
    u.iconNumber = s.botIcon;
    u.chair = seat;
    u.handUp = s.handUp;
    return u;
}

UserInfo RoomTable::memberUser(int memberIndex) const
{
    const Member& m = members_[memberIndex];
    UserInfo u;
    u.name = m.name;
    u.userId = m.userId;
    u.iconNumber = m.iconNumber;
    u.chair = m.seat;
    if (const Account* a = standings_.find(m.name)) {
        if (a->userId != 0)
            u.userId = QString::number(a->userId);
        u.score = a->score;
        u.level = a->score;
        u.games = a->games;
        u.wins = a->wins;
        u.losses = a->losses;
        u.draws = a->draws;
        u.escapes = a->escapes;
        u.userClass = a->userClass;
        if (a->icon >= 1 && a->icon <= FaceCount)
            u.iconNumber = a->icon;
    }
    if (m.spectator) {
        u.watches = seatUser(m.seat).name;
    } else {
        u.handUp = seats_[m.seat].handUp;
        u.offline = m.connection < 0;
    }
    return u;
}

QList<UserInfo> RoomTable::everyone() const
{
    QList<UserInfo> users;
    for (int s = 0; s < SeatCount; ++s)
        if (!seatIsHuman(s) || members_[seats_[s].member].joined)
            users << seatUser(s);
    for (std::size_t i = 0; i < members_.size(); ++i)
        if (members_[i].spectator && members_[i].connection >= 0)
            users << memberUser(static_cast<int>(i));
    return users;
}

QString RoomTable::settingsText() const
{
    return SettingsText(table_.stake, config_.stakeRange, table_.escapePenalty, config_.escapeRange);
}

} // namespace kelpo::server
