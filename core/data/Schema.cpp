#include "Schema.h"

#include "Connection.h"
#include "OpenFiles.h"
#include "DbError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <QRegularExpression>
#include <QSqlQuery>

#include <algorithm>

#include <unistd.h>

namespace desk::Schema {

namespace {

struct FileSchema {
    QString fileName;
    QStringList statements; // tables, indexes and views, in order
};

// Quantities, rates and amounts are DOUBLE/CURRENCY so a fractional line total or
// half a portion is never cut off; slip numbers and headcounts are INTEGER/SMALLINT.
QList<FileSchema> catalogue() {
    QList<FileSchema> files;

    files.append({QString::fromLatin1(DbFile::Reservation),
                  {
                      QStringLiteral("CREATE TABLE Reserve ("
                                     "RvNo INTEGER, RvUseDate DATE, RvDate DATE, RvName TEXT, RvZip TEXT, "
                                     "RvAddress1 TEXT, RvAddress2 TEXT, RvAddress3 TEXT, RvTelNo TEXT, "
                                     "RvClNumber INTEGER, RvBadget INTEGER, RvRemarks1 TEXT, RvArvtime TEXT, "
                                     "RvChkInTime TEXT, RvGroupe TEXT, RvTravelAg TEXT, "
                                     "Rvchkflg BOOLEAN NOT NULL DEFAULT 0, RvProc TEXT)"),
                      QStringLiteral("CREATE UNIQUE INDEX Reserve_RvNo ON Reserve (RvNo)"),
                      QStringLiteral("CREATE INDEX Reserve_RvUseDate ON Reserve (RvUseDate)"),
                      QStringLiteral("CREATE INDEX Reserve_RvName ON Reserve (RvName)"),
                      QStringLiteral("CREATE INDEX Reserve_RvTelNo ON Reserve (RvTelNo)"),
                  }});

    files.append(
        {QString::fromLatin1(DbFile::DaySalesCliants),
         {
             QStringLiteral("CREATE TABLE CheckInCliants ("
                            "CheckInNO TEXT, CheckInDate DATE, CheckInName TEXT, CheckInRoomNo TEXT, "
                            "CheckInRemarks TEXT, CheckOutFlag BOOLEAN NOT NULL DEFAULT 0)"),
             QStringLiteral("CREATE UNIQUE INDEX CheckInCliants_CheckInNO ON CheckInCliants (CheckInNO)"),
             QStringLiteral("CREATE INDEX CheckInCliants_CheckInDate ON CheckInCliants (CheckInDate)"),
             QStringLiteral("CREATE INDEX CheckInCliants_CheckInName ON CheckInCliants (CheckInName)"),
             QStringLiteral("CREATE INDEX CheckInCliants_CheckOutFlag ON CheckInCliants (CheckOutFlag)"),

             QStringLiteral("CREATE TABLE CheckInAdrs ("
                            "CheckInNO TEXT, CheckInAdrs1 TEXT, CheckInAdrs2 TEXT, CheckInAdrs3 TEXT, "
                            "CheckInTelNo TEXT, CheckInEMAdrs TEXT, CheckInFaxNo TEXT)"),
             QStringLiteral("CREATE UNIQUE INDEX CheckInAdrs_CheckInNO ON CheckInAdrs (CheckInNO)"),
             QStringLiteral("CREATE INDEX CheckInAdrs_CheckInTelNo ON CheckInAdrs (CheckInTelNo)"),

             QStringLiteral("CREATE TABLE CheckInGroupe ("
                            "CheckInNO TEXT, CheckInGroupe TEXT, CheckInCName TEXT, CheckInTravelAg TEXT)"),
             QStringLiteral("CREATE UNIQUE INDEX CheckInGroupe_CheckInNO ON CheckInGroupe (CheckInNO)"),

             QStringLiteral("CREATE TABLE CheckInClasify ("
                            "CheckInNO TEXT, RvUseClass TEXT, RvYearOldClass TEXT, RvPayment TEXT, "
                            "RvGroupespec TEXT, ChoiceClass TEXT)"),
             QStringLiteral("CREATE UNIQUE INDEX CheckInClasify_CheckInNO ON CheckInClasify (CheckInNO)"),

             QStringLiteral("CREATE TABLE CheckInBadget (CheckInNO TEXT, RvClNumber SMALLINT, RvBadget INTEGER)"),
             QStringLiteral("CREATE UNIQUE INDEX CheckInBadget_CheckInNO ON CheckInBadget (CheckInNO)"),

             QStringLiteral("CREATE TABLE CheckInCliantDetail ("
                            "CheckInNO TEXT, RvNo INTEGER, RvDate DATE, RvArvtime TEXT, RvChkInTime TEXT)"),
             QStringLiteral("CREATE UNIQUE INDEX CheckInCliantDetail_CheckInNO ON CheckInCliantDetail (CheckInNO)"),
             QStringLiteral("CREATE INDEX CheckInCliantDetail_RvNo ON CheckInCliantDetail (RvNo)"),

             // yearclass first: the pickers read an age bracket's name from the first column.
             QStringLiteral("CREATE TABLE AgeClass (yearclass TEXT, YCode TEXT)"),
             QStringLiteral("CREATE UNIQUE INDEX AgeClass_YCode ON AgeClass (YCode)"),
             QStringLiteral("CREATE TABLE UserClass (UCode TEXT, UclassName TEXT)"),
             QStringLiteral("CREATE UNIQUE INDEX UserClass_UCode ON UserClass (UCode)"),
             QStringLiteral("CREATE TABLE GroupeClass (GCode TEXT, Groupename TEXT)"),
             QStringLiteral("CREATE UNIQUE INDEX GroupeClass_GCode ON GroupeClass (GCode)"),
             QStringLiteral("CREATE TABLE PaymentClass (PCode TEXT, PaymentName TEXT)"),
             QStringLiteral("CREATE UNIQUE INDEX PaymentClass_PCode ON PaymentClass (PCode)"),
             QStringLiteral("CREATE TABLE ChoiceClass (ChCode TEXT, ChoiceName TEXT)"),
             QStringLiteral("CREATE UNIQUE INDEX ChoiceClass_ChCode ON ChoiceClass (ChCode)"),

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
                            "ORDER BY c.CheckInDate, c.rowid"),

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
                            "ORDER BY c.CheckInDate, c.rowid"),
         }});

