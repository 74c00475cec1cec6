#pragma once
// Play classification and the checks of the local player's lead and follow
// before a play is sent (modGameDefine).

#include "rules/Cards.h"

#include <QString>

#include <cstdint>

namespace kelpo {

enum class PlayType : std::uint8_t {
    Single = 0,
    Pair = 1,
    SameRank = 2,
    Invalid = 100,
};

// Refusal texts shown to the player.
QString WrongPatternMessage();
QString WrongCountMessage();
QString WrongTypeMessage();
QString NotHigherMessage();

// Classifies the whole list. maxCard receives the highest card of a valid
// play and is left alone otherwise. Empty lists, mixed ranks, codes that are
// not cards and lists beyond the card model (more than 54 cards, more than 24
// of one rank) are Invalid.
PlayType ClassifyPlay(const CardList& cards, CardCode& maxCard);

// A lead may be any valid play. type and maxCard receive the classification
// whatever the answer (maxCard only for a valid type); message is set only on
// refusal.
bool CheckLeadPlay(const CardList& cards, QString& message, PlayType& type, CardCode& maxCard);

// A follow must have the count and type of best and a strictly higher rank;
// the first failing check decides the message.
bool CheckFollowPlay(const CardList& cards, const RoundBest& best, QString& message, PlayType& type,
                     CardCode& maxCard);

} // namespace kelpo
