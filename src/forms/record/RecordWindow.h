#pragma once

#include "engine/RecordReport.h"
#include "forms/common/Form.h"
#include "forms/common/Navigator.h"
#include "forms/record/ChildChoice.h"

#include <QStringList>

#include <functional>
#include <vector>

class QLabel;
class QTabWidget;

namespace forms {

class RecordPage;

// 学習の記録: the parent's view of the learning record, a page per tab (the
// scores by day and the drills, the multiplication table fact by fact, the
// other kinds of problem, にがて練習 and 計算プリント); below them the record
// written out for a spreadsheet, or erased. The record is read when this
// window opens, never before, into one report that every page shows: the
// chosen child's, once children are named.
class RecordWindow : public Form {
    Q_OBJECT
public:
    // store: the learning record, asked for at each use (a test may swap it
    // while the program runs).
    RecordWindow(Navigator &navigator, std::function<platform::RecordStore &()> store);

protected:
    void CreateControls(QWidget *window) override;
    void Load() override;
    void ClearControls() override;

private:
    void AddPage(RecordPage *page);
    // Reads the record and shows it on every page.
    void Refresh();
    // The こども page changed the list: the choice and the pages follow.
    void ChildrenChanged();
    // What the record had to say at this opening, in one box.
    void ShowOpeningMessages();
    void Export_Click();
    void Erase_Click();
    // With children named: erases the chosen one's answers when the parent
    // says so; false when they want everyone's asked about instead.
    bool EraseChosenOnly();
    void OfferToRemoveCopies();

    Navigator &navigator_;
    std::function<platform::RecordStore &()> store_;
    ChildChoice choice_;
    QTabWidget *Tabs = nullptr;
    std::vector<RecordPage *> pages_;
    QLabel *Status = nullptr;
    QLabel *Place = nullptr;
    engine::RecordReport report_;
    QStringList openingMessages_;
};

} // namespace forms
