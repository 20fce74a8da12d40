#pragma once

#include "forms/record/RecordPage.h"

namespace forms {

// その他の計算: every kind and range but the multiplication table, with its
// share right, its median time and its most missed problems.
class KindsPage final : public RecordPage {
    Q_OBJECT
public:
    KindsPage();

    void ShowReport(const engine::RecordReport &report) override;

private:
    QTableWidget *KindTable = nullptr;
};

} // namespace forms
