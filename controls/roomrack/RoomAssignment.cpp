#include "roomrack/RoomAssignment.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace roomrack {

namespace {

// Which nights each room is taken, as the stays placed so far leave it.
class Occupancy {
public:
    explicit Occupancy(const QList<RackStay>& stays) {
        for (const RackStay& stay : stays) {
            if (!stay.room.isEmpty()) {
                take(stay.room, stay.firstNight, stay.nights);
            }
        }
    }

    bool isFree(const QString& room, const QDate& night) const { return !m_taken.value(room).contains(night); }

    // Consecutive free nights of the room from the night on, at most limit.
    int freeRun(const QString& room, const QDate& night, int limit) const {
        int run = 0;
        while (run < limit && isFree(room, night.addDays(run))) {
            ++run;
        }
        return run;
    }

    void take(const QString& room, const QDate& first, int nights) {
        QSet<QDate>& taken = m_taken[room];
        for (int n = 0; n < nights; ++n) {
            taken.insert(first.addDays(n));
        }
    }

private:
    QHash<QString, QSet<QDate>> m_taken;
};

bool holds(const RackRoom& room, int guests) {
    return room.inService && (guests <= 0 || (room.capacity >= guests && room.minGuests <= guests));
}

} // namespace

Assignment assignRooms(const QList<RackRoom>& rooms, const QList<RackStay>& stays) {
    Assignment result;
    Occupancy occupancy(stays);

    QList<RackStay> waiting;
    for (const RackStay& stay : stays) {
        if (stay.room.isEmpty() && stay.nights >= 1 && stay.state != RackStay::CheckedOut) {
            waiting << stay;
        }
    }
    std::sort(waiting.begin(), waiting.end(), [](const RackStay& a, const RackStay& b) {
        if (a.firstNight != b.firstNight) {
            return a.firstNight < b.firstNight;
        }
        if (a.guests != b.guests) {
            return a.guests > b.guests;
        }
        return a.id < b.id;
    });

    qint64 nextNewId = 0;
    for (const RackStay& stay : waiting) {
        // The rooms the party fits, closest fit first, then in the rack's order.
        QList<qsizetype> fitting;
        for (qsizetype i = 0; i < rooms.size(); ++i) {
            if (holds(rooms.at(i), stay.guests)) {
                fitting << i;
            }
        }
        std::stable_sort(fitting.begin(), fitting.end(),
                         [&](qsizetype a, qsizetype b) { return rooms.at(a).capacity < rooms.at(b).capacity; });

        // Part by part: the room free longest from the night the last part ended; on a
        // tie the type the party is already in, then the closest fit.
        QList<RackStay> parts;
        QDate night = stay.firstNight;
        int left = stay.nights;
        QString type;
        while (left > 0) {
            qsizetype best = -1;
            int bestRun = 0;
            for (qsizetype i : fitting) {
                const int run = occupancy.freeRun(rooms.at(i).code, night, left);
                const bool better = run > bestRun || (run == bestRun && run > 0 && best >= 0 && !type.isEmpty() &&
                                                      rooms.at(best).type != type && rooms.at(i).type == type);
                if (better) {
                    best = i;
                    bestRun = run;
                }
            }
            if (best < 0) {
                parts.clear();
                break;
            }
            RackStay part = stay;
            part.room = rooms.at(best).code;
            part.firstNight = night;
            part.nights = bestRun;
            parts << part;
            type = rooms.at(best).type;
            night = night.addDays(bestRun);
            left -= bestRun;
        }
        if (parts.isEmpty()) {
            ++result.unplaced;
            continue;
        }
        for (qsizetype p = 0; p < parts.size(); ++p) {
            RackStay& part = parts[p];
            if (p > 0) {
                part.id = nextNewId--;
            }
            occupancy.take(part.room, part.firstNight, part.nights);
            result.stays << part;
        }
        ++result.placed;
    }
    return result;
}

} // namespace roomrack
