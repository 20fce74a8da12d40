// The browser test's view into the running program, called from the page as
// window.mimoran.loader.module()._mimoran_automation() with a request in
// window.mimoran.request; the reply lands in window.mimoran.reply. It finds
// windows and controls by their objectName, reads the message box that is
// open, and reads and writes the settings store as the program would. It
// reads and changes nothing else, and does nothing until the page asks.
//
// The request and reply travel through page globals, not arguments: a call
// made while a message box waits (asyncify has the program's stack set
// aside) must not go through ccall, which would take it for the waiting call.
#include "platform/UserStore.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QWidget>

#include <emscripten.h>

#include <vector>

// The request as JSON in ASCII: every other character as a \u escape, which
// the JSON reader takes code unit for code unit (raw UTF-8 would lose a
// U+FEFF at the start of a text).
EM_JS(int, mimoran_automation_request_length, (), {
    var text = JSON.stringify(window.mimoran.request || {});
    var ascii = "";
    for (var i = 0; i < text.length; ++i) {
        var c = text.charCodeAt(i);
        ascii += c < 128 ? text[i] : String.fromCharCode(92) + "u" + ("000" + c.toString(16)).slice(-4);
    }
    window.mimoran.requestText = ascii;
    return ascii.length;
});

EM_JS(void, mimoran_automation_request_copy, (char *buffer, int size), {
    stringToUTF8(window.mimoran.requestText, buffer, size);
});

EM_JS(void, mimoran_automation_reply, (const char *json), {
    window.mimoran.reply = JSON.parse(UTF8ToString(json));
});

namespace {

QWidget *FindWindow(const QString &name)
{
    QWidget *hidden = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() != name)
            continue;
        if (w->isVisible())
            return w;
        hidden = w;
    }
    return hidden;
}

QString TextOf(const QWidget *w)
{
    if (const auto *edit = qobject_cast<const QLineEdit *>(w))
        return edit->text();
    if (const auto *label = qobject_cast<const QLabel *>(w))
        return label->text();
    if (const auto *button = qobject_cast<const QAbstractButton *>(w))
        return button->text();
    if (const auto *combo = qobject_cast<const QComboBox *>(w))
        return combo->currentText();
    return w->windowTitle();
}

// Where the widget is, in the program's logical pixels from the canvas's
// corner (the page multiplies by the scale it gave the program).
QJsonObject Describe(QWidget *w)
{
    if (!w)
        return {{QStringLiteral("found"), false}};
    const QPoint at = w->mapToGlobal(QPoint(0, 0));
    return {{QStringLiteral("found"), true},
            {QStringLiteral("visible"), w->isVisible()},
            {QStringLiteral("enabled"), w->isEnabled()},
            {QStringLiteral("focus"), w->hasFocus()},
            {QStringLiteral("x"), at.x()},
            {QStringLiteral("y"), at.y()},
            {QStringLiteral("w"), w->width()},
            {QStringLiteral("h"), w->height()},
            {QStringLiteral("text"), TextOf(w)}};
}

QJsonObject Handle(const QJsonObject &request)
{
    const QString op = request[QStringLiteral("op")].toString();
    if (op == QStringLiteral("widget")) {
        QWidget *window = FindWindow(request[QStringLiteral("window")].toString());
        const QString name = request[QStringLiteral("name")].toString();
        return Describe(window && !name.isEmpty() ? window->findChild<QWidget *>(name) : window);
    }
    if (op == QStringLiteral("message")) {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible())
                return {{QStringLiteral("text"), box->text()}, {QStringLiteral("title"), box->windowTitle()}};
        return {{QStringLiteral("text"), QJsonValue::Null}};
    }
    if (op == QStringLiteral("focus")) {
        QWidget *focus = QApplication::focusWidget();
        return {{QStringLiteral("window"), focus ? focus->window()->objectName() : QString()},
                {QStringLiteral("name"), focus ? focus->objectName() : QString()}};
    }
    // A new store object each time, as the program's next start would make.
    const QString section = request[QStringLiteral("section")].toString();
    const QString key = request[QStringLiteral("key")].toString();
    if (op == QStringLiteral("read")) {
        const std::optional<QString> value = platform::MakeUserSettingsStore()->Read(section, key);
        return {{QStringLiteral("value"), value ? QJsonValue(*value) : QJsonValue::Null}};
    }
    if (op == QStringLiteral("write")) {
        const QString value = request[QStringLiteral("value")].toString();
        return {{QStringLiteral("ok"), platform::MakeUserSettingsStore()->Write(section, key, value)}};
    }
    return {{QStringLiteral("error"), QStringLiteral("unknown request")}};
}

} // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void mimoran_automation()
{
    std::vector<char> buffer(static_cast<std::size_t>(mimoran_automation_request_length()) + 1, '\0');
    mimoran_automation_request_copy(buffer.data(), static_cast<int>(buffer.size()));
    const QJsonObject request = QJsonDocument::fromJson(QByteArray(buffer.data())).object();
    mimoran_automation_reply(QJsonDocument(Handle(request)).toJson(QJsonDocument::Compact).constData());
}
