// The cross-fade of a button from one picture to the next: a frame every
// 10 ms, each a blend of the picture the fade started from and the
// picture now cached, the old one's weight falling to nothing.
#pragma once

#include "platform/Bitmap.h"

#include <QObject>
#include <QTimer>
#include <functional>

namespace skin {

// The old picture's weight in frame n of `steps` (0..255).
int FadeWeight(int frameNumber, int steps);
// frame = (from × w + to × (255 − w) + 127) >> 8, byte by byte; `frame`
// takes the pictures' size (they are of one size).
void BlendFadeFrame(const platform::Bitmap& from, const platform::Bitmap& to, int weight,
                    platform::Bitmap& frame);

// A button's fade: which frame comes next, and the timer that asks for it.
// The button decides when to fade and shows the frames.
class TsFadeTimer : public QObject {
public:
    static constexpr int kInterval = 10; // ms

    TsFadeTimer();

    platform::Bitmap FromPicture;
    int FrameNumber = 1; // the next frame to show, from 1
    int FadeSteps = 0;
    int FadeMode = 0; // 0 stopped, 1 or 2 running

    bool Running() const { return FadeMode != 0 && timer_.isActive(); }
    // Fades from `from` over `iterations` frames, half as many with
    // `halfSteps`; a fade that still runs starts again from `from`.
    void Start(platform::Bitmap from, int iterations, bool halfSteps);
    void Stop();
    // Whether every frame was shown.
    bool Finished() const { return FrameNumber > FadeSteps || FrameNumber < 0; }
    // The next frame, towards `to`, into `frame`.
    void NextFrame(const platform::Bitmap& to, platform::Bitmap& frame);
    // Runs every tick while the fade runs.
    std::function<void()> OnTick;

private:
    QTimer timer_;
};

} // namespace skin
