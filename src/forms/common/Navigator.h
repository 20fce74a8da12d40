#pragma once

#include "engine/Practice.h"

#include <vector>

class QWidget;

namespace forms {

// The screens one form may open or close. Which window each one is, and what
// else goes with it, is the program's business, not the form's.
enum class Screen { Menu, Drill, Feedback, Results, Settings, Record };

class Navigator {
public:
    virtual ~Navigator() = default;
    virtual void Open(Screen screen) = 0;
    virtual void Close(Screen screen) = 0;
    // The screen's window while it is loaded, else null.
    virtual QWidget *WindowOf(Screen screen) = 0;
    // The parent's windows close as the settings' 設定完了 closes them, and
    // the child gets a drill of these problems (にがて練習), in the mode set.
    virtual void StartPractice(std::vector<engine::ProblemRecord> problems, const engine::PracticeKind &kind) = 0;
    // The same, and the child gets a 百ます計算 grid (operation 1 たし算,
    // 2 ひき算, 3 かけ算; size 10 or 5).
    virtual void StartHyakumasu(std::int16_t operation, int size) = 0;
};

} // namespace forms
