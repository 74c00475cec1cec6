#include "game/TableFlowSupport.h"

#include "game/Client.h"
#include "skin/ModalBoxes.h"
#include "skin/MsgPool.h"

namespace kelpo {

TablePainter* TableView(Client& client) { return client.room.frmGameMain ? client.room.painter : nullptr; }

bool IsPlayer(const Client& client) { return !client.state.globals.IsSpectator; }

void ShowOkBox(Client& client, const QString& text, const QString& caption)
{
    if (client.state.globals.QuitRequested)
        return;
    client.msgPool().ShowMsg(0, client.room.frmGameMain, 1, text, caption, 10, QStringLiteral("确定"), QString(),
                             true);
}

void ShowSystemBox(Client& client, QMessageBox::Icon icon, const QString& caption, const QString& text)
{
    if (client.state.globals.QuitRequested)
        return;
    ModalBoxes::instance().SystemMessage(client.room.frmGameMain, icon, caption, text);
}

void LowerAllCards(CardState& cards)
{
    cards.SelectedFlags = CardList(std::vector<CardCode>(static_cast<std::size_t>(cards.HandCards.count()), 0));
}

} // namespace kelpo
