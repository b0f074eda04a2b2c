#include "RunPath.h"

#include <cmath>
#include <limits>

namespace runpath {

namespace {

constexpr double kIntMin = std::numeric_limits<int>::min();
constexpr double kIntMax = std::numeric_limits<int>::max();

} // namespace

int saturate(std::int64_t value)
{
    if (value < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    if (value > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    return static_cast<int>(value);
}

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

double fraction(int position, int steps)
{
    if (steps <= 0)
        return 0.0;
    return static_cast<double>(position) / static_cast<double>(steps);
}

int centred(int extent, int box)
{
    if (box >= extent)
        return 0;
    return saturate((static_cast<std::int64_t>(extent) - box) / 2);
}

int fromFarEdge(double f, int box, int extent)
{
    const double path = static_cast<double>(box) + static_cast<double>(extent);
    return saturate(static_cast<std::int64_t>(roundHalfEven((1.0 - f) * path)) - box);
}

int fromNearEdge(double f, int box, int extent)
{
    const double path = static_cast<double>(box) + static_cast<double>(extent);
    return saturate(static_cast<std::int64_t>(roundHalfEven(f * path)) - box);
}

} // namespace runpath
