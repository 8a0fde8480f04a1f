#pragma once

#include <QDate>
#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

class QChart;
class QPagedPaintDevice;

namespace desk {
class QueryGridModel;
}

namespace tallyapp {

// The bar chart of a result: the amount (or the number of guests) per class, item or
// commodity, biggest first when there are more bars than fit (the rest as "その他"), and
// per day, stacked by sales class, for the kind that has dates (per month over a long
// period). Names too long for the chart's width are shortened as the chart is resized; a
// bar's tooltip carries its full name and value. An empty result gives a chart without
// bars or axes that shows emptyChartNote() instead. The caller owns the chart.
QChart* buildChart(const desk::QueryGridModel& model, int kind);
QString emptyChartNote();

// Category labels as the chart shows them: a name whole when it fits in maxWidth pixels of
// font, otherwise shortened to end in "…" (never cut where the reader cannot see it).
// Labels stay distinct, as the category axis needs them.
QStringList chartLabels(const QStringList& names, const QFont& font, double maxWidth);

// The labels of a chart of buildChart() that are shortened now, with the names behind them.
struct ShortenedLabel {
    QString shown;
    QString name;
};
QList<ShortenedLabel> shortenedLabels(const QChart* chart);

// The chart drawn on a white picture of the given size, for an image file, with the full
// names of shortened labels under it.
QImage chartImage(const desk::QueryGridModel& model, int kind, const QSize& size);

// One page with the inn's name, the title and the period over the chart, and under it the
// full names of shortened labels, on a printer or a PDF writer.
void paintChartPage(QPagedPaintDevice* device, const desk::QueryGridModel& model, int kind, const QDate& first,
                    const QDate& last, const QString& companyName);

// Most bars one chart shows before the rest are put together.
inline constexpr int MaxBars = 20;

} // namespace tallyapp
