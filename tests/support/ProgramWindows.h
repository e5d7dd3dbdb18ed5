// A test with the program's windows made as at start-up and the main window
// shown: it holds the reading, the random source and the window set.
#pragma once

#include "app/Startup.h"
#include "app/WindowSet.h"

#include <QApplication>
#include <gtest/gtest.h>
#include <memory>

namespace testing_support {

class ProgramWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        app::PrepareApplication(*qApp);
        set = std::make_unique<app::WindowSet>(reading, random);
        app::Form1->show();
        QApplication::processEvents();
    }
    void TearDown() override { set.reset(); }

    oracle::ReadingState reading;
    platform::RandomSource random;
    std::unique_ptr<app::WindowSet> set;
};

} // namespace testing_support
