#pragma once

#include "engine/RecordReport.h"
#include "platform/RecordStore.h"
#include "study/Children.h"

#include <QObject>
#include <QRect>

#include <functional>
#include <optional>

class QLabel;
class QWidget;

namespace forms {

class ComboBox;

// Whose record the record's window shows: one child at a time, chosen in a
// list at the window's top, or 「名前のない記録」 for the answers of nobody
// and of removed children. With no child named there is no list and the
// window shows every answer. The last choice is kept in the record, so the
// window opens on that child again, in this run or the next.
class ChildChoice final : public QObject {
    Q_OBJECT
public:
    explicit ChildChoice(std::function<platform::RecordStore &()> store);

    // The caption and the list, hidden until a child is named; `area` is the
    // room for both.
    void CreateControls(QWidget *window, const QRect &area);
    void ClearControls();
    // Reads the children afresh and fills the list, the last choice chosen.
    void Fill();
    // The list, for the window's focus order.
    QWidget *Control() const;

    // Whose answers are shown: no value while no child is named.
    std::optional<engine::ReportOwner> Owner() const;
    // The children as last read (an empty list when the record cannot say).
    const study::ChildList &Children() const { return children_; }
    // The chosen owner's answers, or every answer while no child is named.
    std::optional<platform::RecordContents> ReadAnswers() const;

signals:
    // The parent chose another entry.
    void Changed();

private:
    void List_Picked(int index);
    void ShowList(bool shown);

    std::function<platform::RecordStore &()> store_;
    QLabel *Caption = nullptr;
    ComboBox *List = nullptr;
    study::ChildList children_;
};

} // namespace forms
