#include "roomrack/RoomRackView.h"

#include "convert/Holidays.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>

namespace roomrack {

namespace {

constexpr int minDayWidth = 46;
constexpr int resizeGrip = 6;

const QColor saturdayColor(0x1f, 0x5f, 0xc8);
const QColor holidayColor(0xc8, 0x20, 0x20);
const QColor saturdayFill(0xeb, 0xf2, 0xff);
const QColor holidayFill(0xff, 0xec, 0xec);
const QColor todayFill(0xff, 0xf6, 0xc8);
const QColor gridColor(0xd0, 0xd0, 0xd0);
const QColor floorFill(0xe4, 0xe8, 0xee);
const QColor laneFill(0xf6, 0xf3, 0xea);

struct BarColors {
    QColor fill;
    QColor border;
};

BarColors barColors(RackStay::State state) {
    switch (state) {
    case RackStay::InHouse:
        return {QColor(0xc6, 0xea, 0xc6), QColor(0x2e, 0x8b, 0x2e)};
    case RackStay::CheckedOut:
        return {QColor(0xe2, 0xe2, 0xe2), QColor(0x8a, 0x8a, 0x8a)};
    case RackStay::Reserved:
        break;
    }
    return {QColor(0xcc, 0xe0, 0xff), QColor(0x3a, 0x6e, 0xc8)};
}

QString stateText(RackStay::State state) {
    switch (state) {
    case RackStay::InHouse:
        return QStringLiteral("滞在中");
    case RackStay::CheckedOut:
        return QStringLiteral("チェックアウト済");
    case RackStay::Reserved:
        break;
    }
    return QStringLiteral("予約");
}

} // namespace

RoomRackView::RoomRackView(QWidget* parent)
    : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    m_cursorDate = QDate::currentDate();
    m_anchorDate = m_cursorDate;
}

void RoomRackView::setModel(RoomRackModel* model) {
    if (m_model) {
        disconnect(m_model, nullptr, this, nullptr);
    }
    m_model = model;
    if (m_model) {
        connect(m_model, &RoomRackModel::changed, this, &RoomRackView::relayout);
        m_cursorDate = m_model->firstDay();
        m_anchorDate = m_cursorDate;
        m_cursorRoomCode.clear();
        for (const RackRoom& room : m_model->rooms()) {
            m_cursorRoomCode = room.code;
            break;
        }
    }
    relayout();
}

QSize RoomRackView::sizeHint() const {
    return {m_roomWidth + 14 * minDayWidth + 4, m_headerHeight + m_contentHeight + 4};
}

// Rows and the lanes of the unassigned stays, the days' colours; on every change of the model.
void RoomRackView::relayout() {
    const QFontMetrics metrics(font());
    const int line = metrics.height();
    m_headerHeight = 2 * line + 8;
    m_roomWidth = metrics.horizontalAdvance(QStringLiteral("0000 あいうえおか")) + 12;
    m_rows.clear();
    m_laneOf.clear();
    m_dates.clear();
    m_holidays.clear();
    if (!m_model) {
        updateScrollBars();
        viewport()->update();
        return;
    }
    for (int day = 0; day < m_model->days(); ++day) {
        const QDate date = m_model->firstDay().addDays(day);
        m_dates << date;
        m_holidays << desk::convert::holidayName(date);
    }

    // The unassigned stays of the period, packed into as few lanes as their nights allow.
    QList<RackStay> unassigned;
    for (const RackStay& stay : m_model->stays()) {
        if (stay.room.isEmpty() && stay.lastNight() >= m_model->firstDay() && stay.firstNight <= m_model->lastDay()) {
            unassigned << stay;
        }
    }
    std::sort(unassigned.begin(), unassigned.end(), [](const RackStay& a, const RackStay& b) {
        return a.firstNight != b.firstNight ? a.firstNight < b.firstNight : a.id < b.id;
    });
    QList<QDate> laneEnds;
    for (const RackStay& stay : unassigned) {
        qsizetype lane = 0;
        while (lane < laneEnds.size() && laneEnds.at(lane) >= stay.firstNight) {
            ++lane;
        }
        if (lane == laneEnds.size()) {
            laneEnds << stay.lastNight();
        } else {
            laneEnds[lane] = stay.lastNight();
        }
        m_laneOf.insert(stay.id, int(lane));
    }

    const int rowHeight = line + 12;
    const int floorHeight = line + 4;
    int y = 0;
    for (int lane = 0; lane < std::max<qsizetype>(1, laneEnds.size()); ++lane) {
        m_rows << Row{RowKind::Lane, QString(), lane, y, rowHeight};
        y += rowHeight;
    }
    QString floor;
    bool first = true;
    for (const RackRoom& room : m_model->rooms()) {
        if (first || room.floor != floor) {
            floor = room.floor;
            first = false;
            m_rows << Row{RowKind::Floor, floor, 0, y, floorHeight};
            y += floorHeight;
        }
        m_rows << Row{RowKind::Room, room.code, 0, y, rowHeight};
        y += rowHeight;
    }
    m_contentHeight = y;
    if (m_cursorLane >= int(laneEnds.size())) {
        m_cursorLane = 0;
    }
    if (!m_cursorRoomCode.isEmpty() && !m_model->room(m_cursorRoomCode)) {
        m_cursorRoomCode.clear();
        m_cursorLane = 0;
    }
    updateScrollBars();
    viewport()->update();
}

