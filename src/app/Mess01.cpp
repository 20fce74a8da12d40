#include "app/Mess01.h"

#include "forms/common/Palette.h"

#include "app/Program.h"
#include "engine/ChildRecord.h"
#include "platform/MessageBox.h"
#include "platform/Services.h"
#include "study/Module1.h"

namespace app {

using namespace forms;

const QString Mess01::Description = QStringLiteral(
    "　このソフトは、算数の初期段階である、３桁までの足し算・引き算・掛け算・割り算の練習用アプリケーションソフトです。"
    "　お父さん・お母さんが設定をし、小学１～３年生の方に利用していただくことを前提として作成しております。"
    "　　　　　　　　スパルタに学習させすぎて、算数嫌いにならないようにご注意ください。");

Mess01::Mess01(Program &program) : Form(QStringLiteral("Mess01")), program_(program) {}

void Mess01::CreateControls(QWidget *w)
{
    SetCaption(QStringLiteral("Mimoran！２"));
    SetFormColour(palette::MenuGreen);
    SetClientSize(9615, 6915);

    Label1 = MakeLabel(w, QStringLiteral("Label1"), QStringLiteral("Mimoran！2.0"), TwipsRect(240, 240, 9135, 855),
                       FormFont(Face::PopS, 36, true), Qt::AlignHCenter | Qt::AlignTop);
    SetTextColour(Label1, palette::TitleBlue);
    Label2 = new WrappedLabel(w, QStringLiteral("Label2"), Description, TwipsRect(360, 1320, 8895, 4215),
                              FormFont(Face::PMincho, 26.25));

    const QFont buttonFont = FormFont(Face::PGothic, 15.75);
    const QColor &buttonColour = palette::DrillCyan;
    C1 = new CommandButton(w, QStringLiteral("C1"), QStringLiteral("お勉強の開始"), TwipsRect(360, 5880, 2655, 735),
                           buttonFont);
    C2 = new CommandButton(w, QStringLiteral("C2"), QStringLiteral("設定"), TwipsRect(3480, 5880, 2655, 735),
                           buttonFont);
    C3 = new CommandButton(w, QStringLiteral("C3"), QStringLiteral("終了"), TwipsRect(6600, 5880, 2655, 735),
                           buttonFont);
    for (CommandButton *b : {C1, C2, C3})
        b->SetBackColour(buttonColour);
    SetTabOrder({C1, C2, C3});
    C1->setFocus();

    connect(C1, &QPushButton::clicked, this, &Mess01::C1_Click);
    connect(C2, &QPushButton::clicked, this, &Mess01::C2_Click);
    connect(C3, &QPushButton::clicked, this, &Mess01::C3_Click);
}

void Mess01::ClearControls()
{
    Label1 = nullptr;
    Label2 = nullptr;
    C1 = C2 = C3 = nullptr;
}

void Mess01::Load()
{
    Module1::CalcKind = 1;
    Module1::StudyMode = Module1::FreeStudy;
    Module1::ProblemCount = 30;
}

void Mess01::C1_Click()
{
    // Who studies: the names are read now, never at start-up. A record that
    // cannot say leaves the drill as it always was, for nobody.
    std::vector<study::Child> living;
    if (const std::optional<study::ChildList> children = engine::ReadChildren(platform::recordStore()))
        living = children->Living();
    study::StudyingChild = living.size() == 1 ? living.front().id : QString();
    if (living.size() >= 2) {
        program_.picker.ShowFor(std::move(living));
        return;
    }
    Unload();
    program_.calk.Show();
}

void Mess01::C2_Click()
{
    program_.passWord.Show();
}

void Mess01::C3_Click()
{
    const int answer =
        platform::messageBox().Show(QStringLiteral("「Mimoran！」を終了しますか？"), platform::Buttons::YesNo);
    if (answer == platform::ResultYes)
        program_.End();
}

} // namespace app
