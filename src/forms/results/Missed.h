#pragma once

#include "engine/Review.h"
#include "forms/common/Form.h"
#include "forms/common/FormKit.h"

#include <QPointer>

#include <vector>

class QScrollArea;

namespace forms {

// まちがえた問題: beside the results screen, the problems the child got wrong
// in the order asked, with the answer typed and the right one, and a button
// for another try at them.
class Missed : public Form {
    Q_OBJECT
public:
    Missed();

    // Loads the list of the log's missed problems and shows it beside the
    // anchor window. With the retry offered the list becomes the active
    // window, its button focused; without, the keyboard stays where it is.
    void ShowBeside(QWidget *anchor, const engine::AnswerLog &log, bool offerRetry);
    // Shows or hides the retry button of a loaded list.
    void OfferRetry(bool offered);

    QLabel *Label1 = nullptr;
    std::array<QLabel *, 3> H{};
    QScrollArea *List = nullptr;
    // Per missed problem: the problem, the answer typed, the right answer.
    std::vector<QLabel *> P;
    std::vector<QLabel *> A;
    std::vector<QLabel *> R;
    CommandButton *C1 = nullptr;
    CommandButton *C2 = nullptr;

signals:
    // The child asked for another try at the missed problems.
    void RetryRequested();

protected:
    void CreateControls(QWidget *window) override;
    void Load() override;
    void ClearControls() override;
    void PlaceWindow() override;

private:
    QPointer<QWidget> anchor_;
    std::vector<engine::AnsweredProblem> missed_;
    bool offerRetry_ = false;
};

} // namespace forms
