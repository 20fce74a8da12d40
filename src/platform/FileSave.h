#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QWidget;

namespace platform {

enum class SaveResult { Saved, Cancelled, Failed };

// Hands a file the program made to the user: a save dialog on the desktop
// (the file written whole or not at all), a download in a browser.
class FileSaver {
public:
    virtual ~FileSaver() = default;
    // title: what the save dialog says it is for.
    virtual SaveResult Save(QWidget *parent, const QString &title, const QString &suggestedName,
                            const QByteArray &data) = 0;
    // Whether the file last saved can be shown in the system's viewer (not a
    // download: the browser shows it), and showing it. False when it could not.
    virtual bool CanOpenSaved() const { return false; }
    virtual bool OpenSaved() { return false; }
};

// The platform's own by default; tests install their own.
FileSaver &fileSaver();
std::unique_ptr<FileSaver> setFileSaver(std::unique_ptr<FileSaver> saver);
// Each build links the one for its platform.
std::unique_ptr<FileSaver> MakeFileSaver();

} // namespace platform
