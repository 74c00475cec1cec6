#pragma once
// The numeric value of a text, as every count, port, seat and setting read
// from a text field is taken: leading blanks, an optional sign, digits with an
// optional fraction, and whatever follows ignored. A text with no number is 0.

#include <QStringView>

#include <cmath>
#include <concepts>
#include <cstdint>
#include <limits>

namespace kelpo {

double NumericValue(QStringView text);

// The value converted to an integer type: rounded half to even, and clamped to
// the type's range so an absurd value can never wrap around.
template <std::integral Int>
Int NumericValueAs(QStringView text)
{
    const double v = std::nearbyint(NumericValue(text));
    constexpr double lo = static_cast<double>(std::numeric_limits<Int>::min());
    constexpr double hi = static_cast<double>(std::numeric_limits<Int>::max());
    if (std::isnan(v))
        return 0;
    if (v <= lo)
        return std::numeric_limits<Int>::min();
    if (v >= hi)
        return std::numeric_limits<Int>::max();
    return static_cast<Int>(v);
}

inline std::int32_t NumericInt32(QStringView text) { return NumericValueAs<std::int32_t>(text); }
inline std::uint8_t NumericByte(QStringView text) { return NumericValueAs<std::uint8_t>(text); }

} // namespace kelpo
