// A seeded random walk through the whole program: the menu, the parent's gate
// and settings, drills in all three study modes, the feedback dialog and the
// results screen. The invariants are checked after every event, including the
// events done while the feedback dialog is up.
//
// Replay one walk (the walk is fully determined by its seed and length):
//   MONKEY_SEED=<seed> MONKEY_EVENTS=<events> QT_QPA_PLATFORM=offscreen build/tests/tst_monkey (or build-asan/...)
// (MONKEY_TRACE=1 also prints every event as it happens.) A failure, or a
// crash, prints the seed, the number of the failing event and the last 200
// events. Without MONKEY_SEED the walk runs seeds 1..5 with MONKEY_EVENTS
// (default 4000) events each; odd seeds start with a registered password.

#include "FormTestKit.h"
#include "ShownProblem.h"

#include "engine/Score.h"
#include "platform/Conversions.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPointer>
#include <QPushButton>

#include <csignal>
#include <cstdio>
#include <deque>
#include <optional>
#include <random>
#include <string>
#include <vector>

using namespace testkit;

namespace {

// Sorted, so that every choice among windows is the same from run to run
// (topLevelWidgets() comes in hash order).
const QStringList FormNames = {QStringLiteral("Calk"),     QStringLiteral("ChildPicker"), QStringLiteral("Dialog"),
                               QStringLiteral("Kiroku"),
                               QStringLiteral("Mess01"),   QStringLiteral("PassWord"), QStringLiteral("Setei"),
                               QStringLiteral("kekka")};
const QString QuitQuestion = QStringLiteral("「Mimoran！」を終了しますか？");
constexpr int LogLength = 200;
constexpr int DefaultSeeds = 5;
constexpr int DefaultEvents = 4000;

// What the walks reached, over all seeds: a walk that never gets to a Spartan
// result or never registers a password proves little.
struct Coverage {
    int started[3] = {};
    int finished[3] = {};
    int spartanUnlocks = 0;
    int wrongResultPasswords = 0;
    int registrations = 0;
    int settingsOpened = 0;
    int ends = 0;
    int kills = 0;
    int dialogEvents = 0;
    int dialogClosedByWindow = 0;
    int bigDrills = 0;
    qint64 events = 0;
};

Coverage &coverage()
{
    static Coverage c;
    return c;
}

QString Shorten(const QString &text)
{
    if (text.size() <= 40)
        return QLatin1Char('"') + text + QLatin1Char('"');
    return QStringLiteral("<%1 chars \"%2…\">").arg(text.size()).arg(text.left(12));
}

QString FullWidth(const QString &text)
{
    QString out;
    for (QChar c : text) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            out += QChar(0xFF10 + (c.unicode() - '0'));
        else if (c == QLatin1Char('-'))
            out += QChar(0xFF0D);
        else if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            out += QChar(0xFF41 + (c.unicode() - 'a'));
        else
            out += c;
    }
    return out;
}

QString ControlName(const QWidget *w)
{
    if (!w)
        return QStringLiteral("(none)");
    const QWidget *window = w->window();
    if (window == w)
        return w->objectName();
    return window->objectName() + QLatin1Char('/') + w->objectName();
}

QtMessageHandler previousHandler = nullptr;

// The last events as plain bytes, so that a crash can still print them.
struct CrashRing {
    std::vector<std::string> lines = std::vector<std::string>(LogLength);
    std::size_t next = 0;
    std::string header;
    bool armed = false;
};

CrashRing &crashRing()
{
    static CrashRing ring;
    return ring;
}

using Handler = void (*)(int);
Handler previousSegv = SIG_DFL;
Handler previousAbrt = SIG_DFL;
Handler previousFpe = SIG_DFL;

void WriteAll(const std::string &text)
{
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

// Prints the replay and the last events, then lets QtTest report the crash.
// std::signal rather than sigaction: the suite runs on Windows too.
void CrashHandler(int signal)
{
    CrashRing &ring = crashRing();
    if (ring.armed) {
        ring.armed = false;
        WriteAll("\n*** monkey crashed: " + ring.header + "\nlast events:\n");
        for (std::size_t i = 0; i < ring.lines.size(); ++i) {
            const std::string &line = ring.lines[(ring.next + i) % ring.lines.size()];
            if (!line.empty())
                WriteAll("  " + line + "\n");
        }
    }
    std::signal(signal, signal == SIGSEGV ? previousSegv : (signal == SIGABRT ? previousAbrt : previousFpe));
    std::raise(signal);
}

void InstallCrashHandler()
{
    previousSegv = std::signal(SIGSEGV, CrashHandler);
    previousAbrt = std::signal(SIGABRT, CrashHandler);
    previousFpe = std::signal(SIGFPE, CrashHandler);
}

// Keys nobody handles (Escape on a form, Tab on the last control) are normal
// for a monkey; the warning for each would drown the output.
void QuietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.startsWith(QLatin1String("Keyboard event not accepted")))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
}

class Walker {
public:
    Walker(std::uint64_t seed, int events);
    ~Walker();

    // Walks; false with failure set at the first broken invariant.
    bool Run();
    QString failure;
    int eventsDone = 0;
    int dialogEventsDone = 0;

private:
    // Randomness of the walk itself.
    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool Chance(double p) { return std::uniform_real_distribution<double>(0.0, 1.0)(rng_) < p; }
    template <typename T>
    const T &Pick(const QList<T> &list)
    {
        return list.at(Below(static_cast<int>(list.size())));
    }
    int Weighted(const QList<double> &weights)
    {
        double total = 0;
        for (double w : weights)
            total += w;
        double r = std::uniform_real_distribution<double>(0.0, total)(rng_);
        int i = 0;
        while (i + 1 < weights.size() && r >= weights[i]) {
            r -= weights[i];
            ++i;
        }
        return i;
    }