void RoomRackView::updateScrollBars() {
    const int days = m_model ? m_model->days() : 0;
    const int bodyWidth = viewport()->width() - m_roomWidth;
    const int bodyHeight = viewport()->height() - m_headerHeight;
    horizontalScrollBar()->setPageStep(std::max(1, bodyWidth));
    horizontalScrollBar()->setRange(0, std::max(0, days * dayWidth() - bodyWidth));
    verticalScrollBar()->setPageStep(std::max(1, bodyHeight));
    verticalScrollBar()->setSingleStep(16);
    verticalScrollBar()->setRange(0, std::max(0, m_contentHeight - bodyHeight));
}

void RoomRackView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

int RoomRackView::dayWidth() const {
    const int days = m_model ? std::max(1, m_model->days()) : 1;
    return std::max(minDayWidth, (viewport()->width() - m_roomWidth) / days);
}

int RoomRackView::dayX(int day) const {
    return m_roomWidth + day * dayWidth() - horizontalScrollBar()->value();
}

int RoomRackView::rowY(int row) const {
    return m_headerHeight + m_rows.at(row).y - verticalScrollBar()->value();
}

int RoomRackView::rowOfStay(const RackStay& stay) const {
    for (int row = 0; row < m_rows.size(); ++row) {
        const Row& r = m_rows.at(row);
        if (stay.room.isEmpty() ? (r.kind == RowKind::Lane && r.lane == m_laneOf.value(stay.id, 0))
                                : (r.kind == RowKind::Room && r.room == stay.room)) {
            return row;
        }
    }
    return -1;
}

int RoomRackView::cursorRow() const {
    for (int row = 0; row < m_rows.size(); ++row) {
        const Row& r = m_rows.at(row);
        if (m_cursorRoomCode.isEmpty() ? (r.kind == RowKind::Lane && r.lane == m_cursorLane)
                                       : (r.kind == RowKind::Room && r.room == m_cursorRoomCode)) {
            return row;
        }
    }
    return 0;
}

QString RoomRackView::cursorRoom() const {
    return m_cursorRoomCode;
}

void RoomRackView::setCursorCell(const QString& room, const QDate& night) {
    m_cursorRoomCode = room;
    m_cursorLane = 0;
    m_cursorDate = night;
    m_anchorDate = night;
    if (m_model && (night < m_model->firstDay() || night > m_model->lastDay())) {
        m_model->setFirstDay(night);
    }
    ensureCursorVisible();
    viewport()->update();
}

std::optional<int> RoomRackView::rowAt(int y) const {
    for (int row = 0; row < m_rows.size(); ++row) {
        const int top = rowY(row);
        if (y >= top && y < top + m_rows.at(row).height) {
            return row;
        }
    }
    return std::nullopt;
}

std::optional<QDate> RoomRackView::dateAt(int x) const {
    if (!m_model || x < m_roomWidth) {
        return std::nullopt;
    }
    const int day = (x - m_roomWidth + horizontalScrollBar()->value()) / dayWidth();
    if (day < 0 || day >= m_model->days()) {
        return std::nullopt;
    }
    return m_model->firstDay().addDays(day);
}

