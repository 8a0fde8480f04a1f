#include "TallyChart.h"

#include "Aggregation.h"
#include "ui/QueryGridModel.h"

#include "convert/Convert.h"
#include "report/Report.h"

#include <QBarCategoryAxis>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QBarSet>
#include <QChart>
#include <QHorizontalBarSeries>
#include <QStackedBarSeries>
#include <QValueAxis>

#include <algorithm>

namespace tallyapp {

namespace {

QString textOf(const QVariant& value) {
    return value.isNull() ? QString() : value.toString().trimmed();
}

// A long period by day would be a comb of hairlines: months then.
constexpr int MaxDays = 62;

QValueAxis* valueAxis(const QString& title) {
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setLabelFormat(QStringLiteral("%.0f"));
    axis->setMin(0);
    return axis;
}

void byDay(QChart* chart, const desk::QueryGridModel& model, const Aggregation::ChartSpec& spec) {
    QDate firstDay, lastDay;
    for (int r = 0; r < model.rowCount(); ++r) {
        const QDate day = model.value(r, spec.categoryField).toDate();
        if (!day.isValid())
            continue;
        firstDay = firstDay.isValid() ? std::min(firstDay, day) : day;
        lastDay = lastDay.isValid() ? std::max(lastDay, day) : day;
    }
    const bool monthly = firstDay.isValid() && firstDay.daysTo(lastDay) >= MaxDays;
    const auto label = [monthly](const QDate& day) {
        return day.toString(monthly ? QStringLiteral("yyyy/M") : QStringLiteral("M/d"));
    };

    QStringList categories;
    QStringList seriesNames;
    QHash<QString, QHash<QString, double>> values; // series → category → value
    for (int r = 0; r < model.rowCount(); ++r) {
        const QDate day = model.value(r, spec.categoryField).toDate();
        const QString category = day.isValid() ? label(day) : textOf(model.value(r, spec.categoryField));
        const QString series = textOf(model.value(r, spec.seriesField));
        if (!categories.contains(category))
            categories << category;
        if (!seriesNames.contains(series))
            seriesNames << series;
        values[series][category] += model.value(r, spec.valueField).toDouble();
    }

    auto* series = new QStackedBarSeries;
    for (const QString& name : std::as_const(seriesNames)) {
        auto* set = new QBarSet(name.isEmpty() ? QStringLiteral("（区分なし）") : name);
        for (const QString& category : std::as_const(categories))
            *set << values[name].value(category);
        series->append(set);
    }
    chart->addSeries(series);
    auto* axisX = new QBarCategoryAxis;
    axisX->append(categories);
    chart->addAxis(axisX, Qt::AlignBottom);
    series->attachAxis(axisX);
    auto* axisY = valueAxis(spec.valueTitle);
    chart->addAxis(axisY, Qt::AlignLeft);
    series->attachAxis(axisY);
    chart->legend()->setVisible(seriesNames.size() > 1);
    chart->legend()->setAlignment(Qt::AlignBottom);
}

void byCategory(QChart* chart, const desk::QueryGridModel& model, const Aggregation::ChartSpec& spec) {
    struct Bar {
        QString name;
        double value;
    };
    QList<Bar> bars;
    for (int r = 0; r < model.rowCount(); ++r) {
        const QString name = textOf(model.value(r, spec.categoryField));
        const QString code = spec.fallbackField.isEmpty() ? QString() : textOf(model.value(r, spec.fallbackField));
        // Code and name together: two commodities may share a name, and a bar needs one.
        QString label = code.isEmpty() ? name : (name.isEmpty() ? code : code + QLatin1Char(' ') + name);
        if (label.isEmpty())
            label = QStringLiteral("（なし）");
        bars.append({label, model.value(r, spec.valueField).toDouble()});
    }
    if (bars.size() > MaxBars) {
        std::stable_sort(bars.begin(), bars.end(), [](const Bar& a, const Bar& b) { return a.value > b.value; });
        double rest = 0;
        for (int i = MaxBars - 1; i < bars.size(); ++i)
            rest += bars.at(i).value;
        bars.resize(MaxBars - 1);
        bars.append({QStringLiteral("その他"), rest});
    }

    auto* set = new QBarSet(spec.valueTitle);
    QStringList categories;
    // Horizontal bars list bottom-up: reversed, the first row stands on top.
    for (auto it = bars.crbegin(); it != bars.crend(); ++it) {
        categories << it->name;
        *set << it->value;
    }
    auto* series = new QHorizontalBarSeries;
    series->append(set);
    chart->addSeries(series);
    auto* axisY = new QBarCategoryAxis;
    axisY->append(categories);
    chart->addAxis(axisY, Qt::AlignLeft);
    series->attachAxis(axisY);
    auto* axisX = valueAxis(spec.valueTitle);
    chart->addAxis(axisX, Qt::AlignBottom);
    series->attachAxis(axisX);
    chart->legend()->setVisible(false);
}

} // namespace

QChart* buildChart(const desk::QueryGridModel& model, int kind) {
    auto* chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setTitle(Aggregation::reportTitle(kind));
    const Aggregation::ChartSpec spec = Aggregation::chartSpec(kind);
    if (spec.seriesField.isEmpty())
        byCategory(chart, model, spec);
    else
        byDay(chart, model, spec);
    return chart;
}

namespace {

// Draws the chart into target, laid out at the size it is drawn at.
void renderChart(QPainter* painter, const desk::QueryGridModel& model, int kind, const QRectF& target,
                 const QSizeF& layoutSize) {
    QGraphicsScene scene;
    QChart* chart = buildChart(model, kind);
    scene.addItem(chart); // the scene owns it now
    chart->resize(layoutSize);
    chart->layout()->activate();
    scene.setSceneRect(QRectF(QPointF(0, 0), layoutSize));
    scene.render(painter, target, scene.sceneRect());
}

} // namespace

QImage chartImage(const desk::QueryGridModel& model, int kind, const QSize& size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderChart(&painter, model, kind, QRectF(QPointF(0, 0), QSizeF(size)), QSizeF(size));
    return image;
}

void paintChartPage(QPagedPaintDevice* device, const desk::QueryGridModel& model, int kind, const QDate& first,
                    const QDate& last, const QString& companyName) {
    QPainter painter(device);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF page = painter.viewport();
    const double mm = device->logicalDpiX() / 25.4;

    QFont font(desk::Report::fontFamily());
    font.setPointSizeF(11);
    painter.setFont(font);
    const double line = painter.fontMetrics().height() * 1.3;
    painter.drawText(QRectF(0, 0, page.width(), line), Qt::AlignLeft | Qt::AlignVCenter, companyName);
    font.setPointSizeF(16);
    font.setBold(true);
    painter.setFont(font);
    const double titleHeight = painter.fontMetrics().height() * 1.3;
    painter.drawText(QRectF(0, line, page.width(), titleHeight), Qt::AlignCenter, Aggregation::reportTitle(kind));
    font.setPointSizeF(10);
    font.setBold(false);
    painter.setFont(font);
    const double top = line + titleHeight;
    painter.drawText(QRectF(0, top, page.width(), line), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("集計開始日 ") + desk::convert::shortDateText(first) +
                         QStringLiteral("　集計終了日 ") + desk::convert::shortDateText(last));
    painter.drawLine(QPointF(0, top + line), QPointF(page.width(), top + line));

    const QRectF area(0, top + line + 4 * mm, page.width(), page.height() - top - line - 4 * mm);
    // Laid out as on a screen of this shape, then scaled to the paper.
    const QSizeF layoutSize(1200.0, 1200.0 * area.height() / area.width());
    renderChart(&painter, model, kind, area, layoutSize);
}

} // namespace tallyapp
