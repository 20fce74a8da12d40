#include "platform/TextInput.h"

#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

#include <emscripten.h>

// While a box that takes the system's text has the focus, a text field of
// the page's own, laid over the box and unseen, has the browser's focus, and
// hands on what an input method commits or an on-screen keyboard inserts
// (TextInput.js says why). Qt's own input context for touch pages is off
// (QT_IM_MODULE in the page): its hidden input loses most of this.

// The page's side, in TextInput.js.
extern "C" {
int mimoran_coarse_pointer();
void mimoran_text_install();
int mimoran_text_length();
void mimoran_text_copy(char16_t *buffer, int bytes);
void mimoran_keyboard_wanted(const char *mode, int x, int y, int w, int h);
}

namespace {

constexpr char NoSystemKeyboard[] = "mimoranNoSystemKeyboard";

QWidget *TextTarget()
{
    QWidget *focus = QApplication::focusWidget();
    if (const auto *combo = qobject_cast<QComboBox *>(focus))
        return combo->isEditable() ? focus : nullptr;
    const auto *edit = qobject_cast<QLineEdit *>(focus);
    return edit && !edit->isReadOnly() ? focus : nullptr;
}

void AskForKeyboard()
{
    const QWidget *target = TextTarget();
    if (!target || target->property(NoSystemKeyboard).toBool()) {
        mimoran_keyboard_wanted("none", 0, 0, 0, 0);
        return;
    }
    // Over the box, so that the input method's window opens beside it.
    const QRect box(target->mapToGlobal(QPoint(0, 0)), target->size());
    mimoran_keyboard_wanted(target->inputMethodHints() & Qt::ImhPreferNumbers ? "numeric" : "text", box.x(), box.y(),
                            box.width(), box.height());
}

} // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void mimoran_text_commit()
{
    // Copied code unit for code unit: the runtime's UTF-8 conversions would
    // drop a leading U+FEFF.
    std::u16string text(static_cast<std::size_t>(mimoran_text_length()), u'\0');
    mimoran_text_copy(text.data(), static_cast<int>((text.size() + 1) * sizeof(char16_t)));
    QWidget *target = TextTarget();
    if (!target || text.empty())
        return;
    QInputMethodEvent event;
    event.setCommitString(QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
    QCoreApplication::sendEvent(target, &event);
}

extern "C" EMSCRIPTEN_KEEPALIVE void mimoran_text_erase()
{
    QWidget *target = TextTarget();
    if (!target)
        return;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Backspace, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &release);
}

namespace platform {

bool TouchIsPrimary()
{
    return mimoran_coarse_pointer() != 0;
}

void KeepSystemKeyboardAway(QWidget *box)
{
    box->setProperty(NoSystemKeyboard, true);
}

void BridgeSystemTextInput(QApplication &app)
{
    mimoran_text_install();
    QObject::connect(&app, &QApplication::focusChanged, &app, [] { AskForKeyboard(); });
}

} // namespace platform
