#pragma once
// Byte-exact readers of the game messages the server sends. Each reader
// checks the length rule of its class and every seat, count and card byte,
// and returns nothing when the message is to be ignored, so the handlers
// only ever see values they can use as they are.

#include "rules/Cards.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

namespace kelpo {

// Game message classes.
inline constexpr std::uint8_t MsgChatLine = 1;
inline constexpr std::uint8_t MsgHandsRefresh = 2;
inline constexpr std::uint8_t MsgCannotContinue = 5;
inline constexpr std::uint8_t MsgHandStart = 17;
inline constexpr std::uint8_t MsgSeatReady = 18;
inline constexpr std::uint8_t MsgDeal = 19;
inline constexpr std::uint8_t MsgPlay = 20;
inline constexpr std::uint8_t MsgPlayRefused = 21;
inline constexpr std::uint8_t MsgHandOver = 22;
inline constexpr std::uint8_t MsgTribute = 23;
inline constexpr std::uint8_t MsgSpectatorView = 113;
inline constexpr std::uint8_t MsgItems = 133;

// Highest number of packs the card state can hold: six packs already put
// 24 cards of one rank and 54 cards into every hand.
inline constexpr int MaxDeckCount = 6;

inline constexpr int CardsPerSeat(int deckCount) { return deckCount * 54 / 6; }

// Class 17. A hand start of another length than 18 still resets the table
// but carries no parameters.
struct HandStartMessage {
    bool hasParameters = false;
    std::uint8_t AutoPlayLimit = 0;
    // Present only when the byte names 1..MaxDeckCount packs.
    std::optional<std::uint8_t> DeckCount;
    std::uint8_t TableParam = 0;
    std::uint8_t TurnSeconds = 0;
    std::uint8_t TributeSeconds = 0;
    // Present only when the acting seat byte names a seat.
    std::optional<std::uint8_t> ActingSeat;
    std::uint8_t TurnPhase = 0;
    std::uint8_t ShowCardCounts = 0;
};
HandStartMessage ReadHandStart(const QByteArray& m);

// Class 19. Nothing for a message of 3 bytes or fewer. `fits` is false when
// the length matches neither deal form, and then only ThreeHandDeal counts.
struct DealMessage {
    std::uint8_t ThreeHandDeal = 0;
    bool fits = false;
    CardList hand;
    CardList partnerNext;
    CardList partnerFar;
};
std::optional<DealMessage> ReadDeal(const QByteArray& m, int deckCount);

// Class 20: a play or a pass (cards is the lone PassMarker) of a valid seat,
// exactly n + 8 bytes long. Card bytes that are no card are dropped.
struct PlayMessage {
    std::uint8_t ActingSeat = 0;
    std::uint8_t TurnPhase = 0;
    std::uint8_t finishRank = 0;
    std::uint8_t warnFlag = 0;
    std::uint8_t seat = 0;
    CardList cards;
};
std::optional<PlayMessage> ReadPlay(const QByteArray& m);

// Class 23. card is NoCardImage when the byte is no card. A pair naming a
// seat above 5 takes no part in the exchange.
struct TributeMessage {
    std::uint8_t seat = 0;
    CardCode card = NoCardImage;
    std::uint8_t ActingSeat = 0;
    std::uint8_t TurnPhase = 0;
    std::array<std::array<std::uint8_t, 2>, 2> pairs{};
};
std::optional<TributeMessage> ReadTribute(const QByteArray& m);

// Class 22. `detailed` is false for a message of 2 bytes or fewer. A seat
// whose remaining cards run past the end of the message, and every seat after
// it, has no entry in revealed.
struct HandOverMessage {
    bool detailed = false;
    std::uint8_t kind = 0;
    std::array<std::int32_t, 6> results{};
    std::array<std::optional<CardList>, 6> revealed;
    std::array<std::uint8_t, 2> ScoreCounters{};
};
HandOverMessage ReadHandOver(const QByteArray& m);

// Class 2. Nothing when a count runs past the message: a refresh replaces
// the hands, so half of one would leave them wrong.
struct HandsRefreshMessage {
    CardList hand;
    bool hasPartners = false;
    CardList partnerNext;
    CardList partnerFar;
};
std::optional<HandsRefreshMessage> ReadHandsRefresh(const QByteArray& m);

// Class 5.
struct CannotContinueMessage {
    std::uint8_t seat = 0;
    QString reason;
};
std::optional<CannotContinueMessage> ReadCannotContinue(const QByteArray& m);

// Class 18: the seat that raised its hand.
std::optional<std::uint8_t> ReadSeatReady(const QByteArray& m);

// Class 113: the flag byte.
std::optional<std::uint8_t> ReadSpectatorView(const QByteArray& m);

// Class 1: the eight fields (2..9) the chat control shows.
std::optional<QStringList> ReadChatLine(const QByteArray& m);

// Class 21: the reason text.
QString ReadPlayRefused(const QByteArray& m);

// Class 133 code 3: one user used an item on another.
struct ItemUseMessage {
    std::uint8_t fromUser = 0;
    std::uint8_t toUser = 0;
    std::int32_t itemId = 0;
};
std::optional<ItemUseMessage> ReadItemUse(const QByteArray& m);

// Class 133 code 2: the notice text.
QString ReadItemNotice(const QByteArray& m);

} // namespace kelpo
