#include "report/ReportPainter.h"

#include "report/PdfText.h"
#include "report/Report.h"
#include "report/TextFit.h"

#include <QFont>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <stdexcept>

namespace desk {

namespace {

constexpr double mmPerInch = 25.4;

QRectF scaled(const QRectF& r, double k) {
    return {r.x() * k, r.y() * k, r.width() * k, r.height() * k};
}

} // namespace

void ReportPainter::paintPage(QPainter& painter, const ReportDocument& doc, int page, double pixelsPerMm) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont font = reportFont();
    for (const ReportItem& item : doc.items) {
        if (item.page != page)
            continue;
        if (item.kind == ReportItem::Kind::Line) {
            QPen pen(Qt::black);
            pen.setWidthF(std::max(item.lineWidth * pixelsPerMm, 1.0));
            pen.setCapStyle(Qt::FlatCap);
            painter.setPen(pen);
            painter.drawLine(QLineF(item.line.p1() * pixelsPerMm, item.line.p2() * pixelsPerMm));
            continue;
        }
        if (item.text.isEmpty())
            continue;
        font.setPointSizeF(item.fontSize);
        font.setBold(item.bold);
        painter.setPen(Qt::black);
        const QRectF field = scaled(item.rect, pixelsPerMm);
        if (item.wrap) {
            // Composing chose the lines and their size; fitting again would shrink twice.
            painter.setFont(font);
            painter.drawText(field, int(item.alignment) | Qt::TextWrapAnywhere, item.text);
            continue;
        }
        // Composed text already fits; this holds on a device that measures wider, and for
        // a control that was not fitted when composed.
        const FittedText fitted = fit(font, field, item.alignment, item.text, painter.device());
        painter.setFont(fitted.font);
        painter.drawText(field, fitted.flags, fitted.text);
    }
    painter.restore();
}

ReportPainter::FittedText ReportPainter::fit(const QFont& font, const QRectF& field, Qt::Alignment alignment,
                                             const QString& text, QPaintDevice* device) {
    return fitText(text, font, field.size(), alignment, device);
}

void ReportPainter::paint(const ReportDocument& doc, QPagedPaintDevice* device) {
    device->setPageLayout(doc.pageLayout);
    QPainter painter;
    if (!painter.begin(device))
        throw std::runtime_error(QStringLiteral("印刷先を開けません。").toStdString());
    const double pixelsPerMm = device->logicalDpiX() / mmPerInch;
    for (int page = 1; page <= doc.pageCount; ++page) {
        if (page > 1 && !device->newPage()) {
            painter.end();
            throw std::runtime_error(QStringLiteral("次のページを始められません。").toStdString());
        }
        paintPage(painter, doc, page, pixelsPerMm);
    }
    if (!painter.end())
        throw std::runtime_error(QStringLiteral("印刷を終えられません。").toStdString());
    mendPrintedFile(device);
}

QImage ReportPainter::pageImage(const ReportDocument& doc, int page, double dotsPerInch) {
    const double pixelsPerMm = dotsPerInch / mmPerInch;
    const QRectF full = doc.pageLayout.fullRect(QPageLayout::Millimeter);
    const QRectF paintRect = doc.pageLayout.paintRect(QPageLayout::Millimeter);
    QImage image(qRound(full.width() * pixelsPerMm), qRound(full.height() * pixelsPerMm),
                 QImage::Format_ARGB32_Premultiplied);
    // Point sizes follow the image's resolution, as they follow a printer's.
    const int dotsPerMeter = qRound(dotsPerInch / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.translate(paintRect.topLeft() * pixelsPerMm);
    paintPage(painter, doc, page, pixelsPerMm);
    return image;
}

} // namespace desk
