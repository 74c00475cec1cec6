#include "game/ShopFlow.h"

#include "game/Client.h"
#include "net/Packet.h"
#include "shop/frmDaoJuMaket.h"
#include "shop/modDaoJuMaket.h"

namespace kelpo {

void HandleDaoJuList(Client& client, const QByteArray& message)
{
    if (message.size() < 2)
        return;
    ClientState& s = client.state;
    const QString text = BytesToText(message, 2);
    const auto code = static_cast<std::uint8_t>(message.at(1));
    const bool changed = code == 0   ? ParseDaoJuList(s.shop, text, DaoJuNoteFile(s.globals))
                         : code == 1 ? ParseMyDaoJuList(s.shop, text)
                                     : false;
    if (changed && s.shop.MaketOpen && client.room.daoJuMaket)
        client.room.daoJuMaket->RepaintMaket();
}

void OpenDaoJuMaket(Client& client)
{
    if (!client.room.frmGameMain || client.state.globals.QuitRequested)
        return;
    frmDaoJuMaket* shop = client.room.daoJuMaket;
    if (!shop) {
        shop = new frmDaoJuMaket(client.state, client.room.frmGameMain);
        shop->sendPacket = [&client](const QByteArray& packet) { client.SendPacket(packet); };
        client.room.daoJuMaket = shop;
    }
    shop->showNormal();
    shop->raise();
    shop->activateWindow();
}

} // namespace kelpo
