// The help window.
#pragma once

#include "platform/Form.h"

namespace windows {

class TForm5 : public platform::TForm {
    Q_OBJECT
public:
    explicit TForm5(QWidget* mainForm = nullptr);
};

} // namespace windows
