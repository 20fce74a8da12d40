// Every caption, list entry and value fits its control in the faces the
// program really draws with, and controls do not overlap where they should
// not. Run at several scale factors by CTest (QT_SCALE_FACTOR).
#include "FormTestKit.h"
#include "platform/Fonts.h"

#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>

using namespace testkit;

namespace {

QString Where(const QWidget *w)
{
    return w->window()->objectName() + QLatin1Char('.') + w->objectName();
}

// Room a line edit gives its text.
int EditRoom(const QLineEdit *edit)
{
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
    const QRect contents = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    const QMargins margins = edit->textMargins();
    return contents.width() - margins.left() - margins.right() - 4; // Qt keeps 2 px each side
}

int ComboRoom(const QComboBox *combo)
{
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    return combo->style()
               ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo)
               .width() - 4;
}

void CheckText(const QWidget *w, const QString &text, QStringList &faults)
{
    const QFontMetrics m(w->font());
    const auto fault = [&](const QString &what) {
        faults << QStringLiteral("%1 \"%2\": %3").arg(Where(w), text, what);
    };
    if (auto *wrapped = qobject_cast<const forms::WrappedLabel *>(w)) {
        if (wrapped->RequiredHeight() > wrapped->height())
            fault(QStringLiteral("needs %1 px of %2").arg(wrapped->RequiredHeight()).arg(wrapped->height()));
    } else if (auto *button = qobject_cast<const forms::CommandButton *>(w)) {
        const QRect area = button->CaptionArea();
        const QRect need = m.boundingRect(area, forms::CommandButton::CaptionFlags, text);
        if (!area.contains(need))
            fault(QStringLiteral("needs %1x%2 of %3x%4").arg(need.width()).arg(need.height()).arg(area.width())
                      .arg(area.height()));
    } else if (auto *label = qobject_cast<const QLabel *>(w)) {
        const int width = m.horizontalAdvance(text);
        // Where the glyphs' ink lies, for the label's vertical alignment.
        const int lineTop = label->alignment() & Qt::AlignVCenter ? (label->height() - m.height()) / 2 : 0;
        const QRect ink = m.tightBoundingRect(text).translated(0, lineTop + m.ascent());
        if (width > label->width())
            fault(QStringLiteral("%1 px wide in %2").arg(width).arg(label->width()));
        // One pixel of slack: the tight box is rounded outwards.
        if (ink.top() < -1 || ink.bottom() > label->height())
            fault(QStringLiteral("ink from %1 to %2 px in %3").arg(ink.top()).arg(ink.bottom()).arg(label->height()));
    } else if (auto *edit = qobject_cast<const QLineEdit *>(w)) {
        const int width = m.horizontalAdvance(text);
        if (width > EditRoom(edit))
            fault(QStringLiteral("%1 px wide in %2").arg(width).arg(EditRoom(edit)));
        if (m.height() > edit->height())
            fault(QStringLiteral("%1 px high in %2").arg(m.height()).arg(edit->height()));
    } else if (auto *combo = qobject_cast<const QComboBox *>(w)) {
        if (m.horizontalAdvance(text) > ComboRoom(combo))
            fault(QStringLiteral("%1 px wide in %2").arg(m.horizontalAdvance(text)).arg(ComboRoom(combo)));
    } else if (auto *option = qobject_cast<const QRadioButton *>(w)) {
        if (option->sizeHint().width() > option->width() || option->sizeHint().height() > option->height())
            fault(QStringLiteral("needs %1x%2").arg(option->sizeHint().width()).arg(option->sizeHint().height()));
    } else if (auto *frame = qobject_cast<const QGroupBox *>(w)) {
        if (m.horizontalAdvance(text) > frame->width() - 16)
            fault(QStringLiteral("title %1 px wide").arg(m.horizontalAdvance(text)));
    }
}

