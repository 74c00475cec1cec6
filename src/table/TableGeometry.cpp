#include "table/TableGeometry.h"

#include <algorithm>

namespace kelpo {

Alignment AlignmentOf(int view)
{
    switch (view) {
    case 2:
    case 5:
        return Alignment::Centre;
    case 0:
    case 1:
        return Alignment::Left;
    case 3:
    case 4:
        return Alignment::Right;
    default:
        return Alignment::None;
    }
}

int ViewOfSeat(const ClientState& state, int seat)
{
    if (seat < 0 || seat >= SeatCount)
        return -1;
    const int view = state.globals.SeatViewPos[static_cast<std::size_t>(seat)];
    return IsView(view) ? view : -1;
}

std::uint8_t CardImageIndex(CardCode code)
{
    if (code > HighestCard)
        return NoCardImage;
    if (code == SmallJoker || code == BigJoker)
        return code;
    static constexpr int ImageSuit[4] = {0, 2, 3, 1};
    const int suit = code / 13;
    const int rank = code % 13;
    const int imageRank = rank < 10 ? rank + 3 : rank - 10;
    return static_cast<std::uint8_t>(ImageSuit[suit] * 13 + imageRank);
}

void ComputeSeatLayout(TableLayout& L, int sw, int sh, bool threeHand)
{
    auto& S = L.SeatAnchor;
    S[5] = {(sw - 32) / 2, 9};
    if (threeHand) {
        S[0] = {89, 290};
        S[1] = {89, 380};
    } else {
        S[0] = {9, (sh - 32) / 2 - 150};
        S[1] = {9, (sh - 32) / 2};
    }
    S[2] = {S[5].x(), sh - 42};
    S[3] = {threeHand ? sw - 32 - 89 : sw - 50, S[1].y()};
    S[4] = {S[3].x(), S[0].y()};

    auto& N = L.NameAnchor;
    auto& B = L.NetBreakAnchor;
    auto& R = L.ReadyAnchor;
    for (int v : {5, 2}) {
        const int x = S[v].x(), y = S[v].y();
        N[v] = {x + 35, y + 8};
        B[v] = {x - 40, y};
        R[v] = {x - 16, v == 5 ? y + 40 : y - 40};
    }
    for (int v : {0, 1}) {
        const int x = S[v].x(), y = S[v].y();
        N[v] = {x, y + 35};
        if (threeHand) {
            B[v] = {v == 0 ? x + 50 : x - 35, y};
            R[v] = {x + 70, v == 0 ? y - 85 : y};
        } else {
            B[v] = {x, v == 0 ? y - 32 : y + 60};
            R[v] = {x + 50, y};
        }
    }
    // The right side mirrors the left: view 3 takes its heights from view 1,
    // view 4 from view 0.
    for (int v : {3, 4}) {
        const int x = S[v].x(), y = S[v].y();
        const int mirror = v == 3 ? 1 : 0;
        N[v] = {x - 10, y + 35};
        if (threeHand) {
            B[v] = {v == 3 ? x + 35 : x - 50, B[mirror].y()};
            R[v] = {x - 100, R[mirror].y()};
        } else {
            B[v] = {x, B[mirror].y()};
            R[v] = {x - 100, y};
        }
    }
    ComputeCardLayout(L, sw, sh, threeHand);
}

void ComputeCardLayout(TableLayout& L, int sw, int sh, bool threeHand)
{
    const auto& S = L.SeatAnchor;
    auto& P = L.PlayAnchor;
    auto& H = L.HandAnchor;
    H[2] = {S[2].x() + 16, S[2].y() - CardHeight - 6};
    if (threeHand) {
        P[5] = {S[5].x() + 16, S[5].y() + 60};
        P[2] = {H[2].x(), H[2].y() - CardHeight - 24};
        P[0] = {S[0].x() + 55, P[5].y() + CardHeight + 16};
        P[1] = {P[0].x(), P[0].y() + 80 + CardHeight};
        P[3] = {S[3].x() - 20, P[1].y()};
    } else {
        P[5] = {S[5].x() + 16, S[5].y() + 50};
        P[2] = {H[2].x(), H[2].y() - CardHeight - 34};
        P[0] = {S[0].x() + 102, P[5].y() + CardHeight + 10};
        P[1] = {P[0].x(), P[0].y() + 10 + CardHeight};
        P[3] = {S[3].x() - 102, P[1].y()};
    }
    P[4] = {P[3].x(), P[0].y()};
    // Two option buttons, the upper bound of their state array being 1.
    L.OptionButtonX = sw - OptionButtonWidth - 10;
    L.OptionButtonY = sh - (1 * OptionButtonPitch + OptionButtonPitch) - 7;
    L.TimeBarX = 15;
    L.TimeBarY = 15;
    L.TimeBarWidth = 120;
}

int HandLeft(const TableLayout& layout, int n)
{
    return layout.HandAnchor[2].x() - RowWidth(n) / 2;
}

int HitTestHand(const TableLayout& layout, const CardList& hand, const CardList& flags, int x, int y)
{
    const int n = hand.count();
    if (n < 1)
        return -1;
    const int top = layout.HandAnchor[2].y();
    const int width = RowWidth(n);
    const int left = layout.HandAnchor[2].x() - width / 2;
    const int right = left + width;
    if (x < left || x > right || y < top - RaiseOffset || y > top + CardHeight)
        return -1;
    const int k = std::min((x - left) / CardStep + 1, n);
    auto raised = [&](int i) { return flags.contains(i) && flags.at(i) != 0; };
    // The part of the hand where a card shows depends on whether it is raised:
    // above the lowered tops only raised cards show, in the bottom band only
    // lowered ones; a card covered there may still show its edge further left.
    bool wantRaised;
    if (y < top) {
        if (raised(k))
            return k;
        wantRaised = true;
    } else if (y < top + CardHeight - RaiseOffset) {
        return k;
    } else {
        if (!raised(k))
            return k;
        wantRaised = false;
    }
    int j = k - 1;
    while (j >= 1 && raised(j) != wantRaised)
        --j;
    const int cover = CardWidth / CardStep;
    if (j < 1 || k - j >= cover)
        return -1;
    return j;
}

bool PlacePlay(const TableLayout& layout, int view, int n, PlayPlacement& out)
{
    if (!IsView(view) || n < 1)
        return false;
    const int ax = layout.PlayAnchor[view].x();
    const int ay = layout.PlayAnchor[view].y();
    const int w = RowWidth(n);
    constexpr int passTop = (CardHeight - PassMarkHeight) / 2;
    switch (AlignmentOf(view)) {
    case Alignment::Centre:
        out.passMark = {ax - PassMarkWidth / 2, ay + passTop};
        out.cards = {ax - w / 2, ay};
        out.countText = {ax + w / 2 + 2, ay + 35};
        out.cardArea = QRect(out.cards.x(), view == 2 ? ay - 1 : ay, w + 45, 107);
        break;
    case Alignment::Left:
        out.passMark = {ax + (CardWidth - PassMarkWidth) / 2 + 20, ay + passTop};
        out.cards = {ax, ay};
        out.countText = {ax + w - 1, ay + 35};
        out.cardArea = QRect(ax, ay, w + 45, CardHeight);
        break;
    case Alignment::Right:
        out.passMark = {ax - (CardWidth - PassMarkWidth) / 2 - PassMarkWidth - 20, ay + passTop};
        out.cards = {ax - w, ay};
        out.countText = {ax - w - 42, ay + 35};
        out.cardArea = QRect(ax - w - 47, ay, w + 47, CardHeight);
        break;
    case Alignment::None:
        return false;
    }
    out.passArea = QRect(out.passMark, QSize(PassMarkWidth + 2, PassMarkHeight + 2));
    return true;
}

namespace {

struct Offset {
    int dx, dy;
};

// Per-view offsets from SeatAnchor for the standard and three-hand layouts.
using OffsetTable = Offset[SeatCount][2];

bool Place(const TableLayout& layout, int view, bool threeHand, const OffsetTable& t, QPoint& out)
{
    if (!IsView(view))
        return false;
    const Offset& o = t[view][threeHand ? 1 : 0];
    out = layout.SeatAnchor[view] + QPoint(o.dx, o.dy);
    return true;
}

// The cell is centred under the seat picture: x + 16 - 33.
constexpr int CentredCell = 16 - 33;

} // namespace

bool RankMarkPlace(const TableLayout& layout, int view, bool threeHand, QPoint& out)
{
    static constexpr OffsetTable t = {
        {{60, 0}, {80, -80}},
        {{60, 0}, {80, 0}},
        {{CentredCell, -40}, {CentredCell, -40}},
        {{-66 - 30, 0}, {-66 - 40, 0}},
        {{-66 - 30, 0}, {-66 - 40, -80}},
        {{CentredCell, 60}, {CentredCell, 60}},
    };
    return Place(layout, view, threeHand, t, out);
}

bool WarnFlagPlace(const TableLayout& layout, int view, bool threeHand, QPoint& out)
{
    static constexpr OffsetTable t = {
        {{0, 75}, {85, 0}},
        {{0, 105}, {0, 75}},
        {{200, -2}, {200, -2}},
        {{0, 105}, {0, 75}},
        {{0, 75}, {-85, 0}},
        {{130, 0}, {110, 0}},
    };
    return Place(layout, view, threeHand, t, out);
}

bool CardCountPlace(const TableLayout& layout, int view, bool threeHand, QPoint& out)
{
    static constexpr OffsetTable t = {
        {{0, 62}, {55, -15}},
        {{0, 90}, {0, 60}},
        {{136, 5}, {136, 5}},
        {{-20, 0}, {-10, 0}}, // height taken from view 1 below
        {{-20, 62}, {-80, -15}},
        {{-16, 35}, {-16, 33}},
    };
    if (!Place(layout, view, threeHand, t, out))
        return false;
    if (view == 3)
        out.setY(layout.SeatAnchor[1].y() + (threeHand ? 60 : 90));
    return true;
}

bool ClockPlace(const TableLayout& layout, int view, bool threeHand, QPoint& out)
{
    static constexpr OffsetTable t = {
        {{60, 0}, {80, -85}},
        {{60, 0}, {80, 0}},
        {{-90, -5}, {240, -5}},
        {{-30 - 66, 0}, {-30 - 66, 0}},
        {{-30 - 66, 0}, {-30 - 66, -85}},
        {{CentredCell, 60}, {CentredCell, 60}},
    };
    return Place(layout, view, threeHand, t, out);
}

bool StrictlyInside(const QRect& r, int x, int y)
{
    return x > r.x() && x < r.x() + r.width() && y > r.y() && y < r.y() + r.height();
}

QRect OptionButtonRect(const TableLayout& layout, int i)
{
    return QRect(layout.OptionButtonX, layout.OptionButtonY + i * OptionButtonPitch, OptionButtonWidth,
                 OptionButtonHeight);
}

int PlayButtonCount(std::uint8_t turnPhase)
{
    return turnPhase == PhaseLead ? 1 : turnPhase == PhaseFollow ? 2 : 0;
}

QRect PlayButtonRect(const TableLayout& layout, std::uint8_t turnPhase, int i)
{
    const int k = PlayButtonCount(turnPhase);
    const QPoint a = layout.PlayAnchor[2];
    const int left = a.x() - (k * ActionButtonWidth + (k - 1) * 8) / 2;
    return QRect(left + i * ActionButtonPitch, a.y() + (CardHeight - ActionButtonHeight) / 2,
                 ActionButtonWidth, ActionButtonHeight);
}

QRect TributeButtonRect(const TableLayout& layout)
{
    const QPoint a = layout.PlayAnchor[2];
    return QRect(a.x() - 30, a.y() + 38, ActionButtonWidth, ActionButtonHeight);
}

int HitOptionButton(const TableLayout& layout, const ViewState& view, int x, int y)
{
    if (view.OptionButtonState[0] == 0)
        return -1;
    for (int i = 0; i < 2; ++i) {
        if (StrictlyInside(OptionButtonRect(layout, i), x, y))
            return i;
    }
    return -1;
}

int HitPlayButton(const TableLayout& layout, const ViewState& view, std::uint8_t turnPhase, int x, int y)
{
    if (view.PlayButtonState[0] == 0)
        return -1;
    const int k = PlayButtonCount(turnPhase);
    for (int i = 0; i < k; ++i) {
        if (StrictlyInside(PlayButtonRect(layout, turnPhase, i), x, y))
            return i;
    }
    return -1;
}

int HitTributeButton(const TableLayout& layout, const ViewState& view, int x, int y)
{
    if (view.TributeButtonState[0] == 0)
        return -1;
    return StrictlyInside(TributeButtonRect(layout), x, y) ? 0 : -1;
}

} // namespace kelpo
