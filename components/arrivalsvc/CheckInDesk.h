#pragma once

#include "CheckIn.h"
#include "StaySearch.h"

#include <QString>

#include <exception>
#include <memory>
#include <optional>

namespace desk {
class RowSet;
}

namespace arrivalsvc {

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
        };
        Outcome outcome = Outcome::Registered;
        QString nextNumber;
        // The reservation taken over could not be marked as checked in; the check-in stands.
        std::exception_ptr reservationFailure;
    };
    // Adds the check-in (the duplicate test and the six rows in one transaction), then marks
    // the reservation it takes over, if any. `proposed` is the number the window offered.
    Registration registerCheckIn(const CheckIn& entry, const QString& proposed,
                                 std::optional<qint32> takenOver = std::nullopt) const;

    enum class Correction { Corrected, NumberTaken };
    // Rewrites check-in `stored` from the entry, renumbered to entry.number unless another
    // check-in has that number; the fax number and the reservation link stay as first saved.
    Correction correct(const QString& stored, const CheckIn& entry) const;
    // Deletes the check-in with its guest list.
    void remove(const QString& stored) const;
    // The check-in with its guest list, or nothing when no check-in has the number.
    std::optional<CheckIn> callUp(const QString& number) const;
    // Records the check-out on the settlement day; a guest gone already keeps the first day.
    void markCheckedOut(const QString& number, const QDate& day) const;

    // New row sets the caller owns, over QRYCliantsDaySale: the guests still in the house,
    // and the stays a history search finds, oldest first.
    std::unique_ptr<desk::RowSet> inHouse() const;
    std::unique_ptr<desk::RowSet> history(const StaySearch& search) const;

private:
    QString m_dirPath;
};

} // namespace arrivalsvc
