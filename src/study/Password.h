#pragma once

#include <QString>

#include <optional>

// The parent's password rules, for the password form and the results screen's
// lock alike. `registered` is the store's entry: "" when none is registered,
// nothing when the store could not be read.
namespace study {

enum class PasswordVerdict {
    BoxesDiffer,     // the two boxes hold different texts
    Empty,           // both boxes are empty
    StoreUnreadable, // nothing to compare with, and nothing may be written over
    Register,        // first use: the entry becomes the password
    Recognised,      // the registered password
    Wrong,           // any other password
};

// The checks of the password form, first applicable one first; every
// comparison is code unit by code unit.
PasswordVerdict CheckPasswordEntry(const QString &first, const QString &second,
                                   const std::optional<QString> &registered);

// Whether the typed text opens the results screen's lock. With no password
// registered the empty text opens it; an unreadable store opens it never.
bool OpensLock(const QString &typed, const std::optional<QString> &registered);

} // namespace study
