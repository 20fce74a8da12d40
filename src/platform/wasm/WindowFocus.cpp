#include "platform/WindowFocus.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <vector>

// The page's side, in WindowFocus.js.
extern "C" void mimoran_ask_room(int width, int height);

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

// The page sizes its canvas for the program's usual windows; a larger one
// asks for its own room while it is shown (the page then draws everything
// smaller where it must), and gives it back when it goes.
class RoomAsker final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        auto *widget = qobject_cast<QWidget *>(object);
        if (widget && widget->isWindow() && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
            QTimer::singleShot(0, this, &RoomAsker::Ask);
        return false;
    }

private:
    void Ask()
    {
        QSize room;
        const QList<QWidget *> windows = QApplication::topLevelWidgets();
        for (const QWidget *w : windows) {
            if (w->isVisible())
                room = room.expandedTo(w->size());
        }
        mimoran_ask_room(room.width(), room.height());
    }
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
    app.installEventFilter(new RoomAsker(&app));
    QObject::connect(screen, &QScreen::availableGeometryChanged, &app, [](const QRect &area) {
        // Centred again, as at the start, and together, so that windows
        // placed side by side stay so.
        QRect all;
        const QList<QWidget *> windows = QApplication::topLevelWidgets();
        for (const QWidget *w : windows) {
            if (w->isVisible())
                all |= w->frameGeometry();
        }
        if (all.isNull())
            return;
        QPoint corner = area.center() - QPoint(all.width() / 2, all.height() / 2);
        corner.setX(std::max(corner.x(), area.left()));
        corner.setY(std::max(corner.y(), area.top()));
        const QPoint shift = corner - all.topLeft();
        if (shift.isNull())
            return;
        for (QWidget *w : windows) {
            if (w->isVisible())
                w->move(w->frameGeometry().topLeft() + shift);
        }
    });
}

} // namespace platform
