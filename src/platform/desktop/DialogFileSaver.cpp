#include "platform/FileSave.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

namespace platform {

namespace {

class DialogFileSaver final : public FileSaver {
public:
    SaveResult Save(QWidget *parent, const QString &title, const QString &suggestedName,
                    const QByteArray &data) override
    {
        saved_.clear();
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        const QString path = QFileDialog::getSaveFileName(parent, title, QDir(folder).filePath(suggestedName));
        if (path.isEmpty())
            return SaveResult::Cancelled;
        // Never a half-written file in place of one the user had.
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
            return SaveResult::Failed;
        saved_ = path;
        return SaveResult::Saved;
    }

    bool CanOpenSaved() const override { return !saved_.isEmpty(); }
    bool OpenSaved() override { return !saved_.isEmpty() && QDesktopServices::openUrl(QUrl::fromLocalFile(saved_)); }

private:
    QString saved_;
};

} // namespace

std::unique_ptr<FileSaver> MakeFileSaver()
{
    return std::make_unique<DialogFileSaver>();
}

} // namespace platform