    void StartProgram();
    void Restart(const QString &why);
    void Step();
    void AfterEvent();
    void DialogWait();
    void DialogEvent();
    void Acknowledge();
    void Check(bool inWait);
    void Fail(const QString &what);
    void Log(const QString &line);

    // Events.
    bool Click(const QList<QWidget *> &windows, bool inWait);
    bool Type(const QList<QWidget *> &windows);
    bool PickEntry(const QList<QWidget *> &windows);
    void Key(const QList<QWidget *> &windows);
    void CloseWindow(const QList<QWidget *> &windows);
    void TypeInto(QWidget *box, const QString &text);
    bool Purposeful(const QList<QWidget *> &windows);

    // Texts to type.
    QString WeirdText();
    QString CountText();
    QString AnswerText();
    QString PasswordText();
    QString ResultPasswordText();
    QString EntryText(QComboBox *combo);
    QString TextFor(QWidget *box);

    QList<QWidget *> VisibleForms() const;
    QList<QWidget *> Interactive() const;
    std::optional<int> ShownProblemAnswer() const;
    std::optional<QString> Stored() const;
    app::Program &P() { return *fx_.program; }

    ProgramFixture fx_;
    std::mt19937_64 rng_;
    std::uint64_t seed_;
    int events_;
    int restarts_ = 0;
    std::deque<QString> log_;
    bool trace_ = qEnvironmentVariableIsSet("MONKEY_TRACE");

    QString registered_; // what the walker knows is in the store ("" none)
    QString candidate_;  // what it means to register when there is none
    bool spartanLock_ = false;
    int endsSeen_ = 0;
    bool expectEnd_ = false;
    bool forceYes_ = false;

    int waitDepth_ = 0;
    int waitsThisEvent_ = 0;
    int unacknowledged_ = 0;
    int subEvent_ = 0;
    QPointer<QWidget> target_;
    bool pressed_ = false; // the event clicked target_ (mouse, Enter or Space)

    bool drillWasBuilt_ = false;
    bool resultsWereShown_ = false;
    bool settingsWereShown_ = false;
};

Walker::Walker(std::uint64_t seed, int events) : rng_(seed), seed_(seed), events_(events)
{
    crashRing() = CrashRing();
    crashRing().armed = true;
    const QStringList pool = {QStringLiteral("oya"),          QStringLiteral("Oya Pass　１"),
                              QStringLiteral("ｐａｓｓ"),     QStringLiteral("暗証番号"),
                              QStringLiteral("p;w=[x]#\\\""), QStringLiteral("  "),
                              QStringLiteral(" lead"),        QStringLiteral("1234")};
    candidate_ = Pick(pool);
    StartProgram();
    if (seed % 2 == 1) {
        registered_ = Pick(pool);
        if (!fx_.store->Write(platform::PasswordSection, platform::PasswordKey, registered_))
            Fail(QStringLiteral("could not register the starting password"));
        Log(QStringLiteral("start with the password %1 registered").arg(Shorten(registered_)));
    } else {
        Log(QStringLiteral("start with no password; will register %1").arg(Shorten(candidate_)));
    }
}

Walker::~Walker()
{
    crashRing().armed = false;
    fx_.Stop();
}

void Walker::StartProgram()
{
    fx_.Start();
    platform::setRandom(std::make_unique<FixedSeedRandom>(seed_ * 1000 + static_cast<std::uint64_t>(restarts_)));
    fx_.box->onShow = [this](const QString &text) {
        int answer = platform::ResultOk;
        if (text == QuitQuestion) {
            const bool yes = forceYes_ || Chance(0.1);
            answer = yes ? platform::ResultYes : platform::ResultNo;
            expectEnd_ = expectEnd_ || yes;
        } else {
            // An OK box can only give OK, but the forms must not care.
            const int r = Below(10);
            answer = r < 8 ? platform::ResultOk : (r == 8 ? platform::ResultYes : platform::ResultNo);
        }
        fx_.box->answers.push_back(answer);
        Log(QStringLiteral("    box %1 -> %2").arg(Shorten(text)).arg(answer));
    };
    fx_.pump->actions.push_back([this] { DialogWait(); });
    endsSeen_ = fx_.ends;
    spartanLock_ = false;
    drillWasBuilt_ = resultsWereShown_ = settingsWereShown_ = false;
}

void Walker::Restart(const QString &why)
{
    Log(QStringLiteral("restart the program (%1)").arg(why));
    ++restarts_;
    fx_.Stop();
    StartProgram();
}

void Walker::Log(const QString &line)
{
    QString prefix = QStringLiteral("#%1").arg(eventsDone);
    if (subEvent_ > 0)
        prefix += QStringLiteral(".%1").arg(subEvent_);
    const QString entry = prefix + QLatin1Char(' ') + line;
    log_.push_back(entry);
    while (log_.size() > LogLength)
        log_.pop_front();
    CrashRing &ring = crashRing();
    ring.lines[ring.next] = entry.toStdString();
    ring.next = (ring.next + 1) % ring.lines.size();
    ring.header = QStringLiteral("seed %1, event #%2; replay: MONKEY_SEED=%1 MONKEY_EVENTS=%2 "
                                 "QT_QPA_PLATFORM=offscreen tst_monkey")
                      .arg(seed_)
                      .arg(eventsDone)
                      .toStdString();
    if (trace_)
        std::fprintf(stderr, "%s\n", qPrintable(entry));
}

