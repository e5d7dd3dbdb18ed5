// Values of a loaded skin written briefly in tests, and the errors of a
// skin that does not load.
#pragma once

#include "skin/data/SkinSections.h"

#include <functional>
#include <ostream>
#include <string>

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

// The message of the skin error `f` throws; "(no error)" when it throws none.
inline std::string SkinErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const skin::ESkinError& e) {
        return e.what();
    }
    return "(no error)";
}

} // namespace testing_support
