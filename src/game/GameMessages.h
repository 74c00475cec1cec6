#pragma once
// Messages of the game itself: the hand start, the deal, plays, tribute, the
// hand over, chat lines and item notices.

#include <QByteArray>

namespace kelpo {

class Client;

void HandleGameMessage(Client& client, const QByteArray& message);

} // namespace kelpo
