#pragma once
// Messages about the users at the table: seats, spectators, who left or came
// back, raised hands and the table settings round.

#include <QByteArray>
#include <QString>

namespace kelpo {

class Client;

void HandleRoomMessage(Client& client, const QByteArray& message);

// The user list's users-added event (names joined by back-quotes): each
// name becomes a chat addressee and each player among them takes a seat.
void lstUser_UsersAdded(Client& client, const QString& names);

// Hooks the room side to the main window's parts once they are in
// client.room: the list's users-added event, the start button and its
// timer. Only the first call on a client acts.
void ConnectRoomSide(Client& client);

} // namespace kelpo
