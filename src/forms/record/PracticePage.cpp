#include "forms/record/PracticePage.h"

#include "engine/HyakumasuSheet.h"
#include "engine/Worksheet.h"
#include "forms/common/Form.h"
#include "forms/common/Navigator.h"
#include "forms/record/HyakumasuPdf.h"
#include "forms/record/WorksheetPdf.h"
#include "platform/Conversions.h"
#include "platform/FileSave.h"
#include "platform/MessageBox.h"
#include "platform/Random.h"
#include "platform/Services.h"
#include "study/Children.h"
#include "study/Choices.h"

#include <QCheckBox>
#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace forms {

using record::Margin;
using record::PageWidth;

namespace {

const QString NoWeakFacts = QStringLiteral("この種類には、まだにがてな問題がありません。"
                                           "ふつうのドリルと同じように問題を出しますか？");
const QString SheetCountRefused = QStringLiteral("プリントの問題数は、%1から%2までの数を入れてください。")
                                      .arg(engine::WorksheetMinCount)
                                      .arg(engine::WorksheetMaxCount);
const QString SheetNumberRefused =
    QStringLiteral("プリントの番号は、1から%1までの数を入れてください。").arg(engine::WorksheetMaxNumber);
const QString SheetFailed = QStringLiteral("プリントを保存できませんでした。");
const QString SheetOpenQuestion = QStringLiteral("プリントを保存しました。開きますか？");
const QString SheetOpenFailed = QStringLiteral("プリントを開けませんでした。保存した場所から開いてください。");

// The value of the list's text; one typed that matches no entry counts as
// the entry the list shows as current.
template <std::size_t N>
std::int16_t ValueOf(const ComboBox *list, const std::array<study::Choice, N> &table)
{
    for (const study::Choice &choice : table) {
        if (choice.Text() == list->currentText())
            return choice.value;
    }
    const int i = std::clamp(list->currentIndex(), 0, int(N) - 1);
    return table[std::size_t(i)].value;
}

// A whole number within bounds, typed as the parent likes (full-width digits
// with the input method on).
std::optional<long> Whole(const QString &text, double least, double most)
{
    const std::optional<double> value = platform::TextToReal(text);
    if (!value || *value < least || *value > most || *value != std::floor(*value))
        return std::nullopt;
    return long(*value);
}

} // namespace

PracticePage::PracticePage(Navigator &navigator, const Form &form)
    : RecordPage(QStringLiteral("Practice"), QStringLiteral("にがて練習とプリント")), navigator_(navigator),
      form_(form)
{
    const QFont font = FormFont(Face::PGothic, 10.5);
    const QFont noteFont = FormFont(Face::PGothic, 9);
    const QFont buttonFont = FormFont(Face::PGothic, 11);
    MakeChoices(font);
    MakePracticeFrame(font, noteFont, buttonFont);
    MakeSheetFrame(font, noteFont, buttonFont);
    for (CommandButton *button : {StartPractice, MakeSheet, GridStart, GridPrint})
        button->SetBackColour(record::ButtonRed);
    SetFocusOrder({KindList, RangeList, RowList, PracticeCount, GridOperation, GridSize, GridStart, GridPrint,
                   StartPractice, SheetCount, SheetNumber, SheetSource[0], SheetSource[1], SheetColumns, MakeSheet});
    connect(GridStart, &QPushButton::clicked, this, &PracticePage::GridStart_Click);
    connect(GridPrint, &QPushButton::clicked, this, &PracticePage::GridPrint_Click);
    connect(KindList, &ComboBox::Picked, this, &PracticePage::KindList_Click);
    connect(RangeList, &ComboBox::Picked, this, &PracticePage::ShowWeakInfo);
    connect(RowList, &ComboBox::Picked, this, &PracticePage::ShowWeakInfo);
    connect(StartPractice, &QPushButton::clicked, this, &PracticePage::StartPractice_Click);
    connect(MakeSheet, &QPushButton::clicked, this, &PracticePage::MakeSheet_Click);

    FillChoiceLists(KindList, RangeList, RowList);
    // The table first: what the record shows most.
    KindList->setCurrentIndex(KindList->findText(engine::KindLabel(study::TimesTableKind)));
    ShowRangeOrRow(KindList, RangeList);
    // A new sheet each opening; its number stays on screen to make it again.
    // Not the drill's generator: until a drill reseeds it from the clock it
    // runs the same sequence in every run, and so would the number.
    SheetNumber->setText(QString::number(QRandomGenerator::global()->bounded(1U, engine::WorksheetMaxNumber + 1)));
}

