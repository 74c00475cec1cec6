#include "game/GameMessages.h"

#include "game/Client.h"
#include "game/GameMessageReaders.h"
#include "game/ShopFlow.h"
#include "game/TableFlow.h"
#include "game/TableFlowSupport.h"
#include "table/TableGeometry.h"
#include "table/TablePainter.h"

namespace kelpo {

namespace {

void HandleChatLine(Client& client, const QByteArray& m)
{
    const auto fields = ReadChatLine(m);
    if (fields && client.room.QelChat)
        client.room.QelChat->ShowChatLine(*fields);
}

void HandleCannotContinue(Client& client, const QByteArray& m)
{
    const auto msg = ReadCannotContinue(m);
    if (!msg)
        return;
    ClientState& s = client.state;
    ShowOkBox(client,
              s.seats[msg->seat].name + QStringLiteral(" 不能继续玩下去，原因：") + msg->reason,
              s.globals.GameName + QStringLiteral("系统提示"));
    if (msg->seat == s.globals.MySeat && IsPlayer(client))
        client.UnloadMainWindow(ExitCannotContinue);
}

void HandleSeatReady(Client& client, const QByteArray& m)
{
    const auto seat = ReadSeatReady(m);
    if (!seat)
        return;
    client.state.seats[*seat].isHandUp = true;
    if (TablePainter* view = TableView(client))
        view->PaintReadyHand(*seat);
}

void HandleSpectatorView(Client& client, const QByteArray& m)
{
    ClientState& s = client.state;
    const auto flag = ReadSpectatorView(m);
    if (!flag || s.table.MatchStarted == 0 || !s.globals.IsSpectator)
        return;
    s.table.CanSeeHand = *flag > 0 ? 1 : 0;
    if (s.table.NoHandInPlay)
        return;
    if (TablePainter* view = TableView(client)) {
        view->DrawHand();
        if (s.table.ThreeHandDeal != 0) {
            view->DrawPartnerHand(ViewLeftPartner);
            view->DrawPartnerHand(ViewRightPartner);
        }
    }
}

void HandleItems(Client& client, const QByteArray& m)
{
    if (m.size() < 2)
        return;
    switch (static_cast<std::uint8_t>(m.at(1))) {
    case 0:
    case 1:
        HandleDaoJuList(client, m);
        break;
    case 2:
        ShowOkBox(client, ReadItemNotice(m), client.state.globals.GameName + QStringLiteral("提示"));
        break;
    case 3:
        if (const auto use = ReadItemUse(m)) {
            ShowSystemBox(client, QMessageBox::Warning, QStringLiteral("道具演示"),
                          QString::number(use->fromUser) + QStringLiteral(" 号用户对 ")
                              + QString::number(use->toUser) + QStringLiteral(" 号用户使用ID号为 ")
                              + QString::number(use->itemId) + QStringLiteral(" 的道具"));
        }
        break;
    default:
        break;
    }
}

} // namespace

void HandleGameMessage(Client& client, const QByteArray& message)
{
    if (message.isEmpty())
        return;
    client.RecordForReview(message);
    switch (static_cast<std::uint8_t>(message.at(0))) {
    case MsgChatLine: HandleChatLine(client, message); break;
    case MsgHandsRefresh: HandleHandsRefresh(client, message); break;
    case MsgCannotContinue: HandleCannotContinue(client, message); break;
    case MsgHandStart: HandleHandStart(client, message); break;
    case MsgSeatReady: HandleSeatReady(client, message); break;
    case MsgDeal: HandleDeal(client, message); break;
    case MsgPlay: HandlePlay(client, message); break;
    case MsgPlayRefused: HandlePlayRefused(client, message); break;
    case MsgHandOver: HandleHandOver(client, message); break;
    case MsgTribute: HandleTributeCard(client, message); break;
    case MsgSpectatorView: HandleSpectatorView(client, message); break;
    case MsgItems: HandleItems(client, message); break;
    default: break;
    }
}

} // namespace kelpo
