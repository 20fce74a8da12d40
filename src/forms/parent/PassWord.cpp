#include "forms/parent/PassWord.h"

#include "forms/common/Palette.h"

#include "platform/MessageBox.h"
#include "platform/Services.h"
#include "platform/SettingsStore.h"
#include "study/Password.h"

namespace forms {

namespace {

void Message(const QString &text)
{
    platform::messageBox().Show(text, platform::Buttons::Ok);
}

} // namespace

PassWord::PassWord(Navigator &navigator) : Form(QStringLiteral("PassWord")), navigator_(navigator) {}

void PassWord::CreateControls(QWidget *w)
{
    SetCaption(QStringLiteral("パスワード"));
    const QColor &back = palette::ParentPink;
    SetFormColour(back);
    SetClientSize(4575, 3030);
    // The menu behind waits while the parent is at the gate.
    w->setWindowModality(Qt::ApplicationModal);

    const QFont labelFont = FormFont(Face::PGothic, 15.75, true);
    const QFont boxFont = FormFont(Face::PGothic, 18);
    Label1 = MakeLabel(w, QStringLiteral("Label1"), QStringLiteral("パスワードを入力してください"),
                       TwipsRect(240, 240, 4215, 375), labelFont);
    Label2 = MakeLabel(w, QStringLiteral("Label2"), QStringLiteral("パスワード"), TwipsRect(240, 840, 1695, 375),
                       labelFont);
    T1 = new TextBox(w, QStringLiteral("T1"), QString(), TwipsRect(1800, 760, 2535, 495), boxFont);
    T1->setAccessibleName(QStringLiteral("パスワード"));
    Label3 = MakeLabel(w, QStringLiteral("Label3"), QStringLiteral("確認入力"), TwipsRect(240, 1440, 1695, 375),
                       labelFont);
    T2 = new TextBox(w, QStringLiteral("T2"), QString(), TwipsRect(1800, 1360, 2535, 495), boxFont);
    T2->setAccessibleName(QStringLiteral("確認入力"));
    for (TextBox *box : {T1, T2}) {
        box->setEchoMode(QLineEdit::Password);
        box->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    }
    for (QLabel *label : {Label1, Label2, Label3})
        SetTextColour(label, Qt::black);

    C1 = new CommandButton(w, QStringLiteral("C1"), QStringLiteral("入力完了"), TwipsRect(240, 2160, 1935, 615),
                           labelFont);
    C2 = new CommandButton(w, QStringLiteral("C2"), QStringLiteral("キャンセル"), TwipsRect(2400, 2160, 1935, 615),
                           labelFont);
    C1->SetBackColour(palette::ButtonRed);
    C2->SetBackColour(palette::ButtonRed);

    SetTabOrder({T1, T2, C1, C2});
    T1->setFocus();

    T1->MoveFocusOnEnter(T2, TextBox::EnterEdge::Release);
    T2->MoveFocusOnEnter(C1, TextBox::EnterEdge::Release);
    connect(C1, &QPushButton::clicked, this, &PassWord::C1_Click);
    connect(C2, &QPushButton::clicked, this, &PassWord::C2_Click);
}

void PassWord::ClearControls()
{
    Label1 = Label2 = Label3 = nullptr;
    T1 = T2 = nullptr;
    C1 = C2 = nullptr;
}

void PassWord::Load()
{
    const std::optional<QString> stored =
        platform::settingsStore().Read(platform::PasswordSection, platform::PasswordKey);
    storeReadable_ = stored.has_value();
    RegisteredPassword = stored.value_or(QString());
    // A store that cannot be read is not a first use: never invite a new
    // password over one that may be there.
    if (storeReadable_ && RegisteredPassword.isEmpty())
        Label1->setText(QStringLiteral("パスワードを初期設定します"));
}

void PassWord::C1_Click()
{
    const QString entry = T1->text();
    const std::optional<QString> registered =
        storeReadable_ ? std::optional<QString>(RegisteredPassword) : std::nullopt;
    switch (study::CheckPasswordEntry(entry, T2->text(), registered)) {
    case study::PasswordVerdict::BoxesDiffer:
        Message(QStringLiteral("入力した２つのパスワードが一致しません"));
        return;
    case study::PasswordVerdict::Empty:
        Message(QStringLiteral("空白はパスワードとして設定できません"));
        return;
    case study::PasswordVerdict::StoreUnreadable:
        Message(StoreUnreadable);
        return;
    case study::PasswordVerdict::Register:
        // Registering must really reach the store: a failure is never
        // reported as success, and nothing opens.
        if (!platform::settingsStore().Write(platform::PasswordSection, platform::PasswordKey, entry)) {
            Message(QStringLiteral("パスワードを保存できませんでした"));
            return;
        }
        Message(QStringLiteral("パスワードの初期設定が完了しました"));
        OpenSettings();
        return;
    case study::PasswordVerdict::Recognised:
        Message(QStringLiteral("パスワードを認識しました"));
        OpenSettings();
        return;
    case study::PasswordVerdict::Wrong:
        Message(QStringLiteral("入力したパスワードと登録したパスワードが一致しません"));
        if (!IsLoaded())
            return;
        T1->setText(QString());
        T2->setText(QString());
        T1->setFocus();
        return;
    }
}

void PassWord::OpenSettings()
{
    if (!IsLoaded())
        return;
    navigator_.Open(Screen::Settings);
    Unload();
}

void PassWord::C2_Click()
{
    Unload();
}

} // namespace forms
