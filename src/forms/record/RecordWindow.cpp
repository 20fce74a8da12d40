#include "forms/record/RecordWindow.h"

#include "forms/common/Palette.h"

#include "engine/ChildRecord.h"
#include "engine/RecordCsv.h"
#include "forms/common/FormKit.h"
#include "forms/record/ChildrenPage.h"
#include "forms/record/GridsPage.h"
#include "forms/record/KindsPage.h"
#include "forms/record/PracticePage.h"
#include "forms/record/RecentPage.h"
#include "forms/record/TimesPage.h"
#include "platform/FileSave.h"
#include "platform/MessageBox.h"
#include "platform/RecordStore.h"
#include "platform/Services.h"

#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

#include <utility>

namespace forms {

namespace {

const QColor &Back = palette::ParentPink;
using palette::TitleBlue;

const QString EraseQuestion = QStringLiteral("学習の記録をすべて消します。よろしいですか？");
const QString EraseOneQuestion =
    QStringLiteral("%1だけを消しますか？「いいえ」のときは、全員の記録を消すかをたずねます。");
const QString EraseRefused = QStringLiteral("学習の記録を消せませんでした。");
// Files set aside beside the record (a damaged one, one of a newer
// version) still hold answers: the parent is told of them, and erasing the
// record offers to erase them too.
const QString CopiesQuestion =
    QStringLiteral("前に読めなかったため別の名前で残した記録（%1）にも答えが残っています。これも消しますか？");
const QString CopiesRefused = QStringLiteral("別の名前で残した記録のうち、消せなかったものがあります。");
const QString CopiesKept =
    QStringLiteral("前に読めなかったため別の名前で残した記録が%1つあります（%2）。「記録を消す」で一緒に消せます。");
const QString ExportFailed = QStringLiteral("学習の記録を書き出せませんでした。");
const QString NothingToExport = QStringLiteral("まだ書き出す記録がありません。");

// The client area: whole on a 1024×640 page and on an upright tablet.
constexpr int ClientWidth = 10500;
constexpr int ClientHeight = 8250;

} // namespace

RecordWindow::RecordWindow(Navigator &navigator, std::function<platform::RecordStore &()> store)
    : Form(QStringLiteral("Kiroku")), navigator_(navigator), store_(std::move(store)), choice_(store_)
{
    // Once the window is drawn: the check reads the whole file.
    connect(this, &Form::Opened, this,
            [this] { QTimer::singleShot(0, this, &RecordWindow::ShowOpeningMessages); });
    connect(&choice_, &ChildChoice::Changed, this, &RecordWindow::Refresh);
}

void RecordWindow::CreateControls(QWidget *w)
{
    SetCaption(QStringLiteral("学習の記録"));
    SetFormColour(Back);
    SetClientSize(ClientWidth, ClientHeight);
    // Over the settings screen, which is application-modal too.
    w->setWindowModality(Qt::ApplicationModal);

    const QFont buttonFont = FormFont(Face::PGothic, 12);
    QLabel *title = MakeLabel(w, QStringLiteral("Label1"), QStringLiteral("学習の記録"),
                              TwipsRect(120, 60, 10260, 480), FormFont(Face::PopS, 18, true),
                              Qt::AlignHCenter | Qt::AlignTop);
    SetTextColour(title, TitleBlue);
    // Right of the title, whose text is centred.
    choice_.CreateControls(w, QRect(6600, 60, 3780, 480));

    Tabs = new QTabWidget(w);
    Tabs->setObjectName(QStringLiteral("Tabs"));
    Tabs->setGeometry(TwipsRect(120, 570, 10260, 6330));
    Tabs->setFont(FormFont(Face::PGothic, 10.5));
    Tabs->tabBar()->setObjectName(QStringLiteral("TabBar"));
    AddPage(new RecentPage);
    AddPage(new TimesPage);
    AddPage(new KindsPage);
    AddPage(new PracticePage(navigator_, *this));
    AddPage(new GridsPage);
    auto *childrenPage = new ChildrenPage(store_, *this);
    AddPage(childrenPage);
    connect(childrenPage, &ChildrenPage::ChildrenChanged, this, &RecordWindow::ChildrenChanged);

    auto *exportButton = new CommandButton(w, QStringLiteral("Export"), QStringLiteral("書き出す"),
                                           TwipsRect(120, 6990, 1560, 540), buttonFont);
    exportButton->setAccessibleDescription(QStringLiteral("記録を表計算ソフトで開けるファイル（CSV）にします"));
    auto *erase = new CommandButton(w, QStringLiteral("Erase"), QStringLiteral("記録を消す"),
                                    TwipsRect(1800, 6990, 1560, 540), buttonFont);
    auto *close = new CommandButton(w, QStringLiteral("CloseButton"), QStringLiteral("閉じる"),
                                    TwipsRect(8820, 6990, 1560, 540), buttonFont);
    for (CommandButton *button : {exportButton, erase, close})
        button->SetBackColour(record::ButtonRed);

    Status = MakeLabel(w, QStringLiteral("Status"), QString(), TwipsRect(3480, 6990, 5220, 540),
                       FormFont(Face::PGothic, 9), Qt::AlignLeft | Qt::AlignVCenter);
    Status->setWordWrap(true);
    SetTextColour(Status, QColor(160, 0, 0));
    Place = MakeLabel(w, QStringLiteral("Place"), QString(), TwipsRect(120, 7590, 10260, 600),
                      FormFont(Face::PGothic, 9), Qt::AlignLeft | Qt::AlignVCenter);
    Place->setWordWrap(true);
    // The parent may want to copy the folder's name.
    Place->setTextInteractionFlags(Qt::TextSelectableByMouse);

    // The tab bar, not the tab widget: Qt 6.4 splits the focus ring when
    // ordering a widget that has a focus proxy.
    QList<QWidget *> order{choice_.Control(), Tabs->tabBar()};
    for (const RecordPage *page : pages_)
        order << page->FocusOrder();
    order << exportButton << erase << close;
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    Tabs->setFocus();

    connect(exportButton, &QPushButton::clicked, this, &RecordWindow::Export_Click);
    connect(erase, &QPushButton::clicked, this, &RecordWindow::Erase_Click);
    connect(close, &QPushButton::clicked, this, &RecordWindow::Unload);
}

void RecordWindow::AddPage(RecordPage *page)
{
    Tabs->addTab(page, page->Title());
    pages_.push_back(page);
}

void RecordWindow::ClearControls()
{
    Tabs = nullptr;
    pages_.clear();
    Status = Place = nullptr;
    choice_.ClearControls();
}

void RecordWindow::Load()
{
    choice_.Fill();
    Refresh();
    openingMessages_.clear();
    if (!report_.readable)
        openingMessages_ << record::Unreadable;
    openingMessages_ << store_().TakeNotices();
}

void RecordWindow::Refresh()
{
    platform::RecordStore &store = store_();
    report_ = engine::MakeRecordReport(choice_.ReadAnswers());
    report_.owner = choice_.Owner();
    if (!report_.readable)
        Status->setText(record::Unreadable);
    else if (report_.unreadable > 0)
        Status->setText(QStringLiteral("読み取れない記録が%1件ありました（消さずにそのまま残してあります）。")
                            .arg(report_.unreadable));
    else
        Status->clear();
    if (const QStringList copies = store.SetAsideCopies(); !copies.isEmpty()) {
        const QString kept = CopiesKept.arg(copies.size()).arg(copies.join(QStringLiteral("、")));
        Status->setText(Status->text().isEmpty() ? kept : Status->text() + u'\n' + kept);
    }
    Place->setText(QStringLiteral("この記録はこの端末の中だけにあり、ほかへ送られることはありません。保存場所：%1")
                       .arg(store.Location()));
    for (RecordPage *page : pages_)
        page->ShowReport(report_);
}

void RecordWindow::ChildrenChanged()
{
    choice_.Fill();
    Refresh();
}

void RecordWindow::ShowOpeningMessages()
{
    // The whole file's check, once a run, when the parent looks (never on
    // the drill's path); damage it finds sets the file aside, and the view
    // shows the record that goes on.
    if (!Window())
        return; // closed before it was drawn
    platform::RecordStore &store = store_();
    store.Check();
    QStringList messages = std::exchange(openingMessages_, {});
    if (const QStringList found = store.TakeNotices(); !found.isEmpty()) {
        messages << found;
        Refresh();
    }
    if (!messages.isEmpty())
        platform::messageBox().Show(messages.join(QLatin1Char('\n')), platform::Buttons::Ok);
}

void RecordWindow::Export_Click()
{
    // Every child's answers, whichever is chosen: the file is the record's.
    const std::optional<platform::RecordContents> all = store_().ReadAll();
    // Said in words: a greyed button would not say why.
    if (!all || all->answers.empty()) {
        platform::messageBox().Show(all ? NothingToExport : record::Unreadable, platform::Buttons::Ok);
        return;
    }
    const QByteArray csv = engine::RecordCsv(all->answers, choice_.Children());
    const QString name = engine::RecordCsvName(QDate::currentDate());
    if (platform::fileSaver().Save(Window(), QStringLiteral("書き出す"), name, csv) == platform::SaveResult::Failed)
        platform::messageBox().Show(ExportFailed, platform::Buttons::Ok);
}

void RecordWindow::Erase_Click()
{
    if (EraseChosenOnly() || !IsLoaded())
        return;
    if (platform::messageBox().Show(EraseQuestion, platform::Buttons::YesNo) != platform::ResultYes)
        return;
    // The box's own loop may have let the settings (and this view) close.
    if (!IsLoaded())
        return;
    if (!store_().Clear())
        platform::messageBox().Show(EraseRefused, platform::Buttons::Ok);
    else
        OfferToRemoveCopies();
    if (IsLoaded()) {
        choice_.Fill();
        Refresh();
    }
}

bool RecordWindow::EraseChosenOnly()
{
    const std::optional<engine::ReportOwner> owner = choice_.Owner();
    if (!owner)
        return false;
    const QString whose =
        owner->id.isEmpty() ? QStringLiteral("「名前のない記録」") : owner->name + QStringLiteral("さんの記録");
    if (platform::messageBox().Show(EraseOneQuestion.arg(whose), platform::Buttons::YesNo) != platform::ResultYes)
        return false;
    if (!IsLoaded())
        return true;
    if (!engine::EraseAnswersOf(store_(), choice_.Children(), owner->id))
        platform::messageBox().Show(EraseRefused, platform::Buttons::Ok);
    if (IsLoaded()) {
        // 「名前のない記録」 leaves the list once nothing is under it.
        choice_.Fill();
        Refresh();
    }
    return true;
}

void RecordWindow::OfferToRemoveCopies()
{
    const QStringList copies = store_().SetAsideCopies();
    if (copies.isEmpty() ||
        platform::messageBox().Show(CopiesQuestion.arg(copies.join(QStringLiteral("、"))), platform::Buttons::YesNo) !=
            platform::ResultYes ||
        !IsLoaded())
        return;
    if (!store_().RemoveSetAsideCopies())
        platform::messageBox().Show(CopiesRefused, platform::Buttons::Ok);
}

} // namespace forms
