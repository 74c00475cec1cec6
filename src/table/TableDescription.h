#pragma once
// The table picture as a list of things a screen reader can name: every
// hand card, the buttons on show, the six seats and the turn clock, each
// with its place on the picture and its state.

#include "state/ClientState.h"

#include <QRect>
#include <QString>

#include <vector>

namespace kelpo {

struct TableItem {
    enum class Kind { Card, Button, Seat, Clock };
    Kind kind = Kind::Card;
    QString name;
    QString description;
    QRect rect;
    bool raised = false;  // a hand card chosen for the play
    bool focused = false; // the keyboard's card
};

std::vector<TableItem> DescribeTable(const ClientState& state);

} // namespace kelpo
