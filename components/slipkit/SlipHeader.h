#pragma once

#include <QDate>
#include <QString>

namespace slipkit {

// What a sales slip and a payment slip have alike above their lines: the number, the day,
// the guest's check-in number and the class the clerk chose (sales class or kind of payment,
// the position in the window's list).
struct SlipHeader {
    qint32 number = 0;
    QDate date;
    QString checkInNo;
    qint16 kind = 0;

    bool operator==(const SlipHeader&) const = default;
};

} // namespace slipkit
