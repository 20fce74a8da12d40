#include "forms/parent/Setei.h"

#include "forms/common/Palette.h"

#include "platform/MessageBox.h"
#include "platform/Services.h"
#include "study/Choices.h"
#include "study/Module1.h"

namespace forms {

Setei::Setei(Navigator &navigator) : Form(QStringLiteral("Setei")), navigator_(navigator) {}

void Setei::CreateControls(QWidget *w)
{
    const QColor &back = palette::ParentPink;
    SetCaption(QStringLiteral("Setei"));
    SetFormColour(back);
    SetClientSize(9615, 6915);
    w->setWindowModality(Qt::ApplicationModal);

    const QFont normal = FormFont(Face::PGothic, 15.75);
    const QFont frameFont = FormFont(Face::PGothic, 15.75, true);
    const QFont optionFont = FormFont(Face::PGothic, 12);
    const QFont labelFont = FormFont(Face::Gothic, 15.75);

    Label1 = MakeLabel(w, QStringLiteral("Label1"), QStringLiteral("設定画面"), TwipsRect(240, 240, 9135, 855),
                       FormFont(Face::PopS, 36, true), Qt::AlignHCenter | Qt::AlignTop);
    SetTextColour(Label1, palette::TitleBlue);
    Command1 = new CommandButton(w, QStringLiteral("Command1"), QStringLiteral("設定完了"),
                                 TwipsRect(6720, 240, 2535, 735), normal);
    Command1->SetBackColour(palette::ButtonRed);
    // Over the title's empty left end, as 設定完了 is over its right end.
    Command2 = new CommandButton(w, QStringLiteral("Command2"), QStringLiteral("学習の記録"),
                                 TwipsRect(360, 240, 2535, 735), normal);
    Command2->SetBackColour(palette::ButtonRed);

    Frame1 = MakeFrame(w, QStringLiteral("Frame1"), QStringLiteral("学習モードの設定"),
                       TwipsRect(360, 1200, 8895, 2415), frameFont);
    SetBackground(Frame1, back);
    const char16_t *options[3] = {
        u"自由学習モード（子供が自由に算数の学習を勧めることができます）",
        u"指定学習モード（子供に指定した学習内容を学習させることができます）",
        u"スパルタモード（強制的に学習をさせ、その結果を評価することができます）",
    };
    for (int i = 0; i < 3; ++i) {
        Option1[i] = MakeOption(Frame1, ArrayName("Option1", i), QString::fromUtf16(options[i]),
                                TwipsRect(360, 480 + 600 * i, 8175, 375), optionFont);
        SetBackground(Option1[i], back);
        connect(Option1[i], &QRadioButton::clicked, this, [this, i] { Option1_Click(i); });
    }

    CreateContentFrame(w);

    SetTabOrder({Option1[0], Option1[1], Option1[2], Combo1, Combo2, Combo3, T1, Command1, Command2});
    Option1[0]->setFocus();

    connect(Combo1, &ComboBox::Picked, this, &Setei::Combo1_Click);
    connect(Command1, &QPushButton::clicked, this, &Setei::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Setei::Command2_Click);
    T1->MoveFocusOnEnter(Command1);
}

void Setei::CreateContentFrame(QWidget *w)
{
    const QColor &back = palette::ParentPink;
    const QFont normal = FormFont(Face::PGothic, 15.75);
    const QFont frameFont = FormFont(Face::PGothic, 15.75, true);
    const QFont labelFont = FormFont(Face::Gothic, 15.75);
    Frame2 = MakeFrame(w, QStringLiteral("Frame2"), QString(), TwipsRect(360, 4080, 8895, 2535), frameFont);
    SetBackground(Frame2, back);
    Label3 = MakeLabel(Frame2, QStringLiteral("Label3"), QStringLiteral("計算種別"), TwipsRect(480, 480, 1815, 495),
                       labelFont);
    Combo1 = new ComboBox(Frame2, QStringLiteral("Combo1"), 2880, 480, 4935, normal);
    Combo1->setAccessibleName(QStringLiteral("計算種別"));
    Label4 = MakeLabel(Frame2, QStringLiteral("Label4"), QStringLiteral("数値範囲"),
                       TwipsRect(480, 1080, 1815, 495), labelFont);
    Combo3 = new ComboBox(Frame2, QStringLiteral("Combo3"), 2880, 1080, 4935, normal);
    Combo3->setAccessibleName(QStringLiteral("九九の段"));
    Combo2 = new ComboBox(Frame2, QStringLiteral("Combo2"), 2880, 1080, 4935, normal); // over Combo3
    Combo2->setAccessibleName(QStringLiteral("数値範囲"));
    Label2 = MakeLabel(Frame2, QStringLiteral("Label2"), QStringLiteral("問 題 数"), TwipsRect(480, 1680, 1815, 495),
                       labelFont);
    T1 = new TextBox(Frame2, QStringLiteral("T1"), QStringLiteral("30"), TwipsRect(2880, 1680, 4935, 435), normal);
    T1->setInputMethodHints(Qt::ImhPreferNumbers);
    T1->setAccessibleName(QStringLiteral("問題数"));
    for (QLabel *label : {Label3, Label4, Label2})
        SetBackground(label, back);
}

void Setei::ClearControls()
{
    Label1 = Label3 = Label4 = Label2 = nullptr;
    Command1 = Command2 = nullptr;
    Frame1 = Frame2 = nullptr;
    Option1 = {};
    Combo1 = Combo2 = Combo3 = nullptr;
    T1 = nullptr;
}

void Setei::Load()
{
    FillChoiceLists(Combo1, Combo2, Combo3);
}

void Setei::Option1_Click(int index)
{
    Module1::StudyMode = static_cast<std::int16_t>(index);
    Frame2->show();
    Label2->show();
    T1->show();
    switch (index) {
    case Module1::FreeStudy:
        Frame2->hide();
        break;
    case Module1::DesignatedStudy:
        Frame2->setTitle(QStringLiteral("指定学習モード時の設定"));
        Label2->hide();
        T1->hide();
        break;
    case Module1::Spartan:
        Frame2->setTitle(QStringLiteral("スパルタモード時の設定"));
        break;
    default:
        break;
    }
}

void Setei::Combo1_Click()
{
    ShowRangeOrRow(Combo1, Combo2);
}

void Setei::Command1_Click()
{
    // A count the parent can see and correct holds the screen open; a hidden
    // one is simply not written (see QueryUnload).
    const study::CountCheck check = study::CheckProblemCount(T1->text());
    const QString refusal = study::CountRefusalMessage(check);
    if (!refusal.isEmpty() && T1->isVisibleTo(Window())) {
        RefuseEntry(T1, refusal, AfterRefusal::Empty);
        return;
    }
    Unload();
}

void Setei::Command2_Click()
{
    navigator_.Open(Screen::Record);
}

void Setei::QueryUnload()
{
    study::ApplyChoices(Combo1->currentText(), Combo2->currentText(), Combo3->currentText());
    const study::CountCheck check = study::CheckProblemCount(T1->text());
    if (const auto *accepted = std::get_if<study::CountAccepted>(&check))
        Module1::ProblemCount = accepted->count;
}

} // namespace forms
