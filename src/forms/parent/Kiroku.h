#pragma once

#include "engine/Progress.h"
#include "forms/common/Form.h"
#include "forms/common/FormKit.h"
#include "forms/common/Navigator.h"

#include <QStringList>
#include <QWidget>

#include <vector>

class QTabWidget;
class QTableWidget;

namespace forms {

// The score of each day with answers as bars on a 0–100 scale, oldest on
// the left, the latest MaxDays of them.
class ScoreChart : public QWidget {
    Q_OBJECT
public:
    ScoreChart(QWidget *parent, const QString &name, const QRect &geometry);

    // Days oldest first; the text stands in for the bars when there are none.
    void SetDays(const std::vector<engine::DayScore> &days, const QString &emptyText);
    const std::vector<engine::DayScore> &Days() const { return days_; }
    // What the chart says instead of bars (empty while it has bars).
    QString EmptyText() const { return days_.empty() ? empty_ : QString(); }
    static QString DayLabel(const QDate &day);

    static constexpr int MaxDays = 30;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::vector<engine::DayScore> days_;
    QString empty_;
};

// 学習の記録: the parent's view of the learning record. The scores by day
// and the drills, the multiplication table fact by fact, the other kinds of
// problem; the record written out for a spreadsheet, or erased. The record is
// read when this window opens, never before. From it the parent starts a
// にがて練習 drill for the child, or makes a 計算プリント worksheet.
class Kiroku : public Form {
    Q_OBJECT
public:
    explicit Kiroku(Navigator &navigator);

    // A cell of the table carries its state as a colour and as a mark, so
    // that colour is never the only cue.
    static QColor StateColour(engine::FactState state);
    static QString StateMark(engine::FactState state);
    static QString StateName(engine::FactState state);
    // The item data role that holds a cell's mark.
    static constexpr int MarkRole = Qt::UserRole + 1;

    QLabel *Label1 = nullptr;
    QTabWidget *Tabs = nullptr;
    QWidget *Recent = nullptr;
    ScoreChart *Chart = nullptr;
    QTableWidget *DrillTable = nullptr;
    QWidget *Times = nullptr;
    QTableWidget *TimesGrid = nullptr;
    QLabel *Legend = nullptr;
    QLabel *FactTitle = nullptr;
    QTableWidget *FactTries = nullptr;
    QWidget *Kinds = nullptr;
    QTableWidget *KindTable = nullptr;
    QWidget *Practice = nullptr;
    QLabel *KindCaption = nullptr;
    ComboBox *KindList = nullptr;
    QLabel *RangeCaption = nullptr;
    ComboBox *RangeList = nullptr;
    ComboBox *RowList = nullptr;
    QLabel *WeakInfo = nullptr;
    QGroupBox *PracticeFrame = nullptr;
    QLabel *PracticeCountCaption = nullptr;
    TextBox *PracticeCount = nullptr;
    CommandButton *StartPractice = nullptr;
    QLabel *PracticeNote = nullptr;
    QGroupBox *SheetFrame = nullptr;
    QLabel *SheetCountCaption = nullptr;
    TextBox *SheetCount = nullptr;
    QLabel *SheetNumberCaption = nullptr;
    TextBox *SheetNumber = nullptr;
    std::array<QRadioButton *, 2> SheetSource{};
    CommandButton *MakeSheet = nullptr;
    QLabel *SheetNote = nullptr;
    QLabel *Status = nullptr;
    CommandButton *Export = nullptr;
    CommandButton *Erase = nullptr;
    CommandButton *CloseButton = nullptr;
    QLabel *Place = nullptr;

protected:
    void CreateControls(QWidget *window) override;
    void Load() override;
    void ClearControls() override;

private:
    QWidget *MakeRecentPage();
    QWidget *MakeTimesPage();
    QWidget *MakeKindsPage();
    QWidget *MakePracticePage();

    // Reads the record and fills every page from it.
    void Refresh();
    void FillRecent();
    void FillTimes();
    void FillKinds();
    // The kind and range picked on the practice page.
    engine::PracticeKind PickedKind() const;
    void KindList_Click();
    void ShowWeakInfo();
    void StartPractice_Click();
    void MakeSheet_Click();
    void ShowFact(int row, int column);
    // What the record had to say at this opening, in one box.
    void ShowOpeningMessages();
    void Export_Click();
    void Erase_Click();

    Navigator &navigator_;
    std::vector<platform::AnswerRow> answers_;
    bool readable_ = true;
    int unreadable_ = 0;
    engine::TimesGrid grid_{};
    QStringList openingMessages_;
};

} // namespace forms
