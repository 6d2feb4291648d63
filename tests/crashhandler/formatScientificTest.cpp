#include "crashhandler/formatScientific.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace crashhandler {
namespace {

std::string formatted(double value)
{
    char text[scientificTextSize];
    const size_t length = formatScientific(value, text);
    EXPECT_EQ(length, std::strlen(text));
    return text;
}

// printf's "%e", but for the sign of NaN, which C libraries differ on: the report keeps it.
std::string printed(double value)
{
    if (std::isnan(value))
        return std::signbit(value) ? "-nan" : "nan";
    char text[64];
    std::snprintf(text, sizeof text, "%e", value);
    return text;
}

// Special values and rounding edges, then arbitrary bit patterns: register contents may hold any double.
TEST(formatScientificTest, AgreesWithPrintf)
{
    using limits = std::numeric_limits<double>;
    // clang-format off
    std::vector<double> values = {
        0.0, -0.0, 1.0, -1.5, 0.1, 9.9999995, 9.9999994999, 99999995, 12345675, 12345665, 0.5, 1e-5, limits::max(),
        limits::min(), limits::denorm_min(), -limits::denorm_min(), limits::infinity(), -limits::infinity(),
        limits::quiet_NaN(), -limits::quiet_NaN(), 1e100, 1e99, 1e-100,
    };
    // clang-format on
    std::mt19937_64 random(20240611);
    for (int i = 0; i < 20000; ++i) {
        const uint64_t bits = random();
        std::memcpy(&values.emplace_back(), &bits, sizeof bits);
    }
    for (double value : values)
        ASSERT_EQ(formatted(value), printed(value)) << std::hexfloat << value;
}

} // namespace
} // namespace crashhandler