void Walker::Fail(const QString &what)
{
    if (!failure.isEmpty())
        return;
    QString text = QStringLiteral("seed %1, event #%2: %3\nreplay: MONKEY_SEED=%1 MONKEY_EVENTS=%4 "
                                  "QT_QPA_PLATFORM=offscreen tst_monkey\nlast events:\n")
                       .arg(seed_)
                       .arg(eventsDone)
                       .arg(what)
                       .arg(eventsDone);
    for (const QString &line : log_)
        text += QStringLiteral("  ") + line + QLatin1Char('\n');
    failure = text;
}

bool Walker::Run()
{
    while (failure.isEmpty() && eventsDone < events_) {
        ++eventsDone;
        Step();
    }
    coverage().events += eventsDone;
    return failure.isEmpty();
}

QList<QWidget *> Walker::VisibleForms() const
{
    QList<QWidget *> forms;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && FormNames.contains(w->objectName()))
            forms.append(w);
    }
    std::sort(forms.begin(), forms.end(),
              [](const QWidget *a, const QWidget *b) { return a->objectName() < b->objectName(); });
    return forms;
}

// The windows a user could reach now: a modal form blocks all the others.
QList<QWidget *> Walker::Interactive() const
{
    QWidget *modal = QApplication::activeModalWidget();
    if (modal && modal->isVisible() && FormNames.contains(modal->objectName()))
        return {modal};
    return VisibleForms();
}

std::optional<int> Walker::ShownProblemAnswer() const
{
    auto *k1 = Control<QLabel>(QStringLiteral("Calk"), QStringLiteral("K1"));
    if (!k1 || !k1->isVisible())
        return std::nullopt;
    return ShownAnswerOf(k1->window());
}

std::optional<QString> Walker::Stored() const
{
    return fx_.store->Read(platform::PasswordSection, platform::PasswordKey);
}

// ---- texts ---------------------------------------------------------------

QString Walker::WeirdText()
{
    static const QStringList list = {
        QString(),           QStringLiteral("0"),     QStringLiteral("-1"),      QStringLiteral("-3"),
        QStringLiteral("10000"), QStringLiteral("10001"), QStringLiteral("10000.5"), QStringLiteral("12.5"),
        QStringLiteral("2.5"), QStringLiteral("1/2"),   QStringLiteral("½"),       QStringLiteral("１２"),
        QStringLiteral("３"),  QStringLiteral("－５"),  QStringLiteral("abc"),     QStringLiteral("ABC"),
        QStringLiteral(" "),   QStringLiteral("　"),    QStringLiteral("nan"),     QStringLiteral("inf"),
        QStringLiteral("1e3"), QStringLiteral("0x10"),  QStringLiteral("+4"),      QStringLiteral("99999"),
        QStringLiteral("-99999"), QStringLiteral("3 "), QStringLiteral(" 7"),      QStringLiteral("12abc"),
        QStringLiteral("32768"), QStringLiteral("-32769"), QStringLiteral("1,000"), QStringLiteral("九"),
    };
    switch (Below(12)) {
    case 0: // thousands of digits
        return QString(1000 + Below(5000), QChar(u'0' + Below(10)));
    case 1: { // thousands of mixed characters
        QString s;
        const int n = 1000 + Below(3000);
        for (int i = 0; i < n; ++i)
            s += QChar(Pick(QList<char16_t>{u'a', u'9', u'-', u'.', u'　', u'１', u'漢'}));
        return s;
    }
    default:
        return Pick(list);
    }
}

QString Walker::CountText()
{
    if (Chance(0.72))
        return QString::number(1 + Below(5));
    if (Chance(0.25))
        return QString::number(6 + Below(35));
    if (Chance(0.1))
        return FullWidth(QString::number(1 + Below(5)));
    return WeirdText();
}

QString Walker::AnswerText()
{
    const std::optional<int> answer = ShownProblemAnswer();
    const int r = Below(100);
    if (answer && r < 55)
        return QString::number(*answer);
    if (answer && r < 65)
        return QString::number(*answer + (Chance(0.5) ? 1 : -1));
    if (answer && r < 70)
        return FullWidth(QString::number(*answer));
    return WeirdText();
}

QString Walker::PasswordText()
{
    const QString right = registered_.isEmpty() ? candidate_ : registered_;
    if (Chance(0.65))
        return right;
    switch (Below(7)) {
    case 0: return QString();
    case 1: return right + QLatin1Char('x');
    case 2: return right.toUpper() == right ? right.toLower() + QLatin1Char('Z') : right.toUpper();
    case 3: return FullWidth(right) == right ? right + QLatin1Char(' ') : FullWidth(right);
    case 4: return right.left(right.size() - 1);
    case 5: return QStringLiteral("x");
    default: return WeirdText();
    }
}

QString Walker::ResultPasswordText()
{
    if (!registered_.isEmpty() && Chance(0.5))
        return registered_;
    return PasswordText();
}

QString Walker::EntryText(QComboBox *combo)
{
    if (combo->count() > 0 && Chance(0.6))
        return combo->itemText(Below(combo->count()));
    return WeirdText();
}

QString Walker::TextFor(QWidget *box)
{
    const QString form = box->window()->objectName();
    const QString name = box->objectName();
    if (auto *combo = qobject_cast<QComboBox *>(box))
        return EntryText(combo);
    if (form == QLatin1String("Calk") && name == QLatin1String("K"))
        return AnswerText();
    if ((form == QLatin1String("Calk") || form == QLatin1String("Setei")) && name == QLatin1String("T1"))
        return CountText();
    if (form == QLatin1String("PassWord"))
        return PasswordText();
    if (form == QLatin1String("kekka"))
        return ResultPasswordText();
    return WeirdText();
}

// ---- events --------------------------------------------------------------

