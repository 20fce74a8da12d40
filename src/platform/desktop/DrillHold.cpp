#include "platform/DrillHold.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

#include <map>
#include <memory>

namespace platform {

namespace {

// A lock file per claimed drill, beside the record: a copy killed while it
// held one leaves it behind, and QLockFile sees that its program is gone.
std::map<QString, std::unique_ptr<QLockFile>> &claims()
{
    static std::map<QString, std::unique_ptr<QLockFile>> held;
    return held;
}

QString LockPath(const QString &drill)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(folder);
    // The drill's name is a UUID; anything else is kept to file-name letters.
    QString name = drill;
    for (QChar &c : name) {
        if (!c.isLetterOrNumber() && c != u'-')
            c = u'_';
    }
    return QDir(folder).filePath(QStringLiteral("drill-%1.lock").arg(name));
}

} // namespace

bool ClaimDrill(const QString &drill)
{
    auto &held = claims();
    if (held.count(drill))
        return true;
    auto lock = std::make_unique<QLockFile>(LockPath(drill));
    // Never stale while its program lives, however long the drill takes.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
    held.emplace(drill, std::move(lock));
    return true;
}

void ReleaseDrill(const QString &drill)
{
    claims().erase(drill);
}

void HoldPage(bool)
{
}

} // namespace platform
