#include "RackSheets.h"

#include "convert/Holidays.h"
#include "report/Report.h"

#include <QLocale>
#include <QPageSize>

#include <algorithm>

namespace rackapp {

using roomrack::RackRoom;
using roomrack::RackStay;

namespace {

constexpr double margin = 10.0;

// Writes items page by page; every page starts with the heading the sheet draws.
class Sheet {
public:
    Sheet(const QString& title, QPageSize::PageSizeId size, QPageLayout::Orientation orientation) {
        m_doc.title = title;
        m_doc.pageLayout = QPageLayout(QPageSize(size), orientation, QMarginsF(margin, margin, margin, margin),
                                       QPageLayout::Millimeter);
    }

    double width() const { return m_doc.pageLayout.paintRect(QPageLayout::Millimeter).width(); }
    double height() const { return m_doc.pageLayout.paintRect(QPageLayout::Millimeter).height(); }
    int page() const { return m_doc.pageCount; }
    void setFileName(const QString& name) { m_doc.fileName = name; }

    void newPage() { ++m_doc.pageCount; }

    desk::ReportItem& text(const QString& control, const QRectF& rect, const QString& text, double size = 9.0,
                           Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter, bool bold = false) {
        desk::ReportItem item;
        item.kind = desk::ReportItem::Kind::Text;
        item.page = m_doc.pageCount;
        item.control = control;
        item.text = text;
        item.rect = rect;
        item.fontSize = size;
        item.alignment = alignment;
        item.bold = bold;
        m_doc.items << item;
        return m_doc.items.last();
    }

    void line(const QString& control, const QLineF& line, double width = 0.2) {
        desk::ReportItem item;
        item.kind = desk::ReportItem::Kind::Line;
        item.page = m_doc.pageCount;
        item.control = control;
        item.line = line;
        item.lineWidth = width;
        m_doc.items << item;
    }

    void frame(const QString& control, const QRectF& r, double width) {
        line(control, {r.topLeft(), r.topRight()}, width);
        line(control, {r.topRight(), r.bottomRight()}, width);
        line(control, {r.bottomRight(), r.bottomLeft()}, width);
        line(control, {r.bottomLeft(), r.topLeft()}, width);
    }

