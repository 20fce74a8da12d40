#include "platform/FileSave.h"

#include <QDir>
#include <QFileDialog>
#include <QSaveFile>
#include <QStandardPaths>

namespace platform {

namespace {

class DialogFileSaver final : public FileSaver {
public:
    SaveResult Save(QWidget *parent, const QString &suggestedName, const QByteArray &data) override
    {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        const QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("書き出す"),
                                                          QDir(folder).filePath(suggestedName));
        if (path.isEmpty())
            return SaveResult::Cancelled;
        // Never a half-written file in place of one the user had.
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
            return SaveResult::Failed;
        return SaveResult::Saved;
    }
};

} // namespace

std::unique_ptr<FileSaver> MakeFileSaver()
{
    return std::make_unique<DialogFileSaver>();
}

} // namespace platform
