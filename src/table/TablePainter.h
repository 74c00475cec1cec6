#pragma once
// The table view (modGamePaint): everything drawn on the table picture
// picGameBack, erased from its saved background picSaveGameBack. Each
// procedure reads the client state and draws at once; bitmaps come from
// files below AppPath or ParentPath, tested for existence each time, and a
// missing or broken file leaves only its own element out.

#include "platform/ImageFiles.h"
#include "platform/Picture.h"
#include "state/ClientState.h"
#include "table/TableGeometry.h"

#include <QHash>
#include <QImage>
#include <QString>

#include <array>
#include <functional>
#include <vector>

namespace kelpo {

class YuClock;

class TablePainter {
public:
    explicit TablePainter(ClientState& state);

    ClientState& state;
    QRgb TableBackColor = qRgb(41, 73, 123);
    Picture picGameBack;
    Backdrop picSaveGameBack;
    // The explosion's clean background and the colour-keyed painter's work
    // picture.
    Picture picBomb1;
    Picture picBomb2;

    // The time bar on the table; without one the clock still draws.
    YuClock* YuClockControl = nullptr;
    // The cooperative wait between explosion frames (lets window events
    // run); unset, the frames follow each other at once.
    std::function<void(int milliseconds)> WaitMilliseconds;
    // The start button's refresh, called by the full repaint.
    std::function<void()> RefreshStartButton;

    // Device pixels per logical pixel of the table pictures (1 or 2): the
    // screen's ratio, so cards come from the large pack on a dense screen.
    // The geometry stays logical. A change takes effect with the next
    // ResizeTable.
    int Scale() const { return picGameBack.scale(); }
    void SetScale(int scale);

    // Table background and layout.
    void ResizeTable(int width, int height); // the resize path of picGameBack
    void ComputeSeatLayout();
    void PaintTableBackground();
    void RepaintTable(); // the full repaint; not re-entered
    void RestoreBack(int x, int y, int w, int h);

    // Seats.
    void PaintSeatPicture(int seat);
    static void PrintWrappedName(Picture& target, int x, int y, const QString& text);
    void PaintNetBreak(int seat);
    void PaintReadyHand(int seat);
    void PaintRankMark(int seat);
    void PaintWarnFlag(int seat);
    void PaintRemainingCount(int seat);

    // Hands and card rows.
    void DrawHand();
    void RedrawHandCard(int index);
    void DrawPartnerHand(int which); // ViewLeftPartner or ViewRightPartner
    void RedrawSeatHand(int seat);
    void DrawCardRow(const CardList& cards, int x, int y, bool handSet);
    int HitTestHand(int x, int y) const;

    // Plays.
    void PaintPlays(bool previous);
    void PaintSeatPlay(int seat);
    void ClearSeatPlay(int seat);
    void PaintPassMark(int x, int y);

    // Buttons.
    void PaintOptionButton(int i);
    int HitOptionButton(int x, int y) const;
    void ShowPlayButtons(bool show);
    void PaintPlayButton(int i);
    int HitPlayButton(int x, int y) const;
    void ShowTributeButton(bool show);
    void PaintTributeButton(int i);
    int HitTributeButton(int x, int y) const;

    // Clock and panels.
    void PlaceTimeBar();
    void PaintTimeBar();
    void PaintClock(bool show);
    void StopTurnClock();
    void StartTurnClock(int seat);
    void PaintGameEnd(const std::array<std::int32_t, SeatCount>& scores);
    void PaintScorePanel();
    void PlayBombAnimation(int seat, int kind);

    // The image of a file below AppPath or ParentPath, written with `\` and
    // any case; null when missing or unreadable. At scale 2 an application
    // file's large version ("@2x") stands in for it where there is one.
    QImage AppImage(const QString& relative);
    QImage ParentImage(const QString& relative);
    bool AppFileExists(const QString& relative);

private:
    // The cell at `cell` of image masked by the cell at `maskCell` of the
    // same image, w x h, at (x, y). Nothing when a cell lies outside the
    // image.
    void DrawMaskedCell(const QImage& image, int x, int y, int w, int h, QPoint cell, QPoint maskCell);
    void DrawMaskedImage(const QImage& image, const QImage& mask, int x, int y, int w, int h);
    void DrawOpaqueCell(const QImage& image, int x, int y, int w, int h, QPoint cell);
    QImage CachedImage(const QString& base, const QString& relative);
    // At scale 2, the large version of an application file, marked with its
    // ratio; the standard file when there is none.
    QImage LargeImage(const QString& relative);

