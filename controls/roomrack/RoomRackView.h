#pragma once

#include <QAbstractScrollArea>
#include <QDate>
#include <QHash>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "roomrack/RoomRackModel.h"

#include <optional>

namespace roomrack {

// The room rack: rooms down, grouped by floor under a header row, nights across, and each
// stay a bar over its nights. Stays without a room sit in the "未割当" lanes at the top.
// Saturdays are blue, Sundays and holidays red, today is marked; rooms out of service are
// hatched.
//
// Keyboard: the arrows move the cursor cell (past the first or last day the period scrolls
// a day), Shift+Left/Right select several nights, PageUp/PageDown step a week (with Ctrl a
// month), Home goes to today. Enter opens the stay under the cursor (openRequested) or asks
// for a new one on the free nights selected (newRequested). M starts moving the stay under
// the cursor: the arrows choose the room and nights, Enter applies, Esc cancels. S marks it
// for a swap: Enter (or S) on a stay in another room swaps their rooms. + and - add or take
// off a night, Ctrl+Z takes back the last change. Mouse: drag a bar to move it, drag its
// right end to change the nights. A refused change emits refused() and changes nothing.
// While the model holds a proposal (an automatic assignment), its bars are drawn dashed in
// their rooms: Enter accepts it (proposalAccepted), Esc takes it back, and no other change
// is made until then.
class RoomRackView : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit RoomRackView(QWidget* parent = nullptr);

    void setModel(RoomRackModel* model);
    RoomRackModel* model() const { return m_model; }

    // The cursor cell: a room's code (empty: the unassigned lanes) and a night.
    QString cursorRoom() const;
    QDate cursorDate() const { return m_cursorDate; }
    void setCursorCell(const QString& room, const QDate& night);
    std::optional<qint64> stayUnderCursor() const;
    // The selected nights on the cursor's row, the first and how many.
    QDate selectionStart() const { return std::min(m_anchorDate, m_cursorDate); }
    int selectionNights() const { return int(std::abs(m_anchorDate.daysTo(m_cursorDate))) + 1; }
    bool isMoving() const { return m_mode == Mode::Moving; }
    bool isSwapping() const { return m_mode == Mode::Swapping; }

    // Where a room's night is drawn, in viewport coordinates (empty when not shown); the
    // empty room is the first unassigned lane.
    QRect cellRect(const QString& room, const QDate& night) const;

    QSize sizeHint() const override;

signals:
    void openRequested(qint64 stayId);
    void newRequested(const QString& room, const QDate& firstNight, int nights);
    void refused(const QString& text);
    void proposalAccepted();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    enum class Mode { Browse, Moving, Swapping };
    enum class RowKind { Lane, Floor, Room };
    struct Row {
        RowKind kind;
        QString room; // the room's code; the floor's name on a floor row
        int lane = 0;
        int y = 0;
        int height = 0;
    };
    struct Drag {
        qint64 id = 0;
        bool resize = false;
        QDate pressDate;
        int pressRow = -1;
        int row = -1;
        QDate date;
        bool moved = false;
    };

    void relayout();
    void updateScrollBars();
    int dayWidth() const;
    int dayX(int day) const;
    int rowY(int row) const;
    int rowOfStay(const RackStay& stay) const;
    int cursorRow() const;
    std::optional<int> rowAt(int y) const;
    std::optional<QDate> dateAt(int x) const;
    std::optional<qint64> stayAt(int row, const QDate& night) const;
    QRect barRect(int row, const QDate& first, int nights) const;
    QString barText(const RackStay& stay) const;
    QString tooltipText(const RackStay& stay) const;

    void moveCursor(int rows, int days, bool select);
    void ensureCursorVisible();
    void activate();
    void report(const QString& refusal);
    void paintHeader(QPainter& painter, const QRect& body);
    void paintRows(QPainter& painter, const QRect& body);
    void paintBar(QPainter& painter, const RackStay& stay, const QRect& rect, bool ghost);

    QPointer<RoomRackModel> m_model;
    QList<Row> m_rows;
    QHash<qint64, int> m_laneOf; // unassigned stays: their lane
    QList<QDate> m_dates;
    QStringList m_holidays; // per day shown
    int m_headerHeight = 0;
    int m_roomWidth = 0;
    int m_contentHeight = 0;

    QString m_cursorRoomCode;
    int m_cursorLane = 0;
    QDate m_cursorDate;
    QDate m_anchorDate;
    Mode m_mode = Mode::Browse;
    qint64 m_actingId = 0; // the stay being moved or marked for a swap
    QDate m_moveFromDate;  // the cursor's night when the move started
    std::optional<Drag> m_drag;
};

} // namespace roomrack
