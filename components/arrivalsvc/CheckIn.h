#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

namespace arrivalsvc {

// One guest of a check-in party, as the guest register lists them. An address of "同上"
// stands for the representative's; nationality and passport number are kept for a guest
// from abroad without an address in Japan.
struct CheckInGuest {
    CheckInGuest() = default;
    CheckInGuest(QString guestName, QString guestAddress, QString guestTelNo, bool fromAbroad = false,
                 QString guestNationality = {}, QString guestPassportNo = {})
        : name(std::move(guestName))
        , address(std::move(guestAddress))
        , telNo(std::move(guestTelNo))
        , abroad(fromAbroad)
        , nationality(std::move(guestNationality))
        , passportNo(std::move(guestPassportNo)) {}

    QString name;
    QString address;
    QString telNo;
    bool abroad = false;
    QString nationality;
    QString passportNo;

    bool operator==(const CheckInGuest&) const = default;
};

// The representative's address lines joined as one address, as the register shows it.
QString joinedAddress(const QString& adrs1, const QString& adrs2, const QString& adrs3);

// One check-in: the guest party staying under a check-in number, as the six rows of
// DaySalesCliants.mdb and its guest list keep it.
struct CheckIn {
    // The levies whose exempt guests a check-in counts.
    enum class Levy { Bathing, Lodging };
    struct ExemptRefusal {
        Levy levy;
        QString message; // the clerk's
    };

    QString number;
    QDate date;
    QString name;
    QString roomNo;
    QString remarks;

    QString address1;
    QString address2;
    QString address3;
    QString telNo;
    QString faxNo; // written by the first save only
    QString email;

    QString groupName;
    QString companions; // the names after the representative, as one text
    QString travelAgent;

    // The five guest classification codes.
    QString userClass;
    QString ageClass;
    QString payClass;
    QString groupeClass;
    QString choiceClass;

    // 16-bit counts and a 32-bit price per guest, as their columns hold them.
    qint16 guests = 0;
    qint16 bathExempt = 0;
    qint16 lodgingExempt = 0;
    qint32 price = 0;

    // The stay: nights from the check-in date, the plans (commodity codes of the
    // accommodation class) of the adults and of the children, how many of `guests` are
    // children, and the meal note the kitchen reads.
    qint16 nights = 1;
    QString plan;
    QString childPlan;
    qint16 children = 0;
    QString mealNote;

    // The reservation link, written by the first save alone.
    qint32 reserveNo = 0;
    QDate receivedOn;
    QString arrivalTime;
    QString checkInTime;

    // Loaded, never saved: the check-out is recorded by the bill.
    bool checkedOut = false;
    QDate checkedOutOn; // null while in the house

    // The party's guests, the representative first.
    QList<CheckInGuest> party;

    // The exempt guests of a levy run from none to the whole party; the first levy out of
    // that range, with the clerk's message, or nothing.
    std::optional<ExemptRefusal> exemptRefusal() const;
    // The guest list as saved: the representative alone (name, joined address and phone)
    // when the list is empty, so that the register never misses a party.
    QList<CheckInGuest> savedParty() const;
    // Unclassified guests still count in the statistics under the "none" codes U0, A0, P0, G0.
    void classifyUnclassified();
    // Whether the first line of the party is the representative as the boxes give them.
    bool partyFollowsRepresentative() const;

    bool operator==(const CheckIn&) const = default;
};

} // namespace arrivalsvc