void PracticePage::MakeChoices(const QFont &font)
{
    // What to practise: the settings screen's lists, the table's rows taking
    // the range's place for 九九.
    MakeLabel(this, QStringLiteral("KindCaption"), QStringLiteral("計算種別"), TwipsRect(180, 180, 1200, 420), font,
              Qt::AlignLeft | Qt::AlignVCenter);
    KindList = new ComboBox(this, QStringLiteral("KindList"), 1440, 150, 3900, font);
    MakeLabel(this, QStringLiteral("RangeCaption"), QStringLiteral("範囲"), TwipsRect(180, 720, 1200, 420), font,
              Qt::AlignLeft | Qt::AlignVCenter);
    RowList = new ComboBox(this, QStringLiteral("RowList"), 1440, 690, 3900, font);
    RangeList = new ComboBox(this, QStringLiteral("RangeList"), 1440, 690, 3900, font); // over RowList
    WeakInfo = MakeLabel(this, QStringLiteral("WeakInfo"), QString(), TwipsRect(5580, 150, 4440, 1020), font,
                         Qt::AlignLeft | Qt::AlignVCenter);
    WeakInfo->setWordWrap(true);
}

void PracticePage::MakePracticeFrame(const QFont &font, const QFont &noteFont, const QFont &buttonFont)
{
    QGroupBox *frame = MakeFrame(this, QStringLiteral("PracticeFrame"), QStringLiteral("にがて練習"),
                                 TwipsRect(Margin, 1290, PageWidth - 2 * Margin, 1800), font);
    MakeLabel(frame, QStringLiteral("PracticeCountCaption"), QStringLiteral("問題数"), TwipsRect(180, 390, 1200, 435),
              font, Qt::AlignLeft | Qt::AlignVCenter);
    PracticeCount = new TextBox(frame, QStringLiteral("PracticeCount"),
                                QString::number(engine::PracticeRule::DefaultCount), TwipsRect(1350, 390, 1200, 435),
                                font);
    StartPractice = new CommandButton(frame, QStringLiteral("StartPractice"), QStringLiteral("にがて練習を始める"),
                                      TwipsRect(7500, 330, 2280, 555), buttonFont);
    QLabel *note = MakeLabel(frame, QStringLiteral("PracticeNote"),
                             QStringLiteral("まちがえた問題と、答えるのに%1秒より長くかかった問題を先に出します。"
                                            "おぼえた問題も、間をあけて%2問に1問ほどまぜます。"
                                            "記録の画面と設定画面を閉じ、設定のモードでドリルを始めます。")
                                 .arg(engine::FactRule::SlowMs / 1000)
                                 .arg(engine::PracticeRule::KnownShareDivisor),
                             TwipsRect(180, 960, 9600, 780), noteFont);
    note->setWordWrap(true);
    MakeGridFrame(frame, font, noteFont);
}

void PracticePage::MakeGridFrame(QWidget *practiceFrame, const QFont &font, const QFont &buttonFont)
{
    QGroupBox *grid = MakeFrame(practiceFrame, QStringLiteral("GridFrame"), QStringLiteral("百ます計算"),
                                TwipsRect(2640, 60, 4770, 870), buttonFont);
    GridOperation = new ComboBox(grid, QStringLiteral("GridOperation"), 90, 330, 1000, font);
    GridOperation->Fill({QStringLiteral("たし算"), QStringLiteral("ひき算"), QStringLiteral("かけ算")},
                        QStringLiteral("たし算"));
    GridOperation->setEditable(false);
    GridOperation->setAccessibleName(QStringLiteral("百ます計算の計算"));
    GridSize = new ComboBox(grid, QStringLiteral("GridSize"), 1130, 330, 1180, font);
    GridSize->Fill({QStringLiteral("10×10"), QStringLiteral("5×5")}, QStringLiteral("10×10"));
    GridSize->setEditable(false);
    GridSize->setAccessibleName(QStringLiteral("百ます計算の大きさ"));
    GridStart = new CommandButton(grid, QStringLiteral("GridStart"), QStringLiteral("百ます計算をはじめる"),
                                  TwipsRect(2350, 270, 1160, 555), buttonFont);
    // The same grid on paper, numbered as the worksheets are. Broken where a
    // reader would, not where the width runs out.
    GridPrint = new CommandButton(grid, QStringLiteral("GridPrint"), QStringLiteral("プリント\nにする"),
                                  TwipsRect(3550, 270, 1130, 555), buttonFont);
    GridPrint->setAccessibleName(QStringLiteral("百ます計算をプリントにする"));
}

