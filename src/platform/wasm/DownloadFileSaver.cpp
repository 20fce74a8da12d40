#include "platform/FileSave.h"

// The page's side, in DownloadFileSaver.js: the bytes become a download
// under the suggested name (its name as UTF-16 code units); 1 when the
// browser took it.
extern "C" int mimoran_download(const char16_t *name, int nameLength, const char *data, int size);

namespace platform {

namespace {

class DownloadFileSaver final : public FileSaver {
public:
    SaveResult Save(QWidget *, const QString &, const QString &suggestedName, const QByteArray &data) override
    {
        const int taken = mimoran_download(reinterpret_cast<const char16_t *>(suggestedName.utf16()),
                                           int(suggestedName.size()), data.constData(), int(data.size()));
        return taken ? SaveResult::Saved : SaveResult::Failed;
    }
};

} // namespace

std::unique_ptr<FileSaver> MakeFileSaver()
{
    return std::make_unique<DownloadFileSaver>();
}

} // namespace platform