    files.append(
        {QString::fromLatin1(DbFile::Sales),
         {
             QStringLiteral("CREATE TABLE BTSalesNo ("
                            "BTSalesNo INTEGER, BTSalesdate DATE, BTCheckInNo TEXT, BTKubun SMALLINT)"),
             QStringLiteral("CREATE UNIQUE INDEX BTSalesNo_BTSalesNo ON BTSalesNo (BTSalesNo)"),
             QStringLiteral("CREATE INDEX BTSalesNo_BTSalesdate ON BTSalesNo (BTSalesdate)"),
             QStringLiteral("CREATE INDEX BTSalesNo_BTCheckInNo ON BTSalesNo (BTCheckInNo)"),

             QStringLiteral("CREATE TABLE BTSalesDetail ("
                            "BTSalesNo INTEGER, BTcmcode TEXT, BTspec TEXT, BTQuantity DOUBLE, "
                            "BTUnitPrice CURRENCY, BTServiceFee DOUBLE, BTSalesTax DOUBLE)"),
             QStringLiteral("CREATE INDEX BTSalesDetail_BTSalesNo ON BTSalesDetail (BTSalesNo)"),
             QStringLiteral("CREATE INDEX BTSalesDetail_BTcmcode ON BTSalesDetail (BTcmcode)"),

             QStringLiteral("CREATE TABLE BTTempSalesDetail ("
                            "BTcmcode TEXT, BTCMname TEXT, BTspec TEXT, BTQuantity DOUBLE, BTUnitPrice CURRENCY, "
                            "BTSubTotal1 CURRENCY, BTServiceFee DOUBLE, BTSalesTax DOUBLE, BTSubTotal2 CURRENCY, "
                            "Desk TEXT NOT NULL DEFAULT '')"),
             QStringLiteral("CREATE INDEX BTTempSalesDetail_Desk ON BTTempSalesDetail (Desk)"),

             QStringLiteral("CREATE TABLE Commodities ("
                            "Ccode TEXT, cname TEXT, Cclasify TEXT, Cunit TEXT, Cremarks1 TEXT)"),
             QStringLiteral("CREATE UNIQUE INDEX Commodities_Ccode ON Commodities (Ccode)"),
             QStringLiteral("CREATE INDEX Commodities_Cclasify ON Commodities (Cclasify)"),

             QStringLiteral("CREATE TABLE CmPrice ("
                            "Ccode TEXT, CMprice0 INTEGER, CMprice1 INTEGER, CMprice2 INTEGER, CMprice3 INTEGER, "
                            "CMprice4 INTEGER)"),
             QStringLiteral("CREATE UNIQUE INDEX CmPrice_Ccode ON CmPrice (Ccode)"),

             QStringLiteral("CREATE TABLE CommodityClasify (CClassCode TEXT, CClassName TEXT)"),
             QStringLiteral("CREATE UNIQUE INDEX CommodityClasify_CClassCode ON CommodityClasify (CClassCode)"),

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
                            "ORDER BY d.BTSalesNo, d.rowid"),

             // A bill lists charges in the order they were made: slip, then line.
             QStringLiteral("CREATE VIEW QRYCheckOutP AS SELECT "
                            "h.BTCheckInNo AS BTCheckInNo, d.BTSalesNo AS BTSalesNO, h.BTSalesdate AS BTSalesdate, "
                            "d.BTcmcode AS BTcmcode, ifnull(m.cname, '') AS cname, d.BTspec AS BTspec, "
                            "d.BTQuantity AS BTQuantity, d.BTUnitPrice AS BTUnitPrice, "
                            "d.BTServiceFee AS BTServiceFee, d.BTSalesTax AS BTSalesTax, h.BTKubun AS BTKubun "
                            "FROM BTSalesDetail d "
                            "JOIN BTSalesNo h ON h.BTSalesNo = d.BTSalesNo "
                            "LEFT JOIN Commodities m ON m.Ccode = d.BTcmcode "
                            "ORDER BY d.BTSalesNo, d.rowid"),

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

             QStringLiteral("CREATE VIEW QRYForSyukeiUKubun AS SELECT "
                            "BTSalesDate, SKubunName, Sum(SmallSum1) AS Sum1, Sum(SVfee) AS Sum2, "
                            "Sum(SLTAX) AS Sum3, Sum(Smallsum2) AS Sum4 "
                            "FROM QRYForSyukei GROUP BY BTSalesDate, BTKubun ORDER BY BTSalesDate, BTKubun"),

             QStringLiteral("CREATE VIEW CodeTable AS SELECT "
                            "m.Ccode AS Ccode, m.cname AS Cname, m.Cremarks1 AS Cspec, p.CMprice0 AS CmPrice0, "
                            "m.Cunit AS Cunit, m.Cclasify AS Cclasify, ifnull(k.CClassName, '') AS Cclassname, "
                            "p.CMprice1 AS CMprice1, p.CMprice2 AS CMprice2, p.CMprice3 AS CMprice3, "
                            "p.CMprice4 AS CMprice4 "
                            "FROM Commodities m "
                            "LEFT JOIN CmPrice p ON p.Ccode = m.Ccode "
                            "LEFT JOIN CommodityClasify k ON k.CClassCode = m.Cclasify "
                            "ORDER BY m.Ccode"),
         }});

    files.append(
        {QString::fromLatin1(DbFile::Recipt),
         {
             QStringLiteral("CREATE TABLE BTPaymentNo ("
                            "RptNO INTEGER, ReciptDate DATE, RptcheckInNo TEXT, Rptkubun SMALLINT)"),
             QStringLiteral("CREATE UNIQUE INDEX BTPaymentNo_RptNO ON BTPaymentNo (RptNO)"),
             QStringLiteral("CREATE INDEX BTPaymentNo_ReciptDate ON BTPaymentNo (ReciptDate)"),
             QStringLiteral("CREATE INDEX BTPaymentNo_RptcheckInNo ON BTPaymentNo (RptcheckInNo)"),

             QStringLiteral("CREATE TABLE BTPaymentDtl ("
                            "RptNO INTEGER, RptCode TEXT, ReciptAmount CURRENCY, RptRemarks TEXT)"),
             QStringLiteral("CREATE INDEX BTPaymentDtl_RptNO ON BTPaymentDtl (RptNO)"),
             QStringLiteral("CREATE INDEX BTPaymentDtl_RptCode ON BTPaymentDtl (RptCode)"),

             QStringLiteral("CREATE TABLE BTReciptTemp ("
                            "RptNO INTEGER, RptCode TEXT, RptName TEXT, ReciptAmount CURRENCY, RptRemarks TEXT, "
                            "Desk TEXT NOT NULL DEFAULT '')"),
             QStringLiteral("CREATE INDEX BTReciptTemp_Desk ON BTReciptTemp (Desk)"),

             QStringLiteral("CREATE TABLE ReciptCode ("
                            "RptCode TEXT, RptName TEXT, RptClass SMALLINT, RptRemarks1 TEXT, RptRemarks2 TEXT)"),
             QStringLiteral("CREATE UNIQUE INDEX ReciptCode_RptCode ON ReciptCode (RptCode)"),
             QStringLiteral("CREATE INDEX ReciptCode_RptClass ON ReciptCode (RptClass)"),

             QStringLiteral("CREATE TABLE ReciptClass (RptClassCode TEXT, RptClassName TEXT)"),
             QStringLiteral("CREATE UNIQUE INDEX ReciptClass_RptClassCode ON ReciptClass (RptClassCode)"),

             QStringLiteral("CREATE VIEW QRYReciptDetail AS SELECT "
                            "d.RptNO AS RptNO, d.RptCode AS RptCode, d.ReciptAmount AS ReciptAmount, "
                            "ifnull(c.RptName, '') AS RptName, d.RptRemarks AS RptRemarks "
                            "FROM BTPaymentDtl d "
                            "LEFT JOIN ReciptCode c ON c.RptCode = d.RptCode "
                            "ORDER BY d.RptNO, d.rowid"),

             QStringLiteral("CREATE VIEW QRYRecipt AS SELECT "
                            "h.RptcheckInNo AS RptCheckInNo, h.RptNO AS RptNo, h.ReciptDate AS ReciptDate, "
                            "d.RptCode AS RptCode, ifnull(c.RptName, '') AS RptName, "
                            "d.ReciptAmount AS ReciptAmount, d.RptRemarks AS RptRemarks, h.Rptkubun AS Rptkubun "
                            "FROM BTPaymentDtl d "
                            "JOIN BTPaymentNo h ON h.RptNO = d.RptNO "
                            "LEFT JOIN ReciptCode c ON c.RptCode = d.RptCode "
                            "ORDER BY h.RptNO, d.rowid"),

             // The running total of the slip on screen, one row per desk: read it with
             // "WHERE Desk = ?" (no row while the desk has no lines).
             QStringLiteral("CREATE VIEW QRYSum AS SELECT "
                            "Desk AS Desk, ifnull(Sum(ReciptAmount), 0) AS SumReciptAmount, Count(*) AS LineCount "
                            "FROM BTReciptTemp GROUP BY Desk"),

             QStringLiteral("CREATE VIEW QRYRptCodeTbl AS SELECT "
                            "c.RptCode AS RptCode, c.RptName AS RptName, c.RptRemarks1 AS RptRemarks1, "
                            "c.RptRemarks2 AS RptRemarks2, c.RptClass AS RptClass, "
                            "ifnull(k.RptClassName, '') AS Rptclassname "
                            "FROM ReciptCode c "
                            "LEFT JOIN ReciptClass k ON k.RptClassCode = c.RptClass "
                            "ORDER BY c.RptCode"),

             QStringLiteral("CREATE VIEW QRYForSyukeiRecipt AS SELECT "
                            "h.ReciptDate AS ReciptDate, ifnull(k.RptClassName, '') AS Spec, d.RptCode AS RptCode, "
                            "ifnull(c.RptName, '') AS RptName, d.ReciptAmount AS ReciptAmount, h.RptNO AS RptNO, "
                            "h.RptcheckInNo AS RptcheckInNo, c.RptClass AS RptClass "
                            "FROM BTPaymentDtl d "
                            "JOIN BTPaymentNo h ON h.RptNO = d.RptNO "
                            "LEFT JOIN ReciptCode c ON c.RptCode = d.RptCode "
                            "LEFT JOIN ReciptClass k ON k.RptClassCode = c.RptClass"),
         }});

    files.append({QString::fromLatin1(DbFile::Option),
                  {
                      QStringLiteral("CREATE TABLE CompanyProfile ("
                                     "CompanyName TEXT, CpZipCode TEXT, CpAddress TEXT, CpTelNo TEXT, CpFaxno TEXT, "
                                     "CpURL TEXT, CpEmail TEXT, CpComment TEXT)"),
                      QStringLiteral("CREATE TABLE CheckOutTemp ("
                                     "SalesNo INTEGER, SalesDate DATE, Slcmcode TEXT, Slcmname TEXT, Slcmspec TEXT, "
                                     "Slquantity DOUBLE, Slunitp CURRENCY, SlSubTotal CURRENCY, SlSv TEXT, "
                                     "SlSv2 DOUBLE, SlTax TEXT, SlTax2 DOUBLE, Desk TEXT NOT NULL DEFAULT '')"),
                      QStringLiteral("CREATE INDEX CheckOutTemp_Desk ON CheckOutTemp (Desk)"),
                  }});
    // Every text column compares ASCII letters without regard to case, as the files' first
    // engine did: "a1" and "A1" are one check-in number, "yamada" finds "Yamada". Kana and
    // kanji compare exactly.
    static const QRegularExpression text(QStringLiteral(R"(\bTEXT\b)"));
    for (FileSchema& file : files) {
        for (QString& statement : file.statements) {
            if (statement.startsWith(QLatin1String("CREATE TABLE")))
                statement.replace(text, QStringLiteral("TEXT COLLATE NOCASE"));
        }
    }
    return files;
}

