#pragma once

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

class QCloseEvent;
class QLineEdit;

namespace forms {

class Form;

// The window of a form. A close request from the window frame (close button,
// Alt+F4, the session) is never acted on here: the form decides.
class FormWindow : public QWidget {
    Q_OBJECT
public:
    explicit FormWindow(Form &form);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    Form &form_;
};

// A form lives for the whole process and keeps its own variables; its window
// and controls are created fresh at every load and destroyed at unload, so
// every control starts with the caption, text and visibility CreateControls
// gives it. Unloading from inside one of the form's own handlers is safe: the
// window is only hidden at once and destroyed when control is back in the
// event loop.
class Form : public QObject {
    Q_OBJECT
public:
    explicit Form(const QString &name);
    ~Form() override;

    // Loads the form if needed (running its load step), then shows it. A load
    // step that unloads its own form leaves nothing shown.
    void Show();
    // Runs the form's unload query, then hides and destroys the window.
    void Unload();
    bool IsLoaded() const { return window_ != nullptr; }
    QWidget *Window() const { return window_; }
    // Unloads every loaded form at once, without asking anything (program end).
    static void UnloadAll();
    static int LoadedCount();
    // Runs when no form is left loaded once the current handler has returned
    // (one form handing over to the next is not "none").
    static void SetAllUnloadedAction(std::function<void()> action);

    // Called by the window when its frame asks it to close.
    virtual void CloseRequested() { Unload(); }

    // An entry refused: the message, then the user is back in its box,
    // emptied first where the screen says so. The message box's own loop
    // may have let this window close meanwhile; then nothing more happens.
    enum class AfterRefusal { KeepText, Empty };
    void RefuseEntry(QLineEdit *box, const QString &message, AfterRefusal after = AfterRefusal::KeepText) const;

signals:
    // The window was loaded and is now shown (once per load).
    void Opened();
    // The window was unloaded by Unload().
    void Unloaded();

protected:
    // Builds the controls, each with its first caption, text and place.
    virtual void CreateControls(QWidget *window) = 0;
    // The form's load step; runs after the controls exist, before the window
    // is first shown.
    virtual void Load() {}
    // Runs on every unload, before the window goes.
    virtual void QueryUnload() {}
    // Forget the control pointers; the controls are about to be destroyed.
    virtual void ClearControls() = 0;
    // Where the window goes when it first appears: centred on the screen.
    virtual void PlaceWindow();

    // Shows or removes the close control of the window frame. Only before the
    // window is shown (in CreateControls or Load): on a shown window Qt would
    // destroy and rebuild the native window.
    void SetCloseControl(bool offered);
    void SetClientSize(int widthTwips, int heightTwips);
    void SetFormColour(const QColor &colour);
    void SetCaption(const QString &caption);
    // Whether showing the window makes it the active one (the default), or
    // leaves the keyboard where it is.
    void SetActivatesOnShow(bool activates);

private:
    QString name_;
    FormWindow *window_ = nullptr;
    bool unloading_ = false;
    bool activatesOnShow_ = true;
};

} // namespace forms
