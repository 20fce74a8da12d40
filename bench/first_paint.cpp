// The program as shipped, started through the same app::Run(), with one thing
// added for the start-up benchmark: at the menu's first paint it prints the
// time since launch ("first_paint_ms <ms>") and ends the process there.
// The launcher gives its launch time (CLOCK_MONOTONIC, ns) in
// MIMORAN_LAUNCH_NS; without it the time counts from the kernel's process
// start (10 ms steps).
#include "MenuReference.h"
#include "app/Program.h"

#include <QApplication>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <unistd.h>

namespace {

long long NowNs(clockid_t clock)
{
    timespec ts{};
    clock_gettime(clock, &ts);
    return ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

long long LaunchNs()
{
    if (const char *given = std::getenv("MIMORAN_LAUNCH_NS"))
        return std::atoll(given);
    // Field 22 of /proc/self/stat: start time in clock ticks since boot; the
    // program name (field 2) may hold spaces, so count after its ')'.
    char buffer[1024] = {};
    if (FILE *stat = std::fopen("/proc/self/stat", "r")) {
        buffer[std::fread(buffer, 1, sizeof buffer - 1, stat)] = '\0';
        std::fclose(stat);
    }
    const char *p = std::strrchr(buffer, ')');
    for (int field = 2; p && field < 22; ++field)
        p = std::strchr(p + 1, ' ');
    const long long ticks = p ? std::atoll(p + 1) : 0;
    const long long startBoot = ticks * (1000000000LL / sysconf(_SC_CLK_TCK));
    return NowNs(CLOCK_MONOTONIC) - (NowNs(CLOCK_BOOTTIME) - startBoot);
}

class FirstPaintExit final : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // The first paint of the menu window or of anything in it: children
        // that cover the whole window leave the window itself no paint event.
        if (event->type() != QEvent::Paint || !watched->isWidgetType() ||
            static_cast<QWidget *>(watched)->window()->objectName() != QLatin1String("Mess01"))
            return false;
        std::printf("first_paint_ms %.3f\n", static_cast<double>(bench::MonotonicNs() - LaunchNs()) / 1e6);
        std::fflush(stdout);
        _exit(0);
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    FirstPaintExit firstPaintExit;
    app.installEventFilter(&firstPaintExit);
    return app::Run(app);
}
