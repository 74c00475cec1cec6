// The viewed hand, the partner hands and rows of played cards.

#include "platform/Raster.h"
#include "rules/CardOrder.h"
#include "table/TablePainter.h"

#include <utility>

namespace kelpo {

namespace {

const QString FullMask = QStringLiteral("Res\\ResPk\\PkMask.bmp");
const QString FullBack = QStringLiteral("Res\\PkBack.bmp");
const QString SmallMask = QStringLiteral("Res\\ResPK_DJ\\PkMask.bmp");
const QString SmallBack = QStringLiteral("Res\\ResPK_DJ\\PkBack.bmp");
constexpr int MarkedCardImage = 100;

// Card file names by image index, built once: the hand asks for them on
// every drawing.
QString FullFace(int index)
{
    static const auto names = [] {
        std::array<QString, MarkedCardImage + 1> n;
        for (int i = 0; i <= MarkedCardImage; ++i)
            n[static_cast<std::size_t>(i)] = QStringLiteral("Res\\ResPk\\Pk%1.bmp").arg(i);
        return n;
    }();
    return index >= 0 && index <= MarkedCardImage ? names[static_cast<std::size_t>(index)]
                                                  : QStringLiteral("Res\\ResPk\\Pk%1.bmp").arg(index);
}
QString SmallFace(int index) { return QStringLiteral("Res\\ResPK_DJ\\Pk%1.bmp").arg(index); }

// A card picture or mask smaller than a card cannot be drawn at card size.
bool Fits(const QImage& image, int w, int h)
{
    const QSizeF size = image.deviceIndependentSize();
    return !image.isNull() && size.width() >= w && size.height() >= h;
}

// Rows and columns of a card mask that hide nothing, so a card drawn with
// it covers the whole row or column; a large mask's row or column is opaque
// when all its pixel rows or columns are. Remembered for the last mask seen.
struct OpaqueLines {
    std::vector<bool> rows;
    std::vector<bool> columns;
};
const OpaqueLines& OpaqueLinesOf(const QImage& mask)
{
    static qint64 key = 0;
    static OpaqueLines lines;
    if (key != mask.cacheKey() || lines.rows.size() != static_cast<std::size_t>(CardHeight)) {
        key = mask.cacheKey();
        const int s = static_cast<int>(mask.devicePixelRatio());
        const bool fits = CardWidth * s <= mask.width() && CardHeight * s <= mask.height();
        lines.rows.assign(CardHeight, fits);
        lines.columns.assign(CardWidth, fits);
        for (int y = 0; y < CardHeight * s && fits; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
            for (int x = 0; x < CardWidth * s; ++x) {
                if ((line[x] & 0x00FFFFFFu) != 0) {
                    lines.rows[static_cast<std::size_t>(y / s)] = false;
                    lines.columns[static_cast<std::size_t>(x / s)] = false;
                }
            }
        }
    }
    return lines;
}

void PaintCardClipped(Picture& dst, const QRect& clip, QPoint at, const QImage& card, const QImage& mask)
{
    const QRect r = clip.intersected(QRect(at, QSize(CardWidth, CardHeight)));
    if (r.isEmpty())
        return;
    const int sx = r.x() - at.x();
    const int sy = r.y() - at.y();
    dst.maskedTransfer(r.x(), r.y(), r.width(), r.height(), card, sx, sy, mask, sx, sy);
}

} // namespace

int TablePainter::HandImageIndexAt(int i) const
{
    const CardState& c = state.cards;
    if (state.table.CanSeeHand == 0)
        return -1;
    const CardCode code = c.HandCards.at(i);
    // The first leader's card 0 is shown marked until the first lead is made.
    if (i == c.HandCards.count() && code == 0 && state.globals.MySeat == c.FirstLeader && !c.FirstLeadDone)
        return MarkedCardImage;
    return CardImageIndex(code);
}

QImage TablePainter::HandCardImage(const HandCardPlace& place)
{
    if (place.image == NoCardImage)
        return {};
    return AppImage(place.image < 0 ? FullBack : FullFace(place.image));
}

QRect TablePainter::HandBand() const
{
    const QPoint anchor = state.view.Layout.HandAnchor[2];
    const int full = RowWidth(state.table.DeckCount * 54 / 6);
    return QRect(anchor.x() - full / 2, anchor.y() - RaiseOffset, full + 1, CardHeight + 25);
}

void TablePainter::KeepHandOver(const QRect& restored)
{
    if (state.view.IncrementalPaint && !state.table.NoHandInPlay && restored.intersects(HandBand()))
        DrawHand();
}

void TablePainter::DrawHand()
{
    ImageFileCache::Batch batch(images_);
    Picture::ChangeBatch changes(picGameBack);
    const TableLayout& L = state.view.Layout;
    const QPoint anchor = L.HandAnchor[2];
    const QRect band = HandBand();
    const HandPicture old = std::exchange(hand_, HandPicture{});

    const QImage mask = AppImage(FullMask);
    CardState& c = state.cards;
    const int n = c.HandCards.count();
    if (!Fits(mask, CardWidth, CardHeight) || n == 0) {
        RestoreBack(band.x(), band.y(), band.width(), band.height());
        return;
    }
    if (c.SelectedFlags.count() != n)
        c.SelectedFlags.resize(n);

    hand_.cards = c.HandCards.codes();
    hand_.faces = state.table.CanSeeHand != 0;
    hand_.anchor = anchor;
    hand_.places.resize(static_cast<std::size_t>(n));
    hand_.mask = mask;
    hand_.scale = Scale();
    hand_.appPath = state.globals.AppPath;
    hand_.files = images_.generation();
    hand_.band = band;
    hand_.ground = picSaveGameBack.key();
    // Pictures of the cards still in the hand are the last drawing's while
    // the cache reports no change.
    const bool sameFiles = old.valid && old.files == hand_.files && old.scale == hand_.scale &&
                           old.appPath == hand_.appPath;
    std::vector<FanCard> fan;
    std::vector<int> from; // each fan card's place in the last drawing, or -1
    // A hand keeps its order when cards leave it: each card is looked for
    // after the last one found.
    std::size_t next = 0;
    int x = HandLeft(L, n);
    for (int i = 1; i <= n; ++i) {
        HandCardPlace& place = hand_.places[static_cast<std::size_t>(i - 1)];
        place.image = HandImageIndexAt(i);
        place.x = x;
        const CardCode code = hand_.cards[static_cast<std::size_t>(i - 1)];
        int before = -1;
        for (std::size_t k = next; k < old.cards.size(); ++k) {
            if (old.cards[k] == code) {
                before = static_cast<int>(k);
                next = k + 1;
                break;
            }
        }
        const HandCardPlace* kept = before >= 0 ? &old.places[static_cast<std::size_t>(before)] : nullptr;
        if (sameFiles && kept && kept->image == place.image) {
            place.file = kept->file;
            place.device = kept->device;
        } else {
            place.file = HandCardImage(place);
        }
        if (!Fits(place.file, CardWidth, CardHeight))
            continue;
        place.raised = c.SelectedFlags.at(i) != 0;
        place.focus = i == state.handFocus();
        const int y = anchor.y() - (place.raised ? RaiseOffset : 0);
        fan.push_back({QPoint(x, y), place.file, place.focus});
        from.push_back(before);
        place.drawn = true;
        x += CardStep;
    }
    hand_.valid = true;
    if (!MoveHand(old, fan, from)) {
        RestoreBack(band.x(), band.y(), band.width(), band.height());
        const QRect all(0, 0, picGameBack.width(), picGameBack.height());
        for (std::size_t k = 0; k < fan.size(); ++k)
            PaintFanCard(fan, k, all, mask);
    }
    hand_.mark = picGameBack.writeMark();
}

bool TablePainter::MoveHand(const HandPicture& old, const std::vector<FanCard>& fan, const std::vector<int>& from)
{
    // The band must hold the last drawing and nothing else, over the same
    // ground, with every card drawn and lowered, inside the band: then what
    // lies above and below the cards is ground before and after.
    const HandPicture& now = hand_;
    const QRect& band = now.band;
    const int n = static_cast<int>(fan.size());
    const int m = static_cast<int>(old.places.size());
    if (!old.valid || m == 0 || n != static_cast<int>(now.places.size()) || old.band != band ||
        old.anchor != now.anchor || old.scale != now.scale || old.ground != now.ground ||
        old.mask.cacheKey() != now.mask.cacheKey() ||
        !QRect(0, 0, picGameBack.width(), picGameBack.height()).contains(band))
        return false;
    QRect restored;
    if (!picGameBack.onlyRestoredSince(band, old.mark, restored) || !restored.isEmpty())
        return false;
    const auto lowered = [&](const std::vector<HandCardPlace>& places) {
        for (const HandCardPlace& p : places) {
            if (!p.drawn || p.raised)
                return false;
        }
        return places.front().x >= band.left() && places.back().x + CardWidth <= band.right() + 1;
    };
    if (!lowered(old.places) || !lowered(now.places))
        return false;

    // Each column of the new fan is told apart by its last card. It moves
    // with that card from where the card was, if it was the last card of
    // its column there too: whole where the mask keeps the card's column
    // (the card alone shows), or where the column shows the same cards
    // under it and a card of them keeps its column (no ground shows);
    // otherwise only in the rows the mask keeps whole, the corners being
    // painted again.
    struct Card {
        int from;     // index in the last drawing, or -1
        bool linked;  // the card before it was the one before it then, alike
    };
    std::vector<Card> cards(static_cast<std::size_t>(n));
    for (int j = 0; j < n; ++j) {
        const int i = from[static_cast<std::size_t>(j)];
        const bool alike = i >= 0 && now.places[static_cast<std::size_t>(j)].file.cacheKey() ==
                                         old.places[static_cast<std::size_t>(i)].file.cacheKey() &&
                           now.places[static_cast<std::size_t>(j)].focus == old.places[static_cast<std::size_t>(i)].focus;
        cards[static_cast<std::size_t>(j)].from = alike ? i : -1;
        cards[static_cast<std::size_t>(j)].linked =
            j > 0 && alike && cards[static_cast<std::size_t>(j - 1)].from == i - 1 && i > 0;
    }
    const std::vector<bool>& whole = OpaqueLinesOf(now.mask).columns;
    const int newLeft = now.places.front().x;
    const int oldLeft = old.places.front().x;
    const int newRight = newLeft + RowWidth(n);
    const int oldRight = oldLeft + RowWidth(m);
    // The first card covering column x of a fan.
    const auto firstOver = [](int x, int left) { return x - left < CardWidth ? 0 : (x - left - CardWidth) / CardStep + 1; };

    enum Kind { Kept, Whole, Moved, Corners, Cleared, Painted };
    struct Run {
        Kind kind;
        int d; // the move, for Whole and Moved
        int x0;
        int x1; // inclusive
    };
    std::vector<Run> runs;
    runs.reserve(16);
    const auto add = [&runs](Kind kind, int d, int x0, int x1) { // columns x0..x1
        if (x0 > x1)
            return;
        if (kind != Whole && kind != Moved)
            d = 0;
        if (!runs.empty() && runs.back().kind == kind && runs.back().d == d)
            runs.back().x1 = x1;
        else
            runs.push_back({kind, d, x0, x1});
    };
    // Columns the new fan leaves free: restored where the old one lay.
    const auto vacated = [&](int x0, int x1) {
        add(Kept, 0, x0, std::min(x1, oldLeft - 1));
        add(Cleared, 0, std::max(x0, oldLeft), std::min(x1, oldRight - 1));
        add(Kept, 0, std::max(x0, oldRight), x1);
    };
    vacated(band.left(), newLeft - 1);
    for (int hi = 0; hi < n; ++hi) {
        const int at = newLeft + hi * CardStep;
        const int width = hi == n - 1 ? CardWidth : CardStep;
        const int i = cards[static_cast<std::size_t>(hi)].from;
        if (i < 0) {
            add(Painted, 0, at, at + width - 1);
            continue;
        }
        const int d = at - (oldLeft + i * CardStep);
        // Where the card showed as the last of its columns before.
        const int shown = std::min(width, i == m - 1 ? CardWidth : CardStep);
        for (int u = 0; u < shown; ++u) {
            const int x = at + u;
            if (whole[static_cast<std::size_t>(u)]) {
                add(d == 0 ? Kept : Whole, d, x, x);
                continue;
            }
            const int lo = firstOver(x, newLeft);
            bool same = firstOver(x - d, oldLeft) == i - (hi - lo);
            bool covered = false;
            for (int j = hi; j > lo && same; --j) {
                same = cards[static_cast<std::size_t>(j)].linked;
                covered = covered || whole[static_cast<std::size_t>(x - newLeft - (j - 1) * CardStep)];
            }
            if (same && (d == 0 || covered))
                add(d == 0 ? Kept : Whole, d, x, x);
            else
                add(d == 0 ? Corners : Moved, d, x, x);
        }
        add(Painted, 0, at + shown, at + width - 1);
    }
    vacated(newRight, band.right());

    const std::vector<bool>& opaque = OpaqueLinesOf(now.mask).rows;
    std::vector<std::pair<int, int>> solid, corners; // card rows [first, end)
    for (int r = 0; r < CardHeight;) {
        int e = r;
        while (e < CardHeight && opaque[static_cast<std::size_t>(e)] == opaque[static_cast<std::size_t>(r)])
            ++e;
        (opaque[static_cast<std::size_t>(r)] ? solid : corners).emplace_back(r, e);
        r = e;
    }
    const int top = now.anchor.y();
    // Neighbouring runs that go the same way are handled as one: a column
    // moved whole whose corners are painted again anyway, or a few columns
    // painted again between others (slack), cost less than one more call.
    const auto spans = [&](auto belongs, int slack) {
        std::vector<Run> out;
        for (const Run& r : runs) {
            if (!belongs(r))
                continue;
            if (!out.empty() && (slack > 0 || out.back().d == r.d) && r.x0 - out.back().x1 <= slack + 1)
                out.back().x1 = r.x1;
            else
                out.push_back(r);
        }
        return out;
    };
    const std::vector<Run> moves = spans([](const Run& r) { return r.kind == Whole || r.kind == Moved; }, 0);
    // Columns map to their sources in order, and a move's offset shrinks
    // from left to right: moves to the left are made from the left, moves
    // to the right from the right, and none overwrites a source not yet
    // read.
    for (const Run& r : moves) {
        if (r.d < 0)
            picGameBack.moveBlock(r.x0 - r.d, top, r.x1 - r.x0 + 1, CardHeight, r.d, 0);
    }
    for (auto r = moves.rbegin(); r != moves.rend(); ++r) {
        if (r->d > 0)
            picGameBack.moveBlock(r->x0 - r->d, top, r->x1 - r->x0 + 1, CardHeight, r->d, 0);
    }
    // Then the corners of the columns that moved without them or whose
    // cards changed, and the columns that lost their cards or gained a new
    // last one.
    for (Run r : spans([](const Run& r) { return r.kind == Moved || r.kind == Corners || r.kind == Painted; },
                       CardWidth)) {
        for (const auto& [a, b] : corners)
            RepaintHandPart(fan, QRect(r.x0, top + a, r.x1 - r.x0 + 1, b - a), now.mask);
    }
    for (const Run& r : runs) {
        const int w = r.x1 - r.x0 + 1;
        if (r.kind == Cleared) {
            RestoreBack(r.x0, top, w, CardHeight);
        } else if (r.kind == Painted) {
            for (const auto& [a, b] : solid)
                RepaintHandPart(fan, QRect(r.x0, top + a, w, b - a), now.mask);
        }
    }
    return true;
}

void TablePainter::RepaintHandPart(const std::vector<FanCard>& fan, const QRect& clip, const QImage& mask)
{
    RestoreBack(clip.x(), clip.y(), clip.width(), clip.height());
    for (std::size_t k = 0; k < fan.size(); ++k) {
        if (fan[k].at.x() <= clip.right() && fan[k].at.x() + CardWidth > clip.left())
            PaintFanCard(fan, k, clip, mask);
    }
}

bool TablePainter::HandFilesCurrent()
{
    const std::uint64_t files = images_.generation();
    if (files == hand_.files)
        return true;
    // Something changed on disk, or the cache cannot tell: the pictures
    // still hold when every file gives the very image drawn.
    if (AppImage(FullMask).cacheKey() != hand_.mask.cacheKey())
        return false;
    for (const HandCardPlace& place : hand_.places) {
        if (HandCardImage(place).cacheKey() != place.file.cacheKey())
            return false;
    }
    hand_.files = files;
    return true;
}

const TablePainter::HandMask& TablePainter::HandMaskFor(const QImage& mask)
{
    const int s = Scale();
    if (handMask_.source != mask.cacheKey() || handMask_.scale != s) {
        handMask_.source = mask.cacheKey();
        handMask_.scale = s;
        handMask_.device = DeviceImage(mask);
        handMask_.runs = MaskBlackRuns(handMask_.device);
        const std::vector<bool>& opaque = OpaqueLinesOf(mask).rows;
        handMask_.opaque.assign(opaque.begin(), opaque.end());
        handMask_.edges = {0};
        for (int row = 1; row < CardHeight; ++row) {
            if (opaque[static_cast<std::size_t>(row)] != opaque[static_cast<std::size_t>(row - 1)])
                handMask_.edges.push_back(row);
        }
        handMask_.edges.push_back(CardHeight);
    }
    return handMask_;
}

void TablePainter::PaintFanCard(const std::vector<FanCard>& fan, std::size_t k, const QRect& clip, const QImage& mask)
{
    // In each row, the part of the card right of the first later card whose
    // mask keeps that row opaque ends up as that card, whatever lies under
    // it: only the part left of it is painted. Rows with the same extent
    // are painted together.
    const std::vector<bool>& opaque = OpaqueLinesOf(mask).rows;
    const FanCard& card = fan[k];
    const int first = std::max(card.at.y(), clip.top());
    const int last = std::min(card.at.y() + CardHeight - 1, clip.bottom());
    auto paint = [&](int top, int bottom, int end) {
        const QRect r = QRect(card.at.x(), top, end - card.at.x(), bottom - top + 1).intersected(clip);
        if (r.isEmpty())
            return;
        PaintCardClipped(picGameBack, r, card.at, card.image, mask);
        if (card.focus)
            PaintFocusMark(r, card.at);
    };
    int runTop = first;
    int runEnd = -1;
    for (int y = first; y <= last; ++y) {
        int end = card.at.x() + CardWidth;
        for (std::size_t j = k + 1; j < fan.size() && fan[j].at.x() < end; ++j) {
            const int row = y - fan[j].at.y();
            if (row >= 0 && row < CardHeight && opaque[static_cast<std::size_t>(row)]) {
                end = fan[j].at.x();
                break;
            }
        }
        if (y > first && end != runEnd) {
            paint(runTop, y - 1, runEnd);
            runTop = y;
        }
        runEnd = end;
    }
    if (first <= last)
        paint(runTop, last, runEnd);
}

void TablePainter::PaintFocusMark(const QRect& clip, QPoint cardAt)
{
    constexpr int Inset = FocusFrameInset;
    constexpr int Thick = FocusFrameThickness;
    const QRgb colour = FocusFrameColour;
    const QRect frame(cardAt.x() + Inset, cardAt.y() + Inset, CardWidth - 2 * Inset, CardHeight - 2 * Inset);
    const QRect bars[] = {
        QRect(frame.left(), frame.top(), frame.width(), Thick),
        QRect(frame.left(), frame.bottom() - Thick + 1, frame.width(), Thick),
        QRect(frame.left(), frame.top(), Thick, frame.height()),
        QRect(frame.right() - Thick + 1, frame.top(), Thick, frame.height()),
    };
    for (const QRect& bar : bars) {
        const QRect r = bar.intersected(clip);
        if (!r.isEmpty())
            picGameBack.fillRect(r.x(), r.y(), r.width(), r.height(), colour);
    }
}

void TablePainter::DrawPartnerHand(int which)
{
    if (which != ViewLeftPartner && which != ViewRightPartner)
        return;
    const bool left = which == ViewLeftPartner;
    const int W = picGameBack.width();
    RestoreBack(left ? 20 : W - 143, 38, 123, 321);
    const int mySeat = state.globals.MySeat;
    if (mySeat < SeatCount)
        PaintSeatPicture((mySeat + (left ? 4 : 2)) % SeatCount);

    const QImage mask = AppImage(SmallMask);
    if (!Fits(mask, SmallCardWidth, SmallCardHeight))
        return;
    CardList& hand = left ? state.cards.PartnerHandFar : state.cards.PartnerHandNext;
    SortCardsByRank(hand);
    const RankGroupList groups = GroupCardsByRank(hand, hand.count());

    const FontState saved = picGameBack.font;
    picGameBack.font.fontSize = 12;
    picGameBack.font.fontBold = true;
    const int x = left ? 24 : W - 86;
    const bool faces = state.table.CanSeeHand != 0;
    // Without sight of the cards every rank shows a back: thirteen ranks and
    // two jokers.
    const int rows = faces ? groups.count() : 15;
    for (int g = 1; g <= rows; ++g) {
        const int y = 41 + (g - 1) * SmallCardStep;
        const QImage card = faces ? AppImage(SmallFace(CardImageIndex(groups.at(g).at(1)))) : AppImage(SmallBack);
        if (Fits(card, SmallCardWidth, SmallCardHeight))
            picGameBack.maskedTransfer(x, y, SmallCardWidth, SmallCardHeight, card, 0, 0, mask, 0, 0);
        const bool odd = g % 2 == 1;
        picGameBack.font.foreColor = odd ? qRgb(255, 255, 0) : qRgb(0, 255, 255);
        const QString dashes = odd ? QStringLiteral("---") : QStringLiteral("-");
        const int count = faces ? groups.at(g).count : 0;
        if (left)
            picGameBack.print(x + SmallCardWidth + 3, y, dashes + QString::number(count));
        else if (count < 10)
            picGameBack.print(x - 40, y, QStringLiteral("  ") + QString::number(count) + dashes);
        else
            picGameBack.print(x - 50, y, QString::number(count) + dashes);
    }
    picGameBack.font = saved;
}

void TablePainter::RedrawSeatHand(int seat)
{
    const int view = ViewOfSeat(state, seat);
    if (view == ViewBottom)
        DrawHand();
    else if ((view == ViewLeftPartner || view == ViewRightPartner) && state.table.ThreeHandDeal != 0)
        DrawPartnerHand(view);
}

void TablePainter::DrawCardRow(const CardList& cards, int x, int y, bool /*handSet*/)
{
    // Both geometry sets hold the same card size and step.
    const QImage mask = AppImage(FullMask);
    const bool masked = Fits(mask, CardWidth, CardHeight);
    std::vector<FanCard> row;
    for (int i = 1; i <= cards.count(); ++i) {
        const int index = CardImageIndex(cards.at(i));
        if (index == NoCardImage)
            continue;
        QImage card = AppImage(FullFace(index));
        if (!Fits(card, CardWidth, CardHeight))
            continue;
        if (!masked)
            picGameBack.transfer(x, y, CardWidth, CardHeight, card, 0, 0, RasterOp::Or);
        else
            row.push_back({QPoint(x, y), std::move(card), false});
        x += CardStep;
    }
    const QRect all(0, 0, picGameBack.width(), picGameBack.height());
    for (std::size_t k = 0; k < row.size(); ++k)
        PaintFanCard(row, k, all, mask);
}

} // namespace kelpo
