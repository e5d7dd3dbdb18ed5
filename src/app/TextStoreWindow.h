// Form2: the window that holds the oracle's 27 texts. It is created at
// start-up and never shown; only its texts are read, by label name.
#pragma once

#include "oracle/RuneCatalogue.h"
#include "platform/WidgetControl.h"

#include <QWidget>

namespace app {

class TForm2 : public QWidget, public platform::WidgetControl {
    Q_OBJECT
public:
    explicit TForm2(oracle::TextStore store);

    QWidget* Widget() override { return this; }

    // The caption of one of the labels sLabel1 .. sLabel27; empty for any other name.
    QString LabelCaption(const QString& label) const { return store_.Caption(label); }
    const oracle::TextStore& Store() const { return store_; }

    void setVisible(bool) override {} // never shown

private:
    oracle::TextStore store_;
};

} // namespace app
