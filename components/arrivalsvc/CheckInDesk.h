#pragma once

#include "CheckIn.h"
#include "StaySearch.h"

#include "roomsvc/RoomStore.h"

#include <QString>

#include <exception>
#include <memory>
#include <optional>

namespace desk {
class RowSet;
}

namespace arrivalsvc {

// The codes of a room box: "201,202", "201、202" or "201 202"; empty parts are dropped.
QStringList roomCodes(const QString& roomBox);
// The codes as the room box and CheckInRoomNo keep them: "201,202".
QString joinedRooms(const QStringList& codes);

// The front desk's actions on the check-ins of one data directory, one call per action.
// Each write is one transaction, committed or rolled back before the call returns, so that
// a window tells the clerk only once nothing is held. Failures are thrown (desk::DbError,
// desk::ConversionError).
class CheckInDesk {
public:
    explicit CheckInDesk(QString dirPath);

    // The number to propose for the next check-in: the highest number made of digits only,
    // plus one, as wide as it was ("0999" gives "1000"); "1" when there is none.
    QString nextNumber() const;

    struct Registration {
        enum class Outcome {
            Registered,
            // Another desk took the number the window proposed: nextNumber is the one to
            // propose now, the entry stays for the clerk to register again.
            TakenByAnotherDesk,
            // The clerk typed a number in use.
            NumberTaken,
            // A room of the room box is unknown, taken on one of the nights or under repair:
            // nothing is saved, `refusal` says why in the clerk's words.
            RoomRefused,
        };
        Outcome outcome = Outcome::Registered;
        QString nextNumber;
        QString refusal;
        // The reservation taken over could not be marked as checked in; the check-in stands.
        std::exception_ptr reservationFailure;
    };
    // Adds the check-in (the duplicate test and the six rows in one transaction), then marks
    // the reservation it takes over, if any. `proposed` is the number the window offered.
    //
    // The rooms: where the inn keeps its rooms, each code of the room box (entry.roomNo, codes
    // joined by "," or "、") must be one of them, and the party holds it from the check-in
    // date for entry.nights. The rooms are saved first, so that a clash is refused before the
    // check-in is written; a reservation's rooms become the check-in's (rewritten when the
    // clerk changed the rooms or the nights). Should the check-in fail, the rooms go back as
    // they were. An inn without rooms keeps the room box as a text only.
    Registration registerCheckIn(const CheckIn& entry, const QString& proposed,
                                 std::optional<qint32> takenOver = std::nullopt) const;

    enum class Correction { Corrected, NumberTaken, RoomRefused };
    // Rewrites check-in `stored` from the entry, renumbered to entry.number unless another
    // check-in has that number; the fax number and the reservation link stay as first saved.
    // Its rooms follow the room box, the date and the nights (a stay extended or shortened),
    // checked as at registration; a refusal is written to `refusal`.
    Correction correct(const QString& stored, const CheckIn& entry, QString* refusal = nullptr) const;
    // Deletes the check-in with its guest list and frees its rooms.
    void remove(const QString& stored) const;
    // The check-in with its guest list, or nothing when no check-in has the number.
    std::optional<CheckIn> callUp(const QString& number) const;
    // Records the check-out on the settlement day, and the rooms are free from that day on; a
    // guest gone already keeps the first day.
    void markCheckedOut(const QString& number, const QDate& day) const;

    // New row sets the caller owns, over QRYCliantsDaySale: the guests still in the house,
    // and the stays a history search finds, oldest first.
    std::unique_ptr<desk::RowSet> inHouse() const;
    std::unique_ptr<desk::RowSet> history(const StaySearch& search) const;

private:
    struct RoomChange;
    // Saves the rooms the entry names over `current` (the stays it takes over); a refusal,
    // or empty with `change` holding what to undo or finish.
    QString placeRooms(const CheckIn& entry, const QList<roomsvc::RoomStay>& current, RoomChange& change) const;
    void undoRooms(const RoomChange& change) const;
    void finishRooms(const RoomChange& change) const;

    QString m_dirPath;
};

} // namespace arrivalsvc
