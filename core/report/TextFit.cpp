#include "report/TextFit.h"

#include "report/Report.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <QImage>

#include <cmath>
#include <functional>

namespace desk {

namespace {

// Composed text is measured at a printer's resolution with hinting off, so widths scale
// with the device.
constexpr int measureDpi = 1200;
constexpr double mmPerInch = 25.4;
// Room left for the rounding of glyph positions on the output device.
constexpr double safety = 0.98;
// Sizes are tried in steps of a quarter point.
constexpr double step = 0.25;

using MetricsAt = std::function<QFontMetricsF(const QFont&)>;

FittedText fitWith(const QString& text, const QFont& font, const QSizeF& box, Qt::Alignment alignment,
                   const MetricsAt& metricsAt) {
    FittedText fitted{font, text, int(alignment) | Qt::TextSingleLine};
    if (text.isEmpty() || box.width() <= 0.0)
        return fitted;
    const double size = font.pointSizeF();
    const auto advanceAt = [&](double points) {
        QFont f = font;
        f.setPointSizeF(points);
        return metricsAt(f).horizontalAdvance(text);
    };
    const double natural = advanceAt(size);
    if (natural <= box.width())
        return fitted;

    // Advance grows in proportion to the size, so the first guess is close; the steps
    // below settle what the glyph rounding leaves.
    const double floorSize = readableMinimum(size);
    double points = std::max(floorSize, std::floor(size * box.width() / natural / step) * step);
    while (points > floorSize && advanceAt(points) > box.width())
        points = std::max(floorSize, points - step);
    fitted.font.setPointSizeF(points);
    if (advanceAt(points) <= box.width())
        return fitted;

    // A box of several lines takes the text whole, as large as its height allows.
    const int wrapFlags = int(alignment) | Qt::TextWrapAnywhere;
    const QRectF area(QPointF(0.0, 0.0), box);
    for (double wrapped = size; wrapped >= floorSize - 0.001; wrapped -= step) {
        QFont f = font;
        f.setPointSizeF(wrapped);
        const QFontMetricsF metrics = metricsAt(f);
        if (box.height() < 2 * metrics.height())
            continue;
        if (metrics.boundingRect(area, wrapFlags, text).height() <= box.height()) {
            fitted.font = f;
            fitted.flags = wrapFlags;
            return fitted;
        }
    }
    fitted.text = metricsAt(fitted.font).elidedText(text, Qt::ElideRight, box.width());
    return fitted;
}

const QImage& measureDevice() {
    static const QImage image = [] {
        QImage i(1, 1, QImage::Format_ARGB32_Premultiplied);
        const int dotsPerMeter = qRound(measureDpi / 0.0254);
        i.setDotsPerMeterX(dotsPerMeter);
        i.setDotsPerMeterY(dotsPerMeter);
        return i;
    }();
    return image;
}

// A long list measures thousands of fields at a handful of sizes.
QFontMetricsF measureMetrics(const QFont& font) {
    static QHash<qint64, QFontMetricsF> cache;
    const qint64 key = qint64(std::lround(font.pointSizeF() * 100.0)) * 2 + (font.bold() ? 1 : 0);
    auto it = cache.find(key);
    if (it == cache.end())
        it = cache.insert(key, QFontMetricsF(font, &measureDevice()));
    return *it;
}

} // namespace

QFont reportFont() {
    QFont font(Report::fontFamily());
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::StyleStrategy(font.styleStrategy() | QFont::PreferNoShaping));
    return font;
}

double readableMinimum(double pointSize) {
    return std::min(pointSize, std::max(6.0, pointSize * 0.75));
}

FittedText fitText(const QString& text, const QFont& font, const QSizeF& box, Qt::Alignment alignment,
                   const QPaintDevice* device) {
    return fitWith(text, font, box, alignment, [device](const QFont& f) { return QFontMetricsF(f, device); });
}

FittedText fitTextInBox(const QString& text, const QSizeF& boxMm, double pointSize, bool bold,
                        Qt::Alignment alignment) {
    QFont font = reportFont();
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return {font, text, int(alignment) | Qt::TextSingleLine};
    const double dotsPerMm = measureDpi / mmPerInch;
    const QSizeF box(boxMm.width() * dotsPerMm * safety, boxMm.height() * dotsPerMm);
    return fitWith(text, font, box, alignment, measureMetrics);
}

} // namespace desk
