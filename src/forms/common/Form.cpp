#include "forms/common/Form.h"

#include "forms/common/FormKit.h"
#include "platform/MessageBox.h"
#include "platform/Services.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <vector>

namespace forms {

namespace {

std::vector<Form *> &loadedForms()
{
    static std::vector<Form *> forms;
    return forms;
}

std::function<void()> &allUnloadedAction()
{
    static std::function<void()> action;
    return action;
}

constexpr Qt::WindowFlags BaseFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                      Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint;

} // namespace

FormWindow::FormWindow(Form &form) : QWidget(nullptr, BaseFlags | Qt::WindowCloseButtonHint), form_(form) {}

void FormWindow::closeEvent(QCloseEvent *event)
{
    // Every close goes through the form; it unloads the window itself when
    // the close is granted.
    event->ignore();
    form_.CloseRequested();
}

Form::Form(const QString &name) : name_(name) {}

Form::~Form()
{
    auto &forms = loadedForms();
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    delete window_;
}

void Form::Show()
{
    const bool opening = !window_;
    if (opening) {
        window_ = new FormWindow(*this);
        window_->setObjectName(name_);
        window_->setAttribute(Qt::WA_DeleteOnClose, false);
        loadedForms().push_back(this);
        CreateControls(window_);
        Load();
        if (!window_)
            return; // the load step unloaded the form
        PlaceWindow();
    }
    // Not show(): a platform may make show() full screen (the browser's
    // does); every form keeps its own size and place.
    window_->setAttribute(Qt::WA_ShowWithoutActivating, !activatesOnShow_);
    window_->setVisible(true);
    if (activatesOnShow_)
        window_->activateWindow();
    if (opening)
        emit Opened();
}

void Form::Unload()
{
    if (!window_ || unloading_)
        return;
    unloading_ = true;
    QueryUnload();
    unloading_ = false;
    FormWindow *window = window_;
    window_ = nullptr;
    auto &forms = loadedForms();
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    // Hiding moves the focus, and a list losing it may still report a typed
    // entry as picked: its handler must find the controls in place.
    window->hide();
    ClearControls();
    window->deleteLater();
    emit Unloaded();
    if (forms.empty() && allUnloadedAction()) {
        QTimer::singleShot(0, [] {
            if (loadedForms().empty() && allUnloadedAction())
                allUnloadedAction()();
        });
    }
}

void Form::RefuseEntry(QLineEdit *box, const QString &message, AfterRefusal after) const
{
    const QPointer<QLineEdit> guard(box);
    platform::messageBox().Show(message, platform::Buttons::Ok);
    if (!IsLoaded() || !guard)
        return;
    if (after == AfterRefusal::Empty)
        guard->clear();
    guard->setFocus();
}

void Form::SetAllUnloadedAction(std::function<void()> action)
{
    allUnloadedAction() = std::move(action);
}

void Form::UnloadAll()
{
    const std::vector<Form *> forms = loadedForms();
    for (Form *form : forms) {
        FormWindow *window = form->window_;
        form->window_ = nullptr;
        window->hide();
        form->ClearControls();
        window->deleteLater();
    }
    loadedForms().clear();
}

int Form::LoadedCount()
{
    return static_cast<int>(loadedForms().size());
}

void Form::PlaceWindow()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    window_->move(area.center() - window_->rect().center());
}

void Form::SetCloseControl(bool offered)
{
    if (!window_)
        return;
    Q_ASSERT(!window_->isVisible());
    window_->setWindowFlag(Qt::WindowCloseButtonHint, offered);
}

void Form::SetClientSize(int widthTwips, int heightTwips)
{
    window_->setFixedSize(TwipsSize(widthTwips, heightTwips));
}

void Form::SetFormColour(const QColor &colour)
{
    SetBackground(window_, colour);
}

void Form::SetActivatesOnShow(bool activates)
{
    activatesOnShow_ = activates;
}

void Form::SetCaption(const QString &caption)
{
    window_->setWindowTitle(caption);
}

} // namespace forms
