#pragma once

#include "report/Report.h"

namespace bookingapp {

// "予約確認票": the confirmation slip of one reservation, laid out as a form, with the inn's
// profile at the top of the page. Opens its own row set on BTReservation.mdb; a number
// that no reservation carries gives a slip with its headers only.
class DRyoyaku : public desk::Report {
    Q_OBJECT

public:
    DRyoyaku(const QString& dirPath, qint32 reserveNo, const desk::CompanyProfile& profile, QObject* parent = nullptr);

private:
    void layOut();
};

} // namespace bookingapp
