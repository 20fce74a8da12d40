#pragma once

namespace platform {

// Ends the program's run: the event loop stops. In a browser there is no
// process to end; the page is told, and says that the program has ended.
void EndProcess();

} // namespace platform
