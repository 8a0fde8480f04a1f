#include "SchemaCatalogue.h"

#include "Connection.h"

namespace desk::Schema {

namespace {
using T = Engine::Declared;
} // namespace

QString Table::statement(const Engine& engine) const {
    QStringList parts;
    for (const TableColumn& column : columns) {
        QString part = QLatin1String(column.name) + u' ' + engine.columnType(column.type);
        if (*column.constraint)
            part += u' ' + QLatin1String(column.constraint);
        parts << part;
    }
    parts << QLatin1String(RowKeyColumn) + u' ' + engine.rowKeyType();
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(name, parts.join(QStringLiteral(", ")));
}

QStringList Table::rules(const Engine& engine) const {
    if (nightsApart.size() != 3)
        return {};
    return engine.nightsApart(name, nightsApart.at(0), nightsApart.at(1), nightsApart.at(2));
}

QStringList FileSchema::statements(const Engine& engine) const {
    QStringList all;
    for (const Table& table : tables)
        all << table.statement(engine) << table.indexes << table.rules(engine);
    return all + views;
}

// Quantities, rates and amounts are DOUBLE/CURRENCY so a fractional line total or
// half a portion is never cut off; slip numbers and headcounts are INTEGER/SMALLINT.
// Every text column compares ASCII letters without regard to case, as the files' first
// engine did: "a1" and "A1" are one check-in number, "yamada" finds "Yamada". Kana and
// kanji compare exactly. The desk column of the work tables is declared exact.
namespace {

// The bookings.
FileSchema reservationFile() {
    return {QString::fromLatin1(DbFile::Reservation),
            {
                {QStringLiteral("Reserve"),
                 {{"RvNo", T::Integer},
                  {"RvUseDate", T::Date},
                  {"RvDate", T::Date},
                  {"RvName", T::CaseBlindText},
                  {"RvZip", T::CaseBlindText},
                  {"RvAddress1", T::CaseBlindText},
                  {"RvAddress2", T::CaseBlindText},
                  {"RvAddress3", T::CaseBlindText},
                  {"RvTelNo", T::CaseBlindText},
                  {"RvClNumber", T::Integer},
                  {"RvBadget", T::Integer},
                  {"RvRemarks1", T::CaseBlindText},
                  {"RvArvtime", T::CaseBlindText},
                  {"RvChkInTime", T::CaseBlindText},
                  {"RvGroupe", T::CaseBlindText},
                  {"RvTravelAg", T::CaseBlindText},
                  {"Rvchkflg", T::YesNo, "NOT NULL DEFAULT 0"},
                  {"RvProc", T::CaseBlindText},
                  // The nights from RvUseDate; the plan (a commodity code) of the adults
                  // and of the children, how many of RvClNumber are children, and the
                  // kitchen's note (allergies, times, 部屋食/食事処).
                  {"RvNights", T::SmallInt, "NOT NULL DEFAULT 1"},
                  {"RvPlan", T::CaseBlindText},
                  {"RvChildPlan", T::CaseBlindText},
                  {"RvChildren", T::SmallInt, "NOT NULL DEFAULT 0"},
                  {"RvMealNote", T::CaseBlindText}},
                 {
                     QStringLiteral("CREATE UNIQUE INDEX Reserve_RvNo ON Reserve (RvNo)"),
                     QStringLiteral("CREATE INDEX Reserve_RvUseDate ON Reserve (RvUseDate)"),
                     QStringLiteral("CREATE INDEX Reserve_RvName ON Reserve (RvName)"),
                     QStringLiteral("CREATE INDEX Reserve_RvTelNo ON Reserve (RvTelNo)"),
                 }},
                // Who sleeps in which room on which nights: a reservation's rooms before
                // arrival, the check-in's after. An empty RoomCode is not assigned yet.
                // StayState 0 reserved, 1 in the house, 2 checked out.
                {QStringLiteral("RoomStays"),
                 {{"RoomCode", T::CaseBlindText, "NOT NULL DEFAULT ''"},
                  {"FirstNight", T::Date},
                  {"Nights", T::SmallInt, "NOT NULL DEFAULT 1"},
                  {"Guests", T::SmallInt, "NOT NULL DEFAULT 0"},
                  {"RvNo", T::Integer},
                  {"CheckInNO", T::CaseBlindText},
                  {"StayState", T::SmallInt, "NOT NULL DEFAULT 0"}},
                 {
                     QStringLiteral("CREATE INDEX RoomStays_FirstNight ON RoomStays (FirstNight)"),
                     // A room's stays by night: the clash check reads a few nights of one room.
                     QStringLiteral("CREATE INDEX RoomStays_RoomCode ON RoomStays (RoomCode, FirstNight)"),
                     QStringLiteral("CREATE INDEX RoomStays_RvNo ON RoomStays (RvNo)"),
                     QStringLiteral("CREATE INDEX RoomStays_CheckInNO ON RoomStays (CheckInNO)"),
                     // The longest stay, read first so a search by night reads no stay that
                     // ended long before.
                     QStringLiteral("CREATE INDEX RoomStays_Nights ON RoomStays (Nights)"),
                 },
                 {QStringLiteral("RoomCode"), QStringLiteral("FirstNight"), QStringLiteral("Nights")}},
                // The kitchen's meal sheet of a day as it was last printed: when, and each
                // party on it (R and the reservation number, or C and a walk-in's check-in
                // number) with the guests and plans printed, to mark what changed since.
                {QStringLiteral("MealSheetPrints"),
                 {{"SheetDay", T::Date, "NOT NULL"}, {"PrintedAt", T::Text, "NOT NULL DEFAULT ''"}},
                 {
                     QStringLiteral("CREATE UNIQUE INDEX MealSheetPrints_SheetDay ON MealSheetPrints (SheetDay)"),
                 }},
                {QStringLiteral("MealSheetParties"),
                 {{"SheetDay", T::Date, "NOT NULL"},
                  {"PartyKey", T::CaseBlindText, "NOT NULL"},
                  {"PartyName", T::CaseBlindText},
                  {"Guests", T::SmallInt, "NOT NULL DEFAULT 0"},
                  {"Children", T::SmallInt, "NOT NULL DEFAULT 0"},
                  {"PlanCode", T::CaseBlindText},
                  {"ChildPlanCode", T::CaseBlindText},
                  {"Rooms", T::CaseBlindText}},
                 {
                     QStringLiteral("CREATE INDEX MealSheetParties_SheetDay ON MealSheetParties (SheetDay)"),
                 }},
            },
            {}};
}

// The check-ins, their guests and the guest classification lists.
FileSchema checkInFile() {
    return {
        QString::fromLatin1(DbFile::DaySalesCliants),
        {
            {QStringLiteral("CheckInCliants"),
             {{"CheckInNO", T::CaseBlindText},
              {"CheckInDate", T::Date},
              {"CheckInName", T::CaseBlindText},
              {"CheckInRoomNo", T::CaseBlindText},
              {"CheckInRemarks", T::CaseBlindText},
              {"CheckOutFlag", T::YesNo, "NOT NULL DEFAULT 0"},
              // The day of check-out, for the nights in the guest register; null
              // before it was recorded.
              {"CheckOutDate", T::Date},
              // The reservation taken over (0: a walk-in), the nights booked, the plans of
              // the adults and the children, how many guests are children, the kitchen's note.
              {"CheckInRvNo", T::Integer, "NOT NULL DEFAULT 0"},
              {"CheckInNights", T::SmallInt, "NOT NULL DEFAULT 1"},
              {"CheckInPlan", T::CaseBlindText},
              {"CheckInChildPlan", T::CaseBlindText},
              {"CheckInChildren", T::SmallInt, "NOT NULL DEFAULT 0"},
              {"CheckInMealNote", T::CaseBlindText}},
             {
                 QStringLiteral("CREATE UNIQUE INDEX CheckInCliants_CheckInNO ON CheckInCliants (CheckInNO)"),
                 QStringLiteral("CREATE INDEX CheckInCliants_CheckInDate ON CheckInCliants (CheckInDate)"),
                 QStringLiteral("CREATE INDEX CheckInCliants_CheckInName ON CheckInCliants (CheckInName)"),
                 QStringLiteral("CREATE INDEX CheckInCliants_CheckOutFlag ON CheckInCliants (CheckOutFlag)"),
             }},
            {QStringLiteral("CheckInAdrs"),
             {{"CheckInNO", T::CaseBlindText},
              {"CheckInAdrs1", T::CaseBlindText},
              {"CheckInAdrs2", T::CaseBlindText},
              {"CheckInAdrs3", T::CaseBlindText},
              {"CheckInTelNo", T::CaseBlindText},
              {"CheckInEMAdrs", T::CaseBlindText},
              {"CheckInFaxNo", T::CaseBlindText}},
             {
                 QStringLiteral("CREATE UNIQUE INDEX CheckInAdrs_CheckInNO ON CheckInAdrs (CheckInNO)"),
                 QStringLiteral("CREATE INDEX CheckInAdrs_CheckInTelNo ON CheckInAdrs (CheckInTelNo)"),
             }},
            {QStringLiteral("CheckInGroupe"),
             {{"CheckInNO", T::CaseBlindText},
              {"CheckInGroupe", T::CaseBlindText},
              {"CheckInCName", T::CaseBlindText},
              {"CheckInTravelAg", T::CaseBlindText}},
             {
                 QStringLiteral("CREATE UNIQUE INDEX CheckInGroupe_CheckInNO ON CheckInGroupe (CheckInNO)"),
             }},
            {QStringLiteral("CheckInClasify"),
             {{"CheckInNO", T::CaseBlindText},
              {"RvUseClass", T::CaseBlindText},
              {"RvYearOldClass", T::CaseBlindText},
              {"RvPayment", T::CaseBlindText},
              {"RvGroupespec", T::CaseBlindText},
              {"ChoiceClass", T::CaseBlindText}},
             {
                 QStringLiteral("CREATE UNIQUE INDEX CheckInClasify_CheckInNO ON CheckInClasify (CheckInNO)"),
             }},
            // The guests of the party exempt from the bathing tax and from the accommodation
            // tax (children, school trips): never more than RvClNumber.
            {QStringLiteral("CheckInBadget"),
             {{"CheckInNO", T::CaseBlindText},
              {"RvClNumber", T::SmallInt},
              {"RvBadget", T::Integer},
              {"BathExempt", T::SmallInt, "NOT NULL DEFAULT 0"},
              {"LodgingExempt", T::SmallInt, "NOT NULL DEFAULT 0"}},
             {
                 QStringLiteral("CREATE UNIQUE INDEX CheckInBadget_CheckInNO ON CheckInBadget (CheckInNO)"),
             }},
            {QStringLiteral("CheckInCliantDetail"),
             {{"CheckInNO", T::CaseBlindText},
              {"RvNo", T::Integer},
              {"RvDate", T::Date},
              {"RvArvtime", T::CaseBlindText},
              {"RvChkInTime", T::CaseBlindText}},
             {
                 QStringLiteral("CREATE UNIQUE INDEX CheckInCliantDetail_CheckInNO ON CheckInCliantDetail (CheckInNO)"),
                 QStringLiteral("CREATE INDEX CheckInCliantDetail_RvNo ON CheckInCliantDetail (RvNo)"),
             }},
            // The party's guests for the guest register, the representative first (GuestNo 1).
            // GuestAdrs "同上" stands for the representative's address; Nationality and
            // PassportNo are kept for a guest from abroad without an address in Japan.
            {QStringLiteral("CheckInGuests"),
             {{"CheckInNO", T::CaseBlindText},
              {"GuestNo", T::SmallInt},
              {"GuestName", T::CaseBlindText},
              {"GuestAdrs", T::CaseBlindText},
              {"GuestTelNo", T::CaseBlindText},
              {"Abroad", T::YesNo, "NOT NULL DEFAULT 0"},
              {"Nationality", T::CaseBlindText},
              {"PassportNo", T::CaseBlindText}},
             {
                 QStringLiteral("CREATE INDEX CheckInGuests_CheckInNO ON CheckInGuests (CheckInNO)"),
             }},
            // yearclass first: the pickers read an age bracket's name from the first column.
            {QStringLiteral("AgeClass"),
             {{"yearclass", T::CaseBlindText}, {"YCode", T::CaseBlindText}},
             {
                 QStringLiteral("CREATE UNIQUE INDEX AgeClass_YCode ON AgeClass (YCode)"),
             }},
            {QStringLiteral("UserClass"),
             {{"UCode", T::CaseBlindText}, {"UclassName", T::CaseBlindText}},
             {
                 QStringLiteral("CREATE UNIQUE INDEX UserClass_UCode ON UserClass (UCode)"),
             }},
            {QStringLiteral("GroupeClass"),
             {{"GCode", T::CaseBlindText}, {"Groupename", T::CaseBlindText}},
             {
                 QStringLiteral("CREATE UNIQUE INDEX GroupeClass_GCode ON GroupeClass (GCode)"),
             }},
            {QStringLiteral("PaymentClass"),
             {{"PCode", T::CaseBlindText}, {"PaymentName", T::CaseBlindText}},
             {
                 QStringLiteral("CREATE UNIQUE INDEX PaymentClass_PCode ON PaymentClass (PCode)"),
             }},
            {QStringLiteral("ChoiceClass"),
             {{"ChCode", T::CaseBlindText}, {"ChoiceName", T::CaseBlindText}},
             {
                 QStringLiteral("CREATE UNIQUE INDEX ChoiceClass_ChCode ON ChoiceClass (ChCode)"),
             }},
        },
        {
            // What the bathing and accommodation taxes read of a stay: its days, its party and
            // the guests exempt from each.
            QStringLiteral("CREATE VIEW QRYStayLevy AS SELECT "
                           "c.CheckInNO AS CheckInNO, c.CheckInDate AS CheckInDate, c.CheckOutDate AS CheckOutDate, "
                           "c.CheckOutFlag AS CheckOutFlag, ifnull(b.RvClNumber, 0) AS Guests, "
                           "ifnull(b.BathExempt, 0) AS BathExempt, ifnull(b.LodgingExempt, 0) AS LodgingExempt "
                           "FROM CheckInCliants c LEFT JOIN CheckInBadget b ON b.CheckInNO = c.CheckInNO"),
            QStringLiteral("CREATE VIEW QRYCliantsDaySale AS SELECT "
                           "c.CheckInNO AS CheckInNO, c.CheckInDate AS CheckInDate, c.CheckInName AS CheckInName, "
                           "c.CheckInRoomNo AS CheckInRoomNo, g.CheckInCName AS CheckInCName, "
                           "b.RvClNumber AS CheckInCliants, g.CheckInGroupe AS CheckInGroupe, "
                           "c.CheckInRemarks AS CheckInRemarks, a.CheckInTelNo AS CheckInTelNo, "
                           "c.CheckOutFlag AS CheckOutFlag, b.RvClNumber AS RvClNumber, b.RvBadget AS RvBadget, "
                           "g.CheckInTravelAg AS CheckInTravelAg, a.CheckInAdrs1 AS CheckInAdrs1, "
                           "a.CheckInAdrs2 AS CheckInAdrs2, a.CheckInAdrs3 AS CheckInAdrs3, "
                           "a.CheckInEMAdrs AS CheckInEMAdrs, a.CheckInFaxNo AS CheckInFaxNo, "
                           "k.RvUseClass AS RvUseClass, k.RvYearOldClass AS RvYearOldClass, k.RvPayment AS RvPayment, "
                           "k.RvGroupespec AS RvGroupespec, k.ChoiceClass AS ChoiceClass, d.RvNo AS RvNo "
                           "FROM CheckInCliants c "
                           "LEFT JOIN CheckInAdrs a ON a.CheckInNO = c.CheckInNO "
                           "LEFT JOIN CheckInGroupe g ON g.CheckInNO = c.CheckInNO "
                           "LEFT JOIN CheckInBadget b ON b.CheckInNO = c.CheckInNO "
                           "LEFT JOIN CheckInClasify k ON k.CheckInNO = c.CheckInNO "
                           "LEFT JOIN CheckInCliantDetail d ON d.CheckInNO = c.CheckInNO "
                           "ORDER BY c.CheckInDate, c.RowKey"),
            // A code with no list entry is still counted, under an empty name.
            QStringLiteral("CREATE VIEW QRYForClass AS SELECT "
                           "c.CheckInNO AS CheckInNO, c.CheckInDate AS CheckInDate, "
                           "b.RvClNumber AS CheckInCliants, "
                           "k.RvYearOldClass AS RvYearOldClass, ifnull(y.yearclass, '') AS YearClass, "
                           "k.RvGroupespec AS RvGroupeSpec, ifnull(g.Groupename, '') AS GroupeName, "
                           "k.RvUseClass AS RvUseClass, ifnull(u.UclassName, '') AS UClassName, "
                           "k.RvPayment AS RvPayment, ifnull(p.PaymentName, '') AS PaymentName, "
                           "k.ChoiceClass AS ChoiceClass, ifnull(h.ChoiceName, '') AS ChoiceName "
                           "FROM CheckInCliants c "
                           "LEFT JOIN CheckInBadget b ON b.CheckInNO = c.CheckInNO "
                           "LEFT JOIN CheckInClasify k ON k.CheckInNO = c.CheckInNO "
                           "LEFT JOIN AgeClass y ON y.YCode = k.RvYearOldClass "
                           "LEFT JOIN GroupeClass g ON g.GCode = k.RvGroupespec "
                           "LEFT JOIN UserClass u ON u.UCode = k.RvUseClass "
                           "LEFT JOIN PaymentClass p ON p.PCode = k.RvPayment "
                           "LEFT JOIN ChoiceClass h ON h.ChCode = k.ChoiceClass "
                           "ORDER BY c.CheckInDate, c.RowKey"),
        }};
}

// The sales slips, the commodities and their classes.
FileSchema salesFile() {
    return {QString::fromLatin1(DbFile::Sales),
            {
                {QStringLiteral("BTSalesNo"),
                 {{"BTSalesNo", T::Integer},
                  {"BTSalesdate", T::Date},
                  {"BTCheckInNo", T::CaseBlindText},
                  {"BTKubun", T::SmallInt}},
                 {
                     QStringLiteral("CREATE UNIQUE INDEX BTSalesNo_BTSalesNo ON BTSalesNo (BTSalesNo)"),
                     QStringLiteral("CREATE INDEX BTSalesNo_BTSalesdate ON BTSalesNo (BTSalesdate)"),
                     QStringLiteral("CREATE INDEX BTSalesNo_BTCheckInNo ON BTSalesNo (BTCheckInNo)"),
                 }},
                {QStringLiteral("BTSalesDetail"),
                 {{"BTSalesNo", T::Integer},
                  {"BTcmcode", T::CaseBlindText},
                  {"BTspec", T::CaseBlindText},
                  {"BTQuantity", T::Double},
                  {"BTUnitPrice", T::Currency},
                  {"BTServiceFee", T::Double},
                  {"BTSalesTax", T::Double}},
                 {
                     QStringLiteral("CREATE INDEX BTSalesDetail_BTSalesNo ON BTSalesDetail (BTSalesNo)"),
                     QStringLiteral("CREATE INDEX BTSalesDetail_BTcmcode ON BTSalesDetail (BTcmcode)"),
                 }},
                {QStringLiteral("BTTempSalesDetail"),
                 {{"BTcmcode", T::CaseBlindText},
                  {"BTCMname", T::CaseBlindText},
                  {"BTspec", T::CaseBlindText},
                  {"BTQuantity", T::Double},
                  {"BTUnitPrice", T::Currency},
                  {"BTSubTotal1", T::Currency},
                  {"BTServiceFee", T::Double},
                  {"BTSalesTax", T::Double},
                  {"BTSubTotal2", T::Currency},
                  {"Desk", T::ExactText, "NOT NULL DEFAULT ''"}},
                 {
                     QStringLiteral("CREATE INDEX BTTempSalesDetail_Desk ON BTTempSalesDetail (Desk)"),
                 }},
                {QStringLiteral("Commodities"),
                 {{"Ccode", T::CaseBlindText},
                  {"cname", T::CaseBlindText},
                  {"Cclasify", T::CaseBlindText},
                  {"Cunit", T::CaseBlindText},
                  {"Cremarks1", T::CaseBlindText},
                  // 0 standard rate, 1 reduced rate, 2 not taxed; 1 when the
                  // service charge applies; the percent of the price that is the
                  // room, which the accommodation tax's bands read (0: not a stay).
                  {"CTaxClass", T::SmallInt, "NOT NULL DEFAULT 0"},
                  {"CService", T::SmallInt, "NOT NULL DEFAULT 1"},
                  {"CRoomShare", T::SmallInt, "NOT NULL DEFAULT 0"},
                  // The meals a stay plan includes per guest and night: dinner on the
                  // evening of the night, breakfast the next morning.
                  {"CMealDinner", T::YesNo, "NOT NULL DEFAULT 0"},
                  {"CMealBreakfast", T::YesNo, "NOT NULL DEFAULT 0"}},
                 {
                     QStringLiteral("CREATE UNIQUE INDEX Commodities_Ccode ON Commodities (Ccode)"),
                     QStringLiteral("CREATE INDEX Commodities_Cclasify ON Commodities (Cclasify)"),
                 }},
                {QStringLiteral("CmPrice"),
                 {{"Ccode", T::CaseBlindText},
                  {"CMprice0", T::Integer},
                  {"CMprice1", T::Integer},
                  {"CMprice2", T::Integer},
                  {"CMprice3", T::Integer},
                  {"CMprice4", T::Integer}},
                 {
                     QStringLiteral("CREATE UNIQUE INDEX CmPrice_Ccode ON CmPrice (Ccode)"),
                 }},
                {QStringLiteral("CommodityClasify"),
                 {{"CClassCode", T::CaseBlindText}, {"CClassName", T::CaseBlindText}},
                 {
                     QStringLiteral("CREATE UNIQUE INDEX CommodityClasify_CClassCode ON CommodityClasify (CClassCode)"),
                 }},
            },
            {
                // Lines whose commodity was deleted stay, with an empty name: a bill never
                // loses a charge.
                QStringLiteral("CREATE VIEW QRYSalesDetail AS SELECT "
                               "d.BTSalesNo AS BTSalesNo, h.BTSalesdate AS BTSalesdate, d.BTcmcode AS BTcmcode, "
                               "ifnull(m.cname, '') AS cname, d.BTspec AS BTspec, d.BTQuantity AS BTQuantity, "
                               "d.BTUnitPrice AS BTUnitPrice, d.BTServiceFee AS BTServiceFee, "
                               "d.BTSalesTax AS BTSalesTax "
                               "FROM BTSalesDetail d "
                               "LEFT JOIN BTSalesNo h ON h.BTSalesNo = d.BTSalesNo "
                               "LEFT JOIN Commodities m ON m.Ccode = d.BTcmcode "
                               "ORDER BY d.BTSalesNo, d.RowKey"),
                // A bill lists charges in the order they were made: slip, then line.
                QStringLiteral("CREATE VIEW QRYCheckOutP AS SELECT "
                               "h.BTCheckInNo AS BTCheckInNo, d.BTSalesNo AS BTSalesNO, h.BTSalesdate AS BTSalesdate, "
                               "d.BTcmcode AS BTcmcode, ifnull(m.cname, '') AS cname, d.BTspec AS BTspec, "
                               "d.BTQuantity AS BTQuantity, d.BTUnitPrice AS BTUnitPrice, "
                               "d.BTServiceFee AS BTServiceFee, d.BTSalesTax AS BTSalesTax, h.BTKubun AS BTKubun, "
                               "ifnull(m.CRoomShare, 0) AS CRoomShare "
                               "FROM BTSalesDetail d "
                               "JOIN BTSalesNo h ON h.BTSalesNo = d.BTSalesNo "
                               "LEFT JOIN Commodities m ON m.Ccode = d.BTcmcode "
                               "ORDER BY d.BTSalesNo, d.RowKey"),
                // One row per sales line: net = quantity × price, service charge on the net,
                // tax on net plus service charge, as the bill computes them.
                QStringLiteral(
                    "CREATE VIEW QRYForSyukei AS SELECT "
                    "h.BTSalesdate AS BTSalesDate, ifnull(k.CClassName, '') AS CclassName, "
                    "ifnull(d.BTQuantity, 0) * ifnull(d.BTUnitPrice, 0) AS SmallSum1, "
                    "ifnull(d.BTQuantity, 0) * ifnull(d.BTUnitPrice, 0) * ifnull(d.BTServiceFee, 0) / 100.0 AS SVfee, "
                    "(ifnull(d.BTQuantity, 0) * ifnull(d.BTUnitPrice, 0) "
                    " + ifnull(d.BTQuantity, 0) * ifnull(d.BTUnitPrice, 0) * ifnull(d.BTServiceFee, 0) / 100.0) "
                    " * ifnull(d.BTSalesTax, 0) / 100.0 AS SLTAX, "
                    "ifnull(d.BTQuantity, 0) * ifnull(d.BTUnitPrice, 0) "
                    " * (1 + ifnull(d.BTServiceFee, 0) / 100.0) * (1 + ifnull(d.BTSalesTax, 0) / 100.0) AS Smallsum2, "
                    "d.BTcmcode AS BTCMcode, ifnull(m.cname, '') AS Cname, d.BTQuantity AS BTQuantity, "
                    "d.BTSalesNo AS BTSalesNo, h.BTCheckInNo AS BTCheckInNo, h.BTKubun AS BTKubun, "
                    "CASE h.BTKubun WHEN 0 THEN '宿泊掛売' WHEN 1 THEN '現金売' WHEN 2 THEN '掛売' ELSE '' END "
                    " AS SKubunName, "
                    "m.Cclasify AS Cclasify "
                    "FROM BTSalesDetail d "
                    "JOIN BTSalesNo h ON h.BTSalesNo = d.BTSalesNo "
                    "LEFT JOIN Commodities m ON m.Ccode = d.BTcmcode "
                    "LEFT JOIN CommodityClasify k ON k.CClassCode = m.Cclasify"),
                // The name goes with the kind; grouped by both, as every engine asks of a column shown.
                QStringLiteral("CREATE VIEW QRYForSyukeiUKubun AS SELECT "
                               "BTSalesDate, SKubunName, Sum(SmallSum1) AS Sum1, Sum(SVfee) AS Sum2, "
                               "Sum(SLTAX) AS Sum3, Sum(Smallsum2) AS Sum4 "
                               "FROM QRYForSyukei GROUP BY BTSalesDate, BTKubun, SKubunName "
                               "ORDER BY BTSalesDate, BTKubun"),
                QStringLiteral("CREATE VIEW CodeTable AS SELECT "
                               "m.Ccode AS Ccode, m.cname AS Cname, m.Cremarks1 AS Cspec, p.CMprice0 AS CmPrice0, "
                               "m.Cunit AS Cunit, m.Cclasify AS Cclasify, ifnull(k.CClassName, '') AS Cclassname, "
                               "p.CMprice1 AS CMprice1, p.CMprice2 AS CMprice2, p.CMprice3 AS CMprice3, "
                               "p.CMprice4 AS CMprice4 "
                               "FROM Commodities m "
                               "LEFT JOIN CmPrice p ON p.Ccode = m.Ccode "
                               "LEFT JOIN CommodityClasify k ON k.CClassCode = m.Cclasify "
                               "ORDER BY m.Ccode"),
            }};
}

// The payment slips and the payment items and classes.
FileSchema paymentFile() {
    // A payment item's class is a number and the class list's code digits as text ("1",
    // "01"): compared as numbers, without leading zeros, on every engine.
    const QString classMatchesCode =
        QStringLiteral("ltrim(k.RptClassCode, '0') = ltrim(CAST(c.RptClass AS TEXT), '0')");
    return {QString::fromLatin1(DbFile::Recipt),
            {
                {QStringLiteral("BTPaymentNo"),
                 {{"RptNO", T::Integer},
                  {"ReciptDate", T::Date},
                  {"RptcheckInNo", T::CaseBlindText},
                  {"Rptkubun", T::SmallInt}},
                 {
                     QStringLiteral("CREATE UNIQUE INDEX BTPaymentNo_RptNO ON BTPaymentNo (RptNO)"),
                     QStringLiteral("CREATE INDEX BTPaymentNo_ReciptDate ON BTPaymentNo (ReciptDate)"),
                     QStringLiteral("CREATE INDEX BTPaymentNo_RptcheckInNo ON BTPaymentNo (RptcheckInNo)"),
                 }},
                {QStringLiteral("BTPaymentDtl"),
                 {{"RptNO", T::Integer},
                  {"RptCode", T::CaseBlindText},
                  {"ReciptAmount", T::Currency},
                  {"RptRemarks", T::CaseBlindText}},
                 {
                     QStringLiteral("CREATE INDEX BTPaymentDtl_RptNO ON BTPaymentDtl (RptNO)"),
                     QStringLiteral("CREATE INDEX BTPaymentDtl_RptCode ON BTPaymentDtl (RptCode)"),
                 }},
                {QStringLiteral("BTReciptTemp"),
                 {{"RptNO", T::Integer},
                  {"RptCode", T::CaseBlindText},
                  {"RptName", T::CaseBlindText},
                  {"ReciptAmount", T::Currency},
                  {"RptRemarks", T::CaseBlindText},
                  {"Desk", T::ExactText, "NOT NULL DEFAULT ''"}},
                 {
                     QStringLiteral("CREATE INDEX BTReciptTemp_Desk ON BTReciptTemp (Desk)"),
                 }},
                {QStringLiteral("ReciptCode"),
                 {{"RptCode", T::CaseBlindText},
                  {"RptName", T::CaseBlindText},
                  {"RptClass", T::SmallInt},
                  {"RptRemarks1", T::CaseBlindText},
                  {"RptRemarks2", T::CaseBlindText}},
                 {
                     QStringLiteral("CREATE UNIQUE INDEX ReciptCode_RptCode ON ReciptCode (RptCode)"),
                     QStringLiteral("CREATE INDEX ReciptCode_RptClass ON ReciptCode (RptClass)"),
                 }},
                {QStringLiteral("ReciptClass"),
                 {{"RptClassCode", T::CaseBlindText}, {"RptClassName", T::CaseBlindText}},
                 {
                     QStringLiteral("CREATE UNIQUE INDEX ReciptClass_RptClassCode ON ReciptClass (RptClassCode)"),
                 }},
            },
            {
                QStringLiteral("CREATE VIEW QRYReciptDetail AS SELECT "
                               "d.RptNO AS RptNO, d.RptCode AS RptCode, d.ReciptAmount AS ReciptAmount, "
                               "ifnull(c.RptName, '') AS RptName, d.RptRemarks AS RptRemarks "
                               "FROM BTPaymentDtl d "
                               "LEFT JOIN ReciptCode c ON c.RptCode = d.RptCode "
                               "ORDER BY d.RptNO, d.RowKey"),
                QStringLiteral("CREATE VIEW QRYRecipt AS SELECT "
                               "h.RptcheckInNo AS RptCheckInNo, h.RptNO AS RptNo, h.ReciptDate AS ReciptDate, "
                               "d.RptCode AS RptCode, ifnull(c.RptName, '') AS RptName, "
                               "d.ReciptAmount AS ReciptAmount, d.RptRemarks AS RptRemarks, h.Rptkubun AS Rptkubun "
                               "FROM BTPaymentDtl d "
                               "JOIN BTPaymentNo h ON h.RptNO = d.RptNO "
                               "LEFT JOIN ReciptCode c ON c.RptCode = d.RptCode "
                               "ORDER BY h.RptNO, d.RowKey"),
                // The running total of the slip on screen, one row per desk: read it with
                // "WHERE Desk = ?" (no row while the desk has no lines).
                QStringLiteral("CREATE VIEW QRYSum AS SELECT "
                               "Desk AS Desk, ifnull(Sum(ReciptAmount), 0) AS SumReciptAmount, Count(*) AS LineCount "
                               "FROM BTReciptTemp GROUP BY Desk"),
                QStringLiteral("CREATE VIEW QRYRptCodeTbl AS SELECT "
                               "c.RptCode AS RptCode, c.RptName AS RptName, c.RptRemarks1 AS RptRemarks1, "
                               "c.RptRemarks2 AS RptRemarks2, c.RptClass AS RptClass, "
                               "ifnull(k.RptClassName, '') AS Rptclassname "
                               "FROM ReciptCode c LEFT JOIN ReciptClass k ON %1 ORDER BY c.RptCode")
                    .arg(classMatchesCode),
                QStringLiteral("CREATE VIEW QRYForSyukeiRecipt AS SELECT "
                               "h.ReciptDate AS ReciptDate, ifnull(k.RptClassName, '') AS Spec, d.RptCode AS RptCode, "
                               "ifnull(c.RptName, '') AS RptName, d.ReciptAmount AS ReciptAmount, h.RptNO AS RptNO, "
                               "h.RptcheckInNo AS RptcheckInNo, c.RptClass AS RptClass "
                               "FROM BTPaymentDtl d "
                               "JOIN BTPaymentNo h ON h.RptNO = d.RptNO "
                               "LEFT JOIN ReciptCode c ON c.RptCode = d.RptCode "
                               "LEFT JOIN ReciptClass k ON %1")
                    .arg(classMatchesCode),
            }};
}

// The inn's profile and tax settings, the check-out statement.
FileSchema optionFile() {
    return {QString::fromLatin1(DbFile::Option),
            {
                {QStringLiteral("CompanyProfile"),
                 {{"CompanyName", T::CaseBlindText},
                  {"CpZipCode", T::CaseBlindText},
                  {"CpAddress", T::CaseBlindText},
                  {"CpTelNo", T::CaseBlindText},
                  {"CpFaxno", T::CaseBlindText},
                  {"CpURL", T::CaseBlindText},
                  {"CpEmail", T::CaseBlindText},
                  {"CpComment", T::CaseBlindText},
                  // The inn's tax settings: service charge in percent, the
                  // rounding of a bill's tax (0 halves to even, 1 down, 2 half
                  // up), the invoice registration number (empty: none).
                  {"ServiceFee", T::Double, "NOT NULL DEFAULT 0"},
                  {"TaxRounding", T::SmallInt, "NOT NULL DEFAULT 0"},
                  {"InvoiceNo", T::CaseBlindText, "NOT NULL DEFAULT ''"}},
                 {}},
                // The rooms: the code the clerk says ("201"), its name and type (a
                // RoomTypes name), 定員 and the fewest guests it is sold to, the floor it is
                // shown under, its place in lists, out of service (修理中) when InService
                // is 0; ToCheck marks a room the upgrade made from a check-in's room text.
                {QStringLiteral("Rooms"),
                 {{"RoomCode", T::CaseBlindText, "NOT NULL"},
                  {"RoomName", T::CaseBlindText, "NOT NULL DEFAULT ''"},
                  {"RoomType", T::CaseBlindText, "NOT NULL DEFAULT ''"},
                  {"Capacity", T::SmallInt, "NOT NULL DEFAULT 0"},
                  {"MinGuests", T::SmallInt, "NOT NULL DEFAULT 0"},
                  {"Floor", T::CaseBlindText, "NOT NULL DEFAULT ''"},
                  {"SortOrder", T::Integer, "NOT NULL DEFAULT 0"},
                  {"InService", T::YesNo, "NOT NULL DEFAULT 1"},
                  {"ToCheck", T::YesNo, "NOT NULL DEFAULT 0"},
                  {"RoomNote", T::CaseBlindText, "NOT NULL DEFAULT ''"}},
                 {
                     QStringLiteral("CREATE UNIQUE INDEX Rooms_RoomCode ON Rooms (RoomCode)"),
                 }},
                {QStringLiteral("RoomTypes"),
                 {{"RoomTypeCode", T::CaseBlindText, "NOT NULL"},
                  {"RoomTypeName", T::CaseBlindText, "NOT NULL DEFAULT ''"}},
                 {
                     QStringLiteral("CREATE UNIQUE INDEX RoomTypes_RoomTypeCode ON RoomTypes (RoomTypeCode)"),
                 }},
                // Consumption-tax rates from their effective date on; no reduced rate
                // (null) before it existed.
                {QStringLiteral("TaxRates"),
                 {{"EffectiveDate", T::Date, "NOT NULL"},
                  {"StandardRate", T::Double, "NOT NULL"},
                  {"ReducedRate", T::Double}},
                 {
                     QStringLiteral("CREATE UNIQUE INDEX TaxRates_EffectiveDate ON TaxRates (EffectiveDate)"),
                 }},
                // The bathing and accommodation taxes from their effective date on, per
                // levy (0 bathing, 1 accommodation of the prefecture, 2 of the
                // municipality). Method 0 levies nothing, 1 a fixed yen per guest-night
                // (Amount), 2 by price bands (LevyBands), 3 a percent of the price
                // (Amount). A price per guest-night below ExemptBelow is not taxed.
                {QStringLiteral("LevyRules"),
                 {{"LevyKind", T::SmallInt, "NOT NULL"},
                  {"EffectiveDate", T::Date, "NOT NULL"},
                  {"Method", T::SmallInt, "NOT NULL DEFAULT 0"},
                  {"Amount", T::Double, "NOT NULL DEFAULT 0"},
                  {"ExemptBelow", T::Integer, "NOT NULL DEFAULT 0"}},
                 {
                     QStringLiteral("CREATE UNIQUE INDEX LevyRules_Kind_Date ON LevyRules (LevyKind, EffectiveDate)"),
                 }},
                // A band: from this price per guest-night on, this many yen.
                {QStringLiteral("LevyBands"),
                 {{"LevyKind", T::SmallInt, "NOT NULL"},
                  {"EffectiveDate", T::Date, "NOT NULL"},
                  {"LowerBound", T::Integer, "NOT NULL"},
                  {"Yen", T::Integer, "NOT NULL"}},
                 {
                     QStringLiteral("CREATE INDEX LevyBands_Kind_Date ON LevyBands (LevyKind, EffectiveDate)"),
                 }},
                {QStringLiteral("CheckOutTemp"),
                 {{"SalesNo", T::Integer},
                  {"SalesDate", T::Date},
                  {"Slcmcode", T::CaseBlindText},
                  {"Slcmname", T::CaseBlindText},
                  {"Slcmspec", T::CaseBlindText},
                  {"Slquantity", T::Double},
                  {"Slunitp", T::Currency},
                  {"SlSubTotal", T::Currency},
                  {"SlSv", T::CaseBlindText},
                  {"SlSv2", T::Double},
                  {"SlTax", T::CaseBlindText},
                  {"SlTax2", T::Double},
                  {"Desk", T::ExactText, "NOT NULL DEFAULT ''"},
                  // "※" on a line taxed at the reduced rate; on a tax row, the
                  // rate and the base it was worked out on.
                  {"SlReduced", T::CaseBlindText},
                  {"SlTaxRate", T::Double},
                  {"SlTaxBase", T::Currency}},
                 {
                     QStringLiteral("CREATE INDEX CheckOutTemp_Desk ON CheckOutTemp (Desk)"),
                 }},
            },
            {}};
}

} // namespace

QList<FileSchema> catalogue() {
    return {reservationFile(), checkInFile(), salesFile(), paymentFile(), optionFile()};
}

Table metaTable() {
    return {QStringLiteral("SchemaMeta"), {{"Name", T::Text, "UNIQUE"}, {"Value", T::Text}}, {}};
}

FileSchema catalogueOf(const QString& fileName) {
    for (const FileSchema& file : catalogue()) {
        if (file.fileName.compare(fileName, Qt::CaseInsensitive) == 0)
            return file;
    }
    return {};
}

} // namespace desk::Schema