double ButtonWeight(const QString &name)
{
    // Leaving a drill, the gate or the program is rare for a user who is at it.
    static const QMap<QString, double> weights = {
        {QStringLiteral("Calk/C"), 0.15},         {QStringLiteral("Calk/C2"), 2.0},
        {QStringLiteral("Calk/C1"), 0.5},
        {QStringLiteral("Mess01/C1"), 1.5},       {QStringLiteral("Mess01/C2"), 1.2},
        {QStringLiteral("Mess01/C3"), 0.3},       {QStringLiteral("PassWord/C2"), 0.3},
        {QStringLiteral("Setei/Option1(1)"), 1.5}, {QStringLiteral("Setei/Option1(2)"), 2.0},
        {QStringLiteral("Setei/Command1"), 0.7},
    };
    return weights.value(name, 1.0);
}

double BoxWeight(const QString &name)
{
    // The count before a drill and the answer in it matter most.
    static const QMap<QString, double> weights = {
        {QStringLiteral("Calk/T1"), 4.0},   {QStringLiteral("Calk/K"), 2.0},
        {QStringLiteral("Setei/T1"), 2.0},  {QStringLiteral("Calk/Combo3"), 0.5},
        {QStringLiteral("Calk/Combo2"), 0.5}, {QStringLiteral("Calk/Combo1"), 0.5},
    };
    return weights.value(name, 1.0);
}

double CloseWeight(const QString &name)
{
    static const QMap<QString, double> weights = {
        {QStringLiteral("Calk"), 0.25}, {QStringLiteral("PassWord"), 0.3}, {QStringLiteral("Mess01"), 0.5}};
    return weights.value(name, 1.0);
}

// Whether a click could reach the control: shown, enabled and not lying
// under another control (the drill's answer button under the set-up frame).
bool Reachable(QWidget *w)
{
    if (!w->isVisible() || !w->isEnabled())
        return false;
    QWidget *window = w->window();
    QWidget *top = window->childAt(w->mapTo(window, w->rect().center()));
    return top == w || w->isAncestorOf(top);
}

bool Walker::Click(const QList<QWidget *> &windows, bool inWait)
{
    QList<QAbstractButton *> buttons;
    QList<double> weights;
    for (QWidget *window : windows) {
        for (QAbstractButton *b : window->findChildren<QAbstractButton *>()) {
            if (b->objectName().isEmpty() || !Reachable(b))
                continue;
            if (inWait && window->objectName() == QLatin1String("Dialog"))
                continue; // acknowledging is the pump's own decision
            buttons.append(b);
            weights.append(ButtonWeight(ControlName(b)));
        }
    }
    if (buttons.isEmpty())
        return false;
    QPointer<QAbstractButton> button = buttons[Weighted(weights)];
    Log(QStringLiteral("click %1").arg(ControlName(button)));
    target_ = button;
    pressed_ = true;
    // A mouse click focuses the button first, and the focus leaves whatever
    // had it (a list commits its typed entry then).
    if (button->focusPolicy() & Qt::ClickFocus)
        button->setFocus(Qt::MouseFocusReason);
    if (button && button->isVisible())
        button->click();
    return true;
}

void Walker::TypeInto(QWidget *box, const QString &text)
{
    auto *combo = qobject_cast<QComboBox *>(box);
    QLineEdit *edit = combo ? combo->lineEdit() : qobject_cast<QLineEdit *>(box);
    if (!edit)
        return;
    if (text.size() <= 24 && Chance(0.35)) {
        // Key by key over the selected old text, as a child types.
        Log(QStringLiteral("type keys %1 into %2").arg(Shorten(text), ControlName(box)));
        edit->setFocus();
        edit->selectAll();
        for (QChar c : text) {
            Qt::Key key = Qt::Key_unknown;
            if (c.unicode() < 128 && c.isPrint())
                key = Qt::Key(QTest::asciiToKey(char(c.unicode())));
            QTest::sendKeyEvent(QTest::Click, edit, key, QString(c), Qt::NoModifier);
        }
        if (text.isEmpty())
            QTest::keyClick(edit, Qt::Key_Delete);
        return;
    }
    Log(QStringLiteral("set text %1 into %2").arg(Shorten(text), ControlName(box)));
    if (combo)
        combo->setEditText(text);
    else
        edit->setText(text);
}

bool Walker::Type(const QList<QWidget *> &windows)
{
    QList<QWidget *> boxes;
    for (QWidget *window : windows) {
        for (QLineEdit *e : window->findChildren<QLineEdit *>()) {
            if (qobject_cast<QComboBox *>(e->parentWidget()))
                continue; // typed through its combo
            if (!e->isReadOnly() && Reachable(e))
                boxes.append(e);
        }
        for (QComboBox *c : window->findChildren<QComboBox *>()) {
            if (c->isEditable() && Reachable(c))
                boxes.append(c);
        }
    }
    if (boxes.isEmpty())
        return false;
    QList<double> weights;
    for (QWidget *b : boxes)
        weights.append(BoxWeight(ControlName(b)));
    QWidget *box = boxes[Weighted(weights)];
    target_ = box;
    TypeInto(box, TextFor(box));
    return true;
}

bool Walker::PickEntry(const QList<QWidget *> &windows)
{
    QList<QComboBox *> combos;
    for (QWidget *window : windows) {
        for (QComboBox *c : window->findChildren<QComboBox *>()) {
            if (c->count() > 0 && Reachable(c))
                combos.append(c);
        }
    }
    if (combos.isEmpty())
        return false;
    QComboBox *combo = Pick(combos);
    const int index = Below(combo->count());
    Log(QStringLiteral("pick %1 \"%2\" in %3").arg(index).arg(combo->itemText(index), ControlName(combo)));
    target_ = combo;
    PickFromList(combo, combo->itemText(index));
    return true;
}

