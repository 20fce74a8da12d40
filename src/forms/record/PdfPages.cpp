#include "forms/record/PdfPages.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>

namespace forms::pdf {

QByteArray A4Pdf(const QString &title, int pages, const std::function<void(QPainter &, int)> &draw)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Mimoran！"));
        writer.setResolution(Dpi);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        QPainter painter(&writer);
        painter.setRenderHint(QPainter::Antialiasing);
        for (int page = 0; page < pages; ++page) {
            if (page > 0)
                writer.newPage();
            draw(painter, page);
        }
    }
    return bytes;
}

} // namespace forms::pdf