void PracticePage::GridStart_Click()
{
    const std::int16_t operation = std::int16_t(std::clamp(GridOperation->currentIndex(), 0, 2) + 1);
    // This window and the settings close; nothing of this page is touched after.
    navigator_.StartHyakumasu(operation, GridSize->currentIndex() == 1 ? 5 : 10);
}

void PracticePage::GridPrint_Click()
{
    const std::optional<std::uint32_t> number = PickedNumber();
    if (!number)
        return;
    const std::int16_t operation = std::int16_t(std::clamp(GridOperation->currentIndex(), 0, 2) + 1);
    engine::HyakumasuSheet sheet =
        engine::MakeHyakumasuSheet(operation, GridSize->currentIndex() == 1 ? 5 : 10, *number);
    if (owner_)
        sheet.childName = owner_->name;
    SavePdf(QStringLiteral("百ます計算のプリントを保存"), engine::HyakumasuSheetFileName(sheet),
            HyakumasuSheetPdf(sheet));
}

void PracticePage::MakeSheetFrame(const QFont &font, const QFont &noteFont, const QFont &buttonFont)
{
    QGroupBox *frame = MakeFrame(this, QStringLiteral("SheetFrame"), QStringLiteral("計算プリント"),
                                 TwipsRect(Margin, 3180, PageWidth - 2 * Margin, 2520), font);
    MakeLabel(frame, QStringLiteral("SheetCountCaption"),
              QStringLiteral("問題数（%1～%2）").arg(engine::WorksheetMinCount).arg(engine::WorksheetMaxCount),
              TwipsRect(180, 390, 2160, 435), font, Qt::AlignLeft | Qt::AlignVCenter);
    SheetCount = new TextBox(frame, QStringLiteral("SheetCount"), QStringLiteral("30"), TwipsRect(2400, 390, 840, 435),
                             font);
    MakeLabel(frame, QStringLiteral("SheetNumberCaption"), QStringLiteral("番号"), TwipsRect(3480, 390, 720, 435),
              font, Qt::AlignLeft | Qt::AlignVCenter);
    SheetNumber = new TextBox(frame, QStringLiteral("SheetNumber"), QString(), TwipsRect(4200, 390, 1200, 435), font);
    SheetSource[0] = MakeOption(frame, ArrayName("SheetSource", 0), QStringLiteral("にがてな問題から"),
                                TwipsRect(180, 990, 2900, 420), font);
    SheetSource[1] = MakeOption(frame, ArrayName("SheetSource", 1), QStringLiteral("種別と範囲から"),
                                TwipsRect(3240, 990, 2900, 420), font);
    SheetSource[0]->setChecked(true);
    SheetColumns = new QCheckBox(QStringLiteral("筆算"), frame);
    SheetColumns->setObjectName(QStringLiteral("SheetColumns"));
    SheetColumns->setGeometry(TwipsRect(6330, 990, 3450, 420));
    SheetColumns->setFont(font);
    MakeSheet = new CommandButton(frame, QStringLiteral("MakeSheet"), QStringLiteral("プリントを作る"),
                                  TwipsRect(6330, 330, 3450, 555), buttonFont);
    QLabel *note = MakeLabel(frame, QStringLiteral("SheetNote"),
                             QStringLiteral("A4の問題のページと、答えのページを作ります（PDF）。"
                                            "同じ番号からは同じプリントができます"
                                            "（にがてな問題からのときは、同じ日の同じ記録から）。"
                                            "筆算では、2けた・3けたのたし算とひき算、かけ算を、たてにならべます。"
                                            "百ます計算の「プリントにする」も、この番号を使います。"),
                             TwipsRect(180, 1530, 9600, 840), noteFont);
    note->setWordWrap(true);
}

void PracticePage::ShowReport(const engine::RecordReport &report)
{
    answers_ = report.answers;
    owner_ = report.owner;
    ShowWeakInfo();
}

bool PracticePage::StillOpen(const QPointer<PracticePage> &page)
{
    return page && page->form_.IsLoaded();
}

