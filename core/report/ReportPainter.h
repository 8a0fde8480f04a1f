#pragma once

#include "report/ReportDocument.h"
#include "report/TextFit.h"

#include <QFont>
#include <QImage>

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;

namespace desk {

// Paints a composed report. Millimetres become device pixels here; fonts are sized in
// points against the device's own resolution, so print, PDF and preview match.
class ReportPainter {
public:
    // Every page on a printer or PDF writer, whose page layout becomes the document's.
    // Throws std::runtime_error when the device cannot be opened or a page not started.
    static void paint(const ReportDocument& doc, QPagedPaintDevice* device);

    // One page (from 1) with painter's origin at the printable area; pixelsPerMm scales.
    static void paintPage(QPainter& painter, const ReportDocument& doc, int page, double pixelsPerMm);

    // One whole page (margins included) on white, at the given resolution.
    static QImage pageImage(const ReportDocument& doc, int page, double dotsPerInch);

    // How a text is drawn into its field on the device: the report's one fitting rule
    // (see desk::fitText). Never cut silently.
    using FittedText = desk::FittedText;
    static FittedText fit(const QFont& font, const QRectF& field, Qt::Alignment alignment, const QString& text,
                          QPaintDevice* device);
};

} // namespace desk
