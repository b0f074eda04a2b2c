#include "Rounding.h"

#include <cmath>
#include <limits>

namespace {

constexpr double kIntMin = std::numeric_limits<int>::min();
constexpr double kIntMax = std::numeric_limits<int>::max();

} // namespace

int roundHalfEven(double value)
{
    if (std::isnan(value))
        return 0;
    // floor and the subtraction are exact, so the tie test does not depend on the
    // current rounding mode of the FPU.
    const double below = std::floor(value);
    const double rest = value - below;
    double rounded = below;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(below, 2.0) != 0.0))
        rounded = below + 1.0;
    if (rounded <= kIntMin)
        return std::numeric_limits<int>::min();
    if (rounded >= kIntMax)
        return std::numeric_limits<int>::max();
    return static_cast<int>(rounded);
}
