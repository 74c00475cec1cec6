#pragma once
// The room side of one hosted table: which connection is which user, the
// joining sequence, the settings round, raised hands, drops and returns,
// chat relay, and the referee's messages routed to each seat's viewers. It
// knows connections only by number; the network side owns the sockets.

#include "platform/TickClock.h"
#include "server/ItemShop.h"
#include "server/Referee.h"
#include "server/RoomConfig.h"
#include "server/RoomMessages.h"
#include "server/Standings.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace kelpo::server {

class RoomTable {
public:
    using SendFn = std::function<void(int connection, const QByteArray& message)>;
    // Asks the network side to close a connection; it must not report that
    // close back through connectionClosed.
    using CloseFn = std::function<void(int connection)>;

    // The clock must outlive the table.
    RoomTable(const RoomConfig& config, const TickClock& clock, SendFn send, CloseFn close);

    // address: where the connection comes from, as the peer's address text;
    // it decides which identity the connection may take.
    void connectionOpened(int connection, const QString& address = {});
    // One whole message from a connection. Anything unknown, malformed or
    // out of turn is ignored.
    void messageArrived(int connection, const QByteArray& message);
    // The peer went away, or its stream broke.
    void connectionClosed(int connection);
    // Time-outs: unidentified connections, bots' and overdue turns.
    void tick();

    // The accounts are kept there from now on; the store must outlive the
    // table. Without one they last as long as the table.
    void setAccounts(AccountStore* store) { standings_.setStore(store); }
    // Hands the store refuses wait in this file too, across a stop of the
    // server; see Standings::keepUnsavedIn.
    bool keepUnsavedHandsIn(const QString& path, QString& error, UnsavedFileRefusal* why = nullptr)
    {
        return standings_.keepUnsavedIn(path, error, why);
    }
    bool adoptUnsavedHandsFrom(const QString& path, QString& error, UnsavedFileRefusal* why = nullptr)
    {
        return standings_.adoptUnsavedFrom(path, error, why);
    }
    // Sends everyone the user list with the current figures. It changes no
    // seat and no hand on the clients.
    void sendStandings();

    // Told the name each time a connection takes an identity.
    void setJoinObserver(std::function<void(const QString& name)> observer) { joined_ = std::move(observer); }

    // Sells items from now on: each user who joins is sent the catalogue and
    // then the items the user owns, and purchases are answered. Without a
    // shop, item messages are ignored.
    void setShop(std::unique_ptr<ItemShop> shop) { shop_ = std::move(shop); }
    ItemShop* shop() const { return shop_.get(); }

    const Referee& referee() const { return referee_; }
    bool matchStarted() const { return matchStarted_; }
    bool settingsMade() const { return settingsMade_; }
    int handsFinished() const { return handsFinished_; }
    int stake() const { return table_.stake; }
    int escapePenalty() const { return table_.escapePenalty; }
    // The user a connection was given; empty before it identified.
    QString userOf(int connection) const;
    QString seatHolder(int seat) const;
    bool isHandUp(int seat) const { return IsSeat(seat) && seats_[seat].handUp; }
    bool isOffline(int seat) const;
    int liveConnections() const { return static_cast<int>(connections_.size()); }

private:
    struct Member {
        QString name;
        QString userId;
        // Only connections from there are given this identity.
        QString boundAddress;
        // Where the identity's last connection came from; a connection from
        // there gets it back before any other.
        QString lastAddress;
        bool spectator = false;
        // A player's own seat, or the seat a spectator watches.
        int seat = 0;
        int iconNumber = 0;
        int connection = -1;
        bool joined = false;
        // Declined or left: the identity is not given out again.
        bool left = false;
        bool allowWatch = false;
    };
    struct Seat {
        // Index into members_, or -1 while a bot holds the seat.
        int member = -1;
        QString botName;
        int botIcon = 0;
        bool handUp = false;
        // The member playing the seat when the hand started, -1 for a bot or
        // a player away: whose account the hand goes to.
        int playedBy = -1;
        // When a player asked to raise the hand is taken to have left; 0 when
        // nobody is asked.
        std::int64_t raiseDeadline = 0;
    };
    struct Connection {
        int member = -1;
        std::int64_t identifyDeadline = 0;
        QString address;
    };

    void identify(int connection, const QStringList& fields);
    void sendJoinSequence(int memberIndex, bool returning);
    void handleRoomMessage(Member& m, const QByteArray& message);
    void handleChat(const Member& m, const QByteArray& message);
    void ownerSettings(Member& m, const QStringList& fields);
    void agree(Member& m);
    void seatReady(int seat);
    void leave(int memberIndex);
    void dropped(int memberIndex);
    int chooseIdentity(const QString& address) const;
    void expectRaisedHand(int seat);
    // The same, only once another seat raised its hand: before that the
    // player's client shows no countdown and may wait as long as it likes.
    void expectRaisedHandOnceAnotherIs(int seat);
    void checkRaiseDeadlines();
    void closeConnection(int connection);

    void makeSettings(int stake, int escapePenalty, int ownerIndex);
    void raiseBotsAndStart();
    void startHand();
    void pumpReferee();
    void routeOutgoing(const Outgoing& out);
    void handEnded();
    void recordStandings();

    void sendTo(const Member& m, const QByteArray& message);
    void broadcast(const QByteArray& message, int exceptMember = -1);
    void sendToViewers(int seat, const QByteArray& message, bool toSpectators);

    UserInfo seatUser(int seat) const;
    UserInfo memberUser(int memberIndex) const;
    QList<UserInfo> everyone() const;
    QString settingsText() const;
    bool seatIsHuman(int seat) const;
    bool canSpectatorsSee(int seat) const;
    int ownerIndex() const;
    void giveSeatToBot(int seat);
    QString newBotName();

    RoomConfig config_;
    TableConfig table_;
    const TickClock& clock_;
    SendFn send_;
    CloseFn close_;
    std::function<void(const QString&)> joined_;
    std::unique_ptr<ItemShop> shop_;
    Referee referee_;
    std::vector<Member> members_;
    std::array<Seat, SeatCount> seats_;
    std::map<int, Connection> connections_;
    bool settingsMade_ = false;
    bool matchStarted_ = false;
    int handsFinished_ = 0;
    // A table of bots alone deals its next hand no sooner, so a spectator
    // sees each hand's end.
    std::int64_t nextBotHandAt_ = 0;
    Standings standings_;
    int botsNamed_ = 0;
};

} // namespace kelpo::server
