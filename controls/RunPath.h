#pragma once

#include <cstdint>

// Arithmetic of the running text's path, kept free of widgets so it can be checked on
// its own. Every result is clamped to the int range: the step counters and the text
// box come from properties that accept any int, and a run must never overflow.
namespace runpath {

// Clamps a wide value into int.
int saturate(std::int64_t value);

// Fraction of the run done at `position` of `steps`. A run without positive length
// has no meaningful fraction; it is drawn as if it had not started (0).
double fraction(int position, int steps);

// Offset that centres a box inside `extent`, or 0 when the box does not fit
// (the division truncates toward zero).
int centred(int extent, int box);

// Coordinate of a box of size `box` that has covered `f` of its path across `extent`:
// entering from the far edge (right or bottom) at f = 0 and leaving past the near edge
// at f = 1 ...
int fromFarEdge(double f, int box, int extent);
// ... or entering from the near edge (left or top) and leaving past the far one.
int fromNearEdge(double f, int box, int extent);

} // namespace runpath
