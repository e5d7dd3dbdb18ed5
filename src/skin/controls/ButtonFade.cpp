#include "skin/controls/ButtonFade.h"

#include <algorithm>

namespace skin {

int FadeWeight(int frameNumber, int steps) {
    if (steps <= 0)
        return 0;
    return std::clamp(255 - frameNumber * 256 / steps, 0, 255);
}

void BlendFadeFrame(const platform::Bitmap& from, const platform::Bitmap& to, int weight,
                    platform::Bitmap& frame) {
    const int w = std::min(from.Width(), to.Width()), h = std::min(from.Height(), to.Height());
    frame.SetSize(w, h);
    const uint32_t a = uint32_t(std::clamp(weight, 0, 255));
    for (int y = 0; y < h; ++y) {
        const auto* f = reinterpret_cast<const uint8_t*>(from.ScanLine(y));
        const auto* t = reinterpret_cast<const uint8_t*>(to.ScanLine(y));
        auto* out = reinterpret_cast<uint8_t*>(frame.ScanLine(y));
        for (int i = 0; i < 4 * w; ++i)
            out[i] = uint8_t((f[i] * a + t[i] * (255 - a) + 127) >> 8);
    }
}

TsFadeTimer::TsFadeTimer() {
    timer_.setInterval(kInterval);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] {
        if (OnTick)
            OnTick();
    });
}

void TsFadeTimer::Start(platform::Bitmap from, int iterations, bool halfSteps) {
    FromPicture = std::move(from);
    FadeSteps = halfSteps ? iterations / 2 : iterations;
    FrameNumber = 1;
    FadeMode = 1;
    timer_.start();
}

void TsFadeTimer::NextFrame(const platform::Bitmap& to, platform::Bitmap& frame) {
    BlendFadeFrame(FromPicture, to, FadeWeight(FrameNumber, FadeSteps), frame);
    ++FrameNumber;
}

void TsFadeTimer::Stop() {
    timer_.stop();
    FadeMode = 0;
}

} // namespace skin
