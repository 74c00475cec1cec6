#pragma once
// The main window of a running table: the table picture on the left, the
// room pane (user buttons, user list, advert, chat) on the right, and the
// close confirmation and orderly shutdown of the program.

#include "platform/ImageFiles.h"
#include "room/UserCard.h"
#include "settings/frmUserSet.h"
#include "skin/FramePaint.h"
#include "skin/FrameZones.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <memory>

class QFrame;
class QPushButton;

namespace kelpo {

class AdvertPane;
class Client;
class QelAdvWeb;
class QelChat;
class QelList;
class SplitterBar;
class TablePainter;
class TableWidget;
class UserButtonStrip;
class VSplitterBar;
class frmHandReview;

class YuClock;

class frmGameMain : public QWidget {
    Q_OBJECT
public:
    // Form_Load: timers, caption, list and chat set-up, preferences read.
    explicit frmGameMain(Client& client, QWidget* parent = nullptr);
    ~frmGameMain() override;

    Client& client() { return client_; }

    // Top-left of the screen, as wide as the screen and 32 pixels less high.
    void PlaceOnScreen();
    void ConnectRoomServer();
    void SendGameSetResult(const QByteArray& bteCmd);

    // Form_Unload: ends the program with exitCode. Only the first call acts.
    void Unload(int exitCode);
    bool isUnloaded() const { return unloaded_; }

    // The close command: true when the window may go. During a hand the
    // player is asked first whether to force quit.
    bool ConfirmClose();

    // The user card's item chosen: item 4 makes its user the chat addressee;
    // the local user's shop item opens the item shop.
    void ExecUserMenu(int lngUserMenuItemIdx);
    // The card open now, if any.
    frmUserMenu* userMenu() const { return userMenu_; }

    // The window's own frame (SkinnedFrame.cpp): the caption's buttons, the
    // zones of its edges and caption, and the drags they start.
    void PlaceFrameButtons();
    // The 100 ms upkeep: the minimum size, the zone under the pointer and
    // its pointer shape.
    void PollFrameZone();
    // Moves or sizes the window from the zone found last, through the
    // window system where it offers that, else by following the pointer
    // from globalPointer. Nothing while the window is maximised.
    void StartFrameDrag(QPoint globalPointer);
    int HitSysButton(QPoint at) const { return FramePaint::HitSysButton(framePos_, at); }
    void HoverSysButton(int slot);
    // 0 minimise, 1 maximise or restore, 2 close (asking during a hand).
    void DoSysButton(int slot);
    // 0 the preferences dialog, 1 the help page.
    void DoUserButton(int slot);
    const FramePaint::ButtonPositions& buttonPositions() const { return framePos_; }
    FrameZone frameZone() const { return frameZone_; }
    // Maximised by the window system or, where it has none, by the window.
    bool frameMaximised() const;
    bool frameDragActive() const { return drag_.active; }
    // The frame's mouse handling; the event handlers call these. `at` is in
    // client coordinates, `global` on the screen.
    void FrameMouseDown(Qt::MouseButton button, QPoint global);
    void FrameMouseMove(Qt::MouseButtons buttons, QPoint at, QPoint global);
    void FrameMouseUp(Qt::MouseButton button, QPoint at);
    void FrameDoubleClick(Qt::MouseButton button, QPoint global);
    // The preferences dialog while it is open.
    frmUserSet* userSet() const { return userSet_; }

    int HoverSysIdx = -1;
    // One-shot: the next paint of the frame may be skipped, as only a
    // splitter's neighbourhood changed.
    bool VSplitterSkip = false;
    bool HSplitterSkip = false;
    bool HSplitter1Skip = false;

    // Opens (or raises) the review of the last whole hand.
    void ShowHandReview();
    frmHandReview* handReview() const;

    // Layout (resize handler, also after a splitter moves).
    void InitLayout(const QSize& screen);
    void LayoutMainWindow();
    void FitTablePicture();
    void HSplitterBar_PositionChanged();
    void HSplitterBar1_PositionChanged();
    // A press in the vertical bar's middle zone: collapse or expand the
    // room pane.
    void ToggleRoomPane();
    // The vertical bar dragged to a new left edge (client coordinates); a
    // collapsed room pane opens there.
    void MoveSplitterTo(int left);

    static constexpr int SplitterWidth = 12;

    static constexpr int AdvertHeight = 182;

    int SplitterX = 0;
    int SavedSplitterX = 0;
    bool SplitterCollapsed = false;
    int UpperSplitTop = 0;
    int LowerSplitTop = 0;

    QTimer tmrForm;
    QTimer tmrStart;
    QTimer tmrPaintLastOutPai;

    // The table view: the painter owns the pictures, the widget shows them.
    std::unique_ptr<TablePainter> painter;
    QFrame* famGameBack;
    TableWidget* picGameBack;
    VSplitterBar* picSplitter;
    UserButtonStrip* picUserButBk;
    QelList* lstUser;
    // On the user list's title row: opens the last hand's review.
    QPushButton* cmdReview;
    SplitterBar* HSplitterBar;
    AdvertPane* picAdvBack;
    QelAdvWeb* advWeb;
    SplitterBar* HSplitterBar1;
    QelChat* chat;
    YuClock* timeBar;

signals:
    // The window has unloaded; the program ends with exitCode.
    void unloaded(int exitCode);
protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    // F9 opens the item shop.
    void keyPressEvent(QKeyEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void setUpUserList();
    void setUpChat();
    void onChatSend(const QStringList& fields);
    void onUserClicked(bool menuRequest, const QString& name, const QString& record);
    // The forced-quit question; true when the user chose to quit.
    bool AskForceQuit();
    void UpdateFrameZone(QPoint globalPointer);
    void ToggleMaximised();
    // Where the window system does not maximise, the window does it itself.
    void FollowUpMaximise();
    bool busy() const;

    Client& client_;
    bool unloaded_ = false;
    QPointer<frmUserMenu> userMenu_;
    QPointer<frmUserSet> userSet_;

    FramePaint::ButtonPositions framePos_;
    FrameZone frameZone_ = FrameZone::None;
    ImageFileCache frameImages_;
    // A frame drag the window follows itself.
    struct ManualDrag {
        bool active = false;
        FrameZone zone = FrameZone::None;
        QRect start;
        QPoint from;
    } drag_;
    // A press on the caption moves the window once the pointer moves, so a
    // double click stays a double click.
    bool moveArmed_ = false;
    QPoint pressGlobal_;
    QRect normalGeometry_;
    bool maximisedByHand_ = false;
    int maximiseCheckTicks_ = 0;
    QSize lastLayoutSize_;
    QSize lastStripSize_;
    QPointer<frmHandReview> handReview_;
};

} // namespace kelpo
