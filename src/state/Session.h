#pragma once
// The session part of the client state: where the program lives, the level
// table, and which seat the table is viewed from.

#include "state/ClientState.h"

#include <QString>

namespace kelpo {

// Fills AppPath (programDir, or the current AppPath when empty, or the
// executable's folder when both are) and ParentPath, clears the seat view,
// StartOffered, MatchStarted and QuitRequested, and rebuilds the level table
// and the user class names.
void InitSession(ClientState& state, const QString& programDir = QString());

// The folder above `appPath` (which ends in "/"), ending in "/". The root is
// its own parent.
QString ParentPathOf(const QString& appPath);

// Puts the seat of ViewedUserName at the bottom of the table (view position
// 2) and the others round from there; nothing changes when no seat holds it.
void MapSeatsToView(ClientState& state);

} // namespace kelpo
