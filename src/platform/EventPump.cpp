#include "platform/EventPump.h"

#include <QEventLoop>

namespace platform {

void QtEventPump::WaitForWake()
{
    QEventLoop loop;
    loops_.push_back(&loop);
    loop.exec();
    loops_.pop_back();
}

void QtEventPump::Wake()
{
    if (!loops_.empty())
        loops_.back()->quit();
}

} // namespace platform
