#include "app/WindowSet.h"

namespace app {

TForm1* Form1 = nullptr;

WindowSet::WindowSet(oracle::ReadingState& reading, platform::RandomSource& random, Companions when,
                     const QString& skinPath) {
    form1_ = std::make_unique<TForm1>(reading, random, skinPath);
    Form1 = form1_.get();
    form1_->AdoptTextStore(std::make_unique<TForm2>(oracle::TextStore::LoadEmbedded()));
    if (when == Companions::Now)
        CreateCompanions();
}

WindowSet::~WindowSet() {
    Form1 = nullptr;
    form1_.reset();
}

} // namespace app
