#pragma once
// A table in the middle of a hand, with something in every place the view
// draws: for looking at the drawing as a whole and for timing it.

#include "table/TablePainter.h"

namespace kelpo {

// Fills the state behind painter with six players (the local one at seat 1),
// an 18-card hand with two cards raised, plays at every seat with one pass,
// rank and warning marks, card counts, scores and, when threeHand is set,
// the two partner hands; sizes the table and repaints it. With a time bar
// attached the clock runs for the seat on the local player's right.
void SetUpSampleTable(TablePainter& painter, int width, int height, bool threeHand);

// The results shown by the sample's end panel.
std::array<std::int32_t, SeatCount> SampleResults();

} // namespace kelpo
