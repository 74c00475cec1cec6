#pragma once
// The main window of a running table: the table picture on the left, the
// room pane (user buttons, user list, advert, chat) on the right, and the
// close confirmation and orderly shutdown of the program.

#include "room/UserCard.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <memory>

class QFrame;
class QPushButton;

namespace kelpo {

class Client;
class QelAdvWeb;
class QelChat;
class QelList;
class SplitterBar;
class TablePainter;
class TableWidget;
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

    // The user card's item chosen: item 4 makes its user the chat addressee.
    void ExecUserMenu(int lngUserMenuItemIdx);
    // The card open now, if any.
    frmUserMenu* userMenu() const { return userMenu_; }

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
    // The vertical bar dragged to a new left edge (client coordinates).
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
    QWidget* picUserButBk;
    // In the user-button strip: opens the last hand's review.
    QPushButton* cmdReview;
    QelList* lstUser;
    SplitterBar* HSplitterBar;
    QWidget* picAdvBack;
    QelAdvWeb* advWeb;
    SplitterBar* HSplitterBar1;
    QelChat* chat;
    YuClock* timeBar;

signals:
    // The window has unloaded; the program ends with exitCode.
    void unloaded(int exitCode);
    // Every 100 ms while the window is up, for the frame upkeep.
    void frameTick();

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void setUpUserList();
    void setUpChat();
    void onChatSend(const QStringList& fields);
    void onUserClicked(bool menuRequest, const QString& name, const QString& record);

    Client& client_;
    bool unloaded_ = false;
    QPointer<frmUserMenu> userMenu_;
    QPointer<frmHandReview> handReview_;
};

} // namespace kelpo
