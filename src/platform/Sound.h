// Playing the program's wave: asynchronously, once, replacing any sound that
// is playing; stopping it at once. Where no sound device exists both calls
// quietly do nothing. The player and the sound module under it come up on
// the first wave played, so start-up never waits for the sound system.
#pragma once

#include <QString>
#include <memory>

namespace platform {

class WavePlayer {
public:
    virtual ~WavePlayer() = default;
    // Starts the wave at a resource path (":/sound/WAVE_0.wav") from its beginning.
    virtual void Play(const QString& resource) = 0;
    virtual void Stop() = 0;
};

// The program's player, on the desktop's sound service.
WavePlayer& SystemWavePlayer();

// Lets a wave that is still being read finish, then lets the player go.
// Called before the application object ends: the sound system's shared
// cache cannot be torn down while it is reading a wave.
void ReleaseSystemWavePlayer();

// Whether the sound module has been loaded (by the first wave played).
bool SoundModuleLoaded();

} // namespace platform