void Walker::Key(const QList<QWidget *> &windows)
{
    QWidget *window = Pick(windows);
    QWidget *to = window->focusWidget() ? window->focusWidget() : window;
    // A combo's line edit takes the keys for its combo.
    QWidget *named = to;
    if (to->objectName().isEmpty() && qobject_cast<QComboBox *>(to->parentWidget()))
        named = to->parentWidget();
    const int r = Below(100);
    Qt::Key key = Qt::Key_Return;
    QString keyName = QStringLiteral("Return");
    if (r < 15) {
        key = Qt::Key_Enter;
        keyName = QStringLiteral("Enter");
    } else if (r < 45) {
    } else if (r < 68) {
        key = Qt::Key_Tab;
        keyName = QStringLiteral("Tab");
    } else if (r < 85) {
        key = Qt::Key_Escape;
        keyName = QStringLiteral("Escape");
    } else {
        key = Qt::Key_Space;
        keyName = QStringLiteral("Space");
    }
    Log(QStringLiteral("key %1 on %2").arg(keyName, ControlName(named)));
    target_ = named;
    pressed_ = key != Qt::Key_Tab && key != Qt::Key_Escape;
    QTest::keyClick(to, key);
}

void Walker::CloseWindow(const QList<QWidget *> &windows)
{
    QList<double> weights;
    for (QWidget *w : windows)
        weights.append(CloseWeight(w->objectName()));
    QWidget *window = windows[Weighted(weights)];
    if (!Chance(CloseWeight(window->objectName()))) {
        Key(windows);
        return;
    }
    Log(QStringLiteral("close %1").arg(window->objectName()));
    target_ = window;
    window->close();
}

// The next thing a user who means to get on would type: the count before a
// drill, the answer in it, the password at the gate or on locked results.
bool Walker::Purposeful(const QList<QWidget *> &windows)
{
    QLineEdit *box = nullptr;
    forms::Calk &calk = P().calk;
    forms::PassWord &gate = P().passWord;
    if (calk.IsLoaded() && windows.contains(calk.Window())) {
        if (!calk.DrillBuilt() && calk.T1 && Reachable(calk.T1))
            box = calk.T1;
        else if (calk.DrillBuilt() && calk.K && calk.K->text().isEmpty())
            box = calk.K;
    } else if (gate.IsLoaded() && windows.contains(gate.Window())) {
        const QString right = registered_.isEmpty() ? candidate_ : registered_;
        box = gate.T1->text() != right ? gate.T1 : (gate.T2->text() != right ? gate.T2 : nullptr);
    } else if (P().kekka.IsLoaded() && P().kekka.IsLocked() && windows.contains(P().kekka.Window())) {
        box = P().kekka.T1;
    }
    if (!box || !Reachable(box))
        return false;
    target_ = box;
    TypeInto(box, TextFor(box));
    return true;
}

void Walker::Step()
{
    subEvent_ = 0;
    waitsThisEvent_ = 0;
    target_ = nullptr;
    pressed_ = false;
    fx_.box->shown.clear();

    const QList<QWidget *> windows = Interactive();
    if (windows.isEmpty()) {
        Fail(QStringLiteral("no window to act on"));
        return;
    }

    // A Spartan drill of thousands cannot be left; a parent would kill it.
    forms::Calk &calk = P().calk;
    const bool longSpartan = calk.IsLoaded() && calk.DrillBuilt() && Module1::StudyMode == Module1::Spartan &&
                             Module1::ProblemCount - Module1::QuestionNo > 40;
    if (Chance(longSpartan ? 0.05 : 0.0005)) {
        ++coverage().kills;
        Restart(longSpartan ? QStringLiteral("killed in a long Spartan drill") : QStringLiteral("killed"));
        AfterEvent();
        return;
    }

    // Snapshots for judging what this event did.
    forms::kekka &results = P().kekka;
    const bool lockedBefore = results.IsLoaded() && results.IsLocked();
    const QString resultT1Before = results.IsLoaded() && results.T1 ? results.T1->text() : QString();
    const QPointer<QWidget> resultC1 = results.IsLoaded() ? results.C1 : nullptr;
    const QString gateT1Before =
        P().passWord.IsLoaded() && P().passWord.T1 ? P().passWord.T1->text() : QString();
    const QString storedBefore = Stored().value_or(QString());

    QWidget *menu = Window(QStringLiteral("Mess01"));
    if (menu && windows.contains(menu) && Chance(0.002)) {
        forceYes_ = true;
        Log(QStringLiteral("quit from the menu, answering Yes"));
        target_ = P().mess01.C3;
        pressed_ = true;
        P().mess01.C3->click();
    } else {
        bool done = Chance(0.25) && Purposeful(windows);
        if (!done) {
            const int r = Below(100);
            if (r < 38)
                done = Click(windows, false);
            else if (r < 67)
                done = Type(windows);
            else if (r < 73)
                done = PickEntry(windows);
            else if (r < 90) {
                Key(windows);
                done = true;
            } else if (r < 96) {
                CloseWindow(windows);
                done = true;
            }
        }
        if (!done && !Click(windows, false))
            Key(windows);
    }
    FlushDeletes();
    if (!failure.isEmpty())
        return;

    // The program's end, asked for or not.
    if (fx_.ends != endsSeen_) {
        endsSeen_ = fx_.ends;
        if (!expectEnd_) {
            Fail(QStringLiteral("the program ended although nobody answered Yes to the quit question"));
            return;
        }
        expectEnd_ = forceYes_ = false;
        ++coverage().ends;
        if (!VisibleForms().isEmpty())
            Fail(QStringLiteral("the program ended but windows are still shown"));
        Restart(QStringLiteral("after the program ended"));
        AfterEvent();
        return;
    }
    if (expectEnd_)
        Fail(QStringLiteral("Yes to the quit question did not end the program"));
    expectEnd_ = forceYes_ = false;

    // The lock of the Spartan results opens only for the registered password.
    if (lockedBefore && results.IsLoaded() && !results.IsLocked()) {
        const bool byPassword = pressed_ && target_ && target_ == resultC1 && !registered_.isEmpty() &&
                                resultT1Before == registered_;
        if (!byPassword) {
            Fail(QStringLiteral("the locked results opened without the registered password (typed %1, "
                                "registered %2)")
                     .arg(Shorten(resultT1Before), Shorten(registered_)));
            return;
        }
        spartanLock_ = false;
        ++coverage().spartanUnlocks;
    } else if (lockedBefore && results.IsLoaded() && pressed_ && target_ && target_ == resultC1) {
        if (!registered_.isEmpty() && resultT1Before == registered_) {
            Fail(QStringLiteral("the registered password %1 did not open the locked results")
                     .arg(Shorten(registered_)));
            return;
        }
        ++coverage().wrongResultPasswords;
    }

    // The store: once registered, the password stays; a new one is what was typed.
    const std::optional<QString> stored = Stored();
    if (!stored) {
        Fail(QStringLiteral("the password store became unreadable"));
        return;
    }
    if (!registered_.isEmpty()) {
        if (*stored != registered_) {
            Fail(QStringLiteral("the store holds %1, not the registered %2").arg(Shorten(*stored),
                                                                                  Shorten(registered_)));
            return;
        }
    } else if (!stored->isEmpty()) {
        if (*stored != gateT1Before || storedBefore != QString()) {
            Fail(QStringLiteral("the store now holds %1, which was never typed to register (gate had %2)")
                     .arg(Shorten(*stored), Shorten(gateT1Before)));
            return;
        }
        registered_ = *stored;
        ++coverage().registrations;
        Log(QStringLiteral("    (registered %1)").arg(Shorten(registered_)));
    }
    AfterEvent();
}

