#pragma once

#include <QString>

namespace forms {

// Whether the parent's password opens a Spartan lock. An unreadable store
// matches nothing (the lock must not open on ""), and the parent is told why
// the right password does not open it. `registered` gets the password read.
bool ParentPasswordOpens(const QString &typed, QString *registered = nullptr);

} // namespace forms
