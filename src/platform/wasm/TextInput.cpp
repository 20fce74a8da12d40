#include "platform/TextInput.h"

#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

#include <emscripten.h>

// Qt draws into a canvas and reads only its key events. An input method's
// keys arrive there as key "Process" (code 229), which Qt turns into nothing,
// and the canvas is no place to compose text in; an on-screen keyboard's text
// arrives as input events alone. So while a text box that takes the system's
// text has the focus, a text field of the page's own, laid over the box and
// unseen, has the browser's focus: its keys go on to Qt as they are, and what
// the input method commits or an on-screen keyboard inserts reaches the box
// as committed text. The input method's own keys (the Enter that commits
// included) never reach Qt. Qt's own input context for touch pages is off
// (QT_IM_MODULE in the page): its hidden input loses most of this.

EM_JS(int, mimoran_coarse_pointer, (), {
    return window.matchMedia && window.matchMedia("(pointer: coarse)").matches ? 1 : 0;
});

EM_JS(void, mimoran_text_install, (), {
    var canvas = (window.mimoran && window.mimoran.canvas) || document.querySelector("canvas");
    if (!canvas)
        return;
    // Qt makes the canvas editable (for the clipboard's events) and means to
    // keep the system keyboard away from it, but sets a property the browser
    // does not read; the attribute does.
    canvas.inputMode = "none";
    var field = document.createElement("input");
    field.type = "text";
    field.id = "mimoran-text";
    field.setAttribute("autocomplete", "off");
    field.setAttribute("autocapitalize", "off");
    field.setAttribute("autocorrect", "off");
    field.spellcheck = false;
    // 16 pixels: a smaller font makes iOS zoom the page on focus.
    field.style.cssText = "position:fixed;left:0;top:0;width:1px;height:1px;margin:0;padding:0;border:0;"
        + "opacity:0;font-size:16px;pointer-events:none;";
    document.body.appendChild(field);
    var mode = "none";
    var composing = false;
    var fromInputMethod = function (e) {
        return e.isComposing || composing || e.keyCode === 229 || e.key === "Process" || e.key === "Unidentified";
    };
    var send = function (text) {
        window.mimoran.textIn = text;
        Module._mimoran_text_commit();
    };
    // Keys typed in the field are Qt's, as if typed on the canvas.
    var forward = function (e) {
        if (fromInputMethod(e))
            return;
        var copy = new KeyboardEvent(e.type, {
            key: e.key, code: e.code, location: e.location, repeat: e.repeat, ctrlKey: e.ctrlKey,
            shiftKey: e.shiftKey, altKey: e.altKey, metaKey: e.metaKey, bubbles: true, cancelable: true });
        if (!canvas.dispatchEvent(copy))
            e.preventDefault();
    };
    field.addEventListener("keydown", forward);
    field.addEventListener("keyup", forward);
    // Window, capture: ahead of Qt's own handler on the canvas.
    var swallow = function (e) {
        if (e.target === canvas && e.isTrusted && fromInputMethod(e))
            e.stopImmediatePropagation();
    };
    window.addEventListener("keydown", swallow, true);
    window.addEventListener("keyup", swallow, true);
    field.addEventListener("compositionstart", function () { composing = true; });
    field.addEventListener("compositionend", function (e) {
        composing = false;
        field.value = "";
        if (e.data)
            send(e.data);
    });
    field.addEventListener("beforeinput", function (e) {
        if (composing || e.isComposing || e.inputType === "insertCompositionText")
            return;
        // Enter and the rest arrive as keys; only text without a key is ours.
        e.preventDefault();
        if ((e.inputType === "insertText" || e.inputType === "insertReplacementText") && e.data)
            send(e.data);
        else if (e.inputType === "insertFromPaste" && e.dataTransfer)
            send(e.dataTransfer.getData("text/plain"));
        else if (e.inputType === "deleteContentBackward")
            Module._mimoran_text_erase();
    });
    field.addEventListener("input", function () {
        if (!composing)
            field.value = "";
    });
    var takeFocus = function () {
        if (mode !== "none" && document.activeElement !== field)
            field.focus({ preventScroll: true });
    };
    // A tap or click lands on the canvas; the field takes the focus back
    // inside that gesture (where a tablet opens its keyboard).
    window.addEventListener("pointerup", takeFocus, true);
    window.addEventListener("touchend", takeFocus, true);
    canvas.addEventListener("focus", function () { setTimeout(takeFocus, 0); });
    window.mimoran.keyboardWanted = function (wanted, x, y, w, h) {
        mode = wanted;
        if (mode === "none") {
            if (document.activeElement === field)
                canvas.focus({ preventScroll: true });
            return;
        }
        var r = canvas.getBoundingClientRect(), s = window.mimoran.scale || 1;
        field.style.left = (r.left + x * s) + "px";
        field.style.top = (r.top + y * s) + "px";
        field.style.width = Math.max(1, w * s) + "px";
        field.style.height = Math.max(1, h * s) + "px";
        field.inputMode = mode;
        takeFocus();
    };
});

EM_JS(int, mimoran_text_length, (), {
    return (window.mimoran.textIn || "").length;
});

EM_JS(void, mimoran_text_copy, (char16_t *buffer, int bytes), {
    stringToUTF16(window.mimoran.textIn || "", buffer, bytes);
});

EM_JS(void, mimoran_keyboard_wanted, (const char *mode, int x, int y, int w, int h), {
    if (window.mimoran && window.mimoran.keyboardWanted)
        window.mimoran.keyboardWanted(UTF8ToString(mode), x, y, w, h);
});

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
