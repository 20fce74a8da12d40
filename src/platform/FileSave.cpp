#include "platform/FileSave.h"

namespace platform {

namespace {

std::unique_ptr<FileSaver> &slot()
{
    static std::unique_ptr<FileSaver> saver;
    return saver;
}

} // namespace

FileSaver &fileSaver()
{
    if (!slot())
        slot() = MakeFileSaver();
    return *slot();
}

std::unique_ptr<FileSaver> setFileSaver(std::unique_ptr<FileSaver> saver)
{
    std::unique_ptr<FileSaver> previous = std::move(slot());
    slot() = std::move(saver);
    return previous;
}

} // namespace platform
