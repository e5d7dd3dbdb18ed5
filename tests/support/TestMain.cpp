// Runs the tests inside an application object, on the offscreen platform
// unless the environment chooses another.
#include "platform/Application.h"
#include "platform/Fonts.h"
#include "platform/Sound.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("CHAROLIST_SOUND_MODULE"))
        qputenv("CHAROLIST_SOUND_MODULE", CHAROLIST_SOUND_MODULE_PATH);
    platform::TApplication app(argc, argv);
    platform::LoadFonts();
    ::testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    platform::ReleaseSystemWavePlayer();
    return status;
}
