#include "game/RoomMessages.h"

#include "game/Client.h"

namespace kelpo {

void HandleRoomMessage(Client&, const QByteArray&) {}

} // namespace kelpo