void Walker::AfterEvent()
{
    if (!failure.isEmpty())
        return;
    Check(false);

    // What the walk reached.
    forms::Calk &calk = P().calk;
    const bool built = calk.IsLoaded() && calk.DrillBuilt();
    const int mode = std::clamp<int>(Module1::StudyMode, 0, 2);
    if (built && !drillWasBuilt_) {
        Log(QStringLiteral("    (drill of %1 in mode %2, kind %3, range %4)")
                .arg(Module1::ProblemCount)
                .arg(mode)
                .arg(Module1::CalcKind)
                .arg(Module1::RangeMax));
        ++coverage().started[mode];
        if (Module1::ProblemCount > 100)
            ++coverage().bigDrills;
    }
    drillWasBuilt_ = built;
    const bool results = P().kekka.IsLoaded();
    if (results && !resultsWereShown_) {
        Log(QStringLiteral("    (results of mode %1%2)").arg(mode).arg(P().kekka.IsLocked() ? ", locked" : ""));
        ++coverage().finished[mode];
    }
    resultsWereShown_ = results;
    const bool settings = P().setei.IsLoaded();
    if (settings && !settingsWereShown_)
        ++coverage().settingsOpened;
    settingsWereShown_ = settings;
}

// ---- the feedback dialog -------------------------------------------------

// Runs at every wait of the answer check: a few events while the dialog is up,
// then (mostly) the child acknowledges it. Three waits without an
// acknowledgement in a row force one, so every answer check ends.
void Walker::DialogWait()
{
    fx_.pump->actions.push_back([this] { DialogWait(); });
    ++waitDepth_;
    ++waitsThisEvent_;
    if (waitDepth_ > 1)
        Fail(QStringLiteral("a second answer check waited while the first one still waited"));
    if (waitsThisEvent_ > 20)
        Fail(QStringLiteral("the answer check waited more than 20 times for one answer"));

    const auto waiting = [] {
        return Module1::AnswerState != Module1::Acknowledged && app::CurrentProgram()->calk.IsLoaded() &&
               !platform::programEnding();
    };

    if (failure.isEmpty()) {
        const int n = Below(5);
        for (int i = 0; i < n && failure.isEmpty() && waiting(); ++i) {
            ++subEvent_;
            DialogEvent();
            ++dialogEventsDone;
            ++coverage().dialogEvents;
            Check(true);
        }
    }
    if (waiting()) {
        if (!failure.isEmpty() || unacknowledged_ >= 3 || Chance(0.85)) {
            Acknowledge();
        } else {
            ++unacknowledged_;
            ++subEvent_;
            Log(QStringLiteral("leave the dialog up"));
        }
    }
    --waitDepth_;
}

void Walker::Acknowledge()
{
    unacknowledged_ = 0;
    ++subEvent_;
    QWidget *dialog = Window(QStringLiteral("Dialog"));
    if (!dialog) {
        Fail(QStringLiteral("the answer check waits but no feedback dialog is shown"));
        // Let the check go on, or the walk would hang here.
        Module1::AnswerState = Module1::Acknowledged;
        return;
    }
    if (Chance(0.75)) {
        Log(QStringLiteral("acknowledge: click Dialog/CB"));
        dialog->findChild<QPushButton *>(QStringLiteral("CB"))->click();
    } else {
        Log(QStringLiteral("acknowledge: close Dialog"));
        ++coverage().dialogClosedByWindow;
        dialog->close();
    }
    if (Module1::AnswerState != Module1::Acknowledged) {
        Fail(QStringLiteral("acknowledging the feedback dialog did not release the answer check"));
        Module1::AnswerState = Module1::Acknowledged;
    }
}

