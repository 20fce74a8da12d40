// The browser test's view into the running program, called from the page as
// window.mimoran.loader.module()._mimoran_automation() with a request in
// window.mimoran.request; the reply lands in window.mimoran.reply. It finds
// windows and controls by their objectName, reads the message box that is
// open, reads and writes the settings store as the program would, and reads
// (or erases) the learning record through the program's own store. It reads
// and changes nothing else, and does nothing until the page asks.
//
// Reading the record waits for IndexedDB: the call returns at once and the
// reply lands when the read is done (the page waits for window.mimoran.reply).
//
// The request and reply travel through page globals, not arguments: a call
// made while a message box waits (asyncify has the program's stack set
// aside) must not go through ccall, which would take it for the waiting call.
#include "platform/RecordStore.h"
#include "platform/Services.h"
#include "platform/UserStore.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTabWidget>
#include <QTableView>
#include <QWidget>

#include <emscripten.h>
#include <malloc.h>

#include <algorithm>
#include <vector>

// The page's side, in Automation.js: the request as JSON in ASCII (every
// other character a \u escape), and the reply.
extern "C" {
int mimoran_automation_request_length();
void mimoran_automation_request_copy(char *buffer, int size);
void mimoran_automation_reply(const char *json);
}

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
    QJsonObject more;
    // A table's first rows as it shows them; a tab widget's shown page.
    if (const auto *view = qobject_cast<const QAbstractItemView *>(w); view && view->model()) {
        const QAbstractItemModel *model = view->model();
        QJsonArray cells;
        for (int row = 0; row < std::min(model->rowCount(), 30); ++row) {
            QJsonArray line;
            for (int column = 0; column < model->columnCount(); ++column)
                line.append(model->index(row, column).data().toString());
            cells.append(line);
        }
        // Where each column is, from the view's corner.
        QJsonArray columns;
        if (const auto *table = qobject_cast<const QTableView *>(w)) {
            const int left = table->viewport()->geometry().left();
            for (int column = 0; column < model->columnCount(); ++column)
                columns.append(QJsonObject{{QStringLiteral("x"), left + table->columnViewportPosition(column)},
                                           {QStringLiteral("w"), table->columnWidth(column)}});
        }
        more = {{QStringLiteral("rows"), model->rowCount()}, {QStringLiteral("cells"), cells},
                {QStringLiteral("columns"), columns}};
    } else if (const auto *tabs = qobject_cast<const QTabWidget *>(w)) {
        more = {{QStringLiteral("tab"), tabs->tabText(tabs->currentIndex())}};
    }
    QJsonObject described{{QStringLiteral("found"), true},
            {QStringLiteral("visible"), w->isVisible()},
            {QStringLiteral("enabled"), w->isEnabled()},
            {QStringLiteral("focus"), w->hasFocus()},
            {QStringLiteral("x"), at.x()},
            {QStringLiteral("y"), at.y()},
            {QStringLiteral("w"), w->width()},
            {QStringLiteral("h"), w->height()},
            {QStringLiteral("text"), TextOf(w)}};
    for (auto it = more.begin(); it != more.end(); ++it)
        described.insert(it.key(), it.value());
    return described;
}

QJsonObject RowJson(const platform::AnswerRow &a)
{
    return {{QStringLiteral("drill"), a.drill},
            {QStringLiteral("at"), a.answeredAt.toString(Qt::ISODateWithMs)},
            {QStringLiteral("ms"), double(a.answeredAt.toMSecsSinceEpoch())},
            {QStringLiteral("mode"), a.mode},
            {QStringLiteral("calcKind"), a.calcKind},
            {QStringLiteral("rangeMax"), a.rangeMax},
            {QStringLiteral("problemCount"), a.problemCount},
            {QStringLiteral("retry"), a.retry},
            {QStringLiteral("questionNo"), a.questionNo},
            {QStringLiteral("left"), a.left},
            {QStringLiteral("right"), a.right},
            {QStringLiteral("operation"), a.operation},
            {QStringLiteral("answer"), a.answer},
            {QStringLiteral("typed"), a.typed},
            {QStringLiteral("correct"), a.correct},
            {QStringLiteral("elapsedMs"), a.elapsedMs},
            {QStringLiteral("grid"), a.grid},
            {QStringLiteral("child"), a.child}};
}

// Bytes the program has taken from its heap and not given back.
double HeapInUse()
{
    return double(mallinfo().uordblks);
}

// The whole record through the program's store (what the parent's view
// reads), with what reading it cost; the last rows in full.
QJsonObject DescribeRecord(const QJsonObject &request)
{
    platform::RecordStore &store = platform::recordStore();
    const double heapBefore = HeapInUse();
    QElapsedTimer timer;
    timer.start();
    // ("read": false looks at what waits in memory only.)
    std::optional<platform::RecordContents> contents;
    if (request.value(QStringLiteral("read")).toBool(true))
        contents = store.ReadAll();
    const qint64 readMs = timer.elapsed();
    const double held = HeapInUse() - heapBefore;
    QJsonObject reply{{QStringLiteral("readable"), contents.has_value()},
                      {QStringLiteral("readMs"), double(readMs)},
                      {QStringLiteral("heldBytes"), held},
                      {QStringLiteral("memoryBytes"), double(__builtin_wasm_memory_size(0)) * 65536},
                      {QStringLiteral("pending"), store.PendingCount()},
                      {QStringLiteral("location"), store.Location()}};
    if (contents) {
        const auto &answers = contents->answers;
        QJsonArray last;
        const int wanted = request[QStringLiteral("last")].toInt(5);
        for (std::size_t i = answers.size() - std::min<std::size_t>(answers.size(), std::size_t(std::max(0, wanted)));
             i < answers.size(); ++i)
            last.append(RowJson(answers[i]));
        reply.insert(QStringLiteral("count"), int(answers.size()));
        reply.insert(QStringLiteral("unreadable"), contents->unreadable);
        reply.insert(QStringLiteral("last"), last);
    }
    // Taken only when asked: they are the parent's view's to show.
    if (request[QStringLiteral("notices")].toBool())
        reply.insert(QStringLiteral("notices"), QJsonArray::fromStringList(store.TakeNotices()));
    return reply;
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
            if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible()) {
                QJsonObject shown = Describe(box);
                shown.insert(QStringLiteral("text"), box->text());
                shown.insert(QStringLiteral("title"), box->windowTitle());
                return shown;
            }
        return {{QStringLiteral("text"), QJsonValue::Null}};
    }
    if (op == QStringLiteral("focus")) {
        QWidget *focus = QApplication::focusWidget();
        return {{QStringLiteral("window"), focus ? focus->window()->objectName() : QString()},
                {QStringLiteral("name"), focus ? focus->objectName() : QString()}};
    }
    // A text cursor that does not blink, so that two pictures of one screen
    // are the same picture.
    if (op == QStringLiteral("steadyCursor")) {
        QApplication::setCursorFlashTime(0);
        return {{QStringLiteral("ok"), true}};
    }
    if (op == QStringLiteral("record"))
        return DescribeRecord(request);
    if (op == QStringLiteral("eraseRecord"))
        return {{QStringLiteral("ok"), platform::recordStore().Clear()}};
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