std::optional<qint64> RoomRackView::stayAt(int row, const QDate& night) const {
    if (!m_model || row < 0 || row >= m_rows.size()) {
        return std::nullopt;
    }
    const Row& r = m_rows.at(row);
    if (r.kind == RowKind::Floor) {
        return std::nullopt;
    }
    for (const RackStay& stay : m_model->stays()) {
        if (!stay.covers(night)) {
            continue;
        }
        if (r.kind == RowKind::Room ? stay.room == r.room
                                    : (stay.room.isEmpty() && m_laneOf.value(stay.id, -1) == r.lane)) {
            return stay.id;
        }
    }
    return std::nullopt;
}

std::optional<qint64> RoomRackView::stayUnderCursor() const {
    return stayAt(cursorRow(), m_cursorDate);
}

QRect RoomRackView::barRect(int row, const QDate& first, int nights) const {
    if (!m_model || row < 0) {
        return {};
    }
    const int from = int(std::max<qint64>(0, m_model->firstDay().daysTo(first)));
    const int to = int(std::min<qint64>(m_model->days() - 1, m_model->firstDay().daysTo(first.addDays(nights - 1))));
    if (to < from) {
        return {};
    }
    return QRect(dayX(from), rowY(row), (to - from + 1) * dayWidth(), m_rows.at(row).height);
}

QRect RoomRackView::cellRect(const QString& room, const QDate& night) const {
    for (int row = 0; row < m_rows.size(); ++row) {
        const Row& r = m_rows.at(row);
        if (room.isEmpty() ? (r.kind == RowKind::Lane && r.lane == 0) : (r.kind == RowKind::Room && r.room == room)) {
            return barRect(row, night, 1);
        }
    }
    return {};
}

QString RoomRackView::barText(const RackStay& stay) const {
    QString text = stay.guest;
    if (stay.guests > 0) {
        text += QStringLiteral(" %1名").arg(stay.guests);
    }
    if (!stay.plan.isEmpty()) {
        text += QLatin1Char(' ') + stay.plan;
    }
    return text;
}

QString RoomRackView::tooltipText(const RackStay& stay) const {
    const QString room = stay.room.isEmpty() ? QStringLiteral("未割当") : stay.room + QStringLiteral("号室");
    return QStringLiteral("%1\n%2〜%3 %4泊\n%5 %6")
        .arg(barText(stay), stay.firstNight.toString(QStringLiteral("M/d")),
             stay.lastNight().toString(QStringLiteral("M/d")), QString::number(stay.nights), room,
             stateText(stay.state));
}

// --- painting ---

void RoomRackView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().base());
    if (!m_model) {
        return;
    }
    const QRect body(m_roomWidth, m_headerHeight, viewport()->width() - m_roomWidth,
                     viewport()->height() - m_headerHeight);
    paintRows(painter, body);
    paintHeader(painter, body);
}

