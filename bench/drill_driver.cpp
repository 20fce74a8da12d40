// Drives the real program in this process, through its own windows and the
// real event pump (a nested QEventLoop while the feedback dialog is up), the
// way a child would: each click comes from a zero-delay timer, and only once
// the window it answers has been drawn.
//
//   drill_driver drill N      answers a free-study drill of N questions and
//                             prints the peak resident memory (VmHWM)
//   drill_driver roundtrip N  the same, timing every answer round trip
//   drill_driver idle S       leaves the first dialog open S seconds and
//                             prints the CPU time the process used meanwhile
//
// Prints one JSON object on stdout; exits non-zero when the program did not
// behave as a drill must (the measurement would mean nothing then).
//
// The test kit is not linked on purpose: Qt Test would add its own pages to
// the resident memory being measured.
#include "MenuReference.h"
#include "ProcStatus.h"
#include "ShownProblem.h"
#include "app/Program.h"
#include "platform/EventPump.h"
#include "platform/MessageBox.h"
#include "platform/Random.h"
#include "platform/SqliteRecordStore.h"
#include "platform/Services.h"
#include "platform/SettingsStore.h"
#include "study/Module1.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

[[noreturn]] void Fail(const char *what, long long detail = 0)
{
    std::fprintf(stderr, "drill_driver: %s (%lld) at question %d\n", what, detail, int(Module1::QuestionNo));
    std::fflush(stderr);
    std::_Exit(2);
}

QWidget *Window(const QString &name)
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == name && w->isVisible())
            return w;
    }
    return nullptr;
}

template <typename T> T *Control(const QString &form, const QString &name)
{
    QWidget *window = Window(form);
    T *control = window ? window->findChild<T *>(name) : nullptr;
    if (!control)
        Fail(qPrintable(QStringLiteral("missing control %1.%2").arg(form, name)));
    return control;
}

struct CpuSample {
    long long cpuNs;
    long long voluntarySwitches;
};

CpuSample Cpu()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ns = [](const timeval &tv) { return tv.tv_sec * 1000000000LL + tv.tv_usec * 1000LL; };
    return {ns(usage.ru_utime) + ns(usage.ru_stime), usage.ru_nvcsw};
}

double Median(std::vector<long long> values)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? double(values[n / 2]) : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

double Percentile(std::vector<long long> values, double p)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return double(values[std::min(values.size() - 1, std::size_t(p * double(values.size())))]);
}

// The answer to the question on screen, worked out from K1, E and K2.
int ShownAnswer()
{
    const std::optional<int> answer = ShownAnswerOf(Window(QStringLiteral("Calk")));
    if (!answer)
        Fail("no problem on the drill screen");
    return *answer;
}

void CheckMenuMatchesReference()
{
    // The bare reference copies the menu's description; both must agree.
    QWidget *menu = Window(QStringLiteral("Mess01"));
    if (!menu)
        Fail("no menu at start-up");
    auto *label = Control<QLabel>(QStringLiteral("Mess01"), QStringLiteral("Label2"));
    if (app::Mess01::Description != bench::MenuText || label->text() != bench::MenuText)
        Fail("the bare reference's text is not the menu's description");
    if (menu->size() != bench::MenuSize || label->geometry() != bench::MenuTextRect)
        Fail("the bare reference's geometry is not the menu's");
    if (label->font() != bench::MenuFont())
        Fail("the bare reference's font is not the menu's");
}

class Driver final : public QObject {
public:
    enum class Mode { Drill, RoundTrip, Idle };

    // count: questions in the drill, or seconds of waiting in Mode::Idle.
    Driver(Mode mode, int count)
        : mode_(mode), count_(mode == Mode::Idle ? 10 : count), idleSeconds_(mode == Mode::Idle ? count : 0)
    {
        watchdog_.setSingleShot(true);
        watchdog_.callOnTimeout([this] { Fail("no progress for 10 s; stage", stage_); });
    }

    void Start()
    {
        CheckMenuMatchesReference();
        Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C1"))->click();
        Control<QLineEdit>(QStringLiteral("Calk"), QStringLiteral("T1"))->setText(QString::number(count_));
        Control<QPushButton>(QStringLiteral("Calk"), QStringLiteral("C1"))->click();
        if (Module1::ProblemCount != count_ || Module1::QuestionNo != 1)
            Fail("the drill did not start", Module1::ProblemCount);
        if (mode_ == Mode::RoundTrip) {
            for (auto *v : {&toShown_, &toDialogPainted_, &toNext_, &toNextPainted_})
                v->reserve(count_);
        }
        stage_ = WaitQuestionPaint;
        watchdog_.start(10000);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if ((type != QEvent::Paint && type != QEvent::Show) || !watched->isWidgetType())
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        const QString form = widget->window()->objectName();
        if (stage_ == WaitDialog && form == QLatin1String("Dialog")) {
            if (type == QEvent::Show && widget->isWindow() && shownNs_ == 0)
                shownNs_ = bench::MonotonicNs();
            if (type == QEvent::Paint) {
                paintedNs_ = bench::MonotonicNs();
                stage_ = DialogPainted;
                QTimer::singleShot(0, this, [this] { DialogSeen(); });
            }
        } else if (stage_ == WaitQuestionPaint && type == QEvent::Paint &&
                   watched->objectName() == QLatin1String("Label5") && form == QLatin1String("Calk")) {
            nextPaintedNs_ = bench::MonotonicNs();
            stage_ = QuestionPainted;
            QTimer::singleShot(0, this, [this] { Answer(); });
        } else if (stage_ == WaitResults && type == QEvent::Paint && form == QLatin1String("kekka")) {
            stage_ = ResultsPainted;
            QTimer::singleShot(0, this, [this] { Finish(); });
        }
        return false;
    }

private:
    enum Stage {
        Idle,
        WaitQuestionPaint,
        QuestionPainted,
        WaitDialog,
        DialogPainted,
        Acknowledged,
        WaitResults,
        ResultsPainted
    };

