#include "windows/AncestorsWindow.h"

#include "support/Printers.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

using namespace windows;

namespace {

// Records what the window asks of the sound service.
struct RecordingPlayer : platform::WavePlayer {
    QStringList Calls;
    void Play(const QString& resource) override { Calls << "play " + resource; }
    void Stop() override { Calls << "stop"; }
};

uint32_t LE(const QByteArray& b, int at, int size) {
    uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = (v << 8) | static_cast<uint8_t>(b[at + i]);
    return v;
}

class AncestorsTest : public ::testing::Test {
protected:
    void SetUp() override {
        main.resize(800, 600);
        main.move(100, 50);
        main.show();
        form = std::make_unique<TForm3>(&main);
        form->Player = &player;
    }

    // Rows of the panel's own picture that hold a pixel of this colour.
    int PixelsOf(platform::TColor colour) {
        platform::Bitmap pic;
        form->ScrollingCredits1->PaintOffscreen(pic);
        int n = 0;
        for (int y = 1; y < pic.Height() - 1; ++y)
            for (int x = 1; x < pic.Width() - 1; ++x)
                n += pic.Pixel(x, y) == colour;
        return n;
    }

    QWidget main;
    RecordingPlayer player;
    std::unique_ptr<TForm3> form;
};

} // namespace

TEST_F(AncestorsTest, WindowAndPanelAreSetUp) {
    EXPECT_EQ(form->Caption(), "Послание от предков.");
    EXPECT_EQ(form->ClientSize(), QSize(489, 291));
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
    auto* credits = form->ScrollingCredits1;
    EXPECT_EQ(credits->geometry(), QRect(24, 24, 441, 217));
    EXPECT_EQ(credits->Credits(), LoadVerse());
    EXPECT_EQ(credits->CreditsFont().Height, 19);
    EXPECT_EQ(credits->CreditsFont().Color, platform::RGBColor(255, 0, 0));
    EXPECT_EQ(credits->CreditsFont().Name, "Times New Roman");
    EXPECT_EQ(credits->Interval(), 60u);
    EXPECT_FALSE(credits->Animate());
    EXPECT_EQ(form->Timer1.interval(), 37000);
    EXPECT_FALSE(form->Timer1.isActive());
    EXPECT_TRUE(player.Calls.isEmpty()); // creating it plays nothing
}

TEST_F(AncestorsTest, TheWholeLife) {
    auto* credits = form->ScrollingCredits1;
    // Shown: the verse starts below the bottom edge in red, the music starts.
    form->show();
    EXPECT_EQ(form->frameGeometry().center(), main.frameGeometry().center());
    EXPECT_TRUE(form->Timer1.isActive());
    EXPECT_TRUE(credits->Animate());
    EXPECT_TRUE(credits->TimerRunning());
    EXPECT_EQ(credits->ScrollOffset(), 217 + credits->LineHeight());
    EXPECT_EQ(player.Calls, QStringList{"play :/sound/WAVE_0.wav"});
    for (int i = 0; i < 300; ++i)
        credits->AnimationTick();
    EXPECT_GT(PixelsOf(platform::RGBColor(255, 0, 0)), 200);

    // Closed while scrolling, shown again: everything starts over.
    form->close();
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->Timer1.isActive());
    EXPECT_EQ(player.Calls.last(), "stop");
    form->show();
    EXPECT_EQ(credits->ScrollOffset(), 217 + credits->LineHeight());
    EXPECT_EQ(player.Calls.last(), "play :/sound/WAVE_0.wav");
    EXPECT_TRUE(form->Timer1.isActive());

    // 37 seconds on: a blank page with its white border; the music goes on.
    for (int i = 0; i < 300; ++i)
        credits->AnimationTick();
    const int callsBefore = player.Calls.size();
    form->Timer1Timer();
    EXPECT_FALSE(credits->Animate());
    EXPECT_FALSE(credits->TimerRunning());
    EXPECT_FALSE(form->Timer1.isActive());
    EXPECT_EQ(player.Calls.size(), callsBefore);
    EXPECT_EQ(PixelsOf(platform::RGBColor(255, 0, 0)), 0);
    EXPECT_EQ(PixelsOf(platform::clBlack), 439 * 215);
    const QImage shown = credits->grab().toImage();
    EXPECT_EQ(QColor(shown.pixel(0, 0)), QColor(Qt::white));
    EXPECT_EQ(QColor(shown.pixel(220, 100)), QColor(Qt::black));

    // Closed after the blanking and shown again: red scrolling again.
    form->close();
    form->show();
    for (int i = 0; i < 300; ++i)
        credits->AnimationTick();
    EXPECT_GT(PixelsOf(platform::RGBColor(255, 0, 0)), 200);
}