engine::PracticeKind PracticePage::PickedKind() const
{
    engine::PracticeKind kind;
    kind.calcKind = ValueOf(KindList, study::CalcKindChoices);
    kind.rangeMax = kind.calcKind == study::TimesTableKind ? ValueOf(RowList, study::TimesRowChoices)
                                                           : ValueOf(RangeList, study::RangeChoices);
    return kind;
}

void PracticePage::KindList_Click()
{
    ShowRangeOrRow(KindList, RangeList);
    ShowWeakInfo();
}

void PracticePage::ShowWeakInfo()
{
    const engine::PracticeKind kind = PickedKind();
    int missed = 0;
    int slow = 0;
    int due = 0;
    const QDate today = QDate::currentDate();
    for (const engine::FactStanding &s : engine::StandingsOf(*answers_, kind)) {
        missed += s.state == engine::FactState::OftenMissed;
        slow += s.state == engine::FactState::Slow;
        due += s.state == engine::FactState::Known && s.due <= today;
    }
    WeakInfo->setText(QStringLiteral("にがてな問題：%1問（よくまちがえる %2、遅い %3）\n"
                                     "おぼえた問題で、もう一度出す時期のもの：%4問")
                          .arg(missed + slow)
                          .arg(missed)
                          .arg(slow)
                          .arg(due));
}

void PracticePage::StartPractice_Click()
{
    const QPointer<PracticePage> page(this);
    const study::CountCheck check = study::CheckProblemCount(PracticeCount->text());
    const auto *accepted = std::get_if<study::CountAccepted>(&check);
    if (!accepted) {
        form_.RefuseEntry(PracticeCount, study::CountRefusalMessage(check));
        return;
    }
    const engine::PracticeKind kind = PickedKind();
    // Reseeded from the clock as a drill's build is: the draws differ from run
    // to run.
    platform::random().Reseed(platform::SecondsSinceMidnight());
    engine::PracticePlan plan =
        engine::PlanPractice(*answers_, kind, accepted->count, QDate::currentDate(), platform::random());
    if (plan.weak == 0 && plan.known == 0 &&
        platform::messageBox().Show(NoWeakFacts, platform::Buttons::YesNo) != platform::ResultYes)
        return;
    if (!StillOpen(page))
        return;
    // The drill is the chosen child's, as their weak facts are: it records
    // under them without the picker asking again.
    if (owner_)
        study::StudyingChild = owner_->id;
    // This window and the settings close; nothing of this page is touched after.
    navigator_.StartPractice(std::move(plan.problems), kind);
}

std::optional<std::uint32_t> PracticePage::PickedNumber()
{
    const std::optional<long> number = Whole(SheetNumber->text(), 1, engine::WorksheetMaxNumber);
    if (!number) {
        form_.RefuseEntry(SheetNumber, SheetNumberRefused);
        return std::nullopt;
    }
    return std::uint32_t(*number);
}

void PracticePage::MakeSheet_Click()
{
    const std::optional<long> count = Whole(SheetCount->text(), engine::WorksheetMinCount, engine::WorksheetMaxCount);
    if (!count) {
        form_.RefuseEntry(SheetCount, SheetCountRefused);
        return;
    }
    const std::optional<std::uint32_t> number = PickedNumber();
    if (!number)
        return;
    engine::WorksheetRequest request;
    request.kind = PickedKind();
    request.count = int(*count);
    request.fromWeak = SheetSource[0]->isChecked();
    request.columns = SheetColumns->isChecked();
    request.number = *number;
    request.today = QDate::currentDate();
    engine::Worksheet sheet = engine::MakeWorksheet(*answers_, request);
    if (owner_)
        sheet.childName = owner_->name;
    SavePdf(QStringLiteral("計算プリントを保存"), engine::WorksheetFileName(sheet), WorksheetPdf(sheet));
}

void PracticePage::SavePdf(const QString &title, const QString &fileName, const QByteArray &pdf)
{
    platform::FileSaver &saver = platform::fileSaver();
    const platform::SaveResult result = saver.Save(window(), title, fileName, pdf);
    if (result == platform::SaveResult::Failed) {
        platform::messageBox().Show(SheetFailed, platform::Buttons::Ok);
        return;
    }
    if (result != platform::SaveResult::Saved || !saver.CanOpenSaved())
        return;
    if (platform::messageBox().Show(SheetOpenQuestion, platform::Buttons::YesNo) == platform::ResultYes &&
        !saver.OpenSaved())
        platform::messageBox().Show(SheetOpenFailed, platform::Buttons::Ok);
}

} // namespace forms
