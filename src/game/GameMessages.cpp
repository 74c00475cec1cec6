#include "game/GameMessages.h"

#include "game/Client.h"

namespace kelpo {

void HandleGameMessage(Client&, const QByteArray&) {}

} // namespace kelpo
