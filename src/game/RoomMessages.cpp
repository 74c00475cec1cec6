#include "game/RoomMessages.h"

#include "game/Client.h"
#include "game/Sounds.h"
#include "game/TableFlowSupport.h"
#include "game/TurnFlow.h"
#include "game/UserRecord.h"
#include "net/Packet.h"
#include "platform/NumericValue.h"
#include "settings/frmGameSet.h"
#include "skin/MsgPool.h"
#include "state/CardStateOps.h"
#include "state/Session.h"
#include "table/TablePainter.h"

#include <QLabel>
#include <QPointer>

namespace kelpo {

namespace {

constexpr std::uint8_t CueSpectatorIn = 8;
constexpr std::uint8_t CueSpectatorOut = 9;

const QString Add = QStringLiteral("ADD");
const QString Del = QStringLiteral("DEL");

std::uint8_t CodeOf(const QByteArray& m)
{
    return static_cast<std::uint8_t>(m[1]);
}

QString BodyText(const QByteArray& m)
{
    return BytesToText(m, 2);
}

void Notice(Client& client, const QString& text)
{
    if (QelChat* chat = client.room.QelChat)
        chat->AppendNotice(text);
}

// Someone came or went: shown only while the player wants to see that.
void InOutNotice(Client& client, const QString& text)
{
    if (client.state.prefs.ShowInOutMsg != 0)
        Notice(client, text);
}

void Addressee(Client& client, const QString& name, const QString& action)
{
    if (QelChat* chat = client.room.QelChat)
        chat->ChangeAddressee(name, action);
}

bool ListHolds(Client& client, const QString& name)
{
    QelList* list = client.room.lstUser;
    return list && !list->Find(name).isEmpty();
}

// The first seat whose name equals `name`, or -1. An empty name matches no
// seat: free seats have empty names too.
int SeatOfName(const ClientState& s, const QString& name)
{
    if (name.isEmpty())
        return -1;
    for (int i = 0; i < SeatCount; ++i) {
        if (s.seats[static_cast<std::size_t>(i)].name == name)
            return i;
    }
    return -1;
}

void RepaintSeat(Client& client, int seat, bool picture, bool ready, bool netBreak)
{
    TablePainter* view = client.room.painter;
    if (!view)
        return;
    if (picture)
        view->PaintSeatPicture(seat);
    if (ready)
        view->PaintReadyHand(seat);
    if (netBreak)
        view->PaintNetBreak(seat);
}

void CloseBoxes(Client& client)
{
    client.msgPool().CloseMsgBoxes(0);
}

// Opens (or reuses) the settings dialog. On a malformed settings text the
// dialog goes away and the user declines, as the server expects an answer.
void OpenGameSet(Client& client, bool owner, const QString& settings)
{
    RoomView& room = client.room;
    frmGameSet* dialog = room.gameSet;
    if (!dialog || dialog->isUnloaded()) {
        QPointer<Client> target(&client);
        dialog = new frmGameSet(
            client.state,
            [target](const QByteArray& bteCmd) {
                if (target)
                    target->SendGameSetResult(bteCmd);
            },
            room.frmGameMain);
        room.gameSet = dialog;
        QObject::connect(dialog, &frmGameSet::unloaded, &client, [&client, dialog] {
            if (client.room.gameSet == dialog)
                client.room.gameSet = nullptr;
        });
    }
    if (dialog->SetInitGameSetInfo(owner, settings)) {
        dialog->show();
        dialog->raise();
        return;
    }
    dialog->Unload();
    room.gameSet = nullptr;
    client.SendDecline();
}

// --- class 130: room state -------------------------------------------------

void SpectatorArrived(Client& client, const QByteArray& m)
{
    const QStringList f = SplitUserRecord(BodyText(m));
    if (f.isEmpty() || !IsSpectatorRecord(f) || !client.room.lstUser)
        return;
    const QString& name = f[UserField::Name];
    // The list refuses a record without a name; nobody arrived then.
    if (ListHolds(client, name) || !client.room.lstUser->Add(f.join(FieldSeparator)))
        return;
    InOutNotice(client,
                name + QStringLiteral(" 进来了，正在旁观 ") + f[UserField::Watched] + QStringLiteral(" 游戏..."));
    Addressee(client, name, Add);
    PlaySoundCue(client, CueSpectatorIn);
}

void TableReset(Client& client)
{
    ClientState& s = client.state;
    InitSession(s);
    CloseBoxes(client);
    client.msgPool().InitMsgObjects();
    ResetCardState(s);
    ClearTurn(client);
    if (client.room.painter)
        client.room.painter->RepaintTable();
    if (client.room.frmGameMain)
        client.room.frmGameMain->update();
    if (client.room.lstUser)
        client.room.lstUser->Clear();
    if (QelChat* chat = client.room.QelChat) {
        chat->ClearAddressees();
        chat->SetCurrentAddressee(QelChat::Everyone);
    }
}

void UserListArrived(Client& client, const QByteArray& m)
{
    QelList* list = client.room.lstUser;
    if (!list)
        return;
    list->Clear();
    // The list is the whole table: whoever it no longer carries has gone,
    // heard of or not, and must not stay in a seat or be talked to.
    for (SeatRecord& seat : client.state.seats) {
        seat.name.clear();
        seat.iconNumber = 0;
        seat.isHandUp = false;
        seat.isOffline = false;
    }
    QelChat* chat = client.room.QelChat;
    const QString addressee = chat ? chat->currentAddressee() : QString();
    if (chat)
        chat->ClearAddressees();
    list->BulkLoad(BodyText(m));
    // With nobody loaded the list raises no event; the emptied seats are
    // still to be painted.
    if (list->count() == 0)
        lstUser_UsersAdded(client, QString());
    if (chat && chat->addressees().contains(addressee))
        chat->SetCurrentAddressee(addressee);
}

void IdentityArrived(Client& client, const QByteArray& m)
{
    const QStringList f = BodyText(m).split(FieldSeparator);
    if (f.size() != 2)
        return;
    ClientState& s = client.state;
    s.globals.UserName = f[0];
    s.globals.ViewedUserName = f[1];
    if (client.room.lstUser)
        client.room.lstUser->setLocalUserName(s.globals.UserName);
    if (client.room.QelChat)
        client.room.QelChat->setLocalUserName(s.globals.UserName);
}

void UserArrived(Client& client, const QByteArray& m)
{
    const QStringList f = SplitUserRecord(BodyText(m));
    if (f.isEmpty() || !client.room.lstUser)
        return;
    const QString& name = f[UserField::Name];
    if (ListHolds(client, name) || !client.room.lstUser->Add(f.join(FieldSeparator)))
        return;
    InOutNotice(client, name + QStringLiteral(" 进来了..."));
    Addressee(client, name, Add);
    if (IsSpectatorRecord(f))
        return;
    const int seat = SeatOfChair(f[UserField::Chair]);
    if (seat < 0)
        return;
    SeatRecord& record = client.state.seats[static_cast<std::size_t>(seat)];
    record.name = name;
    record.iconNumber = NumericInt32(f[UserField::Icon]);
    RepaintSeat(client, seat, true, false, false);
}

void ShowOrHideWindow(Client& client, const QByteArray& m)
{
    if (m.size() < 3 || !client.room.frmGameMain)
        return;
    client.room.frmGameMain->setVisible(m[2] == 0);
}

void HandleRoomState(Client& client, const QByteArray& m)
{
    switch (CodeOf(m)) {
    case 0: SpectatorArrived(client, m); break;
    case 1: TableReset(client); break;
    case 2: UserListArrived(client, m); break;
    case 3: IdentityArrived(client, m); break;
    case 4: UserArrived(client, m); break;
    case 5: ShowOrHideWindow(client, m); break;
    default: break;
    }
}

// --- class 108: connection state of a user -----------------------------------

void SetOffline(Client& client, const QString& name, bool offline)
{
    const int seat = SeatOfName(client.state, name);
    if (seat < 0)
        return;
    client.state.seats[static_cast<std::size_t>(seat)].isOffline = offline;
    RepaintSeat(client, seat, false, false, true);
    Notice(client, offline ? QStringLiteral("不好，") + name + QStringLiteral(" 掉线了...")
                           : QStringLiteral("哈哈，") + name + QStringLiteral(" 终于上线了..."));
}

void HandleUserConnection(Client& client, const QByteArray& m)
{
    const QString name = BodyText(m);
    switch (CodeOf(m)) {
    case 0: SetOffline(client, name, false); break;
    case 3: SetOffline(client, name, true); break;
    case 4:
        if (!ListHolds(client, name))
            return;
        client.room.lstUser->Remove(name);
        InOutNotice(client, QStringLiteral("旁观用户 ") + name + QStringLiteral(" 走了..."));
        Addressee(client, name, Del);
        PlaySoundCue(client, CueSpectatorOut);
        break;
    case 6:
        if (client.room.lstUser)
            client.room.lstUser->Highlight(name);
        break;
    default: break;
    }
}

// --- class 110: a player left ------------------------------------------------

void HandlePlayerLeft(Client& client, const QByteArray& m)
{
    if (CodeOf(m) != 0)
        return;
    const QString name = BodyText(m);
    if (!ListHolds(client, name))
        return;
    client.room.lstUser->Remove(name);
    InOutNotice(client, name + QStringLiteral(" 走了..."));
    Addressee(client, name, Del);
    const int seat = SeatOfName(client.state, name);
    if (seat < 0)
        return;
    SeatRecord& record = client.state.seats[static_cast<std::size_t>(seat)];
    record.name.clear();
    record.iconNumber = 0;
    record.isHandUp = false;
    record.isOffline = false;
    RepaintSeat(client, seat, true, true, true);
}

// --- class 111: the table needs its settings -----------------------------------

void HandleSettingsNeeded(Client& client, const QByteArray& m)
{
    const QStringList f = BodyText(m).split(FieldSeparator);
    if (f.size() < 6)
        return;
    // A field the body does not carry reads as an empty text, that is 0.
    const auto number = [&f](int i) { return NumericInt32(f.value(i)); };
    ClientState& s = client.state;
    const bool owner = number(3) > 0;
    if (number(5) <= 0) {
        s.table.MatchStarted = 0;
        s.table.StartOffered = true;
        UpdateStartButton(client);
        return;
    }
    const QString settings = f.mid(7).join(FieldSeparator);
    if (owner || number(6) != 0) {
        OpenGameSet(client, owner, settings);
        return;
    }
    // One notice at a time: the server may say this again and again.
    const QString waiting = QStringLiteral("等待桌主进行本桌游戏设置...");
    for (const frmMsg* box : client.msgPool().openBoxes())
        if (box->bteMsgType() == 0 && box->labNote() && box->labNote()->text() == waiting)
            return;
    client.msgPool().ShowMsg(0, client.room.frmGameMain, 0, waiting, QString(), 0, QString(), QString(), false);
}

// --- class 112: a user raised a hand -----------------------------------------

void HandleHandRaised(Client& client, const QByteArray& m)
{
    ClientState& s = client.state;
    const QStringList f = BodyText(m).split(FieldSeparator);
    const QString& name = f[0];
    const int seat = SeatOfName(s, name);
    if (seat < 0)
        return;
    s.seats[static_cast<std::size_t>(seat)].isHandUp = true;
    RepaintSeat(client, seat, false, true, false);

    const bool withSettings = f.size() > 1;
    CloseBoxes(client);
    if (withSettings && name != s.globals.UserName) {
        OpenGameSet(client, false, f.mid(1).join(FieldSeparator));
        if (!client.room.gameSet)
            return; // declined: the hands stay as they are
    }
    if (CodeOf(m) > 1) {
        for (int i = 0; i < SeatCount; ++i) {
            s.seats[static_cast<std::size_t>(i)].isHandUp = false;
            RepaintSeat(client, i, false, true, false);
        }
    }
}

// --- class 109: the table as it stands -----------------------------------------

void HandleSnapshot(Client& client, const QByteArray& m)
{
    ClientState& s = client.state;
    s.table.MatchStarted = 1;
    ResetForNewHand(s, true);
    ClearTurn(client);
    RestoreCardSnapshot(s, m);
    // In rank order: the reset above put the sort button back to it.
    ArrangeHeldHands(s.cards);
    if (TablePainter* view = client.room.painter) {
        view->ComputeSeatLayout();
        view->RepaintTable();
    }
    ApplyTurn(client);
}

} // namespace

void HandleRoomMessage(Client& client, const QByteArray& message)
{
    // Every room message has at least its class and its code.
    if (message.size() < 2)
        return;
    switch (static_cast<std::uint8_t>(message[0])) {
    case 130: HandleRoomState(client, message); break;
    case 108: HandleUserConnection(client, message); break;
    case 110: HandlePlayerLeft(client, message); break;
    case 111: HandleSettingsNeeded(client, message); break;
    case 112: HandleHandRaised(client, message); break;
    case 105:
        if (client.room.QelChat)
            client.room.QelChat->ShowServerText(BytesToText(message, 3));
        break;
    case 109: HandleSnapshot(client, message); break;
    default: break;
    }
}

void lstUser_UsersAdded(Client& client, const QString& names)
{
    ClientState& s = client.state;
    const QStringList list = names.split(FieldSeparator, Qt::SkipEmptyParts);
    for (const QString& name : list)
        Addressee(client, name, Add);

    QelList* users = client.room.lstUser;
    for (const QString& name : list) {
        // A name the list cannot give a whole record for sits nowhere;
        // reading its missing fields as blanks would seat it at seat 0.
        const QStringList f = users ? SplitUserRecord(users->Find(name)) : QStringList();
        if (f.isEmpty() || IsSpectatorRecord(f))
            continue;
        const int seat = SeatOfChair(f[UserField::Chair]);
        if (seat < 0)
            continue;
        SeatRecord& record = s.seats[static_cast<std::size_t>(seat)];
        record.name = name;
        record.iconNumber = NumericInt32(f[UserField::Icon]);
        record.isHandUp = NumericValue(f[UserField::HandUp]) > 0 && s.table.MatchStarted != 1;
        record.isOffline = NumericValue(f[UserField::Offline]) > 0;
    }
    MapSeatsToView(s);

    TablePainter* view = client.room.painter;
    if (!view)
        return;
    for (int i = 0; i < SeatCount; ++i) {
        SeatRecord& record = s.seats[static_cast<std::size_t>(i)];
        // Paint the seat once empty so that a longer previous name is gone.
        const QString name = record.name;
        record.name.clear();
        view->PaintSeatPicture(i);
        record.name = name;
        view->PaintSeatPicture(i);
        view->PaintNetBreak(i);
        view->PaintReadyHand(i);
    }
}

void ConnectRoomSide(Client& client)
{
    // The main window and a test may both ask; a second set of connections
    // would run every countdown tick twice.
    const char* const connected = "roomSideConnected";
    if (client.property(connected).toBool())
        return;
    client.setProperty(connected, true);
    ConnectStartControls(client);
    if (QelList* list = client.room.lstUser) {
        QObject::connect(list, &QelList::usersAdded, &client,
                         [&client](const QString& names) { lstUser_UsersAdded(client, names); });
    }
}

} // namespace kelpo
