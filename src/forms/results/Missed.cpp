#include "forms/results/Missed.h"

#include "forms/common/Palette.h"

#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>

namespace forms {

namespace {
using palette::ButtonYellow;
using palette::Cream;
using palette::Red;
using palette::TitleBlue;

// Columns of a row, in twips inside the list: problem, typed, right answer.
constexpr int ColumnLeft[3] = {0, 2760, 4200};
constexpr int ColumnWidth[3] = {2640, 1320, 1320};
constexpr int RowHeight = 480;
constexpr int Gap = 8; // pixels between the results screen and the list
} // namespace

Missed::Missed() : Form(QStringLiteral("Missed")) {}

void Missed::ShowBeside(QWidget *anchor, const engine::AnswerLog &log, bool offerRetry)
{
    Unload();
    anchor_ = anchor;
    missed_ = log.Missed();
    offerRetry_ = offerRetry;
    SetActivatesOnShow(offerRetry);
    Show();
}

void Missed::CreateControls(QWidget *w)
{
    SetCaption(QStringLiteral("まちがえた問題"));
    SetFormColour(Cream);
    SetClientSize(6240, 4455);

    Label1 = MakeLabel(w, QStringLiteral("Label1"), QStringLiteral("まちがえた問題"), TwipsRect(240, 120, 5760, 375),
                       FormFont(Face::Pop, 20.25), Qt::AlignCenter);
    SetTextColour(Label1, TitleBlue);
    const char16_t *headers[3] = {u"問題", u"きみの答え", u"正しい答え"};
    for (int i = 0; i < 3; ++i) {
        H[i] = MakeLabel(w, ArrayName("H", i), QString::fromUtf16(headers[i]),
                         TwipsRect(240 + ColumnLeft[i], 600, ColumnWidth[i], 375), FormFont(Face::Mincho, 12),
                         Qt::AlignCenter);
    }

    List = new QScrollArea(w);
    List->setObjectName(QStringLiteral("List"));
    List->setGeometry(TwipsRect(240, 1020, 5760, 2400));
    List->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    List->setFrameShape(QFrame::StyledPanel);
    List->setFocusPolicy(Qt::NoFocus);
    SetBackground(List->viewport(), Qt::white);

    C1 = new CommandButton(w, QStringLiteral("C1"), QStringLiteral("もう一度"), TwipsRect(240, 3600, 2760, 615),
                           FormFont(Face::PGothic, 15.75, true));
    C1->SetBackColour(ButtonYellow);
    C2 = new CommandButton(w, QStringLiteral("C2"), QStringLiteral("閉じる"), TwipsRect(3240, 3600, 2760, 615),
                           FormFont(Face::PGothic, 15.75));
    C2->SetBackColour(ButtonYellow);
    SetTabOrder({C1, C2});

    connect(C1, &QPushButton::clicked, this, &Missed::RetryRequested);
    connect(C2, &QPushButton::clicked, this, &Missed::Unload);
}

void Missed::ClearControls()
{
    Label1 = nullptr;
    H = {};
    List = nullptr;
    P.clear();
    A.clear();
    R.clear();
    C1 = C2 = nullptr;
}

void Missed::Load()
{
    auto *rows = new QWidget;
    rows->setObjectName(QStringLiteral("Rows"));
    SetBackground(rows, Qt::white);
    const QFont font = FormFont(Face::Gothic, 15.75);
    const int count = static_cast<int>(missed_.size());
    for (int i = 0; i < count; ++i) {
        const engine::AnsweredProblem &m = missed_[static_cast<std::size_t>(i)];
        const int top = 60 + RowHeight * i;
        const QString texts[3] = {engine::ProblemText(m.problem), m.typed, engine::FullWidthNumber(m.problem.Answer)};
        std::vector<QLabel *> *columns[3] = {&P, &A, &R};
        const char *names[3] = {"P", "A", "R"};
        for (int c = 0; c < 3; ++c) {
            QLabel *label = MakeLabel(rows, ArrayName(names[c], i), texts[c],
                                      TwipsRect(ColumnLeft[c], top, ColumnWidth[c], RowHeight - 60), font,
                                      c == 0 ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignCenter);
            columns[c]->push_back(label);
        }
        SetTextColour(A.back(), Red);
    }
    rows->setFixedSize(TwipsSize(ColumnLeft[2] + ColumnWidth[2], 60 + RowHeight * count));
    List->setWidget(rows);
    // Rows go by one at a time with the arrows and the wheel.
    List->verticalScrollBar()->setSingleStep(Twips(RowHeight));

    OfferRetry(offerRetry_);
    if (offerRetry_)
        C1->setFocus();
    else
        C2->setFocus();
}

void Missed::OfferRetry(bool offered)
{
    offerRetry_ = offered;
    if (C1)
        C1->setVisible(offered);
}

void Missed::PlaceWindow()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen || !anchor_) {
        Form::PlaceWindow();
        return;
    }
    // Beside the results, never over them: to the right where there is room,
    // else to the left. On a screen too narrow for either, the results move
    // aside so the two stand side by side, centred together.
    const QRect area = screen->availableGeometry();
    QRect beside = anchor_->frameGeometry();
    const QSize size = Window()->frameGeometry().size();
    int left = beside.right() + 1 + Gap;
    if (left + size.width() > area.right() + 1) {
        left = beside.left() - Gap - size.width();
        if (left < area.left()) {
            const int pairWidth = beside.width() + Gap + size.width();
            const int pairLeft = area.left() + std::max(0, (area.width() - pairWidth) / 2);
            anchor_->move(pairLeft, anchor_->y());
            beside = anchor_->frameGeometry();
            left = std::min(beside.right() + 1 + Gap, area.right() + 1 - size.width());
        }
    }
    const int top = std::clamp(beside.top(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height()));
    Window()->move(left, top);
}

} // namespace forms