    // Runs in the main loop once the question has been drawn.
    void Answer()
    {
        watchdog_.start(10000);
        const int q = Module1::QuestionNo;
        if (question_ != 0 && mode_ == Mode::RoundTrip)
            toNextPainted_.push_back(nextPaintedNs_ - clickedNs_);
        if (Control<QLabel>(QStringLiteral("Calk"), QStringLiteral("Label5"))->text().toInt() != q)
            Fail("Label5 does not show the question number");
        question_ = q;
        // Every tenth answer is wrong, so both faces of the dialog come up.
        right_ = q % 10 != 0;
        const int answer = ShownAnswer() + (right_ ? 0 : 1);
        Control<QLineEdit>(QStringLiteral("Calk"), QStringLiteral("K"))->setText(QString::number(answer));
        auto *button = Control<QPushButton>(QStringLiteral("Calk"), QStringLiteral("C2"));

        stage_ = WaitDialog;
        shownNs_ = paintedNs_ = 0;
        const long long start = bench::MonotonicNs();
        button->click(); // returns once the dialog has been acknowledged
        const long long back = bench::MonotonicNs();
        if (stage_ != Acknowledged || shownNs_ == 0 || paintedNs_ == 0)
            Fail("the answer check returned without its dialog being acknowledged", stage_);
        if (mode_ == Mode::Idle && !idleMeasured_)
            Fail("the dialog was acknowledged before the wait was measured");

        right_ ? ++expectedRight_ : ++expectedWrong_;
        if (mode_ == Mode::RoundTrip) {
            toShown_.push_back(shownNs_ - start);
            toDialogPainted_.push_back(paintedNs_ - start);
            toNext_.push_back(back - clickedNs_);
        }

        if (mode_ == Mode::Idle) {
            if (Module1::QuestionNo != 2 ||
                Control<QLabel>(QStringLiteral("Calk"), QStringLiteral("Label5"))->text() != QStringLiteral("2"))
                Fail("the next question did not follow the wait");
            Report();
            return;
        }
        if (q < count_) {
            if (Module1::QuestionNo != q + 1 ||
                Control<QLabel>(QStringLiteral("Calk"), QStringLiteral("Label5"))->text().toInt() != q + 1)
                Fail("the next question is not on screen");
            stage_ = WaitQuestionPaint;
        } else {
            if (!Window(QStringLiteral("kekka")) || Window(QStringLiteral("Calk")))
                Fail("the results did not follow the last answer");
            stage_ = WaitResults;
        }
    }

    // Runs inside the answer check's nested event loop, the dialog drawn.
    void DialogSeen()
    {
        if (!app::CurrentProgram()->calk.IsWaitingForDialog())
            Fail("the answer check is not waiting in its event loop");
        const QString caption = Control<QPushButton>(QStringLiteral("Dialog"), QStringLiteral("CB"))->text();
        if (caption != (right_ ? QStringLiteral(" 正解！") : QStringLiteral("間違い!")))
            Fail("the dialog judged the answer wrongly");
        if (mode_ == Mode::Idle) {
            idleStart_ = Cpu();
            idleStartNs_ = bench::MonotonicNs();
            watchdog_.stop();
            QTimer::singleShot(idleSeconds_ * 1000, Qt::PreciseTimer, this, [this] {
                idleEnd_ = Cpu();
                idleEndNs_ = bench::MonotonicNs();
                idleMeasured_ = true;
                if (!app::CurrentProgram()->calk.IsWaitingForDialog() || !Window(QStringLiteral("Dialog")))
                    Fail("the dialog did not stay up");
                Acknowledge();
            });
            return;
        }
        Acknowledge();
    }

    void Acknowledge()
    {
        auto *cb = Control<QPushButton>(QStringLiteral("Dialog"), QStringLiteral("CB"));
        stage_ = Acknowledged;
        clickedNs_ = bench::MonotonicNs();
        cb->click();
    }

