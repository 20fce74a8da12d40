#include "forms/record/ChildrenPage.h"

#include "engine/ChildRecord.h"
#include "forms/common/Form.h"
#include "platform/MessageBox.h"
#include "platform/Services.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QPointer>

#include <utility>

namespace forms {

using record::Margin;
using record::PageWidth;

namespace {

const QString NotKept = QStringLiteral("子どもの登録を記録に残せませんでした。");
const QString PickFirst = QStringLiteral("一覧から子どもを選んでください。");
const QString Unnamed = QStringLiteral("「名前のない記録」");

QString RemoveQuestion(const QString &name)
{
    return QStringLiteral("「%1」を消します。%1さんの答えは消さずに%2として残ります。よろしいですか？")
        .arg(name, Unnamed);
}

QColor ColourOf(int index)
{
    return QColor::fromRgb(study::ChildColours[std::size_t(index)].rgb);
}

} // namespace

ChildrenPage::ChildrenPage(std::function<platform::RecordStore &()> store, const Form &form)
    : RecordPage(QStringLiteral("Children"), QStringLiteral("こども")), store_(std::move(store)), form_(form)
{
    MakeControls();
}

void ChildrenPage::MakeControls()
{
    const QFont font = FormFont(Face::PGothic, 12);
    const QFont noteFont = FormFont(Face::PGothic, 9.75);
    MakeLabel(this, QStringLiteral("NameLabel"), QStringLiteral("名前"), TwipsRect(Margin, 150, 1000, 420), font);
    NameBox = new TextBox(this, QStringLiteral("NameBox"), QString(), TwipsRect(1200, 90, 3900, 480), font);
    NameBox->setAccessibleName(QStringLiteral("子どもの名前"));
    MakeLabel(this, QStringLiteral("ColourLabel"), QStringLiteral("色"), TwipsRect(Margin, 750, 1000, 420), font);
    QList<QWidget *> order{NameBox};
    for (int i = 0; i < int(Colour.size()); ++i) {
        QRadioButton *option = MakeOption(this, ArrayName("Colour", i),
                                          QString::fromUtf16(study::ChildColours[std::size_t(i)].name),
                                          TwipsRect(1200 + i * 1440, 690, 1320, 480), font);
        SetBackground(option, ColourOf(i));
        Colour[std::size_t(i)] = option;
        order << option;
    }
    Colour[0]->setChecked(true);

    AddChild = new CommandButton(this, QStringLiteral("AddChild"), QStringLiteral("追加する"),
                                 TwipsRect(1200, 1320, 2000, 540), font);
    RenameChild = new CommandButton(this, QStringLiteral("RenameChild"), QStringLiteral("名前を変える"),
                                    TwipsRect(3360, 1320, 2400, 540), font);
    RemoveChild = new CommandButton(this, QStringLiteral("RemoveChild"), QStringLiteral("消す"),
                                    TwipsRect(5920, 1320, 2000, 540), font);
    for (CommandButton *button : {AddChild, RenameChild, RemoveChild})
        button->SetBackColour(record::ButtonRed);

    // A table of one column, as the record's other lists (every edition's Qt has it).
    ChildList = record::MakeTable(this, QStringLiteral("ChildList"), {QStringLiteral("登録した子ども")},
                                  TwipsRect(Margin, 2040, PageWidth - 2 * Margin, 2820), font);
    ChildList->setAccessibleName(QStringLiteral("登録した子ども"));
    ChildList->horizontalHeader()->setStretchLastSection(true);
    Note = MakeLabel(this, QStringLiteral("Note"),
                     QStringLiteral("子どもは%1人まで登録できます。名前は%2文字までです。二人以上いると、"
                                    "「お勉強の開始」で「だれが　べんきょうする？」が出ます。")
                         .arg(study::MaxChildren)
                         .arg(study::MaxNameLength),
                     TwipsRect(Margin, 4950, PageWidth - 2 * Margin, 720), noteFont);
    Note->setWordWrap(true);
    order << AddChild << RenameChild << RemoveChild << ChildList;
    SetFocusOrder(order);

    connect(ChildList, &QTableWidget::currentCellChanged, this, &ChildrenPage::ChildList_Picked);
    connect(AddChild, &QPushButton::clicked, this, &ChildrenPage::Add_Click);
    connect(RenameChild, &QPushButton::clicked, this, &ChildrenPage::Rename_Click);
    connect(RemoveChild, &QPushButton::clicked, this, &ChildrenPage::Remove_Click);
}

void ChildrenPage::ShowReport(const engine::RecordReport &)
{
    ReadList();
}

void ChildrenPage::ReadList()
{
    children_ = engine::ReadChildren(store_());
    const QSignalBlocker quiet(ChildList);
    ChildList->setRowCount(0);
    if (!children_) {
        ChildList->setRowCount(1);
        ChildList->setItem(0, 0, new QTableWidgetItem(record::Unreadable));
        return;
    }
    for (const study::Child &child : children_->Living()) {
        auto *item = new QTableWidgetItem(child.name);
        ChildList->setRowCount(ChildList->rowCount() + 1);
        ChildList->setItem(ChildList->rowCount() - 1, 0, item);
        item->setData(Qt::UserRole, child.id);
        item->setData(Qt::DecorationRole, ColourOf(child.colour));
        item->setData(Qt::AccessibleDescriptionRole,
                      QString::fromUtf16(study::ChildColours[std::size_t(child.colour)].name));
    }
    Colour[std::size_t(children_->FreeColour())]->setChecked(true);
}

const study::Child *ChildrenPage::Picked() const
{
    const QTableWidgetItem *item = ChildList->currentItem();
    if (!children_ || !item)
        return nullptr;
    return children_->Find(item->data(Qt::UserRole).toString());
}

int ChildrenPage::PickedColour() const
{
    for (int i = 0; i < int(Colour.size()); ++i)
        if (Colour[std::size_t(i)]->isChecked())
            return i;
    return 0;
}

void ChildrenPage::ChildList_Picked()
{
    if (const study::Child *child = Picked()) {
        NameBox->setText(child->name);
        Colour[std::size_t(child->colour)]->setChecked(true);
    }
}

bool ChildrenPage::Keep(const std::function<study::ChildRefusal(study::ChildList &)> &change)
{
    const QPointer<ChildrenPage> page(this);
    const std::optional<study::ChildRefusal> refusal = engine::ChangeChildren(store_(), change);
    if (!refusal) {
        platform::messageBox().Show(NotKept, platform::Buttons::Ok);
    } else if (*refusal != study::ChildRefusal::None) {
        form_.RefuseEntry(NameBox, study::ChildRefusalMessage(*refusal));
    }
    // The box's own loop may have let the window (and this page) close.
    if (!page || !form_.IsLoaded())
        return false;
    ReadList();
    const bool kept = refusal && *refusal == study::ChildRefusal::None;
    if (kept)
        emit ChildrenChanged();
    return kept && page && form_.IsLoaded();
}

void ChildrenPage::Add_Click()
{
    const QString name = NameBox->text();
    const int colour = PickedColour();
    if (Keep([&](study::ChildList &list) { return list.Add(name, colour); }) && NameBox)
        NameBox->clear();
}

void ChildrenPage::Rename_Click()
{
    const study::Child *child = Picked();
    if (!child) {
        platform::messageBox().Show(PickFirst, platform::Buttons::Ok);
        return;
    }
    const QString id = child->id;
    const QString name = NameBox->text();
    const int colour = PickedColour();
    Keep([&](study::ChildList &list) { return list.Rename(id, name, colour); });
}

void ChildrenPage::Remove_Click()
{
    const study::Child *child = Picked();
    if (!child) {
        platform::messageBox().Show(PickFirst, platform::Buttons::Ok);
        return;
    }
    const QString id = child->id;
    const QPointer<ChildrenPage> page(this);
    if (platform::messageBox().Show(RemoveQuestion(child->name), platform::Buttons::YesNo) != platform::ResultYes)
        return;
    if (!page || !form_.IsLoaded())
        return;
    if (Keep([&](study::ChildList &list) {
            return list.Remove(id) ? study::ChildRefusal::None : study::ChildRefusal::Unknown;
        }) && NameBox)
        NameBox->clear();
}

} // namespace forms
