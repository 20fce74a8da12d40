#include "platform/WindowFocus.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace platform {

namespace {

// A browser page has no window manager: when Qt's active window is hidden,
// no other window becomes active, and keys reach nothing until a click.
class FocusKeeper final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        auto *widget = qobject_cast<QWidget *>(object);
        if (!widget || !widget->isWindow())
            return false;
        if (event->type() == QEvent::WindowActivate) {
            std::erase_if(order_, [widget](const QPointer<QWidget> &w) { return !w || w == widget; });
            order_.emplace_back(widget);
        } else if (event->type() == QEvent::Hide) {
            // After the hiding is done, and whatever the handler that hid
            // it shows or focuses next.
            QTimer::singleShot(0, this, &FocusKeeper::GiveBack);
        }
        return false;
    }

private:
    void GiveBack()
    {
        const QWidget *active = QApplication::activeWindow();
        if (active && active->isVisible())
            return;
        for (auto it = order_.rbegin(); it != order_.rend(); ++it) {
            if (*it && (*it)->isVisible()) {
                (*it)->activateWindow();
                return;
            }
        }
    }

    std::vector<QPointer<QWidget>> order_; // the last one active last
};

} // namespace

void KeepKeyboardWithWindows(QApplication &app)
{
    app.installEventFilter(new FocusKeeper(&app));
}

void KeepWindowsOnScreen(QApplication &app)
{
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QObject::connect(screen, &QScreen::availableGeometryChanged, &app, [](const QRect &area) {
        // Together, so that windows placed side by side stay so.
        QRect all;
        const QList<QWidget *> windows = QApplication::topLevelWidgets();
        for (const QWidget *w : windows) {
            if (w->isVisible())
                all |= w->frameGeometry();
        }
        if (all.isNull() || area.contains(all))
            return;
        QPoint corner = area.center() - QPoint(all.width() / 2, all.height() / 2);
        corner.setX(std::max(corner.x(), area.left()));
        corner.setY(std::max(corner.y(), area.top()));
        const QPoint shift = corner - all.topLeft();
        for (QWidget *w : windows) {
            if (w->isVisible())
                w->move(w->frameGeometry().topLeft() + shift);
        }
    });
}

} // namespace platform