    // Where each hand card went in the last DrawHand, so that
    // RedrawHandCard can repaint a strip without testing every card file.
    // The card pictures are kept too while the image cache reports no
    // change, so a redraw reads no file and looks nothing up.
    struct HandCardPlace {
        int x = 0;        // left edge
        int image = 0;    // image index, or -1 for the back
        bool drawn = false;
        bool raised = false; // as drawn; a card redraw leaves these behind,
        bool focus = false;  // but its write ends the drawing's mark below
        QImage file;      // as AppImage gave it
        QImage device;    // the same in the picture's device pixels, RGB32
    };
    struct HandPicture {
        bool valid = false;
        std::vector<CardCode> cards;
        bool faces = true;
        QPoint anchor;
        std::vector<HandCardPlace> places;
        QImage mask;                // as AppImage gave it
        std::uint64_t files = 0;    // images_.generation() when drawn
        int scale = 1;
        QString appPath;
        QRect band;                 // the area restored under the hand
        qint64 ground = 0;          // the backdrop's key
        Picture::WriteMark mark;    // the table picture's, right after
    };
    // The card mask in device pixels with its black runs and the rows it
    // keeps opaque (logical); kept across drawings of the hand.
    struct HandMask {
        qint64 source = 0;
        int scale = 0;
        QImage device;
        std::vector<BlackRun> runs;
        std::vector<std::uint8_t> opaque;
        std::vector<int> edges; // card rows where opaque changes, 0 and CardHeight
    };
    QImage HandCardImage(const HandCardPlace& place);
    // Whether the kept card pictures are still the files' images.
    bool HandFilesCurrent();
    const HandMask& HandMaskFor(const QImage& mask);
    // image in the picture's device pixels as RGB32, enlarged pixel by
    // pixel when it is not marked with the picture's ratio (as a transfer
    // reads it).
    QImage DeviceImage(const QImage& image) const;
    // The same for a card the redraw copies: opaque in every pixel. Files
    // give opaque pictures; the table picture remembers which it checked.
    QImage OpaqueDeviceImage(const QImage& image);
    // A card of an overlapping row, drawn back to front.
    struct FanCard {
        QPoint at;
        QImage image;
        bool focus = false; // carries the keyboard's focus frame
    };
    // Paints fan[k] with mask inside clip, leaving out what a later card of
    // fan covers with rows its mask keeps opaque.
    void PaintFanCard(const std::vector<FanCard>& fan, std::size_t k, const QRect& clip, const QImage& mask);
    int HandImageIndexAt(int i) const; // -1: the back
    // Draws the hand from the last drawing, old, moving what still holds
    // and painting the rest; false, having drawn nothing, when the hand
    // must be drawn in full. from[k] is fan[k]'s index in old, or -1.
    bool MoveHand(const HandPicture& old, const std::vector<FanCard>& fan, const std::vector<int>& from);
    // Puts the background back inside clip and paints the fan there.
    void RepaintHandPart(const std::vector<FanCard>& fan, const QRect& clip, const QImage& mask);
    // The keyboard's focus frame on the hand card at cardAt, inside clip;
    // drawn as part of the card, so the cards after it cover it as they
    // cover the card.
    void PaintFocusMark(const QRect& clip, QPoint cardAt);
    // The frame picture behind a seat and where it goes; null for no view.
    QImage SeatFrame(int seat, QPoint& at);
    // Marks drawn beside a seat since the table picture was last the
    // background, one bit each.
    enum SeatMark : std::uint8_t { NetBreakMark = 1, ReadyMark = 2, WarnMark = 4 };
    // Puts the background back over a mark's place beside a seat, and the
    // seat's picture where the place overlaps its frame; nothing when the
    // mark is not there to clear.
    void RestoreBesideSeat(int seat, SeatMark mark, const QRect& place);
    // Draws again what goes over a seat's picture and the marks beside it
    // where it meets area.
    void RedrawOverSeat(int seat, const QRect& area);
    // Draws the score panel again when area reaches under it.
    void KeepScorePanelOver(const QRect& area);
    void PaintPlay(int seat, const CardList& play);
    QRect PlaysArea() const; // what PaintPlays restores
    QRect HandBand() const;  // where DrawHand draws, raised cards included
    // After a play's place was restored over the hand, draws the hand again
    // on top, as the full repaint does.
    void KeepHandOver(const QRect& restored);
    // A border edge tiled every 5 px along length, as one picture; null
    // when the tile cannot stand for the tiling.
    QImage EdgeStrip(const QImage& tile, int length, bool vertical);
    QImage Mirrored(const QImage& image, bool horizontal, bool vertical);

