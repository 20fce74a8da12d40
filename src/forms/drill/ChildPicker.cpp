#include "forms/drill/ChildPicker.h"

#include "forms/common/Palette.h"

#include <QKeyEvent>

#include <algorithm>

#include <utility>

namespace forms {

namespace {

const QString Caption = QStringLiteral("だれが　べんきょうする？");

// Three big buttons to a row, two rows: a whole family on the menu's size.
constexpr int Columns = 3;
constexpr int ButtonWidth = 2895;
constexpr int ButtonHeight = 2055;
constexpr int Gap = 105;

} // namespace

ChildPicker::ChildPicker(Navigator &navigator) : Form(QStringLiteral("ChildPicker")), navigator_(navigator) {}

void ChildPicker::ShowFor(std::vector<study::Child> children)
{
    Unload();
    children_ = std::move(children);
    Show();
}

void ChildPicker::CreateControls(QWidget *w)
{
    SetCaption(Caption);
    SetFormColour(palette::MenuGreen);
    SetClientSize(9615, 6915);
    // The menu behind waits for the answer.
    w->setWindowModality(Qt::ApplicationModal);

    QLabel *title = MakeLabel(w, QStringLiteral("Label1"), Caption, TwipsRect(240, 240, 9135, 855),
                              FormFont(Face::PopS, 28, true), Qt::AlignHCenter | Qt::AlignTop);
    SetTextColour(title, palette::TitleBlue);

    const QFont nameFont = FormFont(Face::Maru, 24, true);
    for (int i = 0; i < int(children_.size()) && i < study::MaxChildren; ++i) {
        const study::Child &child = children_[std::size_t(i)];
        const int left = 360 + (i % Columns) * (ButtonWidth + Gap);
        const int top = 1320 + (i / Columns) * (ButtonHeight + Gap * 2);
        auto *button = new CommandButton(w, ArrayName("Child", i), child.name,
                                         TwipsRect(left, top, ButtonWidth, ButtonHeight), nameFont);
        button->SetBackColour(QColor::fromRgb(study::ChildColours[std::size_t(child.colour)].rgb));
        button->setAccessibleDescription(
            QStringLiteral("%1、%2ばん").arg(QString::fromUtf16(study::ChildColours[std::size_t(child.colour)].name))
                .arg(i + 1));
        button->installEventFilter(this);
        connect(button, &QPushButton::clicked, this, [this, i] { Choose(i); });
        Buttons.push_back(button);
    }
    Back = new CommandButton(w, QStringLiteral("Back"), QStringLiteral("もどる"), TwipsRect(6600, 6060, 2655, 615),
                             FormFont(Face::PGothic, 15.75));
    Back->SetBackColour(palette::DrillCyan);
    Back->installEventFilter(this);
    connect(Back, &QPushButton::clicked, this, &ChildPicker::Unload);

    for (std::size_t i = 1; i < Buttons.size(); ++i)
        QWidget::setTabOrder(Buttons[i - 1], Buttons[i]);
    if (!Buttons.empty()) {
        QWidget::setTabOrder(Buttons.back(), Back);
        Buttons.front()->setFocus();
    }
}

void ChildPicker::ClearControls()
{
    Buttons.clear();
    Back = nullptr;
}

bool ChildPicker::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return Form::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    const int at = int(std::find(Buttons.begin(), Buttons.end(), watched) - Buttons.begin());
    // Full-width digits too: the input method may be on.
    const int digit = key->text().size() == 1 ? key->text().front().digitValue() : -1;
    if (digit >= 1 && digit <= int(Buttons.size())) {
        Choose(digit - 1);
        return true;
    }
    switch (key->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up: Step(at, -1); return true;
    case Qt::Key_Right:
    case Qt::Key_Down: Step(at, 1); return true;
    default: return Form::eventFilter(watched, event);
    }
}

void ChildPicker::Step(int from, int by)
{
    const int count = int(Buttons.size());
    if (count == 0)
        return;
    // From the もどる button the arrows come back into the children's row.
    const int start = from >= count ? (by > 0 ? -1 : count) : from;
    Buttons[std::size_t(((start + by) % count + count) % count)]->setFocus();
}

void ChildPicker::Choose(int index)
{
    if (index < 0 || index >= int(children_.size()) || !IsLoaded())
        return;
    study::StudyingChild = children_[std::size_t(index)].id;
    // The drill opens before the menu goes, as every hand-over does.
    navigator_.Open(Screen::Drill);
    navigator_.Close(Screen::Menu);
    Unload();
}

} // namespace forms
