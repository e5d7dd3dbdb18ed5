// The main window's client area as a skinned window hands it to its
// children: the skin's window background, for the benchmarks that paint
// controls.
#pragma once

#include "BenchSupport.h"
#include "skin/draw/SkinPaint.h"
#include "support/SkinnedParent.h"

namespace bench_support {

class Window : public testing_support::SkinnedParent {
public:
    Window() : SkinnedParent(792, 546) {
        skin::RenderSectionByIndex(Manager(),
                                   {.Target = Picture, .Section = Manager().CommonIndexes().Form});
    }
};

} // namespace bench_support
