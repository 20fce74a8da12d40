#include "platform/Process.h"

#include <QCoreApplication>

// The page's side, in BrowserProcess.js: an event the page puts its own
// notice up for.
extern "C" void mimoran_announce_end();

namespace platform {

void EndProcess()
{
    QCoreApplication::exit(0);
    mimoran_announce_end();
}

} // namespace platform
