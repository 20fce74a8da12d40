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
    virtual SaveResult Save(QWidget *parent, const QString &suggestedName, const QByteArray &data) = 0;
};

// The platform's own by default; tests install their own.
FileSaver &fileSaver();
std::unique_ptr<FileSaver> setFileSaver(std::unique_ptr<FileSaver> saver);
// Each build links the one for its platform.
std::unique_ptr<FileSaver> MakeFileSaver();

} // namespace platform
