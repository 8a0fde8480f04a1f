#pragma once

#include <QDate>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

namespace roomrack {

// A room as the rack shows it.
struct RackRoom {
    QString code; // the number the clerk says, "201"
    QString name; // "桜"
    QString type; // "和室", "洋室" …
    int capacity = 0;
    QString floor; // rooms are grouped under it, in the order they are given
    bool inService = true;
    int minGuests = 0; // the fewest guests the room is sold to
    bool operator==(const RackRoom&) const = default;
};

// One stay in one room (or in none yet) over consecutive nights.
struct RackStay {
    enum State { Reserved, InHouse, CheckedOut };

    qint64 id = 0;
    QString room; // empty: not assigned yet
    QDate firstNight;
    int nights = 1;
    QString guest;
    int guests = 0;
    QString plan;
    State state = Reserved;

    QDate lastNight() const { return firstNight.addDays(nights - 1); }
    bool covers(const QDate& night) const { return night >= firstNight && night <= lastNight(); }
    bool operator==(const RackStay&) const = default;
};

// The rooms, the stays and the period of the rack, and the changes the clerk makes to them.
// Every change is checked first by the model's own rule (one stay a room a night, no stay in
// a room out of service, nothing moves once checked out) and then by the rule set with
// setRule(); a refused change returns its reason and changes nothing. Applied changes are
// kept for undo() and announced by changeApplied() so a store can save them.
class RoomRackModel : public QObject {
    Q_OBJECT

public:
    // Reason the proposed stays (the new versions of those a change touches) may not be
    // applied, or empty. Called after the model's own rule has passed.
    using Rule = std::function<QString(const QList<RackStay>& proposed, const RoomRackModel& model)>;

    explicit RoomRackModel(QObject* parent = nullptr);

    const QList<RackRoom>& rooms() const { return m_rooms; }
    const QList<RackStay>& stays() const { return m_stays; }
    // Replacing either drops the undo history: the moves kept there were made to other data.
    void setRooms(const QList<RackRoom>& rooms);
    void setStays(const QList<RackStay>& stays);
    // The stays read again (another desk saved): replaced, the undo history kept. An undo
    // puts back only the room and nights it took away, onto the stay as it is now.
    void refreshStays(const QList<RackStay>& stays);
    std::optional<RackRoom> room(const QString& code) const;
    std::optional<RackStay> stay(qint64 id) const;
    // The stay in the room on the night (for the empty room: the first unassigned one).
    std::optional<RackStay> stayAt(const QString& room, const QDate& night) const;

    // The period shown: days() nights from firstDay().
    QDate firstDay() const { return m_firstDay; }
    int days() const { return m_days; }
    QDate lastDay() const { return m_firstDay.addDays(m_days - 1); }
    void setPeriod(const QDate& firstDay, int days);
    void setFirstDay(const QDate& firstDay) { setPeriod(firstDay, m_days); }
    void stepWeeks(int weeks) { setFirstDay(m_firstDay.addDays(7 * weeks)); }
    void stepMonths(int months) { setFirstDay(m_firstDay.addMonths(months)); }
    // Shows the date as the first day.
    void jumpTo(const QDate& date) { setFirstDay(date); }

    void setRule(Rule rule) { m_rule = std::move(rule); }

    // Stays shown as proposed (an automatic assignment) until taken back or saved: those
    // with the id of a stay of the model put it in another room; id 0 or below are new
    // parts of a stay split over rooms. Changes nothing else; the view draws them apart.
    const QList<RackStay>& proposal() const { return m_proposal; }
    bool hasProposal() const { return !m_proposal.isEmpty(); }
    void setProposal(const QList<RackStay>& stays);
    void clearProposal() { setProposal({}); }

    // The changes; each returns the refusal text, empty when applied.
    QString moveStay(qint64 id, const QString& room, const QDate& firstNight);
    QString swapRooms(qint64 first, qint64 second);
    QString setNights(qint64 id, int nights);
    QString extend(qint64 id);
    QString shorten(qint64 id);

    bool canUndo() const { return !m_undo.isEmpty(); }
    // Takes back the last applied change (checked like any change), or returns why not.
    QString undo();
    void clearUndo() { m_undo.clear(); }
    // True while undo() applies: a changeApplied() then takes a change back.
    bool isUndoing() const { return m_undoing; }

    // Why the proposed stays may not be applied by the model's own rule and the set rule.
    QString refusal(const QList<RackStay>& proposed) const;

signals:
    // Rooms, stays or period replaced or changed: views lay out again.
    void changed();
    // The period shown moved or grew: the stays of the new period are wanted.
    void periodChanged();
    // A change applied (or undone): the stays it touched, as they are now.
    void changeApplied(const QList<RackStay>& stays);

private:
    QString ownRefusal(const QList<RackStay>& proposed) const;
    QString apply(const QList<RackStay>& proposed, bool keepForUndo);
    qsizetype indexOf(qint64 id) const;

    QList<RackRoom> m_rooms;
    QList<RackStay> m_stays;
    QDate m_firstDay;
    int m_days = 14;
    Rule m_rule;
    QList<QList<RackStay>> m_undo; // the stays as they were before each change
    QList<RackStay> m_proposal;
    bool m_undoing = false;
};

} // namespace roomrack
