#include "forms/record/ChildChoice.h"

#include "engine/ChildRecord.h"
#include "forms/common/FormKit.h"

#include <QSignalBlocker>

#include <algorithm>
#include <utility>

namespace forms {

namespace {

const QString Nobody = QStringLiteral("名前のない記録");
// The named value the last choice is kept under: a child's id, or NobodyKey.
const QString LastValue = QStringLiteral("shownChild");
// Never a child's id (those are hexadecimal).
const QString NobodyKey = QStringLiteral("nobody");

constexpr int CaptionWidth = 780;

} // namespace

ChildChoice::ChildChoice(std::function<platform::RecordStore &()> store) : store_(std::move(store)) {}

void ChildChoice::CreateControls(QWidget *window, const QRect &area)
{
    const QFont font = FormFont(Face::PGothic, 10.5);
    const QRect px = TwipsRect(area.left(), area.top(), CaptionWidth, area.height());
    Caption = MakeLabel(window, QStringLiteral("ChildChoiceCaption"), QStringLiteral("こども"), px, font,
                        Qt::AlignRight | Qt::AlignVCenter);
    List = new ComboBox(window, QStringLiteral("ChildChoice"), area.left() + CaptionWidth + 60, area.top(),
                        area.width() - CaptionWidth - 60, font);
    // Only the names listed: a parent has nothing to type here.
    List->setEditable(false);
    List->move(List->x(), px.center().y() - List->height() / 2);
    List->setAccessibleName(QStringLiteral("記録を見る子ども"));
    ShowList(false);
    connect(List, &ComboBox::Picked, this, &ChildChoice::List_Picked);
}

void ChildChoice::ClearControls()
{
    Caption = nullptr;
    List = nullptr;
}

QWidget *ChildChoice::Control() const
{
    return List;
}

void ChildChoice::ShowList(bool shown)
{
    Caption->setVisible(shown);
    List->setVisible(shown);
    // Over the title's row, whose label spans the window.
    Caption->raise();
    List->raise();
}

void ChildChoice::Fill()
{
    platform::RecordStore &store = store_();
    children_ = engine::ReadChildren(store).value_or(study::ChildList{});
    const std::vector<study::Child> living = children_.Living();
    const QSignalBlocker blocker(List);
    List->clear();
    for (const study::Child &child : living)
        List->addItem(child.name, child.id);
    // 「名前のない記録」 only where there is something under it.
    if (!living.empty() && engine::AnyNobodysAnswers(store, children_).value_or(false))
        List->addItem(Nobody, NobodyKey);
    int last = -1;
    if (const std::optional<std::map<QString, QString>> values = store.ReadValues(LastValue)) {
        if (const auto found = values->find(LastValue); found != values->end())
            last = List->findData(found->second);
    }
    List->setCurrentIndex(std::max(last, 0));
    ShowList(!living.empty());
}

std::optional<engine::ReportOwner> ChildChoice::Owner() const
{
    if (!List || List->count() == 0 || List->isHidden())
        return std::nullopt;
    const QString key = List->currentData().toString();
    if (key == NobodyKey)
        return engine::ReportOwner{};
    return engine::ReportOwner{key, List->currentText()};
}

std::optional<platform::RecordContents> ChildChoice::ReadAnswers() const
{
    platform::RecordStore &store = store_();
    const std::optional<engine::ReportOwner> owner = Owner();
    return owner ? engine::ReadAnswersOf(store, children_, owner->id) : store.ReadAll();
}

void ChildChoice::List_Picked(int index)
{
    // Kept for the next opening; a record that cannot keep it only forgets.
    store_().PutValue(LastValue, List->itemData(index).toString());
    emit Changed();
}

} // namespace forms
