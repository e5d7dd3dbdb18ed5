// Form3: the message from the ancestors. A verse scrolls up in red on a
// black panel while the music plays; after 37 seconds the panel goes blank
// and the music plays on. Closing hides the window and stops the music.
#pragma once

#include "controls/ScrollingCredits.h"
#include "platform/Form.h"
#include "platform/Sound.h"

#include <QTimer>

namespace windows {

inline const QString kMusicResource = QStringLiteral(":/sound/WAVE_0.wav");
inline const QString kVerseResource = QStringLiteral(":/texts/verse.txt");

// The verse as lines; throws when it is missing.
QStringList LoadVerse();

class TForm3 : public platform::TForm {
    Q_OBJECT
public:
    explicit TForm3(QWidget* mainForm = nullptr);

    controls::TScrollingCredits* ScrollingCredits1 = nullptr;
    QTimer Timer1;
    // Where the music goes; the desktop's sound service unless replaced.
    platform::WavePlayer* Player = &platform::SystemWavePlayer();

    void Timer1Timer();

protected:
    void FormShow() override;
    void FormClose() override;
};

} // namespace windows
