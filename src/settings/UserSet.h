#pragma once
// The user's five on/off preferences and their file, UserSet.ini in the
// program directory: five numbers 0..255, one per line.

#include "state/ClientState.h"

namespace kelpo {

void DefaultUserSet(Preferences& prefs);

// A missing or damaged file gives all five defaults, never a partial read.
void LoadUserSet(ClientState& state);

// False when the file could not be written; the old file then stays whole.
bool SaveUserSet(const ClientState& state);

// Where the file lives for this state's AppPath.
QString UserSetPath(const ClientState& state);

} // namespace kelpo