struct Rows {
    QString statement;
    QList<QVariantList> values;
};

QVariantList row(std::initializer_list<QVariant> values) {
    return QVariantList(values);
}

// The reference rows a new installation starts with.
QList<Rows> referenceRows(const QString& fileName) {
    QList<Rows> rows;
    if (fileName == QLatin1String(DbFile::DaySalesCliants)) {
        rows.append(
            {QStringLiteral("INSERT INTO AgeClass (yearclass, YCode) VALUES (?, ?)"),
             {row({QStringLiteral("未分類"), QStringLiteral("A0")}),
              row({QStringLiteral("20歳未満"), QStringLiteral("A1")}),
              row({QStringLiteral("20代"), QStringLiteral("A2")}), row({QStringLiteral("30代"), QStringLiteral("A3")}),
              row({QStringLiteral("40代"), QStringLiteral("A4")}), row({QStringLiteral("50代"), QStringLiteral("A5")}),
              row({QStringLiteral("60歳以上"), QStringLiteral("A6")})}});
        rows.append(
            {QStringLiteral("INSERT INTO GroupeClass (GCode, Groupename) VALUES (?, ?)"),
             {row({QStringLiteral("G0"), QStringLiteral("未分類")}),
              row({QStringLiteral("G1"), QStringLiteral("個人")}), row({QStringLiteral("G2"), QStringLiteral("家族")}),
              row({QStringLiteral("G3"), QStringLiteral("友人")}), row({QStringLiteral("G4"), QStringLiteral("団体")}),
              row({QStringLiteral("G5"), QStringLiteral("社用")})}});
        rows.append({QStringLiteral("INSERT INTO UserClass (UCode, UclassName) VALUES (?, ?)"),
                     {row({QStringLiteral("U0"), QStringLiteral("未分類")}),
                      row({QStringLiteral("U1"), QStringLiteral("観光")}),
                      row({QStringLiteral("U2"), QStringLiteral("ビジネス")}),
                      row({QStringLiteral("U3"), QStringLiteral("湯治")}),
                      row({QStringLiteral("U4"), QStringLiteral("法事・慶事")})}});
        rows.append({QStringLiteral("INSERT INTO PaymentClass (PCode, PaymentName) VALUES (?, ?)"),
                     {row({QStringLiteral("P0"), QStringLiteral("未分類")}),
                      row({QStringLiteral("P1"), QStringLiteral("現金")}),
                      row({QStringLiteral("P2"), QStringLiteral("クレジットカード")}),
                      row({QStringLiteral("P3"), QStringLiteral("旅行会社精算")}),
                      row({QStringLiteral("P4"), QStringLiteral("請求書払い")})}});
        rows.append(
            {QStringLiteral("INSERT INTO ChoiceClass (ChCode, ChoiceName) VALUES (?, ?)"),
             {row({QStringLiteral("C1"), QStringLiteral("温泉")}), row({QStringLiteral("C2"), QStringLiteral("料理")}),
              row({QStringLiteral("C3"), QStringLiteral("立地・交通")}),
              row({QStringLiteral("C4"), QStringLiteral("料金")}), row({QStringLiteral("C5"), QStringLiteral("再訪")}),
              row({QStringLiteral("C6"), QStringLiteral("口コミ・紹介")})}});
    } else if (fileName == QLatin1String(DbFile::Sales)) {
        rows.append(
            {QStringLiteral("INSERT INTO CommodityClasify (CClassCode, CClassName) VALUES (?, ?)"),
             {row({QStringLiteral("01"), QStringLiteral("宿泊")}), row({QStringLiteral("02"), QStringLiteral("料理")}),
              row({QStringLiteral("03"), QStringLiteral("飲物")}),
              row({QStringLiteral("04"), QStringLiteral("サービス")}),
              row({QStringLiteral("05"), QStringLiteral("売店")})}});
        struct Goods {
            const char* code;
            const char* name;
            const char* cls;
            const char* unit;
            const char* remarks;
            int price;
        };
        static const Goods goods[] = {
            {"101", "宿泊料金（1泊2食）", "01", "人", "大人1名様", 12000},
            {"102", "宿泊料金（1泊朝食）", "01", "人", "大人1名様", 8500},
            {"103", "宿泊料金（素泊まり）", "01", "人", "", 6500},
            {"104", "宿泊料金（小人）", "01", "人", "小学生", 7000},
            {"201", "夕食（会席）", "02", "人", "", 5000},
            {"202", "朝食", "02", "人", "", 1500},
            {"203", "昼食", "02", "人", "", 1800},
            {"204", "お子様膳", "02", "人", "", 2500},
            {"301", "ビール（中瓶）", "03", "本", "", 650},
            {"302", "日本酒（1合）", "03", "合", "地酒", 700},
            {"303", "焼酎（グラス）", "03", "杯", "", 550},
            {"304", "ソフトドリンク", "03", "本", "", 300},
            {"305", "ワイン（ボトル）", "03", "本", "", 3500},
            {"401", "マッサージ（60分）", "04", "回", "", 4500},
            {"402", "貸切風呂", "04", "回", "50分", 2000},
            {"403", "宅配便取次", "04", "個", "", 1000},
            {"501", "温泉まんじゅう", "05", "箱", "", 1000},
            {"502", "地酒おみやげ", "05", "本", "", 1800},
        };
        Rows commodities{QStringLiteral("INSERT INTO Commodities (Ccode, cname, Cclasify, Cunit, Cremarks1) "
                                        "VALUES (?, ?, ?, ?, ?)"),
                         {}};
        Rows prices{QStringLiteral("INSERT INTO CmPrice (Ccode, CMprice0, CMprice1, CMprice2, CMprice3, CMprice4) "
                                   "VALUES (?, ?, ?, ?, ?, ?)"),
                    {}};
        for (const Goods& g : goods) {
            commodities.values.append(
                row({QString::fromUtf8(g.code), QString::fromUtf8(g.name), QString::fromUtf8(g.cls),
                     QString::fromUtf8(g.unit), QString::fromUtf8(g.remarks)}));
            prices.values.append(row({QString::fromUtf8(g.code), g.price, g.price, g.price, g.price, g.price}));
        }
        rows.append(commodities);
        rows.append(prices);
    } else if (fileName == QLatin1String(DbFile::Recipt)) {
        rows.append(
            {QStringLiteral("INSERT INTO ReciptClass (RptClassCode, RptClassName) VALUES (?, ?)"),
             {row({QStringLiteral("1"), QStringLiteral("現金")}), row({QStringLiteral("2"), QStringLiteral("カード")}),
              row({QStringLiteral("3"), QStringLiteral("振込・売掛")}),
              row({QStringLiteral("4"), QStringLiteral("金券")})}});
        rows.append(
            {QStringLiteral("INSERT INTO ReciptCode (RptCode, RptName, RptClass, RptRemarks1, RptRemarks2) "
                            "VALUES (?, ?, ?, ?, ?)"),
             {row({QStringLiteral("01"), QStringLiteral("現金"), 1, QString(), QString()}),
              row({QStringLiteral("02"), QStringLiteral("予約金"), 1, QStringLiteral("前受金"), QString()}),
              row({QStringLiteral("03"), QStringLiteral("クレジットカード"), 2, QString(), QString()}),
              row({QStringLiteral("04"), QStringLiteral("デビットカード"), 2, QString(), QString()}),
              row({QStringLiteral("05"), QStringLiteral("銀行振込"), 3, QString(), QString()}),
              row({QStringLiteral("06"), QStringLiteral("旅行会社売掛"), 3, QStringLiteral("月末精算"), QString()}),
              row({QStringLiteral("07"), QStringLiteral("宿泊券"), 4, QString(), QString()}),
              row({QStringLiteral("08"), QStringLiteral("クーポン券"), 4, QString(), QString()})}});
    } else if (fileName == QLatin1String(DbFile::Option)) {
        rows.append({QStringLiteral("INSERT INTO CompanyProfile (CompanyName, CpZipCode, CpAddress, CpTelNo, "
                                    "CpFaxno, CpURL, CpEmail, CpComment) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
                     {row({QStringLiteral("湯の里温泉 旅館さくら荘"), QStringLiteral("399-8301"),
                           QStringLiteral("長野県安曇野市穂高有明1234-5"), QStringLiteral("0263-00-1234"),
                           QStringLiteral("0263-00-1235"), QStringLiteral("https://sakurasou.example.jp/"),
                           QStringLiteral("info@sakurasou.example.jp"),
                           QStringLiteral("ご利用ありがとうございました。またのお越しをお待ちしております。")})}});
    }
    return rows;
}

void fillFile(Connection& connection, const FileSchema& file) {
    Transaction transaction(connection);
    connection.exec(QStringLiteral("CREATE TABLE SchemaMeta (Name TEXT PRIMARY KEY, Value TEXT)"));
    connection.exec(QStringLiteral("INSERT INTO SchemaMeta (Name, Value) VALUES ('SchemaVersion', ?), "
                                   "('FileName', ?)"),
                    {Version, file.fileName});
    for (const QString& statement : file.statements)
        connection.exec(statement);
    for (const Rows& rows : referenceRows(file.fileName)) {
        for (const QVariantList& values : rows.values)
            connection.exec(rows.statement, values);
    }
    transaction.commit();
}

// A file is built with syncing off and synced once at the end: one that is cut off
// half-built is thrown away anyway, and a sync per step made every test set-up slow.
void createFile(const QString& dir, const FileSchema& file) {
    {
        const auto connection = Connection::create(dir + file.fileName);
        connection->exec(QStringLiteral("PRAGMA synchronous = OFF"));
        fillFile(*connection, file);
    }
    syncToDisk(dir + file.fileName);
}

} // namespace

