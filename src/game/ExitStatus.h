#pragma once
// How the client program ended, as its exit status: the launcher tells the
// user why a game window went.

namespace kelpo {

// Ended by the connection.
inline constexpr int ExitConnectionClosed = 3;
inline constexpr int ExitConnectionFailed = 4;
// Ended by the table flow.
inline constexpr int ExitCannotContinue = 5;
inline constexpr int ExitEscaped = 6;

} // namespace kelpo
