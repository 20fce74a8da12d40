#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

namespace platform {

enum class Buttons { Ok, YesNo };

// A modal message box with the application title "Tovrani", the text only and
// no icon. Returns ResultOk, or ResultYes / ResultNo (6 / 7).
class MessageBox {
public:
    virtual ~MessageBox() = default;
    virtual int Show(const QString &text, Buttons buttons) = 0;
};

// For tests: records every text and answers from a queue (OK, or Yes when the
// queue is empty), without showing anything.
class QueuedMessageBox final : public MessageBox {
public:
    int Show(const QString &text, Buttons buttons) override
    {
        shown.append(text);
        if (onShow)
            onShow(text);
        if (answers.empty())
            return buttons == Buttons::Ok ? 1 : 6;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }

    QStringList shown;
    std::deque<int> answers;
    // Runs while the "box" is up, as a modal box's nested loop would.
    std::function<void(const QString &)> onShow;
};

} // namespace platform
