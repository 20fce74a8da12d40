// だれが　べんきょうする？ at a family's full size: six children and 100,000
// answers in the record's file, the program started as shipped, and the time
// from お勉強の開始 to the picker shown and first drawn. The record is first
// opened by that click, as in use (start-up never reads it).
//   picker_bench N        one JSON line: {"children": 6, "answers": N,
//                         "shown_ms": .., "painted_ms": ..}
//   picker_bench N view   the parent's record window instead, with two
//                         children sharing the N answers: 学習の記録 clicked
//                         to the window shown and drawn for the one chosen
#include "BenchRows.h"
#include "app/Program.h"
#include "engine/ChildRecord.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "platform/SqliteRecordStore.h"
#include "platform/Services.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QUuid>

#include <cstdio>
#include <cstdlib>

namespace {

platform::AnswerRow Row(int n, const QStringList &children)
{
    platform::AnswerRow row = TimesRow(n);
    // A drill's name as the program makes it (a UUID), not the short one.
    row.drill = QUuid::createUuidV5(QUuid(), row.drill).toString(QUuid::WithoutBraces);
    row.child = children[(n / 30) % children.size()];
    return row;
}

// Six children and their answers, in a file closed again as a program leaves it.
bool Fill(const QString &path, int count, int children)
{
    platform::SqliteRecordStore store(path);
    QStringList ids;
    for (const char *name : {"はなこ", "たろう", "じろう", "さくら", "けん", "ゆい"}) {
        if (ids.size() == children)
            break;
        QString id;
        const int colour = int(ids.size());
        if (engine::ChangeChildren(store, [&](study::ChildList &list) {
                return list.Add(QString::fromUtf8(name), colour, &id);
            }) != study::ChildRefusal::None)
            return false;
        ids << id;
    }
    for (int n = 0; n < count; ++n) {
        store.AppendSoon(Row(n, ids));
        if ((n + 1) % 5000 == 0)
            store.StoreWaiting();
    }
    store.StoreWaiting();
    return true;
}

// The window's first drawing, after the click.
class PaintWatch final : public QObject {
public:
    PaintWatch(QElapsedTimer &timer, const QString &window) : timer_(timer), window_(window) {}
    double paintedMs = -1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (paintedMs < 0 && event->type() == QEvent::Paint && widget &&
            widget->window()->objectName() == window_) {
            paintedMs = double(timer_.nsecsElapsed()) / 1e6;
            // exit, not quit: quit would ask each window to close first.
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        }
        return false;
    }

private:
    QElapsedTimer &timer_;
    QString window_;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int count = argc >= 2 ? std::atoi(argv[1]) : 0;
    const bool view = argc == 3 && QLatin1String(argv[2]) == QLatin1String("view");
    if (count < 1 || (argc == 3 && !view)) {
        std::fprintf(stderr, "usage: picker_bench N [view]\n");
        return 2;
    }
    QApplication::setApplicationName(QStringLiteral("mimoran"));
    platform::setMessageBox(std::make_unique<platform::QueuedMessageBox>());
    app::InitialisePlatform(app);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("record.sqlite"));
    const int children = view ? 2 : 6;
    if (!Fill(path, count, children)) {
        std::fprintf(stderr, "picker_bench: the record could not be filled\n");
        return 1;
    }
    platform::setSettingsStore(
        std::make_unique<platform::QtSettingsStore>(dir.filePath(QStringLiteral("Tovrani.ini"))));
    platform::setRecordStore(std::make_unique<platform::SqliteRecordStore>(path));

    QElapsedTimer timer;
    PaintWatch watch(timer, view ? QStringLiteral("Kiroku") : QStringLiteral("ChildPicker"));
    app.installEventFilter(&watch);
    double shownMs = -1;
    app::Program &program = app::StartUp();
    QTimer::singleShot(0, &program.mess01, [&] {
        if (view)
            program.setei.Show(); // past the password
        timer.start();
        (view ? program.setei.Command2 : program.mess01.C1)->click();
        forms::Form &shown = view ? static_cast<forms::Form &>(program.kiroku) : program.picker;
        if (QWidget *window = shown.Window(); window && window->isVisible())
            shownMs = double(timer.nsecsElapsed()) / 1e6;
    });
    QTimer::singleShot(10000, qApp, [] { QCoreApplication::exit(1); });
    QApplication::exec();
    app.removeEventFilter(&watch);
    const int buttons = int(program.picker.Buttons.size());
    const bool ok = shownMs >= 0 && watch.paintedMs >= 0 && (view || buttons == 6);
    app::ShutDown();
    platform::setRecordStore(nullptr);
    if (!ok) {
        std::fprintf(stderr, "picker_bench: shown %.2f, painted %.2f, %d buttons\n", shownMs, watch.paintedMs, buttons);
        return 1;
    }
    std::printf("{\"children\": %d, \"answers\": %d, \"shown_ms\": %.2f, \"painted_ms\": %.2f}\n", children, count,
                shownMs, watch.paintedMs);
    return 0;
}
