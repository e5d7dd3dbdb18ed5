// The message from the ancestors: a verse scrolling while music plays.
#pragma once

#include "platform/Form.h"

namespace windows {

class TForm3 : public platform::TForm {
    Q_OBJECT
public:
    explicit TForm3(QWidget* mainForm = nullptr);
};

} // namespace windows