// The current text of every visible control, and every entry of the lists.
QStringList Faults(QWidget *window)
{
    QStringList faults;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!w->isVisibleTo(window) || w->objectName().isEmpty())
            continue;
        if (auto *label = qobject_cast<QLabel *>(w))
            CheckText(w, label->text(), faults);
        else if (auto *button = qobject_cast<QAbstractButton *>(w))
            CheckText(w, button->text(), faults);
        else if (auto *edit = qobject_cast<QLineEdit *>(w); edit && !qobject_cast<QComboBox *>(w->parent()))
            CheckText(w, edit->text(), faults);
        else if (auto *combo = qobject_cast<QComboBox *>(w)) {
            for (int i = 0; i < combo->count(); ++i)
                CheckText(w, combo->itemText(i), faults);
        } else if (auto *frame = qobject_cast<QGroupBox *>(w))
            CheckText(w, frame->title(), faults);
    }
    return faults;
}

template <typename T>
void SetText(const QString &form, const QString &name, const QString &text)
{
    auto *w = Control<T>(form, name);
    QVERIFY2(w, qPrintable(form + QLatin1Char('.') + name));
    if constexpr (std::is_same_v<T, QGroupBox>)
        w->setTitle(text);
    else
        w->setText(text);
}

} // namespace

class TestLooks : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void facesAreTheMappedJapaneseFaces_data();
    void facesAreTheMappedJapaneseFaces();
    void menuFits();
    void drillScreenFits_data();
    void drillScreenFits();
    void dialogFits();
    void resultsFit();
    void passwordFormFits();
    void settingsFit();
    void clientSizesFollowTheTwips();
    void controlsDoNotOverlap();
    void boxesAndListsHaveJapaneseNames();
    void buttonColoursShowUnderEveryStyle_data();
    void buttonColoursShowUnderEveryStyle();

private:
    ProgramFixture *fx = nullptr;
};

void TestLooks::init()
{
    platform::LoadBundledFonts();
    platform::InstallFontSubstitutions();
    fx = new ProgramFixture;
    fx->Start();
}

void TestLooks::cleanup()
{
    delete fx;
    fx = nullptr;
}

void TestLooks::facesAreTheMappedJapaneseFaces_data()
{
    QTest::addColumn<QString>("named");
    QTest::addColumn<QString>("drawn");
    QTest::newRow("P gothic") << "ＭＳ Ｐゴシック" << "IPAPGothic";
    QTest::newRow("gothic") << "ＭＳ ゴシック" << "IPAGothic";
    QTest::newRow("mincho") << "ＭＳ 明朝" << "IPAMincho";
    QTest::newRow("P mincho") << "ＭＳ Ｐ明朝" << "IPAPMincho";
    QTest::newRow("rounded") << "HG丸ｺﾞｼｯｸM-PRO" << "MotoyaLMaru";
    QTest::newRow("pop S") << "HGS創英角ﾎﾟｯﾌﾟ体" << "MotoyaLMaru";
    QTest::newRow("pop") << "HG創英角ﾎﾟｯﾌﾟ体" << "MotoyaLMaru";
}

void TestLooks::facesAreTheMappedJapaneseFaces()
{
    QFETCH(QString, named);
    QFETCH(QString, drawn);
    QCOMPARE(platform::ResolvedFamily(named), drawn);
    // Every glyph of the screens is in the face (no boxes).
    const QFontMetrics m{QFont(named)};
    for (QChar c : QStringLiteral("算数九九全段（）＋～！正解間違いパスワード設定画面学習結果途中終了"))
        QVERIFY2(m.inFont(c), qPrintable(QString(c)));
}

void TestLooks::menuFits()
{
    QWidget *menu = Window(QStringLiteral("Mess01"));
    QVERIFY(menu);
    const QStringList faults = Faults(menu);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestLooks::drillScreenFits_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("free") << 0;
    QTest::newRow("designated") << 1;
    QTest::newRow("spartan") << 2;
}

