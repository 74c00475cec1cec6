#pragma once
// The game messages the server sends, byte for byte as the clients read them,
// and the reading of the actions the clients send.

#include "rules/Cards.h"
#include "server/HandScoring.h"
#include "server/TableConfig.h"
#include "server/TableState.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace kelpo::server {

// Message classes of the game side.
enum MessageClass : std::uint8_t {
    MsgHandsRefresh = 2,
    MsgHandStart = 17,
    MsgSeatReady = 18,
    MsgDeal = 19,
    MsgPlay = 20,
    MsgRefused = 21,
    MsgHandOver = 22,
    MsgTribute = 23,
    MsgSnapshot = 109,
};

inline constexpr int HandStartLength = 18;
// The next seat of the play that ends a hand. Nobody acts after it; a client
// clears the play area of the seat named to act, so naming the seat that
// played would take the hand's last play off every table.
inline constexpr int NobodyActs = 100;
inline constexpr int TributeLength = 10;

QByteArray BuildHandStart(const TableConfig& config, int actingSeat, Phase phase);

// The deal as viewSeat sees it: its own hand, and with a three-hand deal the
// hands of its two partners, (viewSeat + 2) and (viewSeat + 4) mod 6.
QByteArray BuildDeal(const std::array<CardList, SeatCount>& hands, int viewSeat, bool threeHand);

// The same three hands in the form of the refresh a client asks for when it
// finds itself to act with no cards.
QByteArray BuildHandsRefresh(const std::array<CardList, SeatCount>& hands, int viewSeat,
                             bool threeHand);

QByteArray BuildPlay(int nextSeat, Phase phase, int finishRank, int warnFlag, int seat,
                     const CardList& cards);

QByteArray BuildRefusal(const QString& reason);

// Result kind 1: the six results, then every seat's remaining cards.
QByteArray BuildHandOver(const SeatResults& results, const std::array<CardList, SeatCount>& hands);

QByteArray BuildTribute(int seat, CardCode card, int nextSeat, Phase phase,
                        const std::array<TributePair, 2>& pairs);

QByteArray BuildSeatReady(int seat);

// The table as a client joining mid-hand restores it (room message 109), seen
// from viewSeat; canSeeHand is the watched player's permission for a
// spectator (a player's client ignores it).
QByteArray BuildSnapshot(const TableState& table, int viewSeat, bool canSeeHand);
// The same message between hands: only the raised hands.
QByteArray BuildIdleSnapshot(const std::array<bool, SeatCount>& handsUp, bool canSeeHand);

// What a client asks the referee to do.
struct ClientAction {
    enum class Kind { Play, Tribute, NoCards, HandStartAck };
    Kind kind = Kind::Play;
    // For a play the cards (a single PassMarker for a pass), for a tribute
    // the one card given.
    CardList cards;
};

// Reads a client's game action. A short or inconsistent message, or one the
// referee does not take, gives nothing.
std::optional<ClientAction> ParseClientAction(const QByteArray& message);

} // namespace kelpo::server
