#include "platform/Sound.h"

#include <QCoreApplication>
#include <QSoundEffect>
#include <QUrl>

namespace platform {

namespace {

class SoundEffectPlayer : public WavePlayer {
public:
    void Play(const QString& resource) override {
        if (!effect_) {
            effect_ = std::make_unique<QSoundEffect>();
            // The effect must go while the application object still exists.
            qAddPostRoutine([] { static_cast<SoundEffectPlayer&>(SystemWavePlayer()).Release(); });
        }
        effect_->stop();
        const QUrl source(QStringLiteral("qrc") + resource);
        if (effect_->source() != source)
            effect_->setSource(source);
        effect_->setLoopCount(1);
        // Plays as soon as the wave is loaded; an error (no device) stays silent.
        effect_->play();
    }

    void Release() { effect_.reset(); }

    void Stop() override {
        if (effect_)
            effect_->stop();
    }

private:
    std::unique_ptr<QSoundEffect> effect_;
};

} // namespace

WavePlayer& SystemWavePlayer() {
    static SoundEffectPlayer player;
    return player;
}

} // namespace platform
