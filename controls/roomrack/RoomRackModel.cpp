#include "roomrack/RoomRackModel.h"

#include "roomsvc/RoomStore.h"

#include <QScopedValueRollback>

namespace roomrack {

RoomRackModel::RoomRackModel(QObject* parent)
    : QObject(parent)
    , m_firstDay(QDate::currentDate()) {}

void RoomRackModel::setRooms(const QList<RackRoom>& rooms) {
    m_rooms = rooms;
    m_undo.clear();
    emit changed();
}

void RoomRackModel::setStays(const QList<RackStay>& stays) {
    m_stays = stays;
    m_undo.clear();
    m_proposal.clear();
    emit changed();
}

void RoomRackModel::refreshStays(const QList<RackStay>& stays) {
    if (stays == m_stays) {
        return;
    }
    m_stays = stays;
    emit changed();
}

void RoomRackModel::setProposal(const QList<RackStay>& stays) {
    if (stays == m_proposal) {
        return;
    }
    m_proposal = stays;
    emit changed();
}

std::optional<RackRoom> RoomRackModel::room(const QString& code) const {
    for (const RackRoom& room : m_rooms) {
        if (room.code == code) {
            return room;
        }
    }
    return std::nullopt;
}

std::optional<RackStay> RoomRackModel::stay(qint64 id) const {
    const qsizetype index = indexOf(id);
    if (index < 0) {
        return std::nullopt;
    }
    return m_stays.at(index);
}

std::optional<RackStay> RoomRackModel::stayAt(const QString& room, const QDate& night) const {
    for (const RackStay& stay : m_stays) {
        if (stay.room == room && stay.covers(night)) {
            return stay;
        }
    }
    return std::nullopt;
}

void RoomRackModel::setPeriod(const QDate& firstDay, int days) {
    if (!firstDay.isValid() || days < 1 || (firstDay == m_firstDay && days == m_days)) {
        return;
    }
    m_firstDay = firstDay;
    m_days = days;
    emit changed();
    emit periodChanged();
}

qsizetype RoomRackModel::indexOf(qint64 id) const {
    for (qsizetype i = 0; i < m_stays.size(); ++i) {
        if (m_stays.at(i).id == id) {
            return i;
        }
    }
    return -1;
}

QString RoomRackModel::ownRefusal(const QList<RackStay>& proposed) const {
    for (const RackStay& stay : proposed) {
        const std::optional<RackStay> before = this->stay(stay.id);
        if (before && before->state == RackStay::CheckedOut && !(*before == stay)) {
            return QStringLiteral("%1様はチェックアウト済みです。変更できません。").arg(stay.guest);
        }
        if (stay.nights < 1) {
            return QStringLiteral("1泊より短くはできません。");
        }
        if (stay.room.isEmpty()) {
            continue;
        }
        const std::optional<RackRoom> room = this->room(stay.room);
        if (!room) {
            return QStringLiteral("%1号室はありません。").arg(stay.room);
        }
        if (!room->inService) {
            return QStringLiteral("%1号室は使用停止中です。").arg(stay.room);
        }
        // Others as they will be once the change is applied: the proposed versions replace
        // their old selves (a swap frees each room for the other).
        auto clashWith = [&](const RackStay& other) -> QString {
            if (other.id == stay.id || other.room != stay.room) {
                return {};
            }
            const QDate from = std::max(stay.firstNight, other.firstNight);
            const QDate to = std::min(stay.lastNight(), other.lastNight());
            if (from > to) {
                return {};
            }
            return roomsvc::clashText(stay.room, from, other.guest);
        };
        for (const RackStay& other : proposed) {
            if (QString text = clashWith(other); !text.isEmpty()) {
                return text;
            }
        }
        for (const RackStay& other : m_stays) {
            const bool replaced =
                std::any_of(proposed.begin(), proposed.end(), [&](const RackStay& p) { return p.id == other.id; });
            if (replaced) {
                continue;
            }
            if (QString text = clashWith(other); !text.isEmpty()) {
                return text;
            }
        }
    }
    return {};
}

QString RoomRackModel::refusal(const QList<RackStay>& proposed) const {
    QString text = ownRefusal(proposed);
    if (text.isEmpty() && m_rule) {
        text = m_rule(proposed, *this);
    }
    return text;
}

QString RoomRackModel::apply(const QList<RackStay>& proposed, bool keepForUndo) {
    const QString text = refusal(proposed);
    if (!text.isEmpty()) {
        return text;
    }
    QList<RackStay> before;
    for (const RackStay& stay : proposed) {
        const qsizetype index = indexOf(stay.id);
        before << m_stays.at(index);
        m_stays[index] = stay;
    }
    if (keepForUndo) {
        m_undo << before;
    }
    emit changed();
    emit changeApplied(proposed);
    return {};
}

QString RoomRackModel::moveStay(qint64 id, const QString& room, const QDate& firstNight) {
    std::optional<RackStay> stay = this->stay(id);
    if (!stay || !firstNight.isValid()) {
        return QStringLiteral("この滞在はもうありません。");
    }
    if (stay->room == room && stay->firstNight == firstNight) {
        return {};
    }
    stay->room = room;
    stay->firstNight = firstNight;
    return apply({*stay}, true);
}

QString RoomRackModel::swapRooms(qint64 first, qint64 second) {
    std::optional<RackStay> a = stay(first);
    std::optional<RackStay> b = stay(second);
    if (!a || !b) {
        return QStringLiteral("この滞在はもうありません。");
    }
    if (first == second || a->room == b->room) {
        return QStringLiteral("入れ替える相手の部屋を選んでください。");
    }
    std::swap(a->room, b->room);
    return apply({*a, *b}, true);
}

QString RoomRackModel::setNights(qint64 id, int nights) {
    std::optional<RackStay> stay = this->stay(id);
    if (!stay) {
        return QStringLiteral("この滞在はもうありません。");
    }
    if (stay->nights == nights) {
        return {};
    }
    stay->nights = nights;
    return apply({*stay}, true);
}

QString RoomRackModel::extend(qint64 id) {
    const std::optional<RackStay> stay = this->stay(id);
    return setNights(id, stay ? stay->nights + 1 : 1);
}

QString RoomRackModel::shorten(qint64 id) {
    const std::optional<RackStay> stay = this->stay(id);
    return setNights(id, stay ? stay->nights - 1 : 1);
}

QString RoomRackModel::undo() {
    if (m_undo.isEmpty()) {
        return QStringLiteral("元に戻す変更はありません。");
    }
    // The stays as they are now (read again since, perhaps) with the room and nights
    // the change took away.
    QList<RackStay> before;
    for (const RackStay& old : m_undo.constLast()) {
        const qsizetype index = indexOf(old.id);
        if (index < 0) {
            m_undo.removeLast();
            return QStringLiteral("この滞在はもうありません。");
        }
        RackStay stay = m_stays.at(index);
        stay.room = old.room;
        stay.firstNight = old.firstNight;
        stay.nights = old.nights;
        before << stay;
    }
    QString text;
    {
        const QScopedValueRollback<bool> undoing(m_undoing, true);
        text = apply(before, false);
    }
    if (text.isEmpty()) {
        m_undo.removeLast();
    }
    return text;
}

} // namespace roomrack
