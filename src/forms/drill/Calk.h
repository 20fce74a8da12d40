#pragma once

#include "engine/Drill.h"
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

    // The drill of this screen; it outlives the window, for the whole
    // process (its answer log is read by the results).
    engine::Drill drill;

    // Opens the screen on a drill of these problems, begun at once in any
    // mode, its answers kept as `context` says (another try at missed
    // problems, a にがて練習 the parent made); a Spartan one stays Spartan.
    void StartGiven(std::vector<engine::ProblemRecord> problems, const engine::DrillContext &context);
    // Opens the screen on a kept Spartan drill, at the question after the
    // last one judged (its answers are those the record holds).
    void StartResumed(engine::OpenDrill open, std::vector<platform::AnswerRow> answers);

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

    void CreateQuestionArea(QWidget *window);
    void CreateScoreboard(QWidget *window);
    void CreateSetupFrame(QWidget *window);
    void AttachPad(QWidget *window);
    void PadDigit(QChar digit);
    void PadErase();
    void PadAnswer();
    QLineEdit *PadTarget() const;
    void PlacePad();

    void BuildProblemSet();
    void BeginDrill();
    // What the drill's beginning and its taking up have in common.
    void AfterBuild();
    void ShowQuestion();

    Navigator &navigator_;
    QPointer<NumberPad> pad_;
    bool built_ = false;
    bool waiting_ = false;
    bool spartan_ = false;
    struct GivenDrill {
        std::vector<engine::ProblemRecord> problems;
        engine::DrillContext context;
    };
    // The problems the next opening begins with, instead of a built set.
    std::optional<GivenDrill> given_;
    struct ResumedDrill {
        engine::OpenDrill open;
        std::vector<platform::AnswerRow> answers;
    };
    std::optional<ResumedDrill> resumed_;
};

} // namespace forms