void TestLooks::drillScreenFits()
{
    QFETCH(int, mode);
    Module1::StudyMode = static_cast<std::int16_t>(mode);
    Module1::RangeMax = 999;
    Module1::CalcKind = 15;
    fx->program->mess01.Unload();
    fx->program->calk.Show();
    const QString calk = QStringLiteral("Calk");
    QStringList faults = Faults(Window(calk));
    SetText<QGroupBox>(calk, QStringLiteral("Frame2"), QStringLiteral("指定学習モード時の設定"));
    // The widest values a drill can show.
    SetText<QLabel>(calk, QStringLiteral("K1"), QStringLiteral("999"));
    SetText<QLabel>(calk, QStringLiteral("K2"), QStringLiteral("499"));
    SetText<QLabel>(calk, QStringLiteral("Label5"), QStringLiteral("10000"));
    SetText<QLineEdit>(calk, QStringLiteral("K"), QStringLiteral("999"));
    for (int i = 0; i < 4; ++i)
        SetText<QLineEdit>(calk, QStringLiteral("T(%1)").arg(i), QStringLiteral("10000"));
    SetText<QLineEdit>(calk, QStringLiteral("T1"), QStringLiteral("10000"));
    faults += Faults(Window(calk));
    for (const QString &sign : {QStringLiteral("－"), QStringLiteral("×"), QStringLiteral("÷")}) {
        SetText<QLabel>(calk, QStringLiteral("E"), sign);
        faults += Faults(Window(calk));
    }
    faults.removeDuplicates();
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestLooks::dialogFits()
{
    Module1::RangeMax = 10;
    fx->program->mess01.Unload();
    fx->program->calk.Show();
    Control<QPushButton>(QStringLiteral("Calk"), QStringLiteral("C1"))->click();
    QStringList faults;
    const auto look = [&] {
        faults += Faults(Window(QStringLiteral("Dialog")));
        AcknowledgeDialog();
    };
    fx->pump->actions = {look, look};
    Answer(QString::number(ShownAnswer()));
    Answer(QString::number(ShownAnswer() + 1));
    QCOMPARE(fx->pump->waits, 2);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestLooks::resultsFit()
{
    for (int mode : {0, 2}) {
        Module1::StudyMode = static_cast<std::int16_t>(mode);
        Module1::ProblemCount = 10000;
        Module1::CorrectCount = 10000;
        Module1::QuestionNo = 10001;
        fx->program->kekka.Show();
        SetText<QLabel>(QStringLiteral("kekka"), QStringLiteral("L(3)"), QStringLiteral("10000"));
        const QStringList faults = Faults(Window(QStringLiteral("kekka")));
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
        fx->program->kekka.Unload();
        FlushDeletes();
    }
}

void TestLooks::passwordFormFits()
{
    fx->program->passWord.Show();
    QStringList faults = Faults(Window(QStringLiteral("PassWord")));
    SetText<QLabel>(QStringLiteral("PassWord"), QStringLiteral("Label1"), QStringLiteral("パスワードを入力してください"));
    faults += Faults(Window(QStringLiteral("PassWord")));
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestLooks::settingsFit()
{
    fx->program->setei.Show();
    QStringList faults;
    for (int i = 2; i >= 1; --i) {
        Control<QRadioButton>(QStringLiteral("Setei"), QStringLiteral("Option1(%1)").arg(i))->click();
        SetText<QLineEdit>(QStringLiteral("Setei"), QStringLiteral("T1"), QStringLiteral("10000"));
        faults += Faults(Window(QStringLiteral("Setei")));
    }
    faults.removeDuplicates();
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestLooks::clientSizesFollowTheTwips()
{
    const auto size = [](const QString &form) { return Window(form) ? Window(form)->size() : QSize(); };
    QCOMPARE(size(QStringLiteral("Mess01")), QSize(641, 461));
    fx->program->passWord.Show();
    QCOMPARE(size(QStringLiteral("PassWord")), QSize(305, 202));
    fx->program->passWord.Unload();
    fx->program->setei.Show();
    QCOMPARE(size(QStringLiteral("Setei")), QSize(641, 461));
    fx->program->setei.Unload();
    Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C1"))->click();
    QCOMPARE(size(QStringLiteral("Calk")), QSize(633, 461));
    auto *c2 = Control<QPushButton>(QStringLiteral("Calk"), QStringLiteral("C2"));
    QCOMPARE(c2->geometry(), QRect(32, 272, 569, 33));
}

void TestLooks::controlsDoNotOverlap()
{
    // Pairs that share a place by design: the two lists, the password row
    // under "メニューに戻る", and the set-up frame over the answer button and
    // the scoreboard.
    const auto allowed = [](const QWidget *a, const QWidget *b) {
        const QSet<QString> names{a->objectName(), b->objectName()};
        if (names == QSet<QString>{QStringLiteral("Combo2"), QStringLiteral("Combo3")})
            return true;
        if (names.contains(QStringLiteral("Command1")) && a->window()->objectName() == QStringLiteral("kekka"))
            return true;
        return names.contains(QStringLiteral("Frame2")) && a->window()->objectName() == QStringLiteral("Calk");
    };
    // A label only matters where its text is drawn (its fill is the colour of
    // what lies under it).
    const auto used = [](const QWidget *w) {
        const auto *label = qobject_cast<const QLabel *>(w);
        if (!label || label->wordWrap())
            return w->geometry();
        const QRect text = QFontMetrics(label->font())
                               .boundingRect(QRect(QPoint(), label->size()), int(label->alignment()), label->text());
        return text.translated(label->pos()).intersected(label->geometry());
    };
    QStringList faults;
    const auto check = [&](QWidget *window) {
        QList<QWidget *> parents = window->findChildren<QWidget *>();
        parents << window;
        for (QWidget *parent : parents) {
            QList<QWidget *> kids;
            for (QObject *o : parent->children()) {
                auto *w = qobject_cast<QWidget *>(o);
                if (w && !w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")) &&
                    !w->isWindow())
                    kids << w;
            }
            for (int i = 0; i < kids.size(); ++i)
                for (int j = i + 1; j < kids.size(); ++j)
                    if (used(kids[i]).intersects(used(kids[j])) && !allowed(kids[i], kids[j]))
                        faults << Where(kids[i]) + QStringLiteral(" / ") + Where(kids[j]);
        }
    };
    check(Window(QStringLiteral("Mess01")));
    fx->program->passWord.Show();
    check(Window(QStringLiteral("PassWord")));
    fx->program->passWord.Unload();
    fx->program->setei.Show();
    check(Window(QStringLiteral("Setei")));
    fx->program->setei.Unload();
    fx->program->kekka.Show();
    check(Window(QStringLiteral("kekka")));
    fx->program->kekka.Unload();
    fx->program->calk.Show();
    check(Window(QStringLiteral("Calk")));
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestLooks::boxesAndListsHaveJapaneseNames()
{
    // Controls without a caption of their own are named for screen readers
    // after the label beside them.
    fx->program->passWord.Show();
    fx->program->setei.Show();
    fx->program->kekka.Show();
    fx->program->calk.Show();
    int named = 0;
    for (const char *form : {"PassWord", "Setei", "kekka", "Calk"}) {
        QWidget *window = Window(QLatin1String(form));
        QVERIFY2(window, form);
        for (QWidget *w : window->findChildren<QWidget *>()) {
            const bool box = qobject_cast<QLineEdit *>(w) && !qobject_cast<QComboBox *>(w->parent());
            if (!box && !qobject_cast<QComboBox *>(w))
                continue;
            const QString name = w->accessibleName();
            QVERIFY2(!name.isEmpty() && name.at(0).unicode() >= 0x3000, qPrintable(Where(w)));
            ++named;
        }
    }
    QCOMPARE(named, 2 + 4 + 1 + 9); // the password form, settings, results, drill
    QCOMPARE(Control<QLineEdit>(QStringLiteral("Calk"), QStringLiteral("K"))->accessibleName(), QStringLiteral("答え"));
}

void TestLooks::buttonColoursShowUnderEveryStyle_data()
{
    QTest::addColumn<QString>("style");
    QTest::newRow("Fusion") << "Fusion";
    QTest::newRow("Windows") << "Windows";
}

void TestLooks::buttonColoursShowUnderEveryStyle()
{
    QFETCH(QString, style);
    const QString previous = QApplication::style()->name();
    QVERIFY(QApplication::setStyle(style));
    fx->program->mess01.Unload();
    Module1::AnswerState = 1;
    fx->program->dialog.Show();
    const QImage right = Control<QPushButton>(QStringLiteral("Dialog"), QStringLiteral("CB"))->grab().toImage();
    fx->program->dialog.Unload();
    fx->program->mess01.Show();
    const QImage start = Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C2"))->grab().toImage();
    QApplication::setStyle(previous);
    // A point away from the caption and the border shows the colour itself.
    QCOMPARE(right.pixelColor(20, 20), QColor(255, 128, 128));
    QCOMPARE(start.pixelColor(8, start.height() / 2), QColor(192, 255, 255));
}

QTEST_MAIN(TestLooks)
#include "tst_looks.moc"
