#include "report/TextFit.h"

#include "report/Report.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <QImage>

#include <cmath>

namespace desk {

namespace {

// Measured at a printer's resolution with hinting off, so widths scale with the device.
constexpr int measureDpi = 1200;
constexpr double mmPerInch = 25.4;
// Room left for the rounding of glyph positions on the output device.
constexpr double safety = 0.98;
// Sizes are tried in steps of a quarter point.
constexpr double step = 0.25;

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
const QFontMetricsF& metrics(double pointSize, bool bold) {
    static QHash<qint64, QFontMetricsF> cache;
    const qint64 key = qint64(std::lround(pointSize * 100.0)) * 2 + (bold ? 1 : 0);
    auto it = cache.find(key);
    if (it == cache.end()) {
        QFont font(Report::fontFamily());
        font.setHintingPreference(QFont::PreferNoHinting);
        font.setPointSizeF(pointSize);
        font.setBold(bold);
        it = cache.insert(key, QFontMetricsF(font, &measureDevice()));
    }
    return *it;
}

} // namespace

double readableMinimum(double pointSize) {
    return std::min(pointSize, std::max(6.0, pointSize * 0.75));
}

FittedText fitText(const QString& text, double widthMm, double pointSize, bool bold, double minPointSize) {
    FittedText result{text, pointSize};
    if (text.isEmpty() || widthMm <= 0.0 || !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return result;
    const double available = widthMm / mmPerInch * measureDpi * safety;
    const double natural = metrics(pointSize, bold).horizontalAdvance(text);
    if (natural <= available)
        return result;
    // Advance grows in proportion to the size, so the first guess is close; the steps
    // below settle what the glyph rounding leaves.
    const double floorSize = std::min(pointSize, minPointSize);
    double size = std::max(floorSize, std::floor(pointSize * available / natural / step) * step);
    while (size > floorSize && metrics(size, bold).horizontalAdvance(text) > available)
        size = std::max(floorSize, size - step);
    result.pointSize = size;
    const QFontMetricsF& fm = metrics(size, bold);
    if (fm.horizontalAdvance(text) > available)
        result.text = fm.elidedText(text, Qt::ElideRight, available);
    return result;
}

} // namespace desk
