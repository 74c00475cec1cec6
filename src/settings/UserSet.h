#pragma once
// The user's five on/off preferences and their file UserSet.ini: five
// numbers 0..255, one per line. The file is saved in the user's
// configuration folder, since a program installed for all users cannot
// write next to itself; a file next to the program is still read when the
// user has none of their own.

#include "state/ClientState.h"

namespace kelpo {

void DefaultUserSet(Preferences& prefs);

// A missing or damaged file gives all five defaults, never a partial read.
void LoadUserSet(ClientState& state);

// Writes the user's own file, creating its folder. False when it could not
// be written; the old file then stays whole.
bool SaveUserSet(const ClientState& state);

// The user's own file: kelpo/UserSet.ini in the configuration home. Empty
// when the system names no such folder.
QString UserSetSavePath();

// The file LoadUserSet reads: the user's own when it exists, else the one
// next to the program (AppPath).
QString UserSetPath(const ClientState& state);

} // namespace kelpo