void syncToDisk(const QString& path) {
    // Closing this descriptor would drop the locks of a connection of this process.
    OpenFiles::whileClosed(path, [&] {
        QFile file(path);
        if (file.open(QIODevice::ReadWrite))
            ::fsync(file.handle());
    });
}

void upgradeFile(Connection& connection, const QString& fileName) {
    const QList<FileSchema> files = catalogue();
    const auto file = std::find_if(files.cbegin(), files.cend(), [&](const FileSchema& f) {
        return f.fileName.compare(fileName, Qt::CaseInsensitive) == 0;
    });
    if (file == files.cend())
        throw DbError(QStringLiteral("No schema is known for this file"), {}, connection.filePath());

    static const QRegularExpression tableName(QStringLiteral(R"(^CREATE TABLE (\w+) )"));
    static const QRegularExpression uniqueIndex(QStringLiteral(R"(^CREATE UNIQUE INDEX \w+ ON (\w+) \((\w+)\))"));

    Transaction transaction(connection);
    // Views first: they name the tables being rebuilt.
    for (const QString& view : connection.viewNames())
        connection.exec(QStringLiteral("DROP VIEW \"%1\"").arg(view));
    for (const QString& statement : file->statements) {
        const auto table = tableName.match(statement);
        if (!table.hasMatch())
            continue;
        const QString name = table.captured(1);
        const Connection::Object existing = connection.object(name);
        if (existing.kind != QLatin1String("table")) {
            connection.exec(statement);
            continue;
        }
        const QString old = name + QStringLiteral("_before_upgrade");
        connection.exec(QStringLiteral("ALTER TABLE \"%1\" RENAME TO \"%2\"").arg(existing.name, old));
        connection.exec(statement);
        QStringList common;
        const QList<Connection::Column> oldColumns = connection.columns(old);
        for (const Connection::Column& column : connection.columns(name)) {
            for (const Connection::Column& was : oldColumns) {
                if (was.name.compare(column.name, Qt::CaseInsensitive) == 0)
                    common << QStringLiteral("\"%1\"").arg(column.name);
            }
        }
        const QString list = common.join(QStringLiteral(", "));
        // Rows keep their order: the work tables and the bill read in rowid order.
        connection.exec(QStringLiteral("INSERT INTO \"%1\" (rowid, %2) SELECT rowid, %2 FROM \"%3\" ORDER BY rowid")
                            .arg(name, list, old));
        connection.exec(QStringLiteral("DROP TABLE \"%1\"").arg(old));
    }
    for (const QString& statement : file->statements) {
        if (tableName.match(statement).hasMatch())
            continue;
        const auto unique = uniqueIndex.match(statement);
        if (unique.hasMatch()) {
            QSqlQuery query(connection.database());
            query.exec(QStringLiteral("SELECT %2 FROM %1 WHERE %2 IS NOT NULL GROUP BY %2 HAVING COUNT(*) > 1")
                           .arg(unique.captured(1), unique.captured(2)));
            QStringList taken;
            while (query.next())
                taken << query.value(0).toString();
            query.finish();
            if (!taken.isEmpty())
                throw DbError(QStringLiteral("%1 の %2 に、大文字と小文字だけが違う値があります: %3。"
                                             "どちらかを別の値に直してから、もう一度実行してください。")
                                  .arg(unique.captured(1), unique.captured(2), taken.join(QStringLiteral(", "))),
                              statement, connection.filePath(), DbError::Cause::DuplicateKey);
        }
        connection.exec(statement);
    }
    connection.exec(QStringLiteral("UPDATE SchemaMeta SET Value = ? WHERE Name = 'SchemaVersion'"), {Version});
    transaction.commit();
}

