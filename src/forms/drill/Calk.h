#pragma once

#include "engine/AnswerRecorder.h"
#include "engine/ProblemSet.h"
#include "engine/Review.h"
#include "forms/common/Form.h"
#include "forms/common/Navigator.h"
#include "forms/common/FormKit.h"
#include "forms/drill/NumberPad.h"

#include <QPointer>

#include <array>

namespace forms {

// The drill screen: set-up frame, question after question, quit button.
class Calk : public Form {
    Q_OBJECT
public:
    explicit Calk(Navigator &navigator);

    // The problem set outlives the window, for the whole process.
    engine::ProblemSet problemSet;
    // Every judged answer of the latest drill, kept for the results.
    engine::AnswerLog answerLog;

    // Opens the screen on a drill of these problems, begun at once in any
    // mode (another try at missed problems); a Spartan one stays Spartan.
    void StartRetry(std::vector<engine::ProblemRecord> problems);
    // The same for a にがて練習 drill the parent made from the record; its
    // answers are kept as that practice's, of its kind.
    void StartPractice(std::vector<engine::ProblemRecord> problems, const engine::PracticeKind &kind);

    // True while the answer check waits for the feedback dialog.
    bool IsWaitingForDialog() const { return waiting_; }
    // True once this opening of the screen has built its problem set.
    bool DrillBuilt() const { return built_; }

    void CloseRequested() override;

    // Controls (valid while the form is loaded).
    QLabel *Label1 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    CommandButton *C = nullptr;
    QLabel *K1 = nullptr;
    QLabel *E = nullptr;
    QLabel *K2 = nullptr;
    QLabel *Label7 = nullptr;
    TextBox *K = nullptr;
    CommandButton *C2 = nullptr;
    QLabel *Label8 = nullptr;
    QLabel *Label9 = nullptr;
    QLabel *Label10 = nullptr;
    QLabel *Label11 = nullptr;
    std::array<TextBox *, 4> T{};
    QGroupBox *Frame2 = nullptr;
    QLabel *Label3 = nullptr;
    ComboBox *Combo1 = nullptr;
    QLabel *Label12 = nullptr;
    ComboBox *Combo2 = nullptr;
    ComboBox *Combo3 = nullptr;
    QLabel *Label2 = nullptr;
    TextBox *T1 = nullptr;
    CommandButton *C1 = nullptr;

    // The number pad beside the screen where touch is the main input, else
    // null.
    NumberPad *Pad() const { return pad_; }

protected:
    void CreateControls(QWidget *window) override;
    void Load() override;
    void ClearControls() override;
    void PlaceWindow() override;

private:
    void Combo1_Click();
    void C1_Click();
    void C_Click();
    void C2_Click();

    void PadDigit(QChar digit);
    void PadErase();
    void PadAnswer();
    QLineEdit *PadTarget() const;
    void PlacePad();

    void BuildProblemSet();
    void BeginDrill();
    void ShowQuestion();

    Navigator &navigator_;
    QPointer<NumberPad> pad_;
    bool built_ = false;
    bool waiting_ = false;
    bool spartan_ = false;
    std::vector<engine::ProblemRecord> retry_;
    bool retrying_ = false;
    std::optional<engine::PracticeKind> practice_;
    engine::AnswerRecorder recorder_;
};

} // namespace forms
