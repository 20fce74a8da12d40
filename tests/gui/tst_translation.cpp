#include "app/Program.h"
#include "platform/QtMessageBox.h"
#include "platform/Conversions.h"
#include "platform/Services.h"
#include "platform/Translation.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

namespace {

// Qt's Japanese captions carry the Windows-style access key, "はい(&Y)": the
// button reads "はい(Y)" with the Y underlined.
QString withoutAccessKey(QString caption)
{
    static const QRegularExpression key(QStringLiteral("\\(&[A-Za-z]\\)$"));
    return caption.remove(key);
}

} // namespace

// Run under an English or C system locale (see CMakeLists): Qt's own texts
// must still come out in Japanese.
class TestTranslation : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void quitQuestionButtonsAreJapanese();
    void okButtonReadsOk();
    void textBoxMenuIsJapanese();
    void numbersStayLocaleAware();
    void missingTranslationIsNotFatal();
};

void TestTranslation::initTestCase()
{
    QVERIFY2(!QLocale::system().name().startsWith(QLatin1String("ja")), "run this test under a non-Japanese locale");
    app::InitialisePlatform(*qApp);
}

void TestTranslation::quitQuestionButtonsAreJapanese()
{
    QStringList captions;
    QString defaultCaption;
    QString title;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        title = box->windowTitle();
        for (QAbstractButton *b : box->buttons())
            captions << withoutAccessKey(b->text());
        defaultCaption = box->defaultButton() ? withoutAccessKey(box->defaultButton()->text()) : QString();
        box->button(QMessageBox::No)->click();
    });
    platform::QtMessageBox box;
    const int answer = box.Show(QStringLiteral("「Mimoran！」を終了しますか？"), platform::Buttons::YesNo);
    QCOMPARE(answer, platform::ResultNo);
    QCOMPARE(title, QStringLiteral("Tovrani"));
    captions.sort();
    QCOMPARE(captions, (QStringList{QStringLiteral("いいえ"), QStringLiteral("はい")}));
    QCOMPARE(defaultCaption, QStringLiteral("はい"));
}

void TestTranslation::okButtonReadsOk()
{
    QString caption;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        caption = box->button(QMessageBox::Ok)->text();
        box->button(QMessageBox::Ok)->click();
    });
    platform::QtMessageBox box;
    QCOMPARE(box.Show(QStringLiteral("問題数が多すぎます"), platform::Buttons::Ok), platform::ResultOk);
    QCOMPARE(caption, QStringLiteral("OK"));
}

void TestTranslation::textBoxMenuIsJapanese()
{
    QLineEdit edit;
    edit.setText(QStringLiteral("12"));
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList texts;
    for (QAction *a : menu->actions()) {
        if (!a->isSeparator())
            texts << a->text();
    }
    QVERIFY(!texts.isEmpty());
    for (const QString &text : texts) {
        // Every entry has Japanese in it; none is left in English.
        const bool japanese = std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x3000; });
        QVERIFY2(japanese, qPrintable(texts.join(QLatin1Char('|'))));
    }
}

void TestTranslation::numbersStayLocaleAware()
{
    // Only texts are forced to Japanese; the locale, and with it the number
    // conversion, stays the system's.
    QCOMPARE(QLocale().name(), QLocale::system().name());
    QCOMPARE(platform::TextToReal(QStringLiteral("12.5")).value_or(0), 12.5);
}

void TestTranslation::missingTranslationIsNotFatal()
{
    QTemporaryDir empty;
    QVERIFY(!platform::InstallJapaneseTranslation(*qApp, empty.path()));
    // The translation installed at start-up still serves.
    QLineEdit edit;
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QVERIFY(menu->actions().first()->text().contains(QStringLiteral("元に戻す")));
}

QTEST_MAIN(TestTranslation)
#include "tst_translation.moc"
