#pragma once

#include "forms/common/FormKit.h"

#include <QWidget>

#include <array>

class QRect;

namespace forms {

// The drill screen's number pad (テンキー) for touch screens: large keys for
// 0 to 9, erase and answer, in a window of its own beside the drill screen.
// It never takes the keyboard: a tap types where the drill screen says.
class NumberPad : public QWidget {
    Q_OBJECT
public:
    // Beside the drill screen on a wide screen, below it on a tall one.
    enum class Shape { Side, Below };

    explicit NumberPad(QWidget *owner);

    static Shape ShapeFor(const QRect &screenArea);
    void SetShape(Shape shape);
    Shape CurrentShape() const { return shape_; }
    // Before the drill the answer key starts it.
    void SetStartKey(bool start);

    std::array<CommandButton *, 10> Key{};
    CommandButton *Erase = nullptr;
    CommandButton *Answer = nullptr;

signals:
    void DigitPressed(QChar digit);
    void ErasePressed();
    void AnswerPressed();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    Shape shape_ = Shape::Side;
};

} // namespace forms
