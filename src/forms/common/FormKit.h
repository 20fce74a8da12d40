#pragma once

#include <QColor>
#include <QComboBox>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRect>

#include <array>
#include <initializer_list>

// Building blocks for the forms: twips geometry, the Japanese faces, and the
// few control kinds the screens use, each behaving as the screens expect.
namespace forms {

// Layout is given in twips (1/1440 inch): 15 twips to a pixel at 96 dpi. Qt's
// high-DPI scaling takes device pixels from there.
int Twips(int twips);
QRect TwipsRect(int left, int top, int width, int height);
QSize TwipsSize(int width, int height);

// The face names are the Windows ones; start-up maps them to installed faces.
namespace Face {
inline const QString PGothic = QStringLiteral("ＭＳ Ｐゴシック");
inline const QString Gothic = QStringLiteral("ＭＳ ゴシック");
inline const QString Mincho = QStringLiteral("ＭＳ 明朝");
inline const QString PMincho = QStringLiteral("ＭＳ Ｐ明朝");
inline const QString PopS = QStringLiteral("HGS創英角ﾎﾟｯﾌﾟ体");
inline const QString Pop = QStringLiteral("HG創英角ﾎﾟｯﾌﾟ体");
inline const QString Maru = QStringLiteral("HG丸ｺﾞｼｯｸM-PRO");
} // namespace Face

QFont FormFont(const QString &face, double points, bool bold = false);

// What the password form and the results screen say when the settings store
// holding the password cannot be read.
inline const QString StoreUnreadable = QStringLiteral("設定を読み込めませんでした");

// Fills the widget's background with the colour (forms, frames, labels).
void SetBackground(QWidget *widget, const QColor &colour);
void SetTextColour(QWidget *widget, const QColor &colour);

// A command button that Enter activates when it has the focus (not only
// Space, as in Qt); with a colour it draws that background under every style.
class CommandButton : public QPushButton {
    Q_OBJECT
public:
    CommandButton(QWidget *parent, const QString &name, const QString &caption, const QRect &geometry,
                  const QFont &font);
    void SetBackColour(const QColor &colour);
    QColor BackColour() const { return back_; }

    // The caption wraps onto more lines when it is wider than the button
    // ("途中／終了" on the drill screen's narrow quit button).
    QRect CaptionArea() const;
    static constexpr int CaptionFlags = Qt::AlignCenter | Qt::TextWordWrap;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QColor back_;
};

// A word-wrapped label whose lines are one em apart. The IPA faces ask for
// 1.1 em, which would push the menu's description past the bottom of its
// label.
class WrappedLabel : public QLabel {
    Q_OBJECT
public:
    WrappedLabel(QWidget *parent, const QString &name, const QString &caption, const QRect &geometry,
                 const QFont &font);
    // The height the text needs at the label's width.
    int RequiredHeight() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    template <typename LineVisitor>
    int Layout(LineVisitor &&visit) const;
};

// A single-line text box. Enter can move the focus on to the next control,
// on the key going down or on its release.
class TextBox : public QLineEdit {
    Q_OBJECT
public:
    enum class EnterEdge { Press, Release };

    TextBox(QWidget *parent, const QString &name, const QString &text, const QRect &geometry, const QFont &font);

    // Enter moves the focus to `next`; it never submits anything. On the
    // release, only an Enter that went down in this box counts: the release
    // of an Enter that opened a window or closed a message box lands in
    // whatever box has the focus then, and must not act there.
    void MoveFocusOnEnter(QWidget *next, EnterEdge edge = EnterEdge::Press);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    QPointer<QWidget> enterNext_;
    EnterEdge enterEdge_ = EnterEdge::Press;
    bool enterDown_ = false;
};

// An editable drop-down list that keeps exactly what is typed (no inline
// completion, no inserting typed text as an entry). Picked() reports an entry
// chosen from the list: from the drop-down, or stepped to with the arrow keys
// or the wheel. Typed text is only read, even when it matches an entry.
class ComboBox : public QComboBox {
    Q_OBJECT
public:
    ComboBox(QWidget *parent, const QString &name, int left, int top, int width, const QFont &font);
    void Fill(const QStringList &entries, const QString &text);

signals:
    void Picked(int index);

private:
    bool committingTypedText_ = false;
};

// The kind, range and table-row lists that the drill and settings screens
// share: filled in table order, each showing its first entry.
void FillChoiceLists(ComboBox *kind, ComboBox *range, ComboBox *row);
// Picking "九九" puts the table-row list (beneath) in the range list's place;
// any other kind brings the range list back with its earlier choice.
void ShowRangeOrRow(const ComboBox *kind, ComboBox *range);

QLabel *MakeLabel(QWidget *parent, const QString &name, const QString &caption, const QRect &geometry,
                  const QFont &font, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop);

QGroupBox *MakeFrame(QWidget *parent, const QString &name, const QString &caption, const QRect &geometry,
                     const QFont &font);

QRadioButton *MakeOption(QWidget *parent, const QString &name, const QString &caption, const QRect &geometry,
                         const QFont &font);

// "T(0)"-style names for the elements of a control array.
QString ArrayName(const char *name, int index);

// Chains the focus order through the given widgets, first to last.
void SetTabOrder(std::initializer_list<QWidget *> order);

} // namespace forms
