// 百ます計算 at a fast child's pace: each crossing's Enter to the next
// crossing shown and drawn, through the real form with the record in a file
// (its answers stored behind the typing, as in use).
//   grid_bench GRIDS   one JSON line: {"crossings": .., "shown_ms": median,
//                      "painted_ms": median, "painted_p90_ms": ..}
#include "app/Program.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "platform/SqliteRecordStore.h"
#include "platform/Services.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

// The entry's first drawing after it has moved to the next crossing.
class PaintWatch final : public QObject {
public:
    QWidget *entry = nullptr;
    bool painted = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == entry && event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

void Key(QWidget *to, int key, const QString &text = QString())
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(to, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(to, &release);
}

double At(std::vector<double> v, double share)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[std::min(v.size() - 1, std::size_t(double(v.size()) * share))];
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int grids = argc == 2 ? std::atoi(argv[1]) : 0;
    if (grids < 1) {
        std::fprintf(stderr, "usage: grid_bench GRIDS\n");
        return 2;
    }
    QApplication::setApplicationName(QStringLiteral("mimoran"));
    platform::setMessageBox(std::make_unique<platform::QueuedMessageBox>());
    app::InitialisePlatform(app);
    QTemporaryDir dir;
    platform::setSettingsStore(
        std::make_unique<platform::QtSettingsStore>(dir.filePath(QStringLiteral("Tovrani.ini"))));
    platform::setRecordStore(std::make_unique<platform::SqliteRecordStore>(dir.filePath(QStringLiteral("r.sqlite"))));
    app::Program &program = app::StartUp();
    QCoreApplication::processEvents();

    PaintWatch watch;
    app.installEventFilter(&watch);
    std::vector<double> shown, painted;
    for (int g = 0; g < grids; ++g) {
        program.hyakumasu.Start(std::int16_t(g % 3 + 1), 10);
        QCoreApplication::processEvents();
        watch.entry = program.hyakumasu.Cells->Entry;
        const engine::HyakumasuGrid grid = program.hyakumasu.Grid();
        for (int i = 0; i < grid.Count(); ++i) {
            for (QChar digit : QString::number(grid.Crossing(i).Answer))
                Key(watch.entry, Qt::Key_0 + digit.digitValue(), QString(digit));
            QElapsedTimer timer;
            watch.painted = false;
            timer.start();
            Key(watch.entry, Qt::Key_Return);
            if (i + 1 == grid.Count())
                break; // the end is the results, not a crossing
            shown.push_back(double(timer.nsecsElapsed()) / 1e6);
            while (!watch.painted && timer.elapsed() < 1000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            painted.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        if (!program.hyakumasu.Done()) {
            std::fprintf(stderr, "grid_bench: grid %d did not end\n", g + 1);
            return 1;
        }
        program.hyakumasu.MenuButton->click();
        QCoreApplication::processEvents();
    }
    app.removeEventFilter(&watch);
    app::ShutDown();
    platform::recordStore().Close();
    platform::setRecordStore(nullptr);
    std::printf("{\"crossings\": %d, \"shown_ms\": %.3f, \"painted_ms\": %.3f, \"painted_p90_ms\": %.3f}\n",
                int(painted.size()), At(shown, 0.5), At(painted, 0.5), At(painted, 0.9));
    return 0;
}