    // The page numbers, once every page is known.
    desk::ReportDocument finish() {
        for (int p = 1; p <= m_doc.pageCount; ++p) {
            desk::ReportItem item;
            item.page = p;
            item.control = QStringLiteral("PageNo");
            item.text = QStringLiteral("%1 / %2").arg(p).arg(m_doc.pageCount);
            item.rect = QRectF(0, height() - 5, width(), 5);
            item.alignment = Qt::AlignHCenter | Qt::AlignVCenter;
            item.fontSize = 8.0;
            m_doc.items << item;
        }
        return m_doc;
    }

private:
    desk::ReportDocument m_doc;
};

QString weekdayText(const QDate& date) {
    return QLocale(QLocale::Japanese).dayName(date.dayOfWeek(), QLocale::ShortFormat);
}

QString barText(const RackStay& stay) {
    QString text = stay.guest.isEmpty() ? QStringLiteral("(名前なし)") : stay.guest;
    if (stay.guests > 0) {
        text += QStringLiteral(" %1名").arg(stay.guests);
    }
    if (!stay.plan.isEmpty()) {
        text += QLatin1Char(' ') + stay.plan;
    }
    return text;
}

QString roomText(const RackRoom& room) {
    return room.name.isEmpty() ? room.code : room.code + QLatin1Char(' ') + room.name;
}

bool showsOn(const RackStay& stay, const QDate& first, const QDate& last) {
    return stay.lastNight() >= first && stay.firstNight <= last;
}

// Unassigned stays packed into as few lanes as their nights allow, as the rack does.
QList<QList<RackStay>> lanesOf(const QList<RackStay>& stays, const QDate& first, const QDate& last) {
    QList<RackStay> unassigned;
    for (const RackStay& stay : stays) {
        if (stay.room.isEmpty() && showsOn(stay, first, last)) {
            unassigned << stay;
        }
    }
    std::sort(unassigned.begin(), unassigned.end(), [](const RackStay& a, const RackStay& b) {
        return a.firstNight != b.firstNight ? a.firstNight < b.firstNight : a.id < b.id;
    });
    QList<QList<RackStay>> lanes;
    for (const RackStay& stay : unassigned) {
        auto lane = std::find_if(lanes.begin(), lanes.end(),
                                 [&](const QList<RackStay>& l) { return l.constLast().lastNight() < stay.firstNight; });
        if (lane == lanes.end()) {
            lanes.append(QList<RackStay>{stay});
        } else {
            lane->append(stay);
        }
    }
    if (lanes.isEmpty()) {
        lanes.append(QList<RackStay>{});
    }
    return lanes;
}

} // namespace

desk::ReportDocument rackSheet(const QList<RackRoom>& rooms, const QList<RackStay>& stays, const QDate& firstDay,
                               int days, const QString& innName, const QDate& printDate) {
    Sheet sheet(QStringLiteral("部屋割表"), QPageSize::A3, QPageLayout::Landscape);
    const QDate lastDay = firstDay.addDays(days - 1);
    sheet.setFileName(
        QStringLiteral("部屋割表_%1_%2")
            .arg(firstDay.toString(QStringLiteral("yyyyMMdd")), lastDay.toString(QStringLiteral("yyyyMMdd"))));
    const double w = sheet.width();
    const double h = sheet.height();
    const double roomWidth = 34.0;
    const double dayWidth = (w - roomWidth) / std::max(1, days);
    const double headTop = 12.0;
    const double headHeight = 10.0;
    const double bodyTop = headTop + headHeight;
    const double bottom = h - 12.0; // the legend and the page number below
    const double rowHeight = 7.5;
    const double floorHeight = 5.0;
    const auto dayX = [&](const QDate& date) {
        return roomWidth + double(firstDay.daysTo(date)) * dayWidth;
    };

    const auto heading = [&] {
        sheet.newPage();
        sheet.text(QStringLiteral("Title"), {0, 0, 60, 9}, QStringLiteral("部屋割表"), 16,
                   Qt::AlignLeft | Qt::AlignVCenter, true);
        sheet.text(QStringLiteral("Period"), {62, 0, 120, 9},
                   QStringLiteral("%1 〜 %2 (%3泊)")
                       .arg(desk::Report::longDateText(firstDay), desk::Report::longDateText(lastDay))
                       .arg(days),
                   10);
        sheet.text(QStringLiteral("InnName"), {w - 200, 0, 140, 9}, innName, 10, Qt::AlignRight | Qt::AlignVCenter);
        sheet.text(QStringLiteral("PrintDate"), {w - 58, 0, 58, 9},
                   QStringLiteral("印刷日 ") + desk::Report::shortDateText(printDate), 8,
                   Qt::AlignRight | Qt::AlignVCenter);
        sheet.text(QStringLiteral("RoomHead"), {1, headTop, roomWidth - 2, headHeight}, QStringLiteral("部屋"), 9,
                   Qt::AlignLeft | Qt::AlignVCenter, true);
        for (int d = 0; d < days; ++d) {
            const QDate date = firstDay.addDays(d);
            const QString holiday = desk::convert::holidayName(date);
            const bool restDay = date.dayOfWeek() >= Qt::Saturday || !holiday.isEmpty();
            const QString number =
                d == 0 || date.day() == 1 ? date.toString(QStringLiteral("M/d")) : QString::number(date.day());
            const double x = dayX(date);
            sheet.text(QStringLiteral("Day"), {x, headTop, dayWidth, headHeight / 2}, number, 8,
                       Qt::AlignHCenter | Qt::AlignVCenter, restDay);
            sheet.text(QStringLiteral("Weekday"), {x, headTop + headHeight / 2, dayWidth, headHeight / 2},
                       holiday.isEmpty() ? weekdayText(date) : QStringLiteral("祝"), 7,
                       Qt::AlignHCenter | Qt::AlignVCenter, restDay);
            if (date == printDate) {
                // Today: its column framed heavy from the heading down.
                sheet.frame(QStringLiteral("Today"), {x, headTop, dayWidth, headHeight}, 0.6);
            }
        }
        sheet.line(QStringLiteral("Rule"), {0, headTop, w, headTop}, 0.4);
        sheet.line(QStringLiteral("Rule"), {0, bodyTop, w, bodyTop}, 0.4);
        sheet.text(QStringLiteral("Legend"), {0, h - 11, w, 5},
                   QStringLiteral("枠: 予約　太枠: 滞在中　細枠: チェックアウト済　祝: 祝日"), 7);
    };

    // The rows in order: lanes, then floors and rooms.
    struct Row {
        enum Kind { Lane, Floor, Room } kind;
        QString label;
        QString room;
        QList<RackStay> stays;
        bool outOfService = false;
    };
    QList<Row> rows;
    const QList<QList<RackStay>> lanes = lanesOf(stays, firstDay, lastDay);
    for (qsizetype l = 0; l < lanes.size(); ++l) {
        rows << Row{Row::Lane, l == 0 ? QStringLiteral("未割当") : QString(), {}, lanes.at(l), false};
    }
    QString floor;
    for (qsizetype r = 0; r < rooms.size(); ++r) {
        const RackRoom& room = rooms.at(r);
        if (r == 0 || room.floor != floor) {
            floor = room.floor;
            rows << Row{Row::Floor, floor.isEmpty() ? QStringLiteral("(階なし)") : floor, {}, {}, false};
        }
        QList<RackStay> own;
        for (const RackStay& stay : stays) {
            if (stay.room == room.code && showsOn(stay, firstDay, lastDay)) {
                own << stay;
            }
        }
        rows << Row{Row::Room, roomText(room), room.code, own, !room.inService};
    }

    double y = 0;
    double pageTop = bodyTop;
    const auto closePage = [&] {
        // The day columns over the rows of the page.
        for (int d = 0; d <= days; ++d) {
            const double x = roomWidth + d * dayWidth;
            sheet.line(QStringLiteral("Grid"), {x, headTop, x, y}, 0.1);
        }
        if (const qint64 today = firstDay.daysTo(printDate); today >= 0 && today < days) {
            const double x = roomWidth + double(today) * dayWidth;
            sheet.line(QStringLiteral("Today"), {x, bodyTop, x, y}, 0.6);
            sheet.line(QStringLiteral("Today"), {x + dayWidth, bodyTop, x + dayWidth, y}, 0.6);
        }
        sheet.line(QStringLiteral("Rule"), {0, y, w, y}, 0.4);
    };
    heading();
    y = pageTop;
    for (const Row& row : rows) {
        const double height = row.kind == Row::Floor ? floorHeight : rowHeight;
        if (y + height > bottom) {
            closePage();
            heading();
            y = bodyTop;
        }
        if (row.kind == Row::Floor) {
            sheet.text(QStringLiteral("Floor"), {1, y, w - 2, height}, row.label, 8, Qt::AlignLeft | Qt::AlignVCenter,
                       true);
        } else {
            sheet.text(row.kind == Row::Lane ? QStringLiteral("Lane") : QStringLiteral("Room"),
                       {1, y, roomWidth - 2, height}, row.label, 9);
            if (row.outOfService) {
                sheet.text(QStringLiteral("OutOfService"), {roomWidth, y, w - roomWidth, height},
                           QStringLiteral("修理中（使用停止）"), 8, Qt::AlignHCenter | Qt::AlignVCenter);
            }
            for (const RackStay& stay : row.stays) {
                const QDate from = std::max(stay.firstNight, firstDay);
                const QDate to = std::min(stay.lastNight(), lastDay);
                const QRectF bar(dayX(from) + 0.6, y + 0.8, double(from.daysTo(to) + 1) * dayWidth - 1.2, height - 1.6);
                const double frameWidth = stay.state == RackStay::InHouse      ? 0.6
                                          : stay.state == RackStay::CheckedOut ? 0.1
                                                                               : 0.3;
                sheet.frame(QStringLiteral("Bar"), bar, frameWidth);
                sheet.text(QStringLiteral("Stay"), bar.adjusted(0.8, 0, -0.8, 0), barText(stay), 8);
            }
        }
        y += height;
        sheet.line(QStringLiteral("Grid"), {0, y, w, y}, 0.1);
    }
    closePage();
    return sheet.finish();
}

desk::ReportDocument dayList(const QList<RackRoom>& rooms, const QList<RackStay>& stays,
                             const QHash<qint64, StayNotes>& notes, const QDate& night, const QString& innName,
                             const QDate& printDate) {
    Sheet sheet(QStringLiteral("本日の部屋割"), QPageSize::A4, QPageLayout::Portrait);
    sheet.setFileName(QStringLiteral("本日の部屋割_%1").arg(night.toString(QStringLiteral("yyyyMMdd"))));
    const double w = sheet.width();
    const double h = sheet.height();
    struct Column {
        QString heading;
        double width;
        Qt::Alignment alignment;
    };
    const QList<Column> columns{
        {QStringLiteral("部屋"), 26, Qt::AlignLeft},   {QStringLiteral("お客様名"), 42, Qt::AlignLeft},
        {QStringLiteral("人数"), 11, Qt::AlignRight},  {QStringLiteral("到着時刻"), 17, Qt::AlignHCenter},
        {QStringLiteral("プラン"), 32, Qt::AlignLeft}, {QStringLiteral("備考"), 0, Qt::AlignLeft},
    };
    QList<double> lefts;
    double left = 0;
    for (const Column& column : columns) {
        lefts << left;
        left += column.width;
    }
    const double remarksWidth = w - lefts.constLast();
    const auto widthOf = [&](qsizetype c) {
        return columns.at(c).width > 0 ? columns.at(c).width : remarksWidth;
    };
    const double rowHeight = 8.0;
    const double headTop = 18.0;
    const double bodyTop = headTop + 7.0;
    const double bottom = h - 8.0;

    const auto heading = [&] {
        sheet.newPage();
        sheet.text(QStringLiteral("Title"), {0, 0, 70, 9}, QStringLiteral("本日の部屋割"), 16,
                   Qt::AlignLeft | Qt::AlignVCenter, true);
        sheet.text(QStringLiteral("Night"), {0, 9, 110, 7},
                   QStringLiteral("%1（%2）の夜").arg(desk::Report::longDateText(night), weekdayText(night)), 10);
        sheet.text(QStringLiteral("InnName"), {w - 90, 0, 90, 7}, innName, 10, Qt::AlignRight | Qt::AlignVCenter);
        sheet.text(QStringLiteral("PrintDate"), {w - 60, 9, 60, 7},
                   QStringLiteral("印刷日 ") + desk::Report::shortDateText(printDate), 8,
                   Qt::AlignRight | Qt::AlignVCenter);
        for (qsizetype c = 0; c < columns.size(); ++c) {
            sheet.text(QStringLiteral("Head%1").arg(c + 1), {lefts.at(c) + 1, headTop, widthOf(c) - 2, 7},
                       columns.at(c).heading, 9, columns.at(c).alignment | Qt::AlignVCenter, true);
        }
        sheet.line(QStringLiteral("Rule"), {0, bodyTop, w, bodyTop}, 0.4);
    };

    // Each room with the party of the night, then the parties without a room.
    struct Line {
        QString room;
        std::optional<RackStay> stay;
        bool outOfService = false;
    };
    QList<Line> lines;
    for (const RackRoom& room : rooms) {
        Line line{roomText(room), std::nullopt, !room.inService};
        for (const RackStay& stay : stays) {
            if (stay.room == room.code && stay.covers(night)) {
                line.stay = stay;
            }
        }
        lines << line;
    }
    for (const RackStay& stay : stays) {
        if (stay.room.isEmpty() && stay.covers(night)) {
            lines << Line{QStringLiteral("未割当"), stay, false};
        }
    }

    heading();
    double y = bodyTop;
    int rowNo = 0;
    for (const Line& line : lines) {
        if (y + rowHeight > bottom) {
            heading();
            y = bodyTop;
        }
        QStringList cells{line.room, QString(), QString(), QString(), QString(), QString()};
        if (line.stay) {
            const StayNotes note = notes.value(line.stay->id);
            cells[1] = line.stay->guest + QStringLiteral(" 様");
            cells[2] = line.stay->guests > 0 ? QStringLiteral("%1名").arg(line.stay->guests) : QString();
            cells[3] = note.arrivalTime;
            cells[4] = line.stay->plan;
            cells[5] = note.remarks;
            if (line.stay->firstNight != night) {
                cells[3] = QStringLiteral("連泊");
            }
        } else if (line.outOfService) {
            cells[1] = QStringLiteral("修理中");
        }
        for (qsizetype c = 0; c < columns.size(); ++c) {
            desk::ReportItem& item =
                sheet.text(QStringLiteral("Text%1").arg(c + 1), {lefts.at(c) + 1, y, widthOf(c) - 2, rowHeight},
                           cells.at(c), 9, columns.at(c).alignment | Qt::AlignVCenter, c == 0);
            item.row = rowNo;
        }
        y += rowHeight;
        sheet.line(QStringLiteral("Grid"), {0, y, w, y}, 0.1);
        ++rowNo;
    }
    return sheet.finish();
}

} // namespace rackapp
