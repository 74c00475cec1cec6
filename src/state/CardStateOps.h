#pragma once
// The two resets of the table's card state and its restoration from the
// snapshot the room server sends when the local user joins a table.

#include "state/ClientState.h"

#include <QByteArrayView>

namespace kelpo {

// At start-up and on entering a table: seats, cards, table parameters and
// the table buttons all go back to their start values.
void ResetCardState(ClientState& state);

// Before each hand: the seats keep who sits there (and their raised hands
// unless clearHandsUp), everything dealt or played is dropped.
void ResetForNewHand(ClientState& state, bool clearHandsUp);

// Applies a table snapshot (the whole message, class byte first) on top of
// ResetForNewHand(true). A body that ends early applies what it holds;
// counts running past the end, codes that are no card and lists beyond 54
// cards are skipped or cut, never read or written out of range.
void RestoreCardSnapshot(ClientState& state, QByteArrayView body);

} // namespace kelpo