    ImageFileCache images_;
    // Resolved paths by relative name; re-resolved when the file is gone.
    struct ResolvedFile {
        QString base;
        QString path;
        // The file's image while the cache's generation stays `generation`:
        // the same image the cache would give, without a second look-up.
        QImage image;
        std::uint64_t generation = 0;
    };
    QHash<QString, ResolvedFile> resolved_;
    HandPicture hand_;
    HandMask handMask_;
    // Large files marked with their ratio, by standard name, with the cache
    // key of the file image they were made from; `missing` when there is no
    // large file and the standard one stands in.
    struct LargeFile {
        qint64 source = 0;
        QImage image;
        bool missing = false;
    };
    QHash<QString, LargeFile> large_;
    std::vector<qint64> savedBackKey_;
    qint64 savedBackPlaced_ = 0; // the backdrop's key once the pieces were placed
    bool repainting_ = false;
    // Set only while a full repaint calls PaintPlays on a picture that is
    // still the saved background there.
    bool skipPlaysRestore_ = false;
    std::array<std::uint8_t, SeatCount> marksShown_{};
    // The score panel as last drawn, for the round's end: the restore of the
    // plays area takes back part of it, and drawing it again from the same
    // things gives, pixel by pixel, what it gave over the same ground, and
    // over itself the same again when it is settled (see PaintScorePanel).
    // Then the part restored is copied back instead.
    struct ScorePanelInputs {
        qint64 panel = 0;
        qint64 mask = 0;
        int x = 0;
        std::array<int, 2> scores{};
        QString fontName; // the numbers take the face and weight in force
        bool fontBold = false;
        friend bool operator==(const ScorePanelInputs&, const ScorePanelInputs&) = default;
    };
    struct ScorePanelDrawn {
        ScorePanelInputs inputs;
        bool settled = false;
        QRect around;      // the panel and a margin: where ground and drawn are kept
        QImage ground;     // the pixels there before the drawing
        QImage drawn;      // and after it
        QRect area;        // what the drawing reported changed
        Picture::WriteMark mark;
    };
    ScorePanelDrawn scorePanel_;
    QRect ScorePanelArea() const;
    // The panel's numbers drawn at text, inside the panel at (px, py).
    QRect DrawScorePanel(int px, int py, const QImage& mask, const QImage& panel);
    QRect timeBarArea_;
    // The seconds' last erase: made again with the same places and bar
    // pieces and nothing drawn over them since, it would put back the very
    // pixels that are there (every play erases seconds that, between two
    // plays, were mostly never drawn).
    struct SecondsErased {
        QRect seconds;
        QRect head;
        QRect end;
        qint64 headImage = 0;
        qint64 endImage = 0;
        friend bool operator==(const SecondsErased&, const SecondsErased&) = default;
    };
    SecondsErased secondsErased_;
    Picture::WriteMark secondsErasedMark_;
    bool secondsErasedValid_ = false;
    QHash<QString, QImage> edgeStrips_;
    QHash<QPair<qint64, int>, QImage> mirrors_;
    bool bombRunning_ = false;
};

} // namespace kelpo