void RoomRackView::paintRows(QPainter& painter, const QRect& body) {
    const int width = dayWidth();
    const QDate today = QDate::currentDate();
    const int bottom = std::min(body.bottom(), m_headerHeight + m_contentHeight - verticalScrollBar()->value());

    // The day columns: weekends, holidays and today.
    painter.save();
    painter.setClipRect(body);
    for (int day = 0; day < m_dates.size(); ++day) {
        const QDate date = m_dates.at(day);
        QColor fill;
        if (date == today) {
            fill = todayFill;
        } else if (date.dayOfWeek() == Qt::Sunday || !m_holidays.at(day).isEmpty()) {
            fill = holidayFill;
        } else if (date.dayOfWeek() == Qt::Saturday) {
            fill = saturdayFill;
        }
        if (fill.isValid()) {
            painter.fillRect(QRect(dayX(day), body.top(), width, bottom - body.top() + 1), fill);
        }
    }
    painter.restore();

    // Rows, their room labels and lines.
    const QFontMetrics metrics(font());
    for (int row = 0; row < m_rows.size(); ++row) {
        const Row& r = m_rows.at(row);
        const int y = rowY(row);
        if (y + r.height < body.top() || y > body.bottom()) {
            continue;
        }
        const QRect label(0, y, m_roomWidth, r.height);
        const QRect line(body.left(), y, body.width(), r.height);
        painter.save();
        painter.setClipRect(QRect(0, body.top(), viewport()->width(), body.height()));
        if (r.kind == RowKind::Floor) {
            painter.fillRect(QRect(0, y, viewport()->width(), r.height), floorFill);
            QFont bold = font();
            bold.setBold(true);
            painter.setFont(bold);
            painter.setPen(palette().text().color());
            painter.drawText(label.adjusted(6, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                             r.room.isEmpty() ? QStringLiteral("(階なし)") : r.room);
            painter.setFont(font());
        } else if (r.kind == RowKind::Lane) {
            painter.fillRect(label, laneFill);
            painter.setPen(palette().text().color());
            if (r.lane == 0) {
                painter.drawText(label.adjusted(6, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft,
                                 QStringLiteral("未割当"));
            }
        } else {
            const std::optional<RackRoom> room = m_model->room(r.room);
            if (room && !room->inService) {
                painter.save();
                painter.setClipRect(line.intersected(body));
                painter.fillRect(line, QBrush(QColor(0x9a, 0x9a, 0x9a), Qt::BDiagPattern));
                painter.restore();
            }
            painter.setPen(palette().text().color());
            QString text = r.room;
            if (room && !room->name.isEmpty()) {
                text += QLatin1Char(' ') + room->name;
            }
            if (room && !room->inService) {
                text += QStringLiteral(" (停止)");
            }
            painter.drawText(label.adjusted(6, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft,
                             metrics.elidedText(text, Qt::ElideRight, label.width() - 10));
        }
        painter.setPen(gridColor);
        painter.drawLine(0, y + r.height - 1, viewport()->width(), y + r.height - 1);
        painter.restore();
    }

    painter.save();
    painter.setClipRect(body);
    painter.setPen(gridColor);
    for (int day = 0; day <= m_dates.size(); ++day) {
        painter.drawLine(dayX(day), body.top(), dayX(day), bottom);
    }

    // The bars.
    for (const RackStay& stay : m_model->stays()) {
        if (stay.lastNight() < m_model->firstDay() || stay.firstNight > m_model->lastDay()) {
            continue;
        }
        const QRect rect = barRect(rowOfStay(stay), stay.firstNight, stay.nights);
        if (rect.isEmpty() || !rect.intersects(body)) {
            continue;
        }
        paintBar(painter, stay, rect, false);
        if (m_mode == Mode::Swapping && stay.id == m_actingId) {
            painter.setPen(QPen(palette().highlight().color(), 3, Qt::DashLine));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(rect.adjusted(1, 1, -2, -2));
        }
    }

    // Where a move or a drag would put the stay.
    std::optional<RackStay> ghost;
    int ghostRow = -1;
    if (m_mode == Mode::Moving) {
        if (auto stay = m_model->stay(m_actingId)) {
            ghost = stay;
            ghost->firstNight = stay->firstNight.addDays(m_moveFromDate.daysTo(m_cursorDate));
            ghostRow = cursorRow();
        }
    } else if (m_drag && m_drag->moved) {
        if (auto stay = m_model->stay(m_drag->id)) {
            ghost = stay;
            if (m_drag->resize) {
                ghost->nights = int(std::max<qint64>(1, stay->firstNight.daysTo(m_drag->date) + 1));
                ghostRow = rowOfStay(*stay);
            } else {
                ghost->firstNight = stay->firstNight.addDays(m_drag->pressDate.daysTo(m_drag->date));
                ghostRow = m_drag->row;
            }
        }
    }
    if (ghost && ghostRow >= 0 && m_rows.at(ghostRow).kind != RowKind::Floor) {
        paintBar(painter, *ghost, barRect(ghostRow, ghost->firstNight, ghost->nights), true);
    }

    // An automatic assignment not yet accepted: each part where it would go, with its text.
    for (const RackStay& stay : m_model->proposal()) {
        const QRect rect = barRect(rowOfStay(stay), stay.firstNight, stay.nights);
        if (rect.isEmpty() || !rect.intersects(body)) {
            continue;
        }
        paintBar(painter, stay, rect, false);
        painter.setPen(QPen(palette().highlight().color(), 2, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(rect.adjusted(2, 3, -2, -3), 3, 3);
    }

    // The cursor and the nights selected.
    const int row = cursorRow();
    if (!m_rows.isEmpty() && hasFocus()) {
        const QRect cursor = barRect(row, selectionStart(), selectionNights());
        painter.setPen(QPen(palette().highlight().color(), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(cursor.adjusted(1, 1, -1, -1));
    } else if (!m_rows.isEmpty()) {
        painter.setPen(QPen(palette().highlight().color(), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(barRect(row, m_cursorDate, 1).adjusted(1, 1, -1, -1));
    }
    painter.restore();
}

void RoomRackView::paintBar(QPainter& painter, const RackStay& stay, const QRect& rect, bool ghost) {
    if (rect.isEmpty()) {
        return;
    }
    const BarColors colors = barColors(stay.state);
    const QRect bar = rect.adjusted(2, 3, -2, -3);
    painter.setPen(QPen(colors.border, ghost ? 2 : 1, ghost ? Qt::DashLine : Qt::SolidLine));
    painter.setBrush(ghost ? QBrush(Qt::NoBrush) : QBrush(colors.fill));
    painter.drawRoundedRect(bar, 3, 3);
    if (ghost) {
        return;
    }
    painter.setPen(palette().text().color());
    // The text keeps to the part of the bar in sight, so a bar running off the side is
    // elided rather than cut by the edge.
    const QRect body(m_roomWidth, m_headerHeight, viewport()->width() - m_roomWidth,
                     viewport()->height() - m_headerHeight);
    const QRect textRect = bar.intersected(body).adjusted(4, 0, -4, 0);
    const QString text = painter.fontMetrics().elidedText(barText(stay), Qt::ElideRight, textRect.width());
    painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, text);
}

void RoomRackView::paintHeader(QPainter& painter, const QRect& body) {
    const QDate today = QDate::currentDate();
    const QFontMetrics metrics(font());
    const int width = dayWidth();
    painter.fillRect(QRect(0, 0, viewport()->width(), m_headerHeight), palette().window());
    painter.save();
    painter.setClipRect(QRect(body.left(), 0, body.width(), m_headerHeight));
    for (int day = 0; day < m_dates.size(); ++day) {
        const QDate date = m_dates.at(day);
        const QRect cell(dayX(day), 0, width, m_headerHeight);
        if (date == today) {
            painter.fillRect(cell, todayFill);
        }
        QColor color = palette().windowText().color();
        if (date.dayOfWeek() == Qt::Sunday || !m_holidays.at(day).isEmpty()) {
            color = holidayColor;
        } else if (date.dayOfWeek() == Qt::Saturday) {
            color = saturdayColor;
        }
        painter.setPen(color);
        QFont dayFont = font();
        dayFont.setBold(date == today);
        painter.setFont(dayFont);
        const QString number =
            date.day() == 1 || day == 0 ? date.toString(QStringLiteral("M/d")) : QString::number(date.day());
        painter.drawText(QRect(cell.left(), 3, width, metrics.height()), Qt::AlignHCenter, number);
        painter.setFont(font());
        const QString weekday = QLocale(QLocale::Japanese).dayName(date.dayOfWeek(), QLocale::ShortFormat);
        painter.drawText(QRect(cell.left(), 4 + metrics.height(), width, metrics.height()), Qt::AlignHCenter,
                         m_holidays.at(day).isEmpty() ? weekday : weekday + QStringLiteral("祝"));
        painter.setPen(gridColor);
        painter.drawLine(cell.left(), 0, cell.left(), m_headerHeight);
        if (date == today) {
            painter.setPen(QPen(holidayColor, 2));
            painter.drawLine(cell.left() + 1, m_headerHeight - 2, cell.right(), m_headerHeight - 2);
        }
    }
    painter.restore();
    painter.setPen(palette().windowText().color());
    painter.drawText(QRect(6, 0, m_roomWidth - 6, m_headerHeight), Qt::AlignVCenter | Qt::AlignLeft,
                     QStringLiteral("部屋"));
    painter.setPen(gridColor);
    painter.drawLine(0, m_headerHeight - 1, viewport()->width(), m_headerHeight - 1);
    painter.drawLine(m_roomWidth - 1, 0, m_roomWidth - 1, viewport()->height());
}

bool RoomRackView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip && m_model) {
        auto* help = static_cast<QHelpEvent*>(event);
        const std::optional<QDate> date = dateAt(help->pos().x());
        if (date && help->pos().y() < m_headerHeight) {
            const QString holiday = desk::convert::holidayName(*date);
            const QString text = date->toString(QStringLiteral("yyyy/M/d (ddd)"));
            QToolTip::showText(help->globalPos(), holiday.isEmpty() ? text : text + QLatin1Char(' ') + holiday,
                               viewport());
            return true;
        }
        const std::optional<int> row = rowAt(help->pos().y());
        if (date && row) {
            if (const std::optional<qint64> id = stayAt(*row, *date)) {
                QToolTip::showText(help->globalPos(), tooltipText(*m_model->stay(*id)), viewport());
                return true;
            }
        }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

// --- keyboard ---

void RoomRackView::moveCursor(int rows, int days, bool select) {
    if (!m_model || m_rows.isEmpty()) {
        return;
    }
    int row = cursorRow();
    for (int step = 0; step < std::abs(rows); ++step) {
        int next = row + (rows > 0 ? 1 : -1);
        while (next >= 0 && next < m_rows.size() && m_rows.at(next).kind == RowKind::Floor) {
            next += rows > 0 ? 1 : -1;
        }
        if (next < 0 || next >= m_rows.size()) {
            break;
        }
        row = next;
    }
    const Row& r = m_rows.at(row);
    if (r.kind == RowKind::Room) {
        m_cursorRoomCode = r.room;
    } else {
        m_cursorRoomCode.clear();
        m_cursorLane = r.lane;
    }
    m_cursorDate = m_cursorDate.addDays(days);
    if (!select || rows != 0) {
        m_anchorDate = m_cursorDate;
    }
    if (m_cursorDate < m_model->firstDay()) {
        m_model->setFirstDay(m_cursorDate);
    } else if (m_cursorDate > m_model->lastDay()) {
        m_model->setFirstDay(m_cursorDate.addDays(1 - m_model->days()));
    }
    ensureCursorVisible();
    viewport()->update();
}

void RoomRackView::ensureCursorVisible() {
    if (m_rows.isEmpty() || !m_model) {
        return;
    }
    const Row& r = m_rows.at(cursorRow());
    const int visible = viewport()->height() - m_headerHeight;
    QScrollBar* vertical = verticalScrollBar();
    if (r.y < vertical->value()) {
        vertical->setValue(r.y);
    } else if (r.y + r.height > vertical->value() + visible) {
        vertical->setValue(r.y + r.height - visible);
    }
    const int day = int(m_model->firstDay().daysTo(m_cursorDate));
    const int left = day * dayWidth();
    const int shown = viewport()->width() - m_roomWidth;
    QScrollBar* horizontal = horizontalScrollBar();
    if (left < horizontal->value()) {
        horizontal->setValue(left);
    } else if (left + dayWidth() > horizontal->value() + shown) {
        horizontal->setValue(left + dayWidth() - shown);
    }
}

void RoomRackView::report(const QString& refusal) {
    if (!refusal.isEmpty()) {
        emit refused(refusal);
    }
    viewport()->update();
}

// Enter: apply a move or a swap, else open the stay under the cursor or ask for a new one.
void RoomRackView::activate() {
    if (!m_model) {
        return;
    }
    if (m_mode == Mode::Moving) {
        m_mode = Mode::Browse;
        const std::optional<RackStay> stay = m_model->stay(m_actingId);
        if (stay) {
            report(m_model->moveStay(m_actingId, m_cursorRoomCode,
                                     stay->firstNight.addDays(m_moveFromDate.daysTo(m_cursorDate))));
        }
        viewport()->update();
        return;
    }
    const std::optional<qint64> under = stayUnderCursor();
    if (m_mode == Mode::Swapping) {
        if (!under) {
            emit refused(QStringLiteral("入れ替える相手の滞在の上でEnterを押してください。"));
            return;
        }
        m_mode = Mode::Browse;
        report(m_model->swapRooms(m_actingId, *under));
        return;
    }
    if (under) {
        emit openRequested(*under);
        return;
    }
    const QString room = m_cursorRoomCode;
    if (!room.isEmpty()) {
        if (const std::optional<RackRoom> r = m_model->room(room); r && !r->inService) {
            emit refused(QStringLiteral("%1号室は使用停止中です。").arg(room));
            return;
        }
    }
    const QDate first = selectionStart();
    for (int night = 0; night < selectionNights(); ++night) {
        if (stayAt(cursorRow(), first.addDays(night))) {
            emit refused(QStringLiteral("選んだ夜に別の滞在があります。空いている夜だけを選んでください。"));
            return;
        }
    }
    emit newRequested(room, first, selectionNights());
}

void RoomRackView::keyPressEvent(QKeyEvent* event) {
    if (!m_model) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const bool shift = mods & Qt::ShiftModifier;
    const bool ctrl = mods & Qt::ControlModifier;
    if (m_model->hasProposal()) {
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            emit proposalAccepted();
            return;
        case Qt::Key_Escape:
            m_model->clearProposal();
            return;
        case Qt::Key_M:
        case Qt::Key_S:
        case Qt::Key_Plus:
        case Qt::Key_Minus:
        case Qt::Key_Z:
            if (!(mods & (Qt::AltModifier | Qt::MetaModifier))) {
                emit refused(QStringLiteral("自動割当の案をEnterで確定するか、Escで取り消してください。"));
                return;
            }
            break;
        default:
            break;
        }
    }
    switch (event->key()) {
    case Qt::Key_Left:
        moveCursor(0, -1, shift && m_mode == Mode::Browse);
        return;
    case Qt::Key_Right:
        moveCursor(0, 1, shift && m_mode == Mode::Browse);
        return;
    case Qt::Key_Up:
        moveCursor(-1, 0, false);
        return;
    case Qt::Key_Down:
        moveCursor(1, 0, false);
        return;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        const int direction = event->key() == Qt::Key_PageUp ? -1 : 1;
        const QDate from = m_model->firstDay();
        if (ctrl) {
            m_model->stepMonths(direction);
        } else {
            m_model->stepWeeks(direction);
        }
        m_cursorDate = m_cursorDate.addDays(from.daysTo(m_model->firstDay()));
        m_anchorDate = m_cursorDate;
        viewport()->update();
        return;
    }
    case Qt::Key_Home:
        if (m_mode == Mode::Browse) {
            m_model->jumpTo(QDate::currentDate());
            m_cursorDate = QDate::currentDate();
            m_anchorDate = m_cursorDate;
            ensureCursorVisible();
            viewport()->update();
        }
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        activate();
        return;
    case Qt::Key_Escape:
        if (m_mode != Mode::Browse) {
            if (m_mode == Mode::Moving) {
                if (const std::optional<RackStay> stay = m_model->stay(m_actingId)) {
                    m_cursorRoomCode = stay->room;
                    m_cursorLane = m_laneOf.value(stay->id, 0);
                    m_cursorDate = m_moveFromDate;
                    m_anchorDate = m_cursorDate;
                }
            }
            m_mode = Mode::Browse;
            viewport()->update();
            return;
        }
        event->ignore();
        return;
    case Qt::Key_M:
        if (mods == Qt::NoModifier && m_mode == Mode::Browse) {
            if (const std::optional<qint64> id = stayUnderCursor()) {
                m_mode = Mode::Moving;
                m_actingId = *id;
                m_moveFromDate = m_cursorDate;
                m_anchorDate = m_cursorDate;
                viewport()->update();
            }
            return;
        }
        break;
    case Qt::Key_S:
        if (mods == Qt::NoModifier) {
            if (m_mode == Mode::Swapping) {
                activate();
            } else if (m_mode == Mode::Browse) {
                if (const std::optional<qint64> id = stayUnderCursor()) {
                    m_mode = Mode::Swapping;
                    m_actingId = *id;
                    viewport()->update();
                }
            }
            return;
        }
        break;
    case Qt::Key_Plus:
    case Qt::Key_Minus:
        if (m_mode == Mode::Browse && !ctrl) {
            if (const std::optional<qint64> id = stayUnderCursor()) {
                report(event->key() == Qt::Key_Plus ? m_model->extend(*id) : m_model->shorten(*id));
            }
            return;
        }
        break;
    case Qt::Key_Z:
        if (mods == Qt::ControlModifier) {
            m_mode = Mode::Browse;
            if (m_model->canUndo()) {
                report(m_model->undo());
            }
            return;
        }
        break;
    default:
        break;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

// --- mouse ---

void RoomRackView::mousePressEvent(QMouseEvent* event) {
    m_drag.reset();
    if (!m_model || event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const QPoint pos = event->position().toPoint();
    const std::optional<int> row = rowAt(pos.y());
    const std::optional<QDate> date = dateAt(pos.x());
    if (!row || !date || pos.y() < m_headerHeight || m_rows.at(*row).kind == RowKind::Floor) {
        return;
    }
    m_mode = Mode::Browse;
    const Row& r = m_rows.at(*row);
    m_cursorRoomCode = r.kind == RowKind::Room ? r.room : QString();
    m_cursorLane = r.lane;
    m_cursorDate = *date;
    if (!(event->modifiers() & Qt::ShiftModifier)) {
        m_anchorDate = m_cursorDate;
    }
    // A proposal on show is accepted or taken back before anything is dragged.
    const std::optional<qint64> id = m_model->hasProposal() ? std::nullopt : stayAt(*row, *date);
    if (id) {
        const RackStay stay = *m_model->stay(*id);
        const QRect bar = barRect(*row, stay.firstNight, stay.nights);
        const bool atEnd = stay.lastNight() <= m_model->lastDay() && pos.x() >= bar.right() - resizeGrip;
        m_drag = Drag{*id, atEnd, *date, *row, *row, *date, false};
    }
    viewport()->update();
}

void RoomRackView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (!m_drag) {
        // The right end of a bar takes the nights' cursor.
        bool atEnd = false;
        if (const std::optional<int> row = rowAt(pos.y()); row && pos.y() >= m_headerHeight) {
            if (const std::optional<QDate> date = dateAt(pos.x())) {
                if (const std::optional<qint64> id = stayAt(*row, *date)) {
                    const RackStay stay = *m_model->stay(*id);
                    const QRect bar = barRect(*row, stay.firstNight, stay.nights);
                    atEnd = stay.lastNight() <= m_model->lastDay() && pos.x() >= bar.right() - resizeGrip;
                }
            }
        }
        viewport()->setCursor(atEnd ? Qt::SizeHorCursor : Qt::ArrowCursor);
        return;
    }
    const std::optional<int> row = rowAt(pos.y());
    const std::optional<QDate> date = dateAt(pos.x());
    if (row && m_rows.at(*row).kind != RowKind::Floor) {
        m_drag->row = *row;
    }
    if (date) {
        m_drag->date = *date;
    }
    m_drag->moved = m_drag->moved || m_drag->date != m_drag->pressDate || m_drag->row != m_drag->pressRow;
    viewport()->update();
}

void RoomRackView::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_drag || event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    const Drag drag = *m_drag;
    m_drag.reset();
    const std::optional<RackStay> stay = m_model->stay(drag.id);
    if (!drag.moved || !stay) {
        viewport()->update();
        return;
    }
    if (drag.resize) {
        report(m_model->setNights(drag.id, int(std::max<qint64>(1, stay->firstNight.daysTo(drag.date) + 1))));
        return;
    }
    const Row& r = m_rows.at(drag.row);
    const QString room = r.kind == RowKind::Room ? r.room : QString();
    const QString refusal =
        m_model->moveStay(drag.id, room, stay->firstNight.addDays(drag.pressDate.daysTo(drag.date)));
    if (refusal.isEmpty()) {
        m_cursorRoomCode = room;
        m_cursorLane = m_laneOf.value(drag.id, 0);
        m_cursorDate = drag.date;
        m_anchorDate = m_cursorDate;
    }
    report(refusal);
}

void RoomRackView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_model) {
        m_drag.reset();
        const QPoint pos = event->position().toPoint();
        if (rowAt(pos.y()) && dateAt(pos.x()) && pos.y() >= m_headerHeight) {
            activate();
        }
    }
}

} // namespace roomrack
