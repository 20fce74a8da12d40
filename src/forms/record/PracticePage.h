#pragma once

#include "engine/Practice.h"
#include "forms/common/FormKit.h"
#include "forms/record/RecordPage.h"

#include <QPointer>

#include <array>
#include <optional>
#include <vector>

class QCheckBox;

namespace forms {

class Form;
class Navigator;

// にがて練習とプリント: a kind and range picked as on the settings screen, what
// the record says is weak in it, and from there a にがて練習 drill for the
// child or a 計算プリント worksheet.
class PracticePage final : public RecordPage {
    Q_OBJECT
public:
    // The form is the record's window: whether it is still open after a
    // message box.
    PracticePage(Navigator &navigator, const Form &form);

    void ShowReport(const engine::RecordReport &report) override;

private:
    void MakeChoices(const QFont &font);
    void MakePracticeFrame(const QFont &font, const QFont &noteFont, const QFont &buttonFont);
    // 百ます計算 for the child, in the room beside にがて練習's own controls.
    void MakeGridFrame(QWidget *practiceFrame, const QFont &font, const QFont &buttonFont);
    void GridStart_Click();
    void GridPrint_Click();
    void MakeSheetFrame(const QFont &font, const QFont &noteFont, const QFont &buttonFont);
    // The kind and range picked.
    engine::PracticeKind PickedKind() const;
    void KindList_Click();
    void ShowWeakInfo();
    void StartPractice_Click();
    void MakeSheet_Click();
    // The sheet's number as typed; none (after saying so) when it is not one.
    std::optional<std::uint32_t> PickedNumber();
    // Saves a PDF made here as the platform saves files, and offers to open it.
    void SavePdf(const QString &title, const QString &fileName, const QByteArray &pdf);
    // After a message box, whose own loop may have let the settings and this
    // window close (and the page go with them).
    static bool StillOpen(const QPointer<PracticePage> &page);

    ComboBox *KindList = nullptr;
    ComboBox *RangeList = nullptr;
    ComboBox *RowList = nullptr;
    QLabel *WeakInfo = nullptr;
    TextBox *PracticeCount = nullptr;
    CommandButton *StartPractice = nullptr;
    ComboBox *GridOperation = nullptr;
    ComboBox *GridSize = nullptr;
    CommandButton *GridStart = nullptr;
    CommandButton *GridPrint = nullptr;
    TextBox *SheetCount = nullptr;
    TextBox *SheetNumber = nullptr;
    std::array<QRadioButton *, 2> SheetSource{};
    QCheckBox *SheetColumns = nullptr;
    CommandButton *MakeSheet = nullptr;

    Navigator &navigator_;
    const Form &form_;
    std::shared_ptr<const std::vector<platform::AnswerRow>> answers_ =
        std::make_shared<const std::vector<platform::AnswerRow>>();
    std::optional<engine::ReportOwner> owner_; // whose answers these are
};

} // namespace forms