QStringList fileNames() {
    return {QString::fromLatin1(DbFile::Reservation), QString::fromLatin1(DbFile::DaySalesCliants),
            QString::fromLatin1(DbFile::Sales), QString::fromLatin1(DbFile::Recipt),
            QString::fromLatin1(DbFile::Option)};
}

void createDataDirectory(const QString& dirPath) {
    QString dir = dirPath;
    if (dir.isEmpty())
        throw DbError(QStringLiteral("No data directory given"));
    if (dir.endsWith(QLatin1Char('\\')))
        dir.chop(1);
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');

    for (const QString& name : fileNames()) {
        if (QFileInfo::exists(dir + name))
            throw DbError(QStringLiteral("The database file already exists; nothing was created"), {}, dir + name);
    }
    if (!QDir().mkpath(dir))
        throw DbError(QStringLiteral("Cannot create the data directory"), {}, dir);

    QStringList created;
    try {
        for (const FileSchema& file : catalogue()) {
            created << dir + file.fileName;
            createFile(dir, file);
        }
    } catch (...) {
        // A half-made data directory would be refused by the next attempt; leave none.
        for (const QString& path : std::as_const(created)) {
            QFile::remove(path);
            QFile::remove(path + QStringLiteral("-wal"));
            QFile::remove(path + QStringLiteral("-shm"));
        }
        throw;
    }
}

} // namespace desk::Schema
