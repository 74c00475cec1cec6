#pragma once
// A user's standing at the room: what the user list shows of a user and
// what each finished hand adds to it. Bots have none.

#include <QString>

#include <cstdint>

namespace kelpo::server {

struct Account {
    std::int64_t userId = 0;
    QString name;
    std::int64_t score = 0;
    std::int64_t games = 0;
    std::int64_t wins = 0;
    std::int64_t losses = 0;
    std::int64_t draws = 0;
    std::int64_t escapes = 0;
    // The face picture, 1..FaceCount.
    int icon = 0;
    // 0 an ordinary user, 1 a member; the clients name the class.
    int userClass = 0;
    std::int64_t coins = 0;
};

// One human seat of a finished hand: its result, escape penalty included.
struct SeatOutcome {
    QString name;
    std::int64_t result = 0;
    bool escaped = false;
};

// What one hand adds to an account; the database applies it as increments,
// so two servers writing the same account never lose each other's hands.
struct AccountDelta {
    std::int64_t score = 0;
    std::int64_t games = 1;
    std::int64_t wins = 0;
    std::int64_t losses = 0;
    std::int64_t draws = 0;
    std::int64_t escapes = 0;
};

inline AccountDelta DeltaOf(const SeatOutcome& o)
{
    AccountDelta d;
    d.score = o.result;
    d.wins = o.result > 0 ? 1 : 0;
    d.losses = o.result < 0 ? 1 : 0;
    d.draws = o.result == 0 ? 1 : 0;
    d.escapes = o.escaped ? 1 : 0;
    return d;
}

inline void Apply(Account& a, const AccountDelta& d)
{
    a.score += d.score;
    a.games += d.games;
    a.wins += d.wins;
    a.losses += d.losses;
    a.draws += d.draws;
    a.escapes += d.escapes;
}

// Whole percentages, as the user card shows them.
inline int Percent(std::int64_t part, std::int64_t whole)
{
    return whole > 0 ? static_cast<int>(part * 100 / whole) : 0;
}

} // namespace kelpo::server
