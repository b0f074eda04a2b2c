#include "platform/Rounding.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr int kIntMin = std::numeric_limits<int>::min();
constexpr int kIntMax = std::numeric_limits<int>::max();

struct RoundingCase
{
    double value;
    int rounded;
};

const RoundingCase kCases[] = {
    {0.5, 0},
    {1.5, 2},
    {2.5, 2},
    {-0.5, 0},
    {-1.5, -2},
    {-2.5, -2},
    {2.4999999, 2},
    {2.5000001, 3},
    {0.49999999999999994, 0},
    {-7.2, -7},
    {-7.8, -8},
    {1000000000.5, 1000000000},
    {1000000001.5, 1000000002},
    {-1000000001.5, -1000000002},
    {2147483646.5, 2147483646},
    {2147483647.5, kIntMax},
    {-2147483647.5, kIntMin},
    {1e300, kIntMax},
    {-1e300, kIntMin},
    {std::numeric_limits<double>::infinity(), kIntMax},
    {std::nan(""), 0},
};

struct FpuMode
{
    const char *name;
    int mode;
};

void PrintTo(const FpuMode &mode, std::ostream *os)
{
    *os << mode.name;
}

// Leaves the FPU in the given rounding mode until it goes out of scope.
class RoundingModeScope
{
public:
    explicit RoundingModeScope(int mode)
        : m_previous(std::fegetround())
        , m_set(std::fesetround(mode) == 0)
    {
    }
    ~RoundingModeScope() { std::fesetround(m_previous); }
    RoundingModeScope(const RoundingModeScope &) = delete;
    RoundingModeScope &operator=(const RoundingModeScope &) = delete;

    bool isSet() const { return m_set; }

private:
    int m_previous;
    bool m_set;
};

class RoundHalfEven : public testing::TestWithParam<FpuMode>
{
};

} // namespace

// The board's layout and the running text both round through this one helper; a rounding
// that followed the FPU mode would move rows and text whenever some library left the mode
// changed.
TEST_P(RoundHalfEven, RoundsHalvesToEvenInEveryFpuMode)
{
    std::vector<int> results;
    {
        const RoundingModeScope scope(GetParam().mode);
        ASSERT_TRUE(scope.isSet()) << GetParam().name;
        for (const RoundingCase &c : kCases)
            results.push_back(roundHalfEven(c.value));
    }
    ASSERT_EQ(results.size(), std::size(kCases));
    for (size_t i = 0; i < results.size(); ++i)
        EXPECT_EQ(results[i], kCases[i].rounded) << kCases[i].value;
}

INSTANTIATE_TEST_SUITE_P(Rounding, RoundHalfEven,
                         testing::Values(FpuMode{"ToNearest", FE_TONEAREST}, FpuMode{"Upward", FE_UPWARD},
                                         FpuMode{"Downward", FE_DOWNWARD}, FpuMode{"TowardZero", FE_TOWARDZERO}),
                         [](const testing::TestParamInfo<FpuMode> &info) { return std::string(info.param.name); });
