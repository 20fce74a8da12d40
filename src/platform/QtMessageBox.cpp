#include "platform/QtMessageBox.h"

#include "platform/Services.h"

#include <QMessageBox>
#include <QTimer>

namespace platform {

int QtMessageBox::Show(const QString &text, Buttons buttons)
{
    QMessageBox box;
    box.setObjectName(QStringLiteral("MessageBox"));
    box.setWindowTitle(QStringLiteral("Tovrani"));
    box.setText(text);
    box.setIcon(QMessageBox::NoIcon);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    // Once shown, on top of every form: a window manager does this by itself,
    // the browser's window stack does not always.
    QTimer::singleShot(0, &box, [&box] { box.raise(); });
    if (buttons == Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? ResultYes : ResultNo;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
    return ResultOk;
}

} // namespace platform
