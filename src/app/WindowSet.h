// The program's five windows. They are created in the order Form1 .. Form5
// and live until the program ends; the references below are valid from each
// window's creation until then (null before and after).
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
    // Creates Form1 (whose creation handler runs before any other window
    // exists), then Form2 .. Form5, all hidden.
    WindowSet(oracle::ReadingState& reading, platform::RandomSource& random);
    ~WindowSet();

    WindowSet(const WindowSet&) = delete;
    WindowSet& operator=(const WindowSet&) = delete;

private:
    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<TForm2> form2_;
    std::unique_ptr<windows::TForm3> form3_;
    std::unique_ptr<windows::TForm4> form4_;
    std::unique_ptr<windows::TForm5> form5_;
};

} // namespace app
