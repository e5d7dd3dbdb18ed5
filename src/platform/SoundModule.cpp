// The player on Qt Multimedia, in a module of its own (see SoundModule.h).
#include "platform/SoundModule.h"

#include "platform/Sound.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSoundEffect>
#include <QUrl>
#include <memory>

namespace {

class SoundEffectPlayer : public platform::WavePlayer {
public:
    void Play(const QString& resource) override {
        if (!effect_)
            effect_ = std::make_unique<QSoundEffect>();
        effect_->stop();
        const QUrl source(QStringLiteral("qrc") + resource);
        if (effect_->source() != source)
            effect_->setSource(source);
        effect_->setLoopCount(1);
        // Plays as soon as the wave is loaded; an error (no device) stays silent.
        effect_->play();
    }

    // A wave still being read is waited for (a few seconds at most), so
    // that nothing is loading when the sound system's cache goes at exit.
    void Release() {
        if (effect_ && effect_->status() == QSoundEffect::Loading) {
            QElapsedTimer waited;
            waited.start();
            while (effect_->status() == QSoundEffect::Loading && waited.elapsed() < 5000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        effect_.reset();
    }

    void Stop() override {
        if (effect_)
            effect_->stop();
    }

private:
    std::unique_ptr<QSoundEffect> effect_;
};

SoundEffectPlayer& Player() {
    static SoundEffectPlayer player;
    return player;
}

} // namespace

extern "C" {

Q_DECL_EXPORT platform::WavePlayer* CharolistWavePlayer() {
    return &Player();
}

Q_DECL_EXPORT void CharolistReleaseWavePlayer() {
    Player().Release();
}
}
