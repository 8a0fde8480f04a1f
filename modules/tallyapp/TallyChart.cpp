#include "TallyChart.h"

#include "Aggregation.h"
#include "ui/QueryGridModel.h"

#include "convert/Convert.h"
#include "report/PdfText.h"
#include "report/Report.h"
#include "report/TextFit.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QCursor>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QHorizontalBarSeries>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QScopeGuard>
#include <QSet>
#include <QStackedBarSeries>
#include <QToolTip>
#include <QValueAxis>

#include <algorithm>
#include <limits>

namespace tallyapp {

namespace {

QString textOf(const QVariant& value) {
    return value.isNull() ? QString() : value.toString().trimmed();
}

// A long period by day would be a comb of hairlines: months then.
constexpr int MaxDays = 62;

// The category axis keeps the names its labels stand for.
constexpr auto FullNamesProperty = "tallyFullNames";

// Room for the names beside horizontal bars: a share of the chart's width, so that the
// axis never cuts a label itself, and never less than a few characters.
double labelRoom(const QFont& font, double chartWidth) {
    const double minimum = QFontMetricsF(font).horizontalAdvance(QStringLiteral("商品名…")) + 2.0;
    return std::max(minimum, chartWidth * 0.28);
}

QString amountText(double value) {
    return desk::convert::formatValue(value, desk::convert::AmountFormat);
}

// A bar's tooltip: the category's full name, the set's name where several are stacked,
// and the value.
void showBarTips(QAbstractBarSeries* series, const QStringList& names, const QString& valueTitle, bool namedSets) {
    QObject::connect(series, &QAbstractBarSeries::hovered, series,
                     [names, valueTitle, namedSets](bool status, int index, QBarSet* set) {
                         if (!status) {
                             QToolTip::hideText();
                             return;
                         }
                         QString tip = names.value(index);
                         if (namedSets)
                             tip += QLatin1Char('\n') + set->label();
                         tip += QLatin1Char('\n') + valueTitle + QStringLiteral("　") + amountText(set->at(index));
                         QToolTip::showText(QCursor::pos(), tip);
                     });
}

// Labels in the family of the printed reports: one font for Japanese and digits alike,
// where the default font would mix fallbacks of different sizes on one label.
QFont inReportFamily(QFont font) {
    font.setFamily(desk::Report::fontFamily());
    return font;
}

void useReportFont(QAbstractAxis* axis) {
    axis->setLabelsFont(inReportFamily(axis->labelsFont()));
    axis->setTitleFont(inReportFamily(axis->titleFont()));
}

QValueAxis* valueAxis(const QString& title) {
    auto* axis = new QValueAxis;
    useReportFont(axis);
    axis->setTitleText(title);
    axis->setLabelFormat(QStringLiteral("%.0f"));
    axis->setMin(0);
    return axis;
}

// The day of a row: a date, or a day worded as the literal rows of a store word it.
QDate dayOf(const QVariant& value) {
    const QDate day = value.toDate();
    return day.isValid() ? day : QDate::fromString(textOf(value), QStringLiteral("yyyy/MM/dd"));
}

void byDay(QChart* chart, const desk::QueryGridModel& model, const Aggregation::ChartFields& fields) {
    QDate firstDay, lastDay;
    for (int r = 0; r < model.rowCount(); ++r) {
        const QDate day = fields.dailyRates ? dayOf(model.value(r, fields.categoryField))
                                            : model.value(r, fields.categoryField).toDate();
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
    QHash<QString, int> daysIn;                    // category → days summed in it (rates)
    for (int r = 0; r < model.rowCount(); ++r) {
        const QDate day = fields.dailyRates ? dayOf(model.value(r, fields.categoryField))
                                            : model.value(r, fields.categoryField).toDate();
        // The period's own line is no day of the chart.
        if (fields.dailyRates && !day.isValid())
            continue;
        const QString category = day.isValid() ? label(day) : textOf(model.value(r, fields.categoryField));
        const QString series = textOf(model.value(r, fields.seriesField));
        if (!categories.contains(category))
            categories << category;
        if (!seriesNames.contains(series))
            seriesNames << series;
        values[series][category] += model.value(r, fields.valueField).toDouble();
        ++daysIn[category];
    }
    // A month's bar of rates is their mean, never their sum.
    if (fields.dailyRates) {
        for (auto& perCategory : values) {
            for (auto it = perCategory.begin(); it != perCategory.end(); ++it)
                it.value() /= std::max(1, daysIn.value(it.key()));
        }
    }

    auto* series = new QStackedBarSeries;
    for (const QString& name : std::as_const(seriesNames)) {
        auto* set = new QBarSet(!name.isEmpty()                ? name
                                : fields.seriesField.isEmpty() ? fields.valueTitle
                                                               : QStringLiteral("（区分なし）"));
        for (const QString& category : std::as_const(categories))
            *set << values[name].value(category);
        series->append(set);
    }
    chart->addSeries(series);
    showBarTips(series, categories, fields.valueTitle, true);
    auto* axisX = new QBarCategoryAxis;
    useReportFont(axisX);
    axisX->append(categories);
    chart->addAxis(axisX, Qt::AlignBottom);
    series->attachAxis(axisX);
    auto* axisY = valueAxis(fields.valueTitle);
    chart->addAxis(axisY, Qt::AlignLeft);
    series->attachAxis(axisY);
    // Rates in percent: the whole scale, also over nights with none sold.
    if (fields.dailyRates)
        axisY->setRange(0, 100);
    else
        axisY->applyNiceNumbers();
    chart->legend()->setVisible(seriesNames.size() > 1);
    chart->legend()->setAlignment(Qt::AlignBottom);
}

void byCategory(QChart* chart, const desk::QueryGridModel& model, const Aggregation::ChartFields& fields) {
    struct Bar {
        QString name;
        double value;
    };
    QList<Bar> bars;
    for (int r = 0; r < model.rowCount(); ++r) {
        const QString name = textOf(model.value(r, fields.categoryField));
        const QString code = fields.fallbackField.isEmpty() ? QString() : textOf(model.value(r, fields.fallbackField));
        // Code and name together: two commodities may share a name, and a bar needs one.
        QString label = code.isEmpty() ? name : (name.isEmpty() ? code : code + QLatin1Char(' ') + name);
        if (label.isEmpty())
            label = QStringLiteral("（なし）");
        bars.append({label, model.value(r, fields.valueField).toDouble()});
    }
    if (bars.size() > MaxBars) {
        std::stable_sort(bars.begin(), bars.end(), [](const Bar& a, const Bar& b) { return a.value > b.value; });
        double rest = 0;
        for (int i = MaxBars - 1; i < bars.size(); ++i)
            rest += bars.at(i).value;
        bars.resize(MaxBars - 1);
        bars.append({QStringLiteral("その他"), rest});
    }

    auto* set = new QBarSet(fields.valueTitle);
    QStringList categories;
    // Horizontal bars list bottom-up: reversed, the first row stands on top.
    for (auto it = bars.crbegin(); it != bars.crend(); ++it) {
        categories << it->name;
        *set << it->value;
    }
    auto* series = new QHorizontalBarSeries;
    series->append(set);
    chart->addSeries(series);
    showBarTips(series, categories, fields.valueTitle, false);
    auto* axisY = new QBarCategoryAxis;
    useReportFont(axisY);
    // Whole names until the chart has a size; shortened to its width from then on.
    axisY->append(chartLabels(categories, axisY->labelsFont(), std::numeric_limits<double>::max()));
    axisY->setProperty(FullNamesProperty, categories);
    QObject::connect(chart, &QGraphicsWidget::geometryChanged, axisY, [chart, axisY, categories] {
        const double width = chart->size().width();
        if (width <= 0.0)
            return;
        const QStringList labels = chartLabels(categories, axisY->labelsFont(), labelRoom(axisY->labelsFont(), width));
        if (labels != axisY->categories())
            axisY->setCategories(labels);
    });
    chart->addAxis(axisY, Qt::AlignLeft);
    series->attachAxis(axisY);
    auto* axisX = valueAxis(fields.valueTitle);
    chart->addAxis(axisX, Qt::AlignBottom);
    series->attachAxis(axisX);
    axisX->applyNiceNumbers();
    chart->legend()->setVisible(false);
}

// An empty result has nothing to scale the axes by: no bars, a note in the middle instead.
void emptyNote(QChart* chart) {
    auto* note = new QGraphicsSimpleTextItem(emptyChartNote(), chart);
    QFont font = inReportFamily(chart->titleFont());
    font.setBold(false);
    note->setFont(font);
    const auto centre = [chart, note] {
        const QRectF box = note->boundingRect();
        const QRectF area = chart->plotArea().isEmpty() ? chart->rect() : chart->plotArea();
        note->setPos(area.center() - box.center());
    };
    QObject::connect(chart, &QGraphicsWidget::geometryChanged, chart, centre);
    QObject::connect(chart, &QChart::plotAreaChanged, chart, centre);
    centre();
}

} // namespace

QString emptyChartNote() {
    return QStringLiteral("この期間に集計するデータはありません。");
}

QChart* buildChart(const desk::QueryGridModel& model, int kind) {
    auto* chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    // Amounts on the value axis as everywhere else: in the locale's form, "27,500".
    chart->setLocalizeNumbers(true);
    chart->setTitle(Aggregation::reportTitle(kind));
    chart->setTitleFont(inReportFamily(chart->titleFont()));
    chart->legend()->setFont(inReportFamily(chart->legend()->font()));
    const Aggregation::ChartFields fields = Aggregation::chartFields(kind);
    if (model.rowCount() == 0) {
        chart->legend()->setVisible(false);
        emptyNote(chart);
    } else if (fields.seriesField.isEmpty() && !fields.dailyRates)
        byCategory(chart, model, fields);
    else
        byDay(chart, model, fields);
    return chart;
}

QStringList chartLabels(const QStringList& names, const QFont& font, double maxWidth) {
    const QFontMetricsF metrics(font);
    QStringList labels;
    QSet<QString> taken;
    for (const QString& name : names) {
        QString label = metrics.horizontalAdvance(name) <= maxWidth
                            ? name
                            : metrics.elidedText(name, Qt::ElideRight, std::max(0.0, maxWidth));
        if (label.isEmpty() || label == QStringLiteral("…"))
            label = name.left(1) + QStringLiteral("…");
        // Two names shortened alike (or a name like "その他") would be one category.
        for (int n = 2; taken.contains(label); ++n)
            label =
                metrics.elidedText(name, Qt::ElideRight,
                                   std::max(0.0, maxWidth) - metrics.horizontalAdvance(QStringLiteral("(%1)").arg(n))) +
                QStringLiteral("(%1)").arg(n);
        taken.insert(label);
        labels << label;
    }
    return labels;
}

QList<ShortenedLabel> shortenedLabels(const QChart* chart) {
    QList<ShortenedLabel> shortened;
    for (QAbstractAxis* axis : chart->axes()) {
        auto* categories = qobject_cast<QBarCategoryAxis*>(axis);
        if (!categories)
            continue;
        const QStringList names = categories->property(FullNamesProperty).toStringList();
        const QStringList shown = categories->categories();
        // Listed top-down, as the bars stand.
        for (qsizetype i = std::min(names.size(), shown.size()) - 1; i >= 0; --i) {
            if (shown.at(i) != names.at(i))
                shortened.append({shown.at(i), names.at(i)});
        }
    }
    return shortened;
}

namespace {

// The chart laid out at the size it is drawn at, in a scene that owns it.
QChart* layOutChart(QGraphicsScene& scene, const desk::QueryGridModel& model, int kind, const QSizeF& layoutSize) {
    QChart* chart = buildChart(model, kind);
    scene.addItem(chart);
    chart->resize(layoutSize);
    chart->layout()->activate();
    scene.setSceneRect(QRectF(QPointF(0, 0), layoutSize));
    return chart;
}

// Under a chart, the full name of every shortened label, in two columns when many; a
// heading line first. Drawn in the painter's font, each line fitted to its column.
int keyColumns(const QList<ShortenedLabel>& shortened) {
    return shortened.size() > 6 ? 2 : 1;
}

int keyRows(const QList<ShortenedLabel>& shortened) {
    return int((shortened.size() + keyColumns(shortened) - 1) / keyColumns(shortened));
}

double keyHeight(const QList<ShortenedLabel>& shortened, double keyLine) {
    return shortened.isEmpty() ? 0.0 : keyLine * (keyRows(shortened) + 1);
}

void drawKey(QPainter& painter, const QList<ShortenedLabel>& shortened, const QRectF& box, double keyLine) {
    if (shortened.isEmpty())
        return;
    painter.drawText(QRectF(box.left(), box.top(), box.width(), keyLine), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("※ 省略した名前"));
    const int rows = keyRows(shortened);
    const double columnWidth = box.width() / keyColumns(shortened);
    const double gap = keyLine; // between the two columns
    for (qsizetype i = 0; i < shortened.size(); ++i) {
        const QRectF line(box.left() + columnWidth * double(i / rows), box.top() + keyLine * double(i % rows + 1),
                          columnWidth - gap, keyLine);
        const QString text = shortened.at(i).shown + QStringLiteral("　＝　") + shortened.at(i).name;
        const desk::FittedText fitted =
            desk::fitText(text, painter.font(), line.size(), Qt::AlignLeft | Qt::AlignVCenter, painter.device());
        painter.save();
        painter.setFont(fitted.font);
        painter.drawText(line, fitted.flags, fitted.text);
        painter.restore();
    }
}

// Draws the chart laid out at layoutSize into target, and the key of shortened names in
// keyFont under it; the key's room comes off the chart's height. The labels follow the
// width alone, so the names shortened are known before the chart's height is.
void renderWithKey(QPainter& painter, const desk::QueryGridModel& model, int kind, const QRectF& target,
                   double layoutWidth, const QFont& keyFont) {
    QGraphicsScene scene;
    QChart* chart =
        layOutChart(scene, model, kind, QSizeF(layoutWidth, layoutWidth * target.height() / target.width()));
    const QList<ShortenedLabel> shortened = shortenedLabels(chart);
    painter.save();
    painter.setFont(keyFont);
    const double keyLine = QFontMetricsF(keyFont, painter.device()).height() * 1.25;
    const double keyRoom = shortened.isEmpty() ? 0.0 : keyHeight(shortened, keyLine) + keyLine / 2;
    const QRectF area(target.left(), target.top(), target.width(), target.height() - keyRoom);
    const QSizeF layoutSize(layoutWidth, layoutWidth * area.height() / area.width());
    chart->resize(layoutSize);
    chart->layout()->activate();
    scene.setSceneRect(QRectF(QPointF(0, 0), layoutSize));
    scene.render(&painter, area, scene.sceneRect());
    const double margin = shortened.isEmpty() ? 0.0 : keyLine;
    drawKey(painter, shortened,
            QRectF(area.left() + margin, area.bottom() + keyLine / 2, area.width() - 2 * margin, keyRoom), keyLine);
    painter.restore();
}

} // namespace

QImage chartImage(const desk::QueryGridModel& model, int kind, const QSize& size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont keyFont(desk::Report::fontFamily());
    keyFont.setPointSizeF(9);
    renderWithKey(painter, model, kind, QRectF(QPointF(0, 0), QSizeF(size)), size.width(), keyFont);
    return image;
}

void paintChartPage(QPagedPaintDevice* device, const desk::QueryGridModel& model, int kind, const QDate& first,
                    const QDate& last, const QString& companyName) {
    QPainter painter(device);
    // A printer that prints to a file has written it once the painter has ended.
    const auto mendWrittenFile = qScopeGuard([&painter, device] {
        painter.end();
        desk::mendPrintedFile(device);
    });
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF page = painter.viewport();
    const double mm = device->logicalDpiX() / 25.4;

    QFont font = desk::reportFont();
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

    // Laid out as on a screen 1200 wide, then scaled to the paper.
    const double chartTop = top + line + 4 * mm;
    font.setPointSizeF(9);
    renderWithKey(painter, model, kind, QRectF(0, chartTop, page.width(), page.height() - chartTop), 1200.0, font);
}

} // namespace tallyapp
