#pragma once

#include "forms/common/FormKit.h"
#include "forms/record/RecordPage.h"
#include "platform/RecordStore.h"
#include "study/Children.h"

#include <array>
#include <functional>
#include <optional>
#include <tuple>
#include <type_traits>

class QTableWidget;

namespace forms {

class Form;

// こども: the parent names the children who study here, each with a colour
// their button on the picker shows, renames them and removes them. The list
// is the record's, read afresh at every showing, so a change made in another
// copy of the program is seen at the next opening.
class ChildrenPage final : public RecordPage {
    Q_OBJECT
public:
    // The form is the record's window, which refusals are shown over.
    ChildrenPage(std::function<platform::RecordStore &()> store, const Form &form);

    void ShowReport(const engine::RecordReport &report) override;

signals:
    // A change to the list was kept.
    void ChildrenChanged();

private:
    void MakeControls();
    void ReadList();
    // The child picked in the list, or none.
    const study::Child *Picked() const;
    int PickedColour() const;
    void ChildList_Picked();
    void Add_Click();
    void Rename_Click();
    void Remove_Click();
    // Keeps the change, or says why it was not kept; true when kept.
    bool Keep(const std::function<study::ChildRefusal(study::ChildList &)> &change);

    TextBox *NameBox = nullptr;
    std::array<QRadioButton *, std::tuple_size_v<std::remove_cvref_t<decltype(study::ChildColours)>>> Colour{};
    CommandButton *AddChild = nullptr;
    CommandButton *RenameChild = nullptr;
    CommandButton *RemoveChild = nullptr;
    QTableWidget *ChildList = nullptr;
    QLabel *Note = nullptr;

    std::function<platform::RecordStore &()> store_;
    const Form &form_;
    std::optional<study::ChildList> children_;
};

} // namespace forms
