#include "app/WindowSet.h"

namespace app {

TForm1* Form1 = nullptr;
TForm2* Form2 = nullptr;
windows::TForm3* Form3 = nullptr;
windows::TForm4* Form4 = nullptr;
windows::TForm5* Form5 = nullptr;

WindowSet::WindowSet(oracle::ReadingState& reading, platform::RandomSource& random,
                     Companions when) {
    form1_ = std::make_unique<TForm1>(reading, random);
    Form1 = form1_.get();
    form2_ = std::make_unique<TForm2>(oracle::TextStore::LoadEmbedded());
    Form2 = form2_.get();
    if (when == Companions::Now)
        CreateCompanions();
    else
        Form1->OnNeedCompanions = [this] { CreateCompanions(); };
}

void WindowSet::CreateCompanions() {
    if (form3_)
        return;
    form3_ = std::make_unique<windows::TForm3>(Form1);
    Form3 = form3_.get();
    form4_ = std::make_unique<windows::TForm4>(Form1);
    Form4 = form4_.get();
    form5_ = std::make_unique<windows::TForm5>(Form1);
    Form5 = form5_.get();
}

WindowSet::~WindowSet() {
    Form5 = nullptr;
    Form4 = nullptr;
    Form3 = nullptr;
    Form2 = nullptr;
    Form1 = nullptr;
    form5_.reset();
    form4_.reset();
    form3_.reset();
    form2_.reset();
    form1_.reset();
}

} // namespace app
