#pragma once

#include "engine/Hyakumasu.h"
#include "engine/HyakumasuResume.h"
#include "forms/common/Form.h"
#include "forms/common/FormKit.h"
#include "forms/common/Navigator.h"
#include "forms/drill/HyakumasuCells.h"
#include "forms/drill/NumberPad.h"

#include <QElapsedTimer>
#include <QPointer>

#include <optional>
#include <vector>

class QTimer;

namespace forms {

// The 百ます計算 screen: the child fills the crossings of one grid against a
// clock, told nothing of right or wrong until the last one is in; then the
// time, the right count, the wrong crossings with their answers and the
// child's best time.
class Hyakumasu : public Form {
    Q_OBJECT
public:
    explicit Hyakumasu(Navigator &navigator);

    // Opens the screen on a new grid of this operation (1 たし算, 2 ひき算,
    // 3 かけ算) and size (10 or 5), for the child studying now.
    void Start(std::int16_t operation, int size);
    // Opens the screen on a kept grid, at the first crossing not stored;
    // false when what was kept is no grid.
    bool StartResumed(const engine::OpenDrill &open, const std::vector<platform::AnswerRow> &rows);

    const engine::HyakumasuGrid &Grid() const { return grid_; }
    bool Done() const { return done_; }

    void CloseRequested() override;

    // Controls (valid while the form is loaded).
    QLabel *Title = nullptr;
    QLabel *Clock = nullptr;
    HyakumasuCells *Cells = nullptr;
    CommandButton *AnswerButton = nullptr;
    QLabel *TimeResult = nullptr;
    QLabel *RightResult = nullptr;
    QLabel *BestResult = nullptr;
    QLabel *NewRecord = nullptr;
    QLabel *Hint = nullptr;
    CommandButton *MenuButton = nullptr;
    // The Spartan grid's end, locked as the Spartan results are.
    QLabel *LockLabel = nullptr;
    TextBox *LockPassword = nullptr;
    CommandButton *LockButton = nullptr;

    NumberPad *Pad() const { return pad_; }

protected:
    void CreateControls(QWidget *window) override;
    void Load() override;
    void ClearControls() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateSidePanel(QWidget *window);
    void AnswerButton_Click();
    void MenuButton_Click();
    void LockButton_Click();
    void Begin();
    void TakeUp(const engine::HyakumasuTakenUp &up);
    qint64 Now() const;
    bool WayOut() const { return !spartan_ || (done_ && !locked_); }
    void EntryEdited(const QString &text);
    void CellTapped(int crossing);
    void Step(int columns, int rows);
    void MoveTo(int crossing);
    // The crossing is there to be typed again: filled, or the next to fill.
    bool Reachable(int crossing) const;
    int NextEmpty(int after) const;
    void Store(int crossing);
    void Tick();
    void Finish();
    void PadDigit(QChar digit);
    void PadErase();

    Navigator &navigator_;
    engine::HyakumasuGrid grid_;
    std::optional<engine::HyakumasuTakenUp> resumed_;
    std::vector<QString> typed_;      // each crossing's confirmed text
    std::vector<std::int64_t> elapsed_;    // each crossing's time, its changes included
    int current_ = 0;
    QString drill_;
    QElapsedTimer clock_;             // from the first digit typed
    qint64 base_ = 0;                 // the time before a reload, for a grid taken up
    qint64 lastConfirmMs_ = 0;
    bool done_ = false;
    bool spartan_ = false;
    bool locked_ = false;
    QPointer<QTimer> ticker_;
    QPointer<NumberPad> pad_;
};

// "1分23秒" ("45秒" under a minute); "m:ss" for the running clock.
QString HyakumasuTimeText(qint64 ms);
QString HyakumasuClockText(qint64 ms);

} // namespace forms
