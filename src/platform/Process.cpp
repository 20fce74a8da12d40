#include "platform/Process.h"

#include <QCoreApplication>

namespace platform {

void EndProcess()
{
    QCoreApplication::exit(0);
}

} // namespace platform
