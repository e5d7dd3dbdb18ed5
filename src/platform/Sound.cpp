#include "platform/Sound.h"

#include "platform/SoundModule.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QStringList>

namespace platform {

namespace {

using PlayerEntry = WavePlayer* (*)();
using ReleaseEntry = void (*)();

// Where the module may lie: named by the environment (the tests' build
// folders), beside the program (the build folder) or in the program's
// library folder of an install (PREFIX/bin -> PREFIX/lib/charolist).
QStringList ModuleCandidates() {
    QStringList paths;
    const QString named = qEnvironmentVariable("CHAROLIST_SOUND_MODULE");
    if (!named.isEmpty())
        paths << named;
    const QString here = QCoreApplication::applicationDirPath();
    const QString file = QString::fromLatin1(kSoundModuleFile);
    paths << here + u'/' + file << here + QStringLiteral("/../lib/charolist/") + file;
    return paths;
}

// Loads the module on the first wave; without it every call stays silent,
// as without a sound device.
class ModulePlayer : public WavePlayer {
public:
    void Play(const QString& resource) override {
        if (WavePlayer* player = Loaded())
            player->Play(resource);
    }

    void Stop() override {
        if (player_)
            player_->Stop();
    }

    void Release() {
        if (release_)
            release_();
        // The module stays: Qt Multimedia keeps threads and caches that a
        // second wave would need again.
    }

    bool IsLoaded() const { return player_ != nullptr; }

private:
    WavePlayer* Loaded() {
        if (player_ || tried_)
            return player_;
        tried_ = true;
        for (const QString& path : ModuleCandidates()) {
            QLibrary module(path);
            auto player = reinterpret_cast<PlayerEntry>(module.resolve(kSoundModulePlayer));
            auto release = reinterpret_cast<ReleaseEntry>(module.resolve(kSoundModuleRelease));
            if (player && release) {
                release_ = release;
                player_ = player();
                // The player must go while the application object still exists.
                qAddPostRoutine(ReleaseSystemWavePlayer);
                break;
            }
        }
        return player_;
    }

    WavePlayer* player_ = nullptr;
    ReleaseEntry release_ = nullptr;
    bool tried_ = false;
};

ModulePlayer& Player() {
    static ModulePlayer player;
    return player;
}

} // namespace

WavePlayer& SystemWavePlayer() {
    return Player();
}

void ReleaseSystemWavePlayer() {
    Player().Release();
}

bool SoundModuleLoaded() {
    return Player().IsLoaded();
}

} // namespace platform
