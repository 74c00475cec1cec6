// Layout of the main window: the table pane, the vertical bar and the room
// pane, and the two horizontal bars inside the room pane.

#include "room/frmGameMain.h"

#include "controls/QelAdvWeb.h"
#include "controls/QelChat.h"
#include "controls/QelList.h"
#include "controls/SplitterBar.h"
#include "room/AdvertPane.h"
#include "room/UserButtonStrip.h"
#include "room/VSplitterBar.h"
#include "table/TableWidget.h"

#include <QFontMetrics>
#include <QFrame>
#include <QPushButton>
#include <QResizeEvent>

namespace kelpo {

namespace {
constexpr int Top = 35; // below the skinned caption
constexpr int ButtonStrip = 33;
constexpr int ListTop = Top + ButtonStrip;
// The lower bar's range: never above this, never nearer the bottom than that.
constexpr int LowerBarMinTop = 382;
constexpr int LowerBarBottomMargin = 100;
} // namespace

void frmGameMain::InitLayout(const QSize& screen)
{
    UpperSplitTop = screen.height() / 3;
    LowerSplitTop = UpperSplitTop + 5 + AdvertHeight + 4;
    SplitterX = screen.width() <= 800 ? 680 : screen.width() * 4 / 5 + 24;
    SavedSplitterX = SplitterX;
    SplitterCollapsed = false;
    picSplitter->setCollapsed(false);
}

void frmGameMain::resizeEvent(QResizeEvent*) { LayoutMainWindow(); }

void frmGameMain::LayoutMainWindow()
{
    if (isMinimized())
        return;
    const int W = width();
    const int H = height();
    const int b = H - 4 - Top - 1;
    // The bar stays inside the window as it narrows, so the caption and the
    // room pane never disappear behind it; a collapsed pane stays collapsed
    // at the right edge.
    if (SplitterCollapsed)
        SplitterX = W - SplitterWidth - 2;
    else
        SplitterX = std::min(SplitterX, W - VSplitterBar::RightMargin);
    SplitterX = std::max(SplitterX, VSplitterBar::MinLeft);
    if (b > 0)
        picSplitter->setGeometry(SplitterX, Top, SplitterWidth, b);
    picSplitter->update();
    famGameBack->setGeometry(5, Top, std::max(SplitterX - 6, 0), std::max(b, 0));

    const int R = SplitterX + SplitterWidth + 2;
    const int rw = W - SplitterX - SplitterWidth - 2 - 6;
    QWidget* pane[] = {picUserButBk, lstUser, chat, HSplitterBar, HSplitterBar1, picAdvBack, advWeb};
    if (rw < SplitterWidth) {
        for (QWidget* w : pane)
            w->hide();
    } else {
        // A window lower than the bars were placed for keeps them where a
        // drag could put them (the upper bar dragged to its lowest leaves
        // the lower one a bar's height below its own limit), so the chat
        // and its bar stay in sight; the places chosen come back when the
        // window grows again.
        const int lowest = H - LowerBarBottomMargin + HSplitterBar->barHeight();
        const int lowerTop = std::min(LowerSplitTop, std::max(lowest, LowerBarMinTop));
        const int upperTop = std::min(UpperSplitTop, lowerTop - AdvertHeight - HSplitterBar->barHeight());
        picUserButBk->setGeometry(R, Top, rw, ButtonStrip);
        if (upperTop - ListTop > 0)
            lstUser->setGeometry(R, ListTop, rw, upperTop - ListTop);
        // The review button keeps to the right of the list's title, clear of
        // the strip's drawn buttons.
        const QFontMetrics fm = cmdReview->fontMetrics();
        const int rvw = fm.horizontalAdvance(cmdReview->text()) + 12;
        cmdReview->setGeometry(std::max(lstUser->width() - rvw, 0), 0, rvw, fm.height() + 2);
        const int left = lstUser->x();
        const int w = lstUser->width();
        HSplitterBar->Place(left, upperTop, w);
        const int advTop = HSplitterBar->top() + HSplitterBar->barHeight();
        picAdvBack->setGeometry(left, advTop, w, std::max(lowerTop - advTop, 0));
        HSplitterBar1->Place(left, lowerTop, w);
        const int chatTop = HSplitterBar1->top() + HSplitterBar1->barHeight();
        const int ch = H - 4 - chatTop - 2;
        if (ch > 0)
            chat->setGeometry(left, chatTop, w, ch);
        for (QWidget* pw : pane)
            pw->show();
    }
    FitTablePicture();
    PlaceFrameButtons();

    // Qt repaints what a larger window uncovers; a smaller one must have
    // its right and bottom edges and the strip's buttons drawn anew.
    const QSize now = size();
    if (now.width() < lastLayoutSize_.width() || now.height() < lastLayoutSize_.height())
        update();
    lastLayoutSize_ = now;
    const QSize strip = picUserButBk->size();
    if (strip.width() < lastStripSize_.width() || strip.height() < lastStripSize_.height())
        picUserButBk->update();
    lastStripSize_ = strip;
}

void frmGameMain::FitTablePicture()
{
    picGameBack->setGeometry(0, 0, famGameBack->width(), famGameBack->height());
}

void frmGameMain::HSplitterBar_PositionChanged()
{
    HSplitterSkip = true;
    const int H = height();
    int t = HSplitterBar->top();
    t = std::max(t, 200);
    t = std::min(t, H - AdvertHeight - 100);
    UpperSplitTop = t;
    HSplitterBar->setTop(t);
    lstUser->setGeometry(lstUser->x(), lstUser->y(), lstUser->width(), std::max(t - lstUser->y(), 0));
    const int left = lstUser->x();
    const int w = lstUser->width();
    const int bar = HSplitterBar->barHeight();
    picAdvBack->setGeometry(left, t + bar, w, AdvertHeight);
    HSplitterBar1->setTop(t + bar + AdvertHeight);
    LowerSplitTop = HSplitterBar1->top();
    const int chatTop = HSplitterBar1->top() + HSplitterBar1->barHeight();
    chat->setGeometry(left, chatTop, w, std::max(H - chatTop - 5, 0));
}

void frmGameMain::HSplitterBar1_PositionChanged()
{
    HSplitter1Skip = true;
    const int H = height();
    int t = HSplitterBar1->top();
    t = std::max(t, LowerBarMinTop);
    t = std::min(t, H - LowerBarBottomMargin);
    LowerSplitTop = t;
    HSplitterBar1->setTop(t);
    const int left = lstUser->x();
    const int w = lstUser->width();
    const int bar = HSplitterBar1->barHeight();
    chat->setGeometry(left, t + bar, w, std::max(H - t - bar - 2 - 4, 0));
    picAdvBack->setGeometry(left, t - AdvertHeight, w, AdvertHeight);
    HSplitterBar->setTop(t - AdvertHeight - HSplitterBar->barHeight());
    UpperSplitTop = HSplitterBar->top();
    lstUser->setGeometry(left, lstUser->y(), w, std::max(HSplitterBar->top() - lstUser->y(), 0));
}

void frmGameMain::ToggleRoomPane()
{
    if (!SplitterCollapsed) {
        SavedSplitterX = SplitterX;
        SplitterX = width() - SplitterWidth - 2;
    } else {
        SplitterX = SavedSplitterX;
    }
    SplitterCollapsed = !SplitterCollapsed;
    picSplitter->setCollapsed(SplitterCollapsed);
    LayoutMainWindow();
}

void frmGameMain::MoveSplitterTo(int left)
{
    VSplitterSkip = true;
    // Dragged out of its collapsed place, the bar opens the room pane there.
    if (SplitterCollapsed) {
        SplitterCollapsed = false;
        picSplitter->setCollapsed(false);
    }
    SplitterX = std::max(std::min(left, width() - VSplitterBar::RightMargin), VSplitterBar::MinLeft);
    LayoutMainWindow();
}

} // namespace kelpo
