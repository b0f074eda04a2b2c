#pragma once

// The integer nearest to `value`, halves going to the even neighbour (the board's Round),
// clamped to the int range; NaN gives 0. The result is the same whatever rounding mode
// the FPU is left in, which std::nearbyint and std::rint do not promise.
int roundHalfEven(double value);
