#include "forms/drill/Calk.h"

#include "forms/common/Palette.h"

#include "engine/Score.h"
#include "platform/Conversions.h"
#include "platform/EventPump.h"
#include "platform/MessageBox.h"
#include "platform/Random.h"
#include "platform/Services.h"
#include "platform/TextInput.h"
#include "study/Choices.h"
#include "study/Module1.h"


namespace forms {

namespace {

using palette::ButtonCyan;
using palette::Red;
using palette::TitleBlue;
const QColor &Cyan = palette::DrillCyan;

} // namespace

Calk::Calk(Navigator &navigator) : Form(QStringLiteral("Calk")), navigator_(navigator) {}

void Calk::CreateControls(QWidget *w)
{
    SetCaption(QStringLiteral("Calk"));
    SetFormColour(Cyan);
    SetClientSize(9495, 6915);

    CreateQuestionArea(w);
    CreateScoreboard(w);
    CreateSetupFrame(w);
    SetTabOrder({T1, Combo1, K, C1, T[0], T[1], T[2], T[3], C2, Combo2, Combo3, C});

    connect(Combo1, &ComboBox::Picked, this, &Calk::Combo1_Click);
    connect(C1, &QPushButton::clicked, this, &Calk::C1_Click);
    connect(C, &QPushButton::clicked, this, &Calk::C_Click);
    // A count and Enter twice starts the drill.
    T1->MoveFocusOnEnter(C1);
    connect(C2, &QPushButton::clicked, this, &Calk::C2_Click);

    if (platform::TouchIsPrimary())
        AttachPad(w);
}

void Calk::CreateQuestionArea(QWidget *w)
{
    const QFont normal = FormFont(Face::PGothic, 15.75);
    const QFont big = FormFont(Face::PGothic, 48);
    const QFont huge = FormFont(Face::PGothic, 60);
    // Three digits of the proportional gothic are 151 px at 60 pt, wider
    // than the 129 px boxes; the fixed-pitch gothic's are 120 px and fit.
    const QFont operand = FormFont(Face::Gothic, 60);
    const Qt::Alignment centred = Qt::AlignHCenter | Qt::AlignTop;

    Label1 = MakeLabel(w, QStringLiteral("Label1"), QStringLiteral("Mimoran！"), TwipsRect(960, 240, 7455, 855),
                       FormFont(Face::PopS, 36, true), centred);
    SetTextColour(Label1, TitleBlue);
    Label4 = MakeLabel(w, QStringLiteral("Label4"), QStringLiteral("第"), TwipsRect(1440, 1200, 1095, 975), big,
                       centred);
    Label5 = MakeLabel(w, QStringLiteral("Label5"), QStringLiteral("？"), TwipsRect(2760, 1200, 3975, 855), big,
                       centred);
    Label6 = MakeLabel(w, QStringLiteral("Label6"), QStringLiteral("問"), TwipsRect(6840, 1200, 1095, 975), big,
                       centred);
    for (QLabel *label : {Label4, Label5, Label6})
        SetTextColour(label, Red);

    C = new CommandButton(w, QStringLiteral("C"), QStringLiteral("途中終了"), TwipsRect(8040, 1200, 975, 975),
                          normal);
    C->SetBackColour(ButtonCyan);

    K1 = MakeLabel(w, QStringLiteral("K1"), QStringLiteral("？"), TwipsRect(360, 2400, 1935, 1335), operand,
                   centred);
    E = MakeLabel(w, QStringLiteral("E"), QStringLiteral("＋"), TwipsRect(2400, 2400, 1215, 1335), huge, centred);
    K2 = MakeLabel(w, QStringLiteral("K2"), QStringLiteral("？"), TwipsRect(3720, 2400, 1935, 1335), operand,
                   centred);
    Label7 = MakeLabel(w, QStringLiteral("Label7"), QStringLiteral("＝"), TwipsRect(5760, 2400, 1215, 1335), huge,
                       centred);
    K = new TextBox(w, QStringLiteral("K"), QStringLiteral("？"), TwipsRect(7080, 2400, 1935, 1335), operand);
    K->setAlignment(Qt::AlignCenter);
    K->setInputMethodHints(Qt::ImhPreferNumbers);
    K->setAccessibleName(QStringLiteral("答え"));
}

void Calk::CreateScoreboard(QWidget *w)
{
    C2 = new CommandButton(w, QStringLiteral("C2"), QStringLiteral("答えを右上に入力した後、こちらをクリックしてください"),
                           TwipsRect(480, 4080, 8535, 495), FormFont(Face::PGothic, 15.75));
    C2->SetBackColour(ButtonCyan);

    const QFont board = FormFont(Face::PGothic, 24);
    const QFont caption = FormFont(Face::Mincho, 15.75);
    struct BoardRow {
        QLabel **label;
        const char *labelName;
        const char16_t *caption;
        int labelLeft, labelTop, boxLeft, boxTop;
        const char16_t *accessible;
    };
    const BoardRow rows[4] = {
        {&Label8, "Label8", u"総問題数", 600, 5040, 2040, 4920, u"総問題数"},
        {&Label11, "Label11", u"得　　点", 600, 6000, 2040, 5880, u"得点"},
        {&Label9, "Label9", u"正 解 数", 5160, 5040, 6600, 4920, u"正解数"},
        {&Label10, "Label10", u"不正解数", 5160, 6000, 6600, 5880, u"不正解数"},
    };
    for (int i = 0; i < 4; ++i) {
        const BoardRow &row = rows[i];
        *row.label = MakeLabel(w, QLatin1String(row.labelName), QString::fromUtf16(row.caption),
                               TwipsRect(row.labelLeft, row.labelTop, 1335, 375), caption);
        SetBackground(*row.label, Cyan);
        T[i] = new TextBox(w, ArrayName("T", i), QString(), TwipsRect(row.boxLeft, row.boxTop, 2295, 615), board);
        T[i]->setReadOnly(true);
        T[i]->setAccessibleName(QString::fromUtf16(row.accessible));
    }
}

void Calk::CreateSetupFrame(QWidget *w)
{
    const QFont normal = FormFont(Face::PGothic, 15.75);
    const QFont choice = FormFont(Face::Gothic, 15.75);
    // The set-up frame lies over the answer button and the scoreboard.
    Frame2 = MakeFrame(w, QStringLiteral("Frame2"), QString(), TwipsRect(240, 3960, 9015, 2655),
                       FormFont(Face::PGothic, 15.75, true));
    SetBackground(Frame2, Cyan);
    Label3 = MakeLabel(Frame2, QStringLiteral("Label3"), QStringLiteral("計算種別"), TwipsRect(240, 600, 1815, 495),
                       choice);
    SetBackground(Label3, Cyan);
    Combo1 = new ComboBox(Frame2, QStringLiteral("Combo1"), 1800, 600, 4935, normal);
    Combo1->setAccessibleName(QStringLiteral("計算種別"));
    Label12 = MakeLabel(Frame2, QStringLiteral("Label12"), QStringLiteral("数値範囲"),
                        TwipsRect(240, 1200, 1815, 495), choice);
    SetBackground(Label12, Cyan);
    Combo3 = new ComboBox(Frame2, QStringLiteral("Combo3"), 1800, 1200, 4935, normal);
    Combo3->setAccessibleName(QStringLiteral("九九の段"));
    Combo2 = new ComboBox(Frame2, QStringLiteral("Combo2"), 1800, 1200, 4935, normal); // over Combo3
    Combo2->setAccessibleName(QStringLiteral("数値範囲"));
    Label2 = MakeLabel(Frame2, QStringLiteral("Label2"), QStringLiteral("問 題 数"), TwipsRect(240, 1800, 1815, 495),
                       choice);
    SetBackground(Label2, Cyan);
    T1 = new TextBox(Frame2, QStringLiteral("T1"), QStringLiteral("30"), TwipsRect(1800, 1800, 4935, 435), normal);
    T1->setInputMethodHints(Qt::ImhPreferNumbers);
    T1->setAccessibleName(QStringLiteral("問題数"));
    C1 = new CommandButton(Frame2, QStringLiteral("C1"), QStringLiteral("学習スタート"),
                           TwipsRect(7080, 720, 1575, 1335), normal);
    C1->SetBackColour(ButtonCyan);
}

void Calk::ClearControls()
{
    Label1 = Label4 = Label5 = Label6 = K1 = E = K2 = Label7 = nullptr;
    Label8 = Label9 = Label10 = Label11 = Label3 = Label12 = Label2 = nullptr;
    C = C2 = C1 = nullptr;
    K = T1 = nullptr;
    T = {};
    Frame2 = nullptr;
    Combo1 = Combo2 = Combo3 = nullptr;
    pad_ = nullptr;
}

void Calk::Load()
{
    built_ = false;
    waiting_ = false;

    for (QWidget *w : {static_cast<QWidget *>(Label3), static_cast<QWidget *>(Combo1),
                       static_cast<QWidget *>(Combo2), static_cast<QWidget *>(Combo3),
                       static_cast<QWidget *>(Label12)})
        w->show();

    navigator_.Close(Screen::Menu);
    drill.problemSet.GeneratedCount = 0;

    FillChoiceLists(Combo1, Combo2, Combo3);
    if (pad_)
        pad_->SetStartKey(true);

    spartan_ = false;
    switch (Module1::StudyMode) {
    case Module1::FreeStudy:
        Frame2->setTitle(QStringLiteral("自由学習モード時の設定"));
        C->show();
        T1->setFocus();
        break;
    case Module1::DesignatedStudy:
        Frame2->setTitle(QStringLiteral("指定学習モード時の設定"));
        for (QWidget *w : {static_cast<QWidget *>(Label3), static_cast<QWidget *>(Combo1),
                           static_cast<QWidget *>(Combo2), static_cast<QWidget *>(Combo3),
                           static_cast<QWidget *>(Label12)})
            w->hide();
        C->show();
        T1->setFocus();
        break;
    case Module1::Spartan:
        // No way out of a Spartan drill: no quit button, no close control.
        spartan_ = true;
        SetCloseControl(false);
        C->hide();
        K->setFocus();
        if (!given_ && !resumed_)
            BuildProblemSet();
        break;
    default:
        break;
    }
    if (resumed_) {
        Frame2->hide();
        drill.Resume(resumed_->open, resumed_->answers);
        resumed_.reset();
        AfterBuild();
    } else if (given_) {
        BeginDrill();
    }
}

void Calk::StartGiven(std::vector<engine::ProblemRecord> problems, const engine::DrillContext &context)
{
    if (IsLoaded() || problems.empty())
        return;
    given_ = GivenDrill{std::move(problems), context};
    Show();
}

void Calk::StartResumed(engine::OpenDrill open, std::vector<platform::AnswerRow> answers)
{
    if (IsLoaded())
        return;
    // The screen opens as a drill of that mode opens.
    Module1::StudyMode = open.mode;
    resumed_ = ResumedDrill{std::move(open), std::move(answers)};
    given_.reset();
    Show();
}

void Calk::CloseRequested()
{
    // The frame's close acts as the quit button, which a Spartan drill does
    // not have and which waits while the feedback dialog is up.
    if (spartan_ || waiting_)
        return;
    C_Click();
}

void Calk::Combo1_Click()
{
    ShowRangeOrRow(Combo1, Combo2);
}

void Calk::C1_Click()
{
    if (built_ || waiting_)
        return;
    const study::CountCheck check = study::CheckProblemCount(T1->text());
    const QString refusal = study::CountRefusalMessage(check);
    if (!refusal.isEmpty()) {
        RefuseEntry(T1, refusal, AfterRefusal::Empty);
        return;
    }

    if (Module1::StudyMode == Module1::FreeStudy)
        study::ApplyChoices(Combo1->currentText(), Combo2->currentText(), Combo3->currentText());
    if (Module1::StudyMode != Module1::Spartan)
        Module1::ProblemCount = std::get<study::CountAccepted>(check).count;

    C1->hide();
    BuildProblemSet();
    if (IsLoaded())
        C1->show();
}

void Calk::C_Click()
{
    if (waiting_)
        return;
    Unload();
    navigator_.Open(Screen::Menu);
}

void Calk::BuildProblemSet()
{
    given_.reset();
    BeginDrill();
}

void Calk::BeginDrill()
{
    Frame2->hide();
    if (given_)
        drill.Begin(given_->problems, given_->context, platform::random());
    else
        drill.Begin(platform::random());
    given_.reset();
    AfterBuild();
}

void Calk::AfterBuild()
{
    built_ = true;
    if (pad_)
        pad_->SetStartKey(false);
    // Question 1 is for the answer box now, and Enter there goes on to the
    // answer button (before the drill it lies covered and has nothing to do).
    K->MoveFocusOnEnter(C2);
    if (Module1::StudyMode != Module1::Spartan)
        K->setFocus();
    ShowQuestion();
}

void Calk::ShowQuestion()
{
    if (drill.Finished()) {
        navigator_.Open(Screen::Results);
        return;
    }
    const engine::ProblemRecord &record = drill.Current();
    if (const std::optional<QString> sign = engine::OperatorSign(record.Operation))
        E->setText(*sign);
    K1->setText(platform::NumberToText(record.LeftOperand));
    K2->setText(platform::NumberToText(record.RightOperand));
    K->setText(QString());
    Label5->setText(platform::NumberToText(Module1::QuestionNo));
    T[0]->setText(platform::NumberToText(Module1::ProblemCount));
    T[2]->setText(platform::NumberToText(Module1::CorrectCount));
    T[3]->setText(platform::NumberToText(Module1::WrongCount));
    if (const std::optional<int> score = drill.ShownScore())
        T[1]->setText(platform::NumberToText(*score));
    drill.Shown();
}

void Calk::C2_Click()
{
    // Nothing to answer before the drill is built, and one answer at a time.
    if (!built_ || waiting_)
        return;

    // One answer at a time from here: storing it may let other input in
    // (a browser's storage answers later).
    waiting_ = true;
    const engine::Verdict verdict = drill.Judge(K->text());
    if (verdict == engine::Verdict::NothingTyped || verdict == engine::Verdict::NotANumber) {
        waiting_ = false;
        RefuseEntry(K, verdict == engine::Verdict::NothingTyped ? QStringLiteral("解答が入力されていません")
                                                                : QStringLiteral("答えは数字で入力してください"));
        return;
    }
    navigator_.Open(Screen::Feedback);

    // Blocks on the event loop (no CPU) until the dialog is acknowledged, the
    // screen goes, or the program ends.
    while (Module1::AnswerState != Module1::Acknowledged && IsLoaded() && !platform::programEnding())
        platform::eventPump().WaitForWake();
    waiting_ = false;
    if (!IsLoaded() || Module1::AnswerState != Module1::Acknowledged)
        return;

    K->setFocus();
    drill.Next();
    ShowQuestion();
}

} // namespace forms
