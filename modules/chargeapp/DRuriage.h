#pragma once

#include "report/Report.h"

#include <QDate>

namespace chargeapp {

// "売上伝票": the slip on screen as it stands in this desk's work table, saved or not, with
// the inn's profile and the seven values the sales window hands over. A line at the reduced
// rate in force on the slip's day is marked "※", and the note under the lines explains it.
class DRuriage : public desk::Report {
    Q_OBJECT

public:
    // The header values, in the order the sales window hands them over.
    struct SlipValues {
        QString salesClass;
        QString salesNo;
        QString date;
        QString checkInNo;
        QString guestName;
        QString groupName;
        QString roomNo;
        // The slip's day, which decides the reduced rate; null marks no line.
        QDate day;
    };

    DRuriage(const QString& dirPath, const SlipValues& values, qint32 total, const desk::CompanyProfile& profile,
             QObject* parent = nullptr);

private:
    void layOut();
};

} // namespace chargeapp
