#pragma once
// The item messages that change the shop (the catalogue and the owned
// items) and the opening of the shop window.

#include <QByteArray>

namespace kelpo {

class Client;

// Class 133 codes 0 and 1: the new catalogue or owned-items list, shown at
// once when the shop is open.
void HandleDaoJuList(Client& client, const QByteArray& message);

// Shows the shop window, raising the one already open; nothing once the
// main window has gone.
void OpenDaoJuMaket(Client& client);

} // namespace kelpo
