// Values of a loaded skin written briefly in tests.
#pragma once

#include "skin/data/SkinSections.h"

#include <ostream>

namespace skin {
// A stored colour prints as its number in failing comparisons.
inline void PrintTo(SkinColor c, std::ostream* os) {
    *os << Value(c);
}
} // namespace skin

namespace testing_support {

// A gradient step from one colour to another over `percent` of the length.
inline skin::GradientStep Step(int32_t from, int32_t to, uint8_t percent, int mode = 0) {
    return {skin::SkinColor{from}, skin::SkinColor{to}, percent, mode, 0};
}

} // namespace testing_support