// One event while the dialog is up: the drill form's controls and close, keys
// on either window, the dialog's own close.
void Walker::DialogEvent()
{
    QWidget *calk = Window(QStringLiteral("Calk"));
    QWidget *dialog = Window(QStringLiteral("Dialog"));
    target_ = nullptr;
    QList<QWidget *> both;
    if (calk)
        both.append(calk);
    if (dialog)
        both.append(dialog);
    if (both.isEmpty()) {
        Log(QStringLiteral("(nothing shown while waiting)"));
        return;
    }
    const QList<QWidget *> drill = calk ? QList<QWidget *>{calk} : both;
    const int r = Below(100);
    if (r < 40) {
        if (!Click(drill, true))
            Key(both);
    } else if (r < 60) {
        if (!Type(drill))
            Key(both);
    } else if (r < 88) {
        Key(both);
    } else if (r < 97 || !dialog) {
        CloseWindow(drill);
    } else {
        ++coverage().dialogClosedByWindow;
        CloseWindow({dialog});
    }
    // What the nested event loop of the real pump would run meanwhile.
    QCoreApplication::processEvents();
}

// ---- invariants ----------------------------------------------------------

void Walker::Check(bool inWait)
{
    if (!failure.isEmpty())
        return;
    app::Program &program = P();

    QMap<QString, int> shown;
    int total = 0;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && FormNames.contains(w->objectName())) {
            ++shown[w->objectName()];
            ++total;
        }
    }
    for (auto it = shown.cbegin(); it != shown.cend(); ++it) {
        if (it.value() > 1)
            return Fail(QStringLiteral("%1 windows of %2 are shown").arg(it.value()).arg(it.key()));
    }
    const std::pair<const char *, const forms::Form *> forms[] = {
        {"Mess01", &program.mess01}, {"Calk", &program.calk},         {"Dialog", &program.dialog},
        {"kekka", &program.kekka},   {"PassWord", &program.passWord}, {"Setei", &program.setei},
    };
    for (const auto &[name, form] : forms) {
        const bool visible = shown.value(QLatin1String(name)) == 1;
        if (form->IsLoaded() != visible || (visible && form->Window() != Window(QLatin1String(name))))
            return Fail(QStringLiteral("%1 is %2 but its window is %3")
                            .arg(QString::fromLatin1(name),
                                 form->IsLoaded() ? QStringLiteral("loaded") : QStringLiteral("not loaded"),
                                 visible ? QStringLiteral("shown") : QStringLiteral("not shown")));
    }
    if (total == 0 && !platform::programEnding())
        return Fail(QStringLiteral("no window is shown and the program has not ended"));

    forms::Calk &calk = program.calk;
    const bool waiting = calk.IsWaitingForDialog();
    if (!inWait && (waiting || program.dialog.IsLoaded()))
        return Fail(QStringLiteral("the feedback dialog (%1) or the answer check's wait (%2) outlived the answer")
                        .arg(program.dialog.IsLoaded())
                        .arg(waiting));
    if (inWait && calk.IsLoaded() && Module1::AnswerState != Module1::Acknowledged && !program.dialog.IsLoaded())
        return Fail(QStringLiteral("the answer check waits for a feedback dialog that is gone"));

    if (calk.IsLoaded() && calk.DrillBuilt()) {
        const int qn = Module1::QuestionNo;
        const int pc = Module1::ProblemCount;
        const int answered = Module1::CorrectCount + Module1::WrongCount;
        const int expected = waiting ? qn : qn - 1;
        if (answered != expected)
            return Fail(QStringLiteral("%1 right + %2 wrong on question %3 (%4)")
                            .arg(Module1::CorrectCount)
                            .arg(Module1::WrongCount)
                            .arg(qn)
                            .arg(waiting ? QStringLiteral("waiting for the dialog") : QStringLiteral("question shown")));
        if (qn < 1 || qn > pc + 1)
            return Fail(QStringLiteral("question %1 of %2").arg(qn).arg(pc));
        const engine::ProblemSet &set = calk.drill.problemSet;
        if (set.GeneratedCount != pc)
            return Fail(QStringLiteral("%1 problems built for a drill of %2").arg(set.GeneratedCount).arg(pc));

        const QString k1 = calk.K1->text();
        const QString e = calk.E->text();
        const QString k2 = calk.K2->text();
        const auto same = [&](const engine::ProblemRecord &r) {
            return k1 == platform::NumberToText(r.LeftOperand) && k2 == platform::NumberToText(r.RightOperand) &&
                   e == engine::OperatorSign(r.Operation).value_or(QStringLiteral("?"));
        };
        if (!same(set.Problems(qn))) {
            int found = 0;
            for (int i = 1; i <= set.GeneratedCount && !found; ++i) {
                if (same(set.Problems(i)))
                    found = i;
            }
            const QString what = QStringLiteral("%1 %2 %3").arg(k1, e, k2);
            if (!found)
                return Fail(QStringLiteral("the screen shows %1, which is no problem of the set").arg(what));
            return Fail(QStringLiteral("question %1 shows %2, which is problem %3").arg(qn).arg(what).arg(found));
        }

        if (Module1::StudyMode == Module1::Spartan) {
            spartanLock_ = true;
            if (calk.C->isVisible() || calk.Window()->windowFlags().testFlag(Qt::WindowCloseButtonHint))
                return Fail(QStringLiteral("a Spartan drill offers a way out"));
        }
    }

    forms::kekka &results = program.kekka;
    if (results.IsLoaded()) {
        if (Module1::StudyMode == Module1::Spartan && results.IsLocked())
            spartanLock_ = true;
        if (results.IsLocked() && results.Command1->isVisible())
            return Fail(QStringLiteral("the locked results show the way back"));
        if (spartanLock_ && !results.IsLocked())
            return Fail(QStringLiteral("the Spartan results are unlocked though nobody typed the password"));
        const int total0 = results.L[0]->text().toInt();
        const int right = results.L[2]->text().toInt();
        const int wrong = results.L[3]->text().toInt();
        if (right + wrong != total0)
            return Fail(QStringLiteral("results: %1 right + %2 wrong of %3").arg(right).arg(wrong).arg(total0));
    }
    if (spartanLock_ && program.mess01.IsLoaded())
        return Fail(QStringLiteral("the menu came back after a Spartan drill without the password"));
}

} // namespace

