// The start-up and memory reference: a plain Qt Widgets program showing one
// window of the menu's size with only the menu's description in it, through
// the same face mapping. Measured the same way as the program:
//   MIMORAN_FIRST_PAINT_EXIT=1 [MIMORAN_LAUNCH_NS=<launch CLOCK_MONOTONIC ns>]
//     prints "first_paint_ms <ms>" at the window's first paint and exits;
//   --rss prints its peak and current resident memory (kB) once the window has been drawn and exits.
#include "MenuReference.h"
#include "ProcStatus.h"
#include "platform/Fonts.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

class FirstPaint final : public QObject {
public:
    explicit FirstPaint(bool rss) : rss_(rss) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // As in the program: the first paint of the window or of anything in it.
        if (done_ || event->type() != QEvent::Paint || !watched->isWidgetType() ||
            static_cast<QWidget *>(watched)->window()->objectName() != QLatin1String("BareWindow"))
            return false;
        done_ = true;
        if (!rss_) {
            const char *launch = std::getenv("MIMORAN_LAUNCH_NS");
            std::printf("first_paint_ms %.3f\n",
                        launch ? static_cast<double>(bench::MonotonicNs() - std::atoll(launch)) / 1e6 : -1.0);
            std::fflush(stdout);
            _exit(0);
        }
        // Let this paint finish and the loop settle before reading the peak.
        QTimer::singleShot(200, [] {
            std::printf("vmhwm_kb %lld rss_anon_kb %lld rss_file_kb %lld font_files_kb %lld\n",
                        bench::StatusKb("VmHWM"), bench::StatusKb("RssAnon"), bench::StatusKb("RssFile"),
                        bench::FontFilesKb());
            std::fflush(stdout);
            _exit(0);
        });
        return false;
    }

private:
    bool rss_;
    bool done_ = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const bool rss = argc > 1 && std::strcmp(argv[1], "--rss") == 0;
    FirstPaint firstPaint(rss);
    if (rss || qEnvironmentVariableIntValue("MIMORAN_FIRST_PAINT_EXIT") == 1)
        app.installEventFilter(&firstPaint);
    platform::InstallFontSubstitutions();

    QWidget window;
    window.setObjectName(QStringLiteral("BareWindow"));
    window.setFixedSize(bench::MenuSize);
    QLabel label(bench::MenuText, &window);
    label.setGeometry(bench::MenuTextRect);
    label.setFont(bench::MenuFont());
    label.setWordWrap(true);
    window.show();
    return QApplication::exec();
}
