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

#include <limits>

namespace tv::outputs {

namespace {

// Thin borders and a small padding; the layout scales these lengths from
// screen pixels to the device's resolution itself.
void formatTables(QTextDocument &text, bool withHeader)
{
    for (QTextFrame *frame : text.rootFrame()->childFrames()) {
        if (auto *table = qobject_cast<QTextTable *>(frame)) {
            QTextTableFormat format = table->format();
            format.setCellPadding(2);
            format.setBorder(1);
            // The column titles come again at the top of every page.
            format.setHeaderRowCount(withHeader ? 1 : 0);
            table->setFormat(format);
        }
    }
}

// A horizontal band of the laid-out document, and what one page shows:
// the column titles again, then whole rows.
struct Band {
    qreal top = 0;
    qreal bottom = 0;
};
struct Slice {
    QList<Band> bands;
};

// Where each row of the table starts, and where the table ends, in the
// document's coordinates: halfway between a row's last text and the next
// row's first, so that a band cut there holds whole rows only.
QList<qreal> rowEdges(QTextDocument &text, const QTextTable &table)
{
    QAbstractTextDocumentLayout *layout = text.documentLayout();
    const auto cellSpan = [&](int row) {
        qreal first = std::numeric_limits<qreal>::max();
        qreal last = 0;
        for (int c = 0; c < table.columns(); ++c) {
            const QTextTableCell cell = table.cellAt(row, c);
            first = std::min(first, layout->blockBoundingRect(cell.firstCursorPosition().block()).top());
            last = std::max(last, layout->blockBoundingRect(cell.lastCursorPosition().block()).bottom());
        }
        return std::pair{first, last};
    };
    const QRectF frame = layout->frameBoundingRect(const_cast<QTextTable *>(&table));
    QList<qreal> edges{frame.top()};
    for (int r = 1; r < table.rows(); ++r)
        edges.append((cellSpan(r - 1).second + cellSpan(r).first) / 2);
    edges.append(frame.bottom());
    return edges;
}

// Cuts the document into pages between rows, never through one: a cut
// row would put its first lines on one page and, unseen but present in
// the PDF's text, on the next.
QList<Slice> paginate(QTextDocument &text, bool withHeader, qreal height)
{
    QTextTable *table = nullptr;
    for (QTextFrame *frame : text.rootFrame()->childFrames())
        if ((table = qobject_cast<QTextTable *>(frame)))
            break;
    const qreal end = text.documentLayout()->documentSize().height();
    if (!table)
        return {Slice{{Band{0, end}}}};
    const QList<qreal> edges = rowEdges(text, *table);
    const int first = withHeader ? 1 : 0;
    const Band header{edges[0], edges[first]};
    const qreal room = height - (header.bottom - header.top);
    QList<Slice> pages;
    int row = first;
    while (row < table->rows()) {
        int next = row + 1; // a row taller than a page still gets one
        while (next < table->rows() && edges[next + 1] - edges[row] <= room)
            ++next;
        Slice page;
        if (withHeader) // a band of no height would draw the whole document
            page.bands.append(header);
        page.bands.append(Band{edges[row], edges[next]});
        pages.append(page);
        row = next;
    }
    // What follows the table (the closing line) on the last page if it fits.
    const Band after{edges.last(), end};
    if (after.bottom - after.top <= 0 && !pages.isEmpty())
        return pages;
    if (pages.isEmpty() || edges.last() - pages.last().bands.last().top + (after.bottom - after.top) > room)
        pages.append(Slice{{after}});
    else
        pages.last().bands.last().bottom = end;
    return pages;
}

void paintFrame(QPainter &painter, const OutputDocument &doc, const QRectF &area, int page, int pages,
                const QFont &font)
{
    QFont bold = font;
    bold.setBold(true);
    painter.setFont(bold);
    const qreal line = QFontMetricsF(bold, painter.device()).height();
    const QRectF top(area.left(), area.top(), area.width(), line);
    painter.drawText(
        top, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
        QFontMetricsF(bold, painter.device()).elidedText(doc.heading(), Qt::ElideRight, area.width() * 0.7));
    painter.setFont(font);
    const QString printed =
        QStringLiteral("Imprimé le ") + QLocale(QLocale::French).toString(doc.printed, QStringLiteral("dd/MM/yyyy"));
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
    const qreal top = line * 2.5;
    const qreal bodyHeight = area.height() - top - line * 2;

    QTextDocument text;
    text.setDefaultFont(font);
    text.setDocumentMargin(0);
    text.documentLayout()->setPaintDevice(&device);
    text.setHtml(toHtml(doc));
    formatTables(text, !doc.columns.isEmpty());
    text.setTextWidth(area.width());
    const QList<Slice> pages = paginate(text, !doc.columns.isEmpty(), bodyHeight);
    for (qsizetype page = 0; page < pages.size(); ++page) {
        if (page > 0)
            device.newPage();
        paintFrame(painter, doc, area, static_cast<int>(page + 1), static_cast<int>(pages.size()), font);
        qreal y = top;
        for (const Band &band : pages[page].bands) {
            painter.save();
            painter.translate(0, y - band.top);
            text.drawContents(&painter, QRectF(0, band.top, area.width(), band.bottom - band.top));
            painter.restore();
            y += band.bottom - band.top;
        }
    }
    painter.end();
    return static_cast<int>(pages.size());
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
