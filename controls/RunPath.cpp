#include "RunPath.h"

#include "platform/Rounding.h"

#include <limits>

namespace runpath {

int saturate(std::int64_t value)
{
    if (value < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    if (value > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    return static_cast<int>(value);
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
