#pragma once
// Where everything sits on the table picture: seat and card anchors by view
// position, the places of the seat marks, the played-card rows, the buttons
// and the clock, and which hand card lies under a point. Pure functions of
// the layout, so the painters and the mouse handlers agree by construction.

#include "rules/Cards.h"
#include "state/ClientState.h"

#include <QPoint>
#include <QRect>

#include <cstdint>

namespace kelpo {

// Full-size cards (hand and plays).
inline constexpr int CardWidth = 80;
inline constexpr int CardHeight = 105;
inline constexpr int CardStep = 18;
inline constexpr int RaiseOffset = 24;
// Partner-hand cards, stacked downwards.
inline constexpr int SmallCardWidth = 62;
inline constexpr int SmallCardHeight = 90;
inline constexpr int SmallCardStep = 16;
// The keyboard's focus frame on a hand card, inside its rounded corners.
inline constexpr int FocusFrameInset = 3;
inline constexpr int FocusFrameThickness = 2;
inline constexpr std::uint32_t FocusFrameColour = 0xFFFF8C00u;

inline constexpr int SeatPictureSize = 32;
inline constexpr int PassMarkWidth = 95;
inline constexpr int PassMarkHeight = 45;
inline constexpr int RankMarkWidth = 66;
inline constexpr int RankMarkHeight = 25;
inline constexpr int OptionButtonWidth = 44;
inline constexpr int OptionButtonHeight = 24;
inline constexpr int OptionButtonPitch = 29;
inline constexpr int ActionButtonWidth = 61;
inline constexpr int ActionButtonHeight = 28;
inline constexpr int ActionButtonPitch = 69;
inline constexpr int TimeBarHeadWidth = 52;

// The view position of the viewed player; partner hands sit at 0 and 4.
inline constexpr int ViewBottom = 2;
inline constexpr int ViewTop = 5;
inline constexpr int ViewLeftPartner = 0;
inline constexpr int ViewRightPartner = 4;

enum class Alignment { Centre, Left, Right, None };
// Views 2 and 5 centre their plays, 0 and 1 align left, 3 and 4 right;
// anything else is no view at all.
Alignment AlignmentOf(int view);
inline bool IsView(int view) { return view >= 0 && view < SeatCount; }
// The view of a seat, or -1 for a seat or view out of range.
int ViewOfSeat(const ClientState& state, int seat);

// Image index of a card code: K, A, 2 ... Q within each image suit; jokers
// keep their code; codes above 53 give NoCardImage.
std::uint8_t CardImageIndex(CardCode code);

// Seat, name, network-break and ready anchors for a table picture of
// width sw and height sh, then the card layout.
void ComputeSeatLayout(TableLayout& layout, int sw, int sh, bool threeHand);
// Hand and play anchors, option-button origin and time-bar origin; needs
// SeatAnchor.
void ComputeCardLayout(TableLayout& layout, int sw, int sh, bool threeHand);

// Width of an overlapping row of n full-size cards.
inline int RowWidth(int n) { return (n - 1) * CardStep + CardWidth; }

// Left edge of the viewed hand of n cards.
int HandLeft(const TableLayout& layout, int n);

// Index 1..n of the hand card under (x, y), or -1. Flags missing at the end
// of selectedFlags count as lowered.
int HitTestHand(const TableLayout& layout, const CardList& hand, const CardList& selectedFlags, int x,
                int y);

// Places of one seat's play for its view: the pass mark, the card row and
// the count text, for a play of n cards.
struct PlayPlacement {
    QPoint passMark;
    QPoint cards;
    QPoint countText;
    QRect passArea; // what ClearSeatPlay restores for a pass
    QRect cardArea; // what ClearSeatPlay restores for cards and their count
};
// False for a view outside 0..5 or n < 1.
bool PlacePlay(const TableLayout& layout, int view, int n, PlayPlacement& out);

// Top-left corners of the seat marks by view; false for a view outside 0..5.
bool RankMarkPlace(const TableLayout& layout, int view, bool threeHand, QPoint& out);
bool WarnFlagPlace(const TableLayout& layout, int view, bool threeHand, QPoint& out);
bool CardCountPlace(const TableLayout& layout, int view, bool threeHand, QPoint& out);
bool ClockPlace(const TableLayout& layout, int view, bool threeHand, QPoint& out);

// Action buttons.
QRect OptionButtonRect(const TableLayout& layout, int i);
// Play buttons shown in a phase: 1 when leading, 2 when following, else 0.
int PlayButtonCount(std::uint8_t turnPhase);
QRect PlayButtonRect(const TableLayout& layout, std::uint8_t turnPhase, int i);
QRect TributeButtonRect(const TableLayout& layout);
// Hit tests are strict on all four edges.
int HitOptionButton(const TableLayout& layout, const ViewState& view, int x, int y);
int HitPlayButton(const TableLayout& layout, const ViewState& view, std::uint8_t turnPhase, int x, int y);
int HitTributeButton(const TableLayout& layout, const ViewState& view, int x, int y);
// Strictly inside: a point on the edge is outside.
bool StrictlyInside(const QRect& r, int x, int y);

} // namespace kelpo
