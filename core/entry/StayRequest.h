#pragma once

#include <QDate>
#include <QString>

#include <optional>

namespace desk {

// What a stay window is opened on (EntryMembers::Stay): a reservation or a check-in called
// up by its number, or a new reservation for the room and nights a caller chose (the room
// rack's free cells). The booking program takes reservations and new ones, the check-in
// program check-ins.
//
// It travels as one text, "kind=new&room=201&arrival=2026-05-01&nights=2" (the values
// percent-encoded, so any room code passes), written by toText() and read by fromText().
struct StayRequest {
    enum class Kind { Reservation, CheckIn, NewReservation };

    Kind kind = Kind::NewReservation;
    QString number; // Reservation: RvNo; CheckIn: CheckInNO
    QString room;   // NewReservation: the room's code, empty for none yet (未割当)
    QDate arrival;  // NewReservation: the first night
    int nights = 1; // NewReservation: 1 or more

    static StayRequest reservation(const QString& reserveNo) { return {Kind::Reservation, reserveNo, {}, {}, 1}; }
    static StayRequest checkIn(const QString& checkInNo) { return {Kind::CheckIn, checkInNo, {}, {}, 1}; }
    static StayRequest newReservation(const QString& room, const QDate& arrival, int nights) {
        return {Kind::NewReservation, {}, room, arrival, nights};
    }

    QString toText() const;
    // Nothing for a text no caller writes: an unknown kind, no number, no valid arrival, or
    // nights outside 1..365.
    static std::optional<StayRequest> fromText(const QString& text);

    bool operator==(const StayRequest&) const = default;
};

} // namespace desk