    void Finish()
    {
        QStringList results;
        for (int i = 0; i < 4; ++i)
            results << Control<QLabel>(QStringLiteral("kekka"), QStringLiteral("L(%1)").arg(i))->text();
        if (Module1::CorrectCount != expectedRight_ || Module1::WrongCount != expectedWrong_ ||
            results[0].toInt() != count_ || results[2].toInt() != expectedRight_ ||
            results[3].toInt() != expectedWrong_)
            Fail("the results do not match the answers given");
        Report();
    }

    void Report()
    {
        watchdog_.stop();
        auto *box = static_cast<platform::QueuedMessageBox *>(&platform::messageBox());
        if (!box->shown.isEmpty())
            Fail("a message box came up during the drill", box->shown.size());
        const double ms = 1e-6;
        switch (mode_) {
        case Mode::Drill:
            // The peak, and what is resident now: heap, mapped files, and of
            // those the font files.
            std::printf("{\"mode\":\"drill\",\"questions\":%d,\"vmhwm_kb\":%lld,\"rss_anon_kb\":%lld,"
                        "\"rss_file_kb\":%lld,\"font_files_kb\":%lld}\n",
                        expectedRight_ + expectedWrong_, bench::StatusKb("VmHWM"), bench::StatusKb("RssAnon"),
                        bench::StatusKb("RssFile"), bench::FontFilesKb());
            break;
        case Mode::RoundTrip:
            std::printf("{\"mode\":\"roundtrip\",\"questions\":%d,"
                        "\"to_dialog_shown_ms\":%.4f,\"to_dialog_painted_ms\":%.4f,"
                        "\"to_next_shown_ms\":%.4f,\"to_next_painted_ms\":%.4f,"
                        "\"to_dialog_shown_p90_ms\":%.4f,\"to_next_shown_p90_ms\":%.4f}\n",
                        int(toShown_.size()), Median(toShown_) * ms, Median(toDialogPainted_) * ms,
                        Median(toNext_) * ms, Median(toNextPainted_) * ms, Percentile(toShown_, 0.9) * ms,
                        Percentile(toNext_, 0.9) * ms);
            break;
        case Mode::Idle: {
            const double wall = double(idleEndNs_ - idleStartNs_);
            std::printf("{\"mode\":\"idle\",\"wall_s\":%.3f,\"cpu_ms\":%.3f,\"cpu_share\":%.6f,\"wakeups\":%lld}\n",
                        wall * 1e-9, double(idleEnd_.cpuNs - idleStart_.cpuNs) * ms,
                        double(idleEnd_.cpuNs - idleStart_.cpuNs) / wall,
                        idleEnd_.voluntarySwitches - idleStart_.voluntarySwitches);
            break;
        }
        }
        std::fflush(stdout);
        QCoreApplication::exit(0);
    }

    Mode mode_;
    int count_;
    int idleSeconds_;
    Stage stage_ = Idle;
    QTimer watchdog_;
    int question_ = 0;
    bool right_ = true;
    int expectedRight_ = 0;
    int expectedWrong_ = 0;
    long long shownNs_ = 0, paintedNs_ = 0, clickedNs_ = 0, nextPaintedNs_ = 0;
    std::vector<long long> toShown_, toDialogPainted_, toNext_, toNextPainted_;
    CpuSample idleStart_{}, idleEnd_{};
    long long idleStartNs_ = 0, idleEndNs_ = 0;
    bool idleMeasured_ = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 3)
        Fail("usage: drill_driver drill|roundtrip|idle N");
    const Driver::Mode mode = std::strcmp(argv[1], "drill") == 0       ? Driver::Mode::Drill
                              : std::strcmp(argv[1], "roundtrip") == 0 ? Driver::Mode::RoundTrip
                              : std::strcmp(argv[1], "idle") == 0      ? Driver::Mode::Idle
                                                                       : (Fail("unknown mode"), Driver::Mode::Drill);
    const int count = std::atoi(argv[2]);
    if (count < 1 || (mode != Driver::Mode::Idle && count > 10000))
        Fail("bad count", count);

    QApplication::setApplicationName(QStringLiteral("mimoran"));
    // No box should come up in a drill answered with numbers; record any.
    platform::setMessageBox(std::make_unique<platform::QueuedMessageBox>());
    app::InitialisePlatform(app);
    QTemporaryDir dir;
    platform::setSettingsStore(
        std::make_unique<platform::QtSettingsStore>(dir.filePath(QStringLiteral("Tovrani.ini"))));
    // The real record, every answer stored as in use, but not in the user's.
    platform::setRecordStore(
        std::make_unique<platform::SqliteRecordStore>(dir.filePath(QStringLiteral("record.sqlite"))));
    platform::setRandom(std::make_unique<platform::PcgRandom>(12345));
    platform::setEventPump(nullptr); // the real one: a nested QEventLoop

    Driver driver(mode, count);
    app.installEventFilter(&driver);
    app::StartUp();
    QTimer::singleShot(0, &driver, [&driver] { driver.Start(); });
    const int code = QApplication::exec();
    app.removeEventFilter(&driver);
    app::ShutDown();
    platform::setRecordStore(nullptr); // closed while Qt is there, as the program does
    return code;
}
