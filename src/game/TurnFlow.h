#pragma once
// Turning the server's (acting seat, phase) into clock and buttons, and the
// start button with its countdown between hands.

namespace kelpo {

class Client;

// Applies ActingSeat and TurnPhase: the turn clock, the option, play, pass
// and tribute buttons, and between hands the start button. A player whose
// turn comes with an empty hand answers at once with SendNoCards; no clock
// runs for that turn, so nothing is ever played automatically for it.
void ApplyTurn(Client& client);

// Stops the turn clock and withdraws the start button.
void ClearTurn(Client& client);

// Shows the start button exactly while StartOffered (never to a spectator)
// and runs the countdown timer with it.
void UpdateStartButton(Client& client);

// Moves the start button to its place beside the bottom seat; for repaints
// that must not disturb a running countdown.
void PlaceStartButton(Client& client);

// [2] [0] [MySeat]: the local seat has no cards to act with.
void SendNoCards(Client& client);

void cmdStart_Click(Client& client);

// One second of the start countdown. It waits while nobody has raised a
// hand; at 0 it presses the button for the player, or, with no hand in
// play, ends the program.
void tmrStart_Timer(Client& client);

// Puts the start button on the table picture and hooks it and tmrStart to
// the handlers above; ConnectRoomSide calls it once per client.
void ConnectStartControls(Client& client);

} // namespace kelpo
