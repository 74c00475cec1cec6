// The viewed hand, the partner hands and rows of played cards.

#include "platform/Raster.h"
#include "rules/CardOrder.h"
#include "table/TablePainter.h"

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

// Rows of a card mask that hide nothing, so a card drawn with it covers the
// whole row; a large mask's row is opaque when all its pixel rows are.
// Remembered for the last mask seen.
const std::vector<bool>& OpaqueRows(const QImage& mask)
{
    static qint64 key = 0;
    static std::vector<bool> rows;
    if (key != mask.cacheKey() || rows.size() != static_cast<std::size_t>(CardHeight)) {
        key = mask.cacheKey();
        rows.assign(CardHeight, false);
        const int s = static_cast<int>(mask.devicePixelRatio());
        for (int y = 0; y < CardHeight && (y + 1) * s <= mask.height(); ++y) {
            bool all = CardWidth * s <= mask.width();
            for (int dy = 0; dy < s && all; ++dy) {
                const auto* line = reinterpret_cast<const QRgb*>(mask.constScanLine(y * s + dy));
                for (int x = 0; x < CardWidth * s && all; ++x)
                    all = (line[x] & 0x00FFFFFFu) == 0;
            }
            rows[static_cast<std::size_t>(y)] = all;
        }
    }
    return rows;
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

void TablePainter::DrawHand()
{
    ImageFileCache::Batch batch(images_);
    Picture::ChangeBatch changes(picGameBack);
    const TableLayout& L = state.view.Layout;
    const QPoint anchor = L.HandAnchor[2];
    const int t = state.table.DeckCount * 54 / 6;
    const int full = RowWidth(t);
    RestoreBack(anchor.x() - full / 2, anchor.y() - RaiseOffset, full + 1, CardHeight + 25);
    hand_ = HandPicture{};

    const QImage mask = AppImage(FullMask);
    if (!Fits(mask, CardWidth, CardHeight))
        return;
    CardState& c = state.cards;
    const int n = c.HandCards.count();
    if (n == 0)
        return;
    if (c.SelectedFlags.count() != n)
        c.SelectedFlags.resize(n);

    hand_.cards = c.HandCards.codes();
    hand_.faces = state.table.CanSeeHand != 0;
    hand_.anchor = anchor;
    hand_.places.resize(static_cast<std::size_t>(n));
    std::vector<FanCard> fan;
    int x = HandLeft(L, n);
    for (int i = 1; i <= n; ++i) {
        HandCardPlace& place = hand_.places[static_cast<std::size_t>(i - 1)];
        place.image = HandImageIndexAt(i);
        place.x = x;
        QImage card = HandCardImage(place);
        place.file = card;
        if (!Fits(card, CardWidth, CardHeight))
            continue;
        const int y = anchor.y() - (c.SelectedFlags.at(i) != 0 ? RaiseOffset : 0);
        fan.push_back({QPoint(x, y), std::move(card), i == state.view.HandFocus});
        place.drawn = true;
        x += CardStep;
    }
    const QRect all(0, 0, picGameBack.width(), picGameBack.height());
    for (std::size_t k = 0; k < fan.size(); ++k)
        PaintFanCard(fan, k, all, mask);
    hand_.mask = mask;
    hand_.scale = Scale();
    hand_.appPath = state.globals.AppPath;
    hand_.files = images_.generation();
    hand_.valid = true;
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
        const std::vector<bool>& opaque = OpaqueRows(mask);
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
    const std::vector<bool>& opaque = OpaqueRows(mask);
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
