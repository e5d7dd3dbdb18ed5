// The program's five windows. They are created in the order Form1 .. Form5
// and live until the program ends; the references below are valid from each
// window's creation until then (null before and after). The program makes
// the companions (help, ancestors, author) after the main window's first
// paint, since nobody sees them before.
#pragma once

#include "app/MainWindow.h"
#include "app/TextStoreWindow.h"
#include "windows/AncestorsWindow.h"
#include "windows/AuthorWindow.h"
#include "windows/HelpWindow.h"

#include <memory>

namespace app {

extern TForm1* Form1;
extern TForm2* Form2;
extern windows::TForm3* Form3;
extern windows::TForm4* Form4;
extern windows::TForm5* Form5;

class WindowSet {
public:
    enum class Companions { Now, Later };

    // Creates Form1 (whose creation handler runs before any other window
    // exists) and Form2, then, all hidden, the companions Form3 .. Form5:
    // now, or at the first CreateCompanions. With Later, the main window
    // creates them itself when a menu command asks for one first.
    WindowSet(oracle::ReadingState& reading, platform::RandomSource& random,
              Companions when = Companions::Now);
    ~WindowSet();

    WindowSet(const WindowSet&) = delete;
    WindowSet& operator=(const WindowSet&) = delete;

    // Creates Form3 .. Form5 in that order; nothing once they exist.
    void CreateCompanions();

private:
    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<TForm2> form2_;
    std::unique_ptr<windows::TForm3> form3_;
    std::unique_ptr<windows::TForm4> form4_;
    std::unique_ptr<windows::TForm5> form5_;
};

} // namespace app
