#include "forms/common/FormKit.h"

#include "study/Choices.h"

#include <QFontInfo>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTextLayout>
#include <QtMath>
#include <QPalette>

namespace forms {

int Twips(int twips)
{
    return qRound(twips / 15.0);
}

QRect TwipsRect(int left, int top, int width, int height)
{
    return {Twips(left), Twips(top), Twips(width), Twips(height)};
}

QSize TwipsSize(int width, int height)
{
    return {Twips(width), Twips(height)};
}

QFont FormFont(const QString &face, double points, bool bold)
{
    QFont font(face);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void SetBackground(QWidget *widget, const QColor &colour)
{
    // Buttons (option buttons included) fill with the Button role, the rest
    // with Window.
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(widget->backgroundRole(), colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void SetTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

CommandButton::CommandButton(QWidget *parent, const QString &name, const QString &caption, const QRect &geometry,
                             const QFont &font)
    : QPushButton(caption, parent)
{
    setObjectName(name);
    setGeometry(geometry);
    setFont(font);
    setFocusPolicy(Qt::StrongFocus);
}

void CommandButton::SetBackColour(const QColor &colour)
{
    back_ = colour;
    // A style sheet is the one way the colour shows under every Qt style.
    setStyleSheet(QStringLiteral("QPushButton { background-color: %1; color: black;"
                                 " border: 2px outset %2; padding: 2px; }"
                                 "QPushButton:pressed { border-style: inset; }"
                                 "QPushButton:focus { border: 2px solid black; }")
                      .arg(colour.name(), colour.darker(130).name()));
}

QRect CommandButton::CaptionArea() const
{
    QStyleOptionButton option;
    initStyleOption(&option);
    return style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
}

void CommandButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.drawText(CaptionArea(), CaptionFlags, caption);
}

void CommandButton::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (!event->isAutoRepeat())
            click();
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}

TextBox::TextBox(QWidget *parent, const QString &name, const QString &text, const QRect &geometry,
                 const QFont &font)
    : QLineEdit(text, parent)
{
    setObjectName(name);
    setGeometry(geometry);
    setFont(font);
}

void TextBox::MoveFocusOnEnter(QWidget *next, EnterEdge edge)
{
    enterNext_ = next;
    enterEdge_ = edge;
}

namespace {

bool IsEnter(const QKeyEvent *event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

} // namespace

void TextBox::keyPressEvent(QKeyEvent *event)
{
    QLineEdit::keyPressEvent(event);
    if (!IsEnter(event))
        return;
    enterDown_ = true;
    if (enterNext_ && enterEdge_ == EnterEdge::Press)
        enterNext_->setFocus();
}

void TextBox::keyReleaseEvent(QKeyEvent *event)
{
    QLineEdit::keyReleaseEvent(event);
    if (!IsEnter(event) || event->isAutoRepeat() || !enterDown_)
        return;
    enterDown_ = false;
    if (enterNext_ && enterEdge_ == EnterEdge::Release)
        enterNext_->setFocus();
}

void TextBox::focusOutEvent(QFocusEvent *event)
{
    enterDown_ = false;
    QLineEdit::focusOutEvent(event);
}

ComboBox::ComboBox(QWidget *parent, const QString &name, int left, int top, int width, const QFont &font)
    : QComboBox(parent)
{
    setObjectName(name);
    setFont(font);
    setEditable(true);
    // When editing ends (the focus leaving, Enter) QComboBox selects the entry
    // that matches the typed text and reports it as activated(), like a pick.
    // It does so in a handler that setLineEdit() connects to editingFinished;
    // handlers connected just before and just after it mark that stretch.
    auto *edit = new QLineEdit(this);
    edit->setPalette(palette());
    connect(edit, &QLineEdit::editingFinished, this, [this] { committingTypedText_ = true; });
    setLineEdit(edit);
    connect(edit, &QLineEdit::editingFinished, this, [this] { committingTypedText_ = false; });
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (!committingTypedText_)
            emit Picked(index);
    });
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setMaxVisibleItems(16);
    const int height = sizeHint().height();
    setGeometry(Twips(left), Twips(top), Twips(width), height);
}

void ComboBox::Fill(const QStringList &entries, const QString &text)
{
    addItems(entries);
    setEditText(text);
}

WrappedLabel::WrappedLabel(QWidget *parent, const QString &name, const QString &caption, const QRect &geometry,
                           const QFont &font)
    : QLabel(caption, parent)
{
    setObjectName(name);
    setGeometry(geometry);
    setFont(font);
    setWordWrap(true);
    setTextFormat(Qt::PlainText);
}

template <typename LineVisitor>
int WrappedLabel::Layout(LineVisitor &&visit) const
{
    QTextLayout layout(text(), font());
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    const qreal pitch = QFontInfo(font()).pixelSize();
    const qreal ascent = QFontMetricsF(font()).ascent();
    // Centre the glyphs' em box on the pitch: Japanese glyphs fill the em.
    const qreal top = (pitch - (ascent + pitch * 0.12)) / 2.0;
    int lines = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width());
        line.setPosition(QPointF(0, lines * pitch + top + ascent - line.ascent()));
        ++lines;
    }
    layout.endLayout();
    visit(layout);
    return qCeil(lines * pitch);
}

int WrappedLabel::RequiredHeight() const
{
    return Layout([](QTextLayout &) {});
}

void WrappedLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    Layout([&painter](QTextLayout &layout) { layout.draw(&painter, QPointF(0, 0)); });
}

namespace {

template <std::size_t N>
void FillFrom(ComboBox *combo, const std::array<study::Choice, N> &table)
{
    QStringList texts;
    for (const study::Choice &row : table)
        texts.append(row.Text());
    combo->Fill(texts, table.front().Text());
}

} // namespace

void FillChoiceLists(ComboBox *kind, ComboBox *range, ComboBox *row)
{
    FillFrom(kind, study::CalcKindChoices);
    FillFrom(range, study::RangeChoices);
    FillFrom(row, study::TimesRowChoices);
}

void ShowRangeOrRow(const ComboBox *kind, ComboBox *range)
{
    range->setVisible(kind->currentText() != QStringLiteral("九九"));
}

QLabel *MakeLabel(QWidget *parent, const QString &name, const QString &caption, const QRect &geometry,
                  const QFont &font, Qt::Alignment alignment)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setFont(font);
    label->setAlignment(alignment);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QGroupBox *MakeFrame(QWidget *parent, const QString &name, const QString &caption, const QRect &geometry,
                     const QFont &font)
{
    auto *frame = new QGroupBox(caption, parent);
    frame->setObjectName(name);
    frame->setGeometry(geometry);
    frame->setFont(font);
    return frame;
}

QRadioButton *MakeOption(QWidget *parent, const QString &name, const QString &caption, const QRect &geometry,
                         const QFont &font)
{
    auto *option = new QRadioButton(caption, parent);
    option->setObjectName(name);
    option->setGeometry(geometry);
    option->setFont(font);
    return option;
}

QString ArrayName(const char *name, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

void SetTabOrder(std::initializer_list<QWidget *> order)
{
    QWidget *previous = nullptr;
    for (QWidget *w : order) {
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

} // namespace forms
