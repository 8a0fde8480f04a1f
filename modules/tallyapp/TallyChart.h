#pragma once

#include <QDate>
#include <QImage>
#include <QSize>
#include <QString>

class QChart;
class QPagedPaintDevice;

namespace desk {
class QueryGridModel;
}

namespace tallyapp {

// The bar chart of a result: the amount (or the number of guests) per class, item or
// commodity, biggest first when there are more bars than fit (the rest as "その他"), and
// per day, stacked by sales class, for the kind that has dates (per month over a long
// period). The caller owns the chart.
QChart* buildChart(const desk::QueryGridModel& model, int kind);

// The chart drawn on a white picture of the given size, for an image file.
QImage chartImage(const desk::QueryGridModel& model, int kind, const QSize& size);

// One page with the inn's name, the title and the period over the chart, on a printer or
// a PDF writer.
void paintChartPage(QPagedPaintDevice* device, const desk::QueryGridModel& model, int kind, const QDate& first,
                    const QDate& last, const QString& companyName);

// Most bars one chart shows before the rest are put together.
inline constexpr int MaxBars = 20;

} // namespace tallyapp
