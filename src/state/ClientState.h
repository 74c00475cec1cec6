#pragma once
// Everything one table client knows, as plain data. One ClientState is owned
// by the client object; a default-constructed one is the state of a client
// that has just started, so a test builds a fresh client in one line.
//
// Field names follow the game's own vocabulary on purpose: handlers, painters
// and the protocol notes all speak of `HandCards`, `TurnPhase`, `MySeat`.
// Every default member initialiser is the field's reset value.

#include "rules/Cards.h"
#include "state/ShopState.h"

#include <QPoint>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace kelpo {

// The "no seat" value of FirstLeader; also any seat byte >= SeatCount means
// nobody.
inline constexpr std::uint8_t NoSeat = 50;

// Values of TurnPhase.
inline constexpr std::uint8_t PhaseNone = 0;
inline constexpr std::uint8_t PhaseLead = 1;
inline constexpr std::uint8_t PhaseFollow = 2;
inline constexpr std::uint8_t PhaseTribute = 3;
inline constexpr std::uint8_t PhaseReturnTribute = 4;
inline constexpr std::uint8_t PhaseBetweenHands = 100;

struct LevelEntry {
    std::int32_t threshold = 0; // lowest score of the level
    QString name;
    friend bool operator==(const LevelEntry&, const LevelEntry&) = default;
};

// Filled from the command line at start-up and from the identity message.
struct ClientGlobals {
    QString ServerHost;
    QString ServerPort; // decimal text; converted when connecting
    QString GameName;
    QString LevelTableText;
    std::array<QString, 2> SpareArgs;
    QString UserName;
    std::uint8_t ScoreKind = 0; // 0: "经验", otherwise "积分"
    QString ViewedUserName;
    std::uint8_t MySeat = 0;
    bool IsSpectator = false;
    std::array<std::uint8_t, SeatCount> SeatViewPos{}; // seat -> view position
    QString AppPath; // program directory, always ending in "\"
    QString ParentPath; // the directory above it, ending in "\"
    bool QuitRequested = false;
    // Fixed names; start-up rebuilds them from these same values.
    std::array<QString, 5> UserClassNames{
        QStringLiteral("普通用户"), QStringLiteral("普通会员"), QStringLiteral("蓝钻会员"),
        QStringLiteral("红钻会员"), QStringLiteral("绿钻会员")};
    std::vector<LevelEntry> LevelTable;
};

// One of the six seats: who sits there and what they hold and played.
struct SeatRecord {
    QString name; // empty when the seat is free
    std::int32_t iconNumber = -1;
    bool isOffline = false;
    bool isHandUp = false;

    std::uint8_t cardsLeft = 0;
    CardList currentPlay; // a lone PassMarker is a pass
    CardList lastRoundPlay;
    CardList revealedCards;
    std::uint8_t finishRank = 0; // 0 = still playing, 1..5
    std::uint8_t warnFlag = 0;
};

// Where the hand is: whose turn, which phase, and the parameters the server
// sent with the hand start.
struct TableState {
    std::uint8_t ActingSeat = 0; // resets leave it alone
    std::uint8_t TurnPhase = PhaseNone;
    std::uint8_t MatchStarted = 0;
    bool NoHandInPlay = true;
    bool StartOffered = false;
    std::uint8_t CanSeeHand = 1;
    std::uint8_t ThreeHandDeal = 0;
    std::uint8_t AutoPlayLimit = 5;
    std::uint8_t AutoPlayCount = 0; // automatic plays of the local player this hand
    // The player has been told that he escaped; the client is on its way out
    // and acts for him no more, whatever hand the table moves on to.
    bool Escaped = false;
    // Hand starts handled so far: a handler that waited can tell that a new
    // hand began meanwhile.
    std::uint32_t HandStarts = 0;
    // Hand overs handled so far: a handler that paused can tell that the
    // hand ended meanwhile, its result panel now on the table.
    std::uint32_t HandOvers = 0;
    // Turns applied so far: a handler that waited does not apply the turn
    // again when a message handled meanwhile applied the table's turn, which
    // would restart that turn's clock.
    std::uint32_t TurnsApplied = 0;
    std::uint8_t DeckCount = 2;
    std::uint8_t TableParam = 0; // sent with the hand start, kept but never used
    std::uint8_t TurnSeconds = 30;
    std::uint8_t TributeSeconds = 15;
    std::uint8_t ShowCardCounts = 0;
    std::array<std::uint8_t, 2> ScoreCounters{};
};

