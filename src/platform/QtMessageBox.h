#pragma once

#include "platform/MessageBox.h"

namespace platform {

class QtMessageBox final : public MessageBox {
public:
    int Show(const QString &text, Buttons buttons) override;
};

} // namespace platform
