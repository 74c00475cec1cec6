#pragma once
// Messages about the users at the table: seats, spectators, who left or came
// back, raised hands and the table settings round.

#include <QByteArray>

namespace kelpo {

class Client;

void HandleRoomMessage(Client& client, const QByteArray& message);

} // namespace kelpo
