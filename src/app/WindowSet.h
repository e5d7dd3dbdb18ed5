// The program's windows. The main window, Form1, is made first (its creation
// handler runs before any other window exists) and owns the others: the
// store of the oracle's texts, made next, and the companions (ancestors,
// author, help), made now or at the first CreateCompanions. The program makes
// the companions after the main window's first paint, since nobody sees
// them before; a menu command that needs one makes them at once.
#pragma once

#include "app/MainWindow.h"
#include "app/TextStoreWindow.h"
#include "windows/AncestorsWindow.h"
#include "windows/AuthorWindow.h"
#include "windows/HelpWindow.h"

#include <memory>

namespace app {

// The main window while a WindowSet holds it; null before and after.
extern TForm1* Form1;

class WindowSet {
public:
    enum class Companions { Now, Later };

    // `skinPath`: a skin package or folder to start with instead of the
    // stored choice (the program's --skin).
    WindowSet(oracle::ReadingState& reading, platform::RandomSource& random,
              Companions when = Companions::Now, const QString& skinPath = QString());
    ~WindowSet();

    WindowSet(const WindowSet&) = delete;
    WindowSet& operator=(const WindowSet&) = delete;

    void CreateCompanions() { form1_->CreateCompanions(); }

private:
    std::unique_ptr<TForm1> form1_;
};

} // namespace app
