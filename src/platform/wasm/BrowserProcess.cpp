#include "platform/Process.h"

#include <QCoreApplication>

#include <emscripten.h>

// The page listens for this event and puts its own notice where the
// program's windows were.
EM_JS(void, mimoran_announce_end, (), {
    window.dispatchEvent(new Event("mimoran-ended"));
});

namespace platform {

void EndProcess()
{
    QCoreApplication::exit(0);
    mimoran_announce_end();
}

} // namespace platform
