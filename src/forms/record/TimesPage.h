#pragma once

#include "forms/record/RecordPage.h"

class QLabel;

namespace forms {

// 九九: the multiplication table fact by fact, each cell in its state's
// colour and mark, and the tries of the fact chosen.
class TimesPage final : public RecordPage {
    Q_OBJECT
public:
    TimesPage();

    void ShowReport(const engine::RecordReport &report) override;

    // A cell of the table carries its state as a colour and as a mark, so
    // that colour is never the only cue.
    static QColor StateColour(engine::FactState state);
    static QString StateMark(engine::FactState state);
    static QString StateName(engine::FactState state);
    // The item data role that holds a cell's mark.
    static constexpr int MarkRole = Qt::UserRole + 1;

private:
    void MakeGrid(const QFont &font);
    // Under the grid (whose bottom edge is at `top`), the states' looks and names.
    void MakeLegend(const QFont &font, int top);
    void ShowFact(int row, int column);

    QTableWidget *TimesGrid = nullptr;
    QLabel *Legend = nullptr;
    QLabel *FactTitle = nullptr;
    QTableWidget *FactTries = nullptr;
    engine::TimesGrid grid_{};
    std::shared_ptr<const std::vector<platform::AnswerRow>> answers_ =
        std::make_shared<const std::vector<platform::AnswerRow>>();
};

} // namespace forms