// The cards the client sees: the viewed hand and its selection, the partner
// hands of a three-hand deal, and the play to beat.
struct CardState {
    CardList HandCards;
    CardList SelectedFlags; // 1 = raised, one per position of HandCards
    CardList SelectedCards; // raised cards in hand order, gathered before an action
    CardList SavedHand; // hand as it was before an outstanding play
    CardList PartnerHandNext; // seat (MySeat + 2) mod 6
    CardList PartnerHandFar; // seat (MySeat + 4) mod 6
    kelpo::RoundBest RoundBest;
    std::uint8_t FirstLeader = NoSeat;
    bool FirstLeadDone = false;
    bool RankSortMode = true; // false: count order
};

// Anchors of the table drawing, by view position; recomputed whenever the
// table picture changes size or the deal changes the layout.
struct TableLayout {
    std::array<QPoint, SeatCount> SeatAnchor{};
    std::array<QPoint, SeatCount> NameAnchor{};
    std::array<QPoint, SeatCount> NetBreakAnchor{};
    std::array<QPoint, SeatCount> ReadyAnchor{};
    std::array<QPoint, SeatCount> PlayAnchor{};
    std::array<QPoint, SeatCount> HandAnchor{};
    int OptionButtonX = 0;
    int OptionButtonY = 0;
    int TimeBarX = 15;
    int TimeBarY = 15;
    int TimeBarWidth = 120;
};

// What the table view shows besides the cards: the buttons drawn on the
// table (0 hidden, 1 and 2 shown, 2 under the pointer) and view flags.
struct ViewState {
    std::array<std::uint8_t, 2> OptionButtonState{}; // previous round, re-sort
    std::array<std::uint8_t, 2> PlayButtonState{}; // play, pass
    std::array<std::uint8_t, 1> TributeButtonState{}; // give / return
    std::array<QString, 2> OptionButtonTooltip{QStringLiteral(" 上一轮 "),
                                               QStringLiteral(" 重新排序 ")};
    // False only while the whole table is being repainted onto a cleared picture.
    bool IncrementalPaint = true;
    bool BombPlaying = false; // table and splitter ignore the mouse meanwhile
    std::int32_t ClockTicks = 0; // seconds elapsed in the current turn
    // The hand card the keyboard points at, 1-based; 0 until a key moves it.
    int HandFocus = 0;
    TableLayout Layout;
};

// 1 = on, 0 = off; these are also the values used when UserSet.ini is
// missing or unreadable.
struct Preferences {
    std::uint8_t AllowWatchCards = 0;
    std::uint8_t SoundOn = 1;
    std::uint8_t ShowInOutMsg = 1;
    std::uint8_t AskForceQuit = 1;
    std::uint8_t WarnBadPlay = 1;
};

struct ClientState {
    ClientGlobals globals;
    std::array<SeatRecord, SeatCount> seats;
    TableState table;
    CardState cards;
    ViewState view;
    Preferences prefs;
    // The item catalogue and owned items.
    ShopState shop;

    // Seat by a byte from the network or the state: nullptr when out of range.
    SeatRecord* seat(int s);
    const SeatRecord* seat(int s) const;
    // The hand card the keyboard points at: HandFocus, or the last card once
    // cards have left the hand from under it; 0 when there is none.
    int handFocus() const;
};

} // namespace kelpo
