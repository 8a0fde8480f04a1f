#pragma once

#include "data/Connection.h"
#include "testsupport/WindowFixture.h"

#include <QString>

namespace tallyapp::test {

// A small data set whose totals were worked out by hand, May 2024, with one row of each
// kind outside the month:
//  sales   5/1 宿泊掛売 101 2×12,000 (svc 10%, tax 10%) and 301 3×650 (tax 10%);
//          5/1 現金売 501 1×1,000 (tax 8%); 5/2 宿泊掛売 201 2×5,000 (svc 10%, tax 10%);
//          5/3 掛売 305 1×1,234,567; 6/1 101 1×12,000.
//  payments 5/1 01 10,000 + 03 20,000; 5/2 01 5,000 + 02 3,000; 7/1 01 1,000.
//  guests  5/1 2 guests (A2 G2 U1 P1 C1); 5/2 5 guests (A2 G4 U1 P2 C2);
//          5/3 1 guest (A5 G1 U2 P1 C1); 6/10 4 guests.
inline void seedTallyData(const QString& dir) {
    {
        auto sales = desk::Connection::open(dir, QString::fromLatin1(desk::DbFile::Sales));
        desk::Transaction tx(sales);
        sales->exec(QStringLiteral("INSERT INTO BTSalesNo (BTSalesNo, BTSalesdate, BTCheckInNo, BTKubun) VALUES "
                                   "(1, '2024-05-01', 'C1', 0), (2, '2024-05-01', '', 1), (3, '2024-05-02', 'C2', 0), "
                                   "(4, '2024-06-01', 'C4', 0), (5, '2024-05-03', 'C3', 2)"));
        sales->exec(QStringLiteral("INSERT INTO BTSalesDetail (BTSalesNo, BTcmcode, BTspec, BTQuantity, BTUnitPrice, "
                                   "BTServiceFee, BTSalesTax) VALUES "
                                   "(1, '101', '', 2, 12000, 10, 10), (1, '301', '', 3, 650, 0, 10), "
                                   "(2, '501', '', 1, 1000, 0, 8), (3, '201', '', 2, 5000, 10, 10), "
                                   "(4, '101', '', 1, 12000, 10, 10), (5, '305', '', 1, 1234567, 0, 0)"));
        tx.commit();
    }
    {
        auto recipt = desk::Connection::open(dir, QString::fromLatin1(desk::DbFile::Recipt));
        desk::Transaction tx(recipt);
        recipt->exec(
            QStringLiteral("INSERT INTO BTPaymentNo (RptNO, ReciptDate, RptcheckInNo, Rptkubun) VALUES "
                           "(1, '2024-05-01', 'C1', 0), (2, '2024-05-02', 'C2', 0), (3, '2024-07-01', 'C4', 1)"));
        recipt->exec(QStringLiteral("INSERT INTO BTPaymentDtl (RptNO, RptCode, ReciptAmount, RptRemarks) VALUES "
                                    "(1, '01', 10000, ''), (1, '03', 20000, ''), (2, '01', 5000, ''), "
                                    "(2, '02', 3000, ''), (3, '01', 1000, '')"));
        tx.commit();
    }
    {
        auto guests = desk::Connection::open(dir, QString::fromLatin1(desk::DbFile::DaySalesCliants));
        desk::Transaction tx(guests);
        guests->exec(QStringLiteral("INSERT INTO CheckInCliants (CheckInNO, CheckInDate, CheckInName, CheckInRoomNo) "
                                    "VALUES ('C1', '2024-05-01', '山田', '101'), ('C2', '2024-05-02', '佐藤', '102'), "
                                    "('C3', '2024-05-03', '鈴木', '103'), ('C4', '2024-06-10', '田中', '104')"));
        guests->exec(QStringLiteral("INSERT INTO CheckInBadget (CheckInNO, RvClNumber, RvBadget) VALUES "
                                    "('C1', 2, 0), ('C2', 5, 0), ('C3', 1, 0), ('C4', 4, 0)"));
        guests->exec(QStringLiteral("INSERT INTO CheckInClasify (CheckInNO, RvUseClass, RvYearOldClass, RvPayment, "
                                    "RvGroupespec, ChoiceClass) VALUES "
                                    "('C1', 'U1', 'A2', 'P1', 'G2', 'C1'), ('C2', 'U1', 'A2', 'P2', 'G4', 'C2'), "
                                    "('C3', 'U2', 'A5', 'P1', 'G1', 'C1'), ('C4', 'U2', 'A5', 'P1', 'G1', 'C1')"));
        tx.commit();
    }
}

// The window fixture over a data directory seeded with the set above.
struct TallyData {
    TallyData() {
        seedTallyData(dir.path());
        context.setMyCompanyName(QStringLiteral("湯の宿テサロ"));
    }

    desk::test::WindowFixture fixture;
    const desk::test::TempDataDir& dir = fixture.data();
    desk::ModuleContext& context = fixture.context();
    desk::test::ScriptedDialogs& dialogs = fixture.dialogs();
};

} // namespace tallyapp::test
