#include "platform/DrillHold.h"

// The page's side, in DrillHold.js.
extern "C" {
int mimoran_drill_claim(const char16_t *drill, int length, int waitMs); // waits
int mimoran_drill_ready();
void mimoran_drill_release(const char16_t *drill, int length);
void mimoran_drill_hold_page(int held);
}

namespace platform {

namespace {

// A page reloaded a moment ago may still hold the lock it is letting go of.
constexpr int ClaimWaitMs = 2000;

const char16_t *Units(const QString &text)
{
    return reinterpret_cast<const char16_t *>(text.utf16());
}

} // namespace

bool ClaimDrill(const QString &drill)
{
    // While another wait has the program's stack set aside, nothing can be
    // asked of the page: the drill is this page's (as where there are no locks).
    if (!mimoran_drill_ready())
        return true;
    return mimoran_drill_claim(Units(drill), int(drill.size()), ClaimWaitMs) == 1;
}

void ReleaseDrill(const QString &drill)
{
    mimoran_drill_release(Units(drill), int(drill.size()));
}

void HoldPage(bool held)
{
    mimoran_drill_hold_page(held ? 1 : 0);
}

} // namespace platform
