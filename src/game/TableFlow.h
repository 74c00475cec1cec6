#pragma once
// The table flow: what the game messages do to the table, the turn clock's
// events with the automatic play for a player whose time ran out, and the
// player's own actions on the table picture (selecting, playing, passing,
// giving the tribute card, the previous-round and re-sort buttons).

#include "game/ExitStatus.h"

#include <QByteArray>

#include <cstdint>

namespace kelpo {

class Client;

// Game message classes, one handler each (the message is whole, class byte
// first; a message of the wrong length is ignored).
void HandleHandStart(Client& client, const QByteArray& m);    // 17
void HandleDeal(Client& client, const QByteArray& m);         // 19
void HandleHandsRefresh(Client& client, const QByteArray& m); // 2
void HandleHandOver(Client& client, const QByteArray& m);     // 22
void HandlePlay(Client& client, const QByteArray& m);         // 20
void HandlePlayRefused(Client& client, const QByteArray& m);  // 21
void HandleTributeCard(Client& client, const QByteArray& m);  // 23

// Events of the time bar.
void YuClock_Tick(Client& client);
void YuClock_Warning(Client& client);
void OnTurnExpired(Client& client);
// One automatic play more; warns one before the table's limit and ends the
// client at the limit.
void CountAutoPlay(Client& client);

// The local player's actions.
void CollectSelectedCards(Client& client);
// kind 0 plays the raised cards, 1 passes.
void PlayAction(Client& client, int kind);
void ApplyOwnPlayLocally(Client& client);
void TributeAction(Client& client);

// Mouse on the table picture; button 1 is the left button, 2 the right.
void picGameBack_MouseMove(Client& client, int x, int y);
void picGameBack_MouseUp(Client& client, int button, int x, int y);
void tmrPaintLastOutPai_Timer(Client& client);
// A key on the table picture (Qt::Key): Left/Right move the focus mark
// along the hand, Space raises or lowers the focused card, 3-9, 0 (the 10),
// J, Q, K, A, 2 and W (a joker) raise the next card of that rank, Enter
// plays (or gives the tribute card) and P or Backspace passes where the
// buttons on the table would, Escape lowers every card. False for a key
// that did nothing.
bool picGameBack_KeyDown(Client& client, int key);

// Hooks the time bar's events, the previous-round timer and the table
// picture's mouse to the handlers above. The main window calls it once its
// parts are in client.room.
void ConnectTableFlowControls(Client& client);

} // namespace kelpo