TEST_F(AncestorsTest, TheTimerReallyBlanksThePanel) {
    // The timer's own tick, not a direct call: a short interval stands in for 37 s.
    form->show();
    form->Timer1.setInterval(20);
    form->Timer1.start();
    QTest::qWait(200);
    EXPECT_FALSE(form->ScrollingCredits1->Animate());
    EXPECT_EQ(form->ScrollingCredits1->CreditsFont().Color, platform::clBlack);
}

TEST(Verse, HasItsShape) {
    const QStringList verse = LoadVerse();
    ASSERT_EQ(verse.size(), 19);
    const int lengths[] = {28, 35, 30, 21, 28, 19, 36, 33, 18, 41, 29, 29, 22, 35};
    for (int i = 0; i < 14; ++i) {
        EXPECT_EQ(verse[i].size(), lengths[i]) << "line " << i + 1;
        EXPECT_EQ(verse[i].endsWith(u' '), i == 2 || i == 4 || i == 9 || i == 11) << i + 1;
    }
    EXPECT_TRUE(verse[0].startsWith(u'"'));
    EXPECT_TRUE(verse[13].endsWith("!!!\""));
    EXPECT_EQ(verse[14], QString());
    EXPECT_EQ(verse[15], QString());
    EXPECT_EQ(verse[16].size(), 40);
    EXPECT_TRUE(verse[16].startsWith(" (") && verse[16].endsWith(")"));
    EXPECT_EQ(verse[17], QString());
    EXPECT_EQ(verse[18], QString());
    EXPECT_FALSE(verse.join("").contains(u'&'));
}

TEST(Music, IsTheWaveOfTheRightShape) {
    QFile f(kMusicResource);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray w = f.readAll();
    ASSERT_EQ(w.size(), 5185198);
    EXPECT_EQ(w.mid(0, 4), "RIFF");
    EXPECT_EQ(LE(w, 4, 4), 5185190u);
    EXPECT_EQ(w.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(LE(w, 16, 4), 18u);
    EXPECT_EQ(LE(w, 20, 2), 1u); // PCM
    EXPECT_EQ(LE(w, 22, 2), 1u); // mono
    EXPECT_EQ(LE(w, 24, 4), 22050u);
    EXPECT_EQ(LE(w, 28, 4), 44100u);
    EXPECT_EQ(LE(w, 32, 2), 2u);
    EXPECT_EQ(LE(w, 34, 2), 16u);
    EXPECT_EQ(LE(w, 36, 2), 0u);
    EXPECT_EQ(w.mid(38, 4), "data");
    EXPECT_EQ(LE(w, 42, 4), 5185152u);

    const int count = 2592576;
    auto sample = [&](int i) { return static_cast<int16_t>(LE(w, 46 + 2 * i, 2)); };
    int peak = 0, jump = 0;
    double sum = 0, tail = 0, middle = 0;
    for (int i = 0; i < count; ++i) {
        const int s = sample(i);
        peak = std::max(peak, std::abs(s));
        if (i > 0)
            jump = std::max(jump, std::abs(s - sample(i - 1)));
        sum += s;
        if (i >= count - 22050 / 2)
            tail += double(s) * s;
        if (i >= count / 2 && i < count / 2 + 22050 * 10)
            middle += double(s) * s;
    }
    EXPECT_LT(peak, 32767 * 0.95);           // no clipping: below full scale
    EXPECT_GT(peak, 32767 * 0.5);            // and not whisper-quiet
    EXPECT_LT(std::abs(sum / count), 200.0); // centred on zero
    // No hard discontinuities anywhere (a cut-off note would jump).
    EXPECT_LT(jump, 32767 * 0.5);
    // The last half second is the end of a gentle fade.
    EXPECT_LT(tail / (22050 / 2), middle / (22050 * 10) / 100);
    EXPECT_LT(std::abs(sample(count - 1)), 50);
    EXPECT_LT(std::abs(sample(0)), 50);
}

TEST(Music, PlayingWithoutASoundDeviceIsHarmlessAndQuick) {
    // CI machines have no sound device: both calls must return at once.
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 3; ++i) {
        platform::SystemWavePlayer().Play(kMusicResource);
        QApplication::processEvents();
        platform::SystemWavePlayer().Stop();
    }
    EXPECT_LT(clock.elapsed(), 1500);
    // The player is the real one, from the sound module.
    EXPECT_TRUE(platform::SoundModuleLoaded());
}
