#include "platform/TextInput.h"

#include <QApplication>
#include <QInputDevice>
#include <QWidget>

namespace platform {

bool TouchIsPrimary()
{
    const QList<const QInputDevice *> devices = QInputDevice::devices();
    return std::any_of(devices.begin(), devices.end(), [](const QInputDevice *device) {
        return device->type() == QInputDevice::DeviceType::TouchScreen;
    });
}

void KeepSystemKeyboardAway(QWidget *box)
{
    // The system is asked for its on-screen keyboard only for widgets that
    // take input-method text; typed keys arrive as plain key presses.
    box->setAttribute(Qt::WA_InputMethodEnabled, false);
}

void BridgeSystemTextInput(QApplication &)
{
}

} // namespace platform
