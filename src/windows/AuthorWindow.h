// The author window.
#pragma once

#include "platform/Form.h"

namespace windows {

class TForm4 : public platform::TForm {
    Q_OBJECT
public:
    explicit TForm4(QWidget* mainForm = nullptr);
};

} // namespace windows
