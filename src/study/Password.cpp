#include "study/Password.h"

namespace study {

PasswordVerdict CheckPasswordEntry(const QString &first, const QString &second,
                                   const std::optional<QString> &registered)
{
    // The boxes are compared before anything else, even before the store.
    if (first != second)
        return PasswordVerdict::BoxesDiffer;
    if (first.isEmpty())
        return PasswordVerdict::Empty;
    // A store that cannot be read is not a first use: a password may be in it.
    if (!registered)
        return PasswordVerdict::StoreUnreadable;
    if (registered->isEmpty())
        return PasswordVerdict::Register;
    return first == *registered ? PasswordVerdict::Recognised : PasswordVerdict::Wrong;
}

bool OpensLock(const QString &typed, const std::optional<QString> &registered)
{
    return registered && typed == *registered;
}

} // namespace study