class TestMonkey : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void walk_data();
    void walk();
    void walksReachEveryPart();
    // Found by the walk (seed 1): unloading a form while a kind list holds a
    // typed, not yet picked entry with the focus in it.
    void closingTheDrillWhileAKindIsTyped();
    void closingTheSettingsWhileAKindIsTyped();

private:
    bool replay_ = false;
};

void TestMonkey::initTestCase()
{
    previousHandler = qInstallMessageHandler(QuietHandler);
    InstallCrashHandler();
}

void TestMonkey::walk_data()
{
    QTest::addColumn<quint64>("seed");
    QTest::addColumn<int>("events");
    bool ok = false;
    int events = qEnvironmentVariableIntValue("MONKEY_EVENTS", &ok);
    if (!ok || events <= 0)
        events = DefaultEvents;
    const QByteArray seed = qgetenv("MONKEY_SEED");
    if (!seed.isEmpty()) {
        replay_ = true;
        const quint64 value = seed.toULongLong(&ok);
        QVERIFY2(ok, "MONKEY_SEED must be a whole number");
        QTest::addRow("seed %llu", value) << value << events;
        return;
    }
    for (quint64 s = 1; s <= DefaultSeeds; ++s)
        QTest::addRow("seed %llu", s) << s << events;
}

void TestMonkey::walk()
{
    QFETCH(quint64, seed);
    QFETCH(int, events);
    QElapsedTimer timer;
    timer.start();
    Walker walker(seed, events);
    const bool ok = walker.Run();
    qInfo("seed %llu: %d events and %d more while the dialog was up, %lld ms", seed, walker.eventsDone,
          walker.dialogEventsDone, timer.elapsed());
    if (!ok) {
        // QtTest cuts long messages; the whole report goes to stderr.
        std::fprintf(stderr, "\n*** monkey: %s\n", qPrintable(walker.failure));
        QFAIL(qPrintable(walker.failure.section(QLatin1Char('\n'), 0, 1)));
    }
}

void TestMonkey::walksReachEveryPart()
{
    const Coverage &c = coverage();
    qInfo("drills started free/designated/Spartan %d/%d/%d, finished %d/%d/%d; Spartan unlocks %d, wrong result "
          "passwords %d; registrations %d; settings opened %d; ends %d; kills %d; dialog events %d, dialog "
          "closed by its window %d; drills over 100 problems %d; events %lld",
          c.started[0], c.started[1], c.started[2], c.finished[0], c.finished[1], c.finished[2], c.spartanUnlocks,
          c.wrongResultPasswords, c.registrations, c.settingsOpened, c.ends, c.kills, c.dialogEvents,
          c.dialogClosedByWindow, c.bigDrills, c.events);
    if (replay_ || c.events < DefaultSeeds * DefaultEvents)
        QSKIP("a short or single walk need not reach every part");
    for (int mode = 0; mode < 3; ++mode) {
        QVERIFY2(c.started[mode] > 0, qPrintable(QStringLiteral("no drill started in mode %1").arg(mode)));
        QVERIFY2(c.finished[mode] > 0, qPrintable(QStringLiteral("no drill finished in mode %1").arg(mode)));
    }
    QVERIFY(c.spartanUnlocks > 0);
    QVERIFY(c.wrongResultPasswords > 0);
    QVERIFY(c.registrations > 0);
    QVERIFY(c.settingsOpened > 0);
    QVERIFY(c.ends > 0);
    QVERIFY(c.dialogEvents > 0);
    QVERIFY(c.dialogClosedByWindow > 0);
    QVERIFY(c.bigDrills > 0);
}

// The window's hide moves the focus out of the list's text, and Qt then picks
// the typed entry (activated); the form must not be half torn down by then.
void TestMonkey::closingTheDrillWhileAKindIsTyped()
{
    ProgramFixture fx;
    fx.Start();
    Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C1"))->click();
    FlushDeletes();
    auto *kind = Control<QComboBox>(QStringLiteral("Calk"), QStringLiteral("Combo1"));
    QVERIFY(kind);
    kind->setFocus();
    QVERIFY(HasFocus(kind));
    kind->setEditText(QStringLiteral("わり算"));
    Window(QStringLiteral("Calk"))->close(); // the frame's close control
    FlushDeletes();
    QVERIFY(!Window(QStringLiteral("Calk")));
    QVERIFY(Window(QStringLiteral("Mess01")));
}

void TestMonkey::closingTheSettingsWhileAKindIsTyped()
{
    ProgramFixture fx;
    fx.Start();
    fx.program->setei.Show();
    FlushDeletes();
    auto *kind = Control<QComboBox>(QStringLiteral("Setei"), QStringLiteral("Combo1"));
    QVERIFY(kind);
    kind->setFocus();
    QVERIFY(HasFocus(kind));
    kind->setEditText(QStringLiteral("わり算"));
    Window(QStringLiteral("Setei"))->close();
    FlushDeletes();
    QVERIFY(!Window(QStringLiteral("Setei")));
    QCOMPARE(int(Module1::CalcKind), 4);
}

QTEST_MAIN(TestMonkey)
#include "tst_monkey.moc"
