#include "outputs/ui/DocumentRenderer.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

namespace tv::outputs {

namespace {


// Cell padding and borders are in device pixels: scale them so that a
// 1200 dpi printer shows the same page as the screen preview.
void scaleTables(QTextDocument &text, qreal dpi, bool withHeader)
{
    const qreal factor = dpi / 96.0;
    for (QTextFrame *frame : text.rootFrame()->childFrames()) {
        if (auto *table = qobject_cast<QTextTable *>(frame)) {
            QTextTableFormat format = table->format();
            format.setCellPadding(factor);
            format.setBorder(std::max<qreal>(1.0, factor * 0.75));
            // The column titles come again at the top of every page.
            format.setHeaderRowCount(withHeader ? 1 : 0);
            table->setFormat(format);
        }
    }
}

void paintFrame(QPainter &painter, const OutputDocument &doc, const QRectF &area, int page, int pages,
                const QFont &font)
{
    QFont bold = font;
    bold.setBold(true);
    painter.setFont(bold);
    const qreal line = QFontMetricsF(bold, painter.device()).height();
    const QRectF top(area.left(), area.top(), area.width(), line);
    painter.drawText(top, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     QFontMetricsF(bold, painter.device()).elidedText(doc.heading(), Qt::ElideRight, area.width() * 0.7));
    painter.setFont(font);
    const QString printed = QStringLiteral("Imprimé le ") + QLocale(QLocale::French).toString(doc.printed, QStringLiteral("dd/MM/yyyy"));
    painter.drawText(top, Qt::AlignRight | Qt::AlignVCenter, printed);
    painter.drawLine(QPointF(area.left(), top.bottom() + line * 0.3), QPointF(area.right(), top.bottom() + line * 0.3));
    const QRectF foot(area.left(), area.bottom() - line, area.width(), line);
    painter.drawText(foot, Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("Page %1 / %2").arg(page).arg(pages));
}

} // namespace

int paintDocument(const OutputDocument &doc, QPagedPaintDevice &device)
{
    device.setPageSize(QPageSize(QPageSize::A4));
    device.setPageOrientation(doc.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    device.setPageMargins(QMarginsF(15, 12, 15, 12), QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    const QRectF area(0, 0, device.width(), device.height());
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(9);
    const qreal line = QFontMetricsF(font, &device).height();
    const qreal headerHeight = line * 2.5;
    const qreal bodyHeight = area.height() - headerHeight - line * 2;

    QTextDocument text;
    text.setDefaultFont(font);
    text.setDocumentMargin(0);
    text.documentLayout()->setPaintDevice(&device);
    text.setHtml(toHtml(doc));
    scaleTables(text, device.logicalDpiX(), !doc.columns.isEmpty());
    // With a page height the layout moves a row that would straddle two
    // pages to the next one and repeats the header row.
    text.setPageSize(QSizeF(area.width(), bodyHeight));
    const int pages = std::max(1, text.pageCount());
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            device.newPage();
        paintFrame(painter, doc, area, page + 1, pages, font);
        painter.save();
        painter.translate(0, headerHeight - page * bodyHeight);
        text.drawContents(&painter, QRectF(0, page * bodyHeight, area.width(), bodyHeight));
        painter.restore();
    }
    painter.end();
    return pages;
}

QByteArray pdfBytes(const OutputDocument &doc, int *pages)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    int painted = 0;
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(300);
        writer.setTitle(doc.heading());
        writer.setCreator(QStringLiteral("Tallvane"));
        painted = paintDocument(doc, writer);
    } // the writer finishes the file when it goes
    if (pages)
        *pages = painted;
    return painted > 0 ? bytes : QByteArray();
}

} // namespace tv::outputs
