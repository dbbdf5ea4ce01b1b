#pragma once

#include "outputs/core/OutputDocument.h"

#include <QByteArray>

class QPagedPaintDevice;

namespace tv::outputs {

// Lays the document out on A4 pages of the device (a printer or a PDF
// writer) and paints them: a header with the heading and the print date,
// the table wrapped to the page width, the page number at the foot.
// Returns the number of pages painted, 0 when the device refused to paint.
int paintDocument(const OutputDocument &document, QPagedPaintDevice &device);

// The document as a PDF: real text, fonts embedded, title and creator set.
QByteArray pdfBytes(const OutputDocument &document, int *pages = nullptr);

} // namespace tv::outputs
