// The sound module's two entry points. The module holds the player on Qt
// Multimedia and is loaded on the first wave played: linked into the
// program, Qt Multimedia and the sound libraries it pulls in cost every
// start-up several milliseconds, for music most runs never play.
#pragma once

namespace platform {

class WavePlayer;

// The module's file name, and the names of its entry points.
inline constexpr char kSoundModuleFile[] = "charolist-sound.so";
inline constexpr char kSoundModulePlayer[] = "CharolistWavePlayer";
inline constexpr char kSoundModuleRelease[] = "CharolistReleaseWavePlayer";

} // namespace platform

extern "C" {
// The module's one player; it lives until the release below.
platform::WavePlayer* CharolistWavePlayer();
// Lets a wave that is still being read finish, then lets the player go.
void CharolistReleaseWavePlayer();
}
