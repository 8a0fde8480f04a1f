#include "data/Connection.h"
#include "data/DbError.h"
#include "data/Maintenance.h"
#include "data/RowSet.h"
#include "data/Schema.h"
#include "data/SchemaCatalogue.h"
#include "data/SchemaUpgrade.h"
#include "taxsvc/InnCheck.h"
#include "testsupport/PreviousSchema.h"
#include "testsupport/TempDataDir.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTest>

using namespace desk;
using namespace Qt::StringLiterals;

namespace {
const QString Reservation = QString::fromLatin1(DbFile::Reservation);
const QString Clients = QString::fromLatin1(DbFile::DaySalesCliants);
const QString Sales = QString::fromLatin1(DbFile::Sales);
const QString Recipt = QString::fromLatin1(DbFile::Recipt);
const QString Option = QString::fromLatin1(DbFile::Option);

QStringList words(const char* text) {
    return QString::fromUtf8(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

bool hasColumns(const QStringList& actual, const QStringList& wanted, QString* missing) {
    for (const QString& w : wanted) {
        if (!actual.contains(w, Qt::CaseInsensitive)) {
            *missing = w;
            return false;
        }
    }
    return true;
}

// The period condition as the aggregation screen writes it.
QString period(const QDate& from, const QDate& to) {
    return QStringLiteral(" BETWEEN #") + from.toString(QStringLiteral("yyyy/MM/dd")) + QStringLiteral("# and #") +
           to.toString(QStringLiteral("yyyy/MM/dd")) + QLatin1Char('#');
}
} // namespace

class TestSchema : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void tables_data();
    void tables();
    void savedQueries_data();
    void savedQueries();
    void quotedStatements_data();
    void quotedStatements();
    void uniqueKeys_data();
    void uniqueKeys();

    void textComparesWithoutAsciiCase_data();
    void textComparesWithoutAsciiCase();
    void flagsDefaultToFalse();
    void referenceRows();
    void salesLineAmounts();
    void deletedCommodityStillOnTheBill();
    void unlistedClassStillCounted();
    void billLinesInTheOrderTheyWereMade();
    void refusesWhenAFileExists_data();
    void refusesWhenAFileExists();
    void createsAMissingDirectory();
    void upgradeChain_data();
    void upgradeChain();
    void guestListFromVersion3_data();
    void guestListFromVersion3();
    void leviesFromVersion4();
    void rowKeysFromVersion5_data();
    void rowKeysFromVersion5();
    void upgradeStepRebuildsOnEveryEngine();

private:
    std::unique_ptr<test::TempDataDir> m_dir;
};

void TestSchema::init() {
    m_dir = std::make_unique<test::TempDataDir>(true);
    QVERIFY(m_dir->isValid());
}

void TestSchema::cleanup() {
    m_dir.reset();
}

void TestSchema::tables_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("columns");
    QTest::newRow("Reserve") << Reservation << QStringLiteral("Reserve")
                             << words("RvNo RvUseDate RvDate RvName RvZip RvAddress1 RvAddress2 RvAddress3 RvTelNo "
                                      "RvClNumber RvBadget RvRemarks1 RvArvtime RvChkInTime RvGroupe RvTravelAg "
                                      "Rvchkflg RvProc");
    QTest::newRow("CheckInCliants") << Clients << QStringLiteral("CheckInCliants")
                                    << words("CheckInNO CheckInDate CheckInName CheckInRoomNo CheckInRemarks "
                                             "CheckOutFlag");
    QTest::newRow("CheckInAdrs") << Clients << QStringLiteral("CheckInAdrs")
                                 << words("CheckInNO CheckInAdrs1 CheckInAdrs2 CheckInAdrs3 CheckInTelNo "
                                          "CheckInEMAdrs CheckInFaxNo");
    QTest::newRow("CheckInGroupe") << Clients << QStringLiteral("CheckInGroupe")
                                   << words("CheckInNO CheckInGroupe CheckInCName CheckInTravelAg");
    QTest::newRow("CheckInClasify") << Clients << QStringLiteral("CheckInClasify")
                                    << words("CheckInNO RvUseClass RvYearOldClass RvPayment RvGroupespec "
                                             "ChoiceClass");
    QTest::newRow("CheckInBadget") << Clients << QStringLiteral("CheckInBadget")
                                   << words("CheckInNO RvClNumber RvBadget");
    QTest::newRow("CheckInGuests") << Clients << QStringLiteral("CheckInGuests")
                                   << words("CheckInNO GuestNo GuestName GuestAdrs GuestTelNo Abroad Nationality "
                                            "PassportNo");
    QTest::newRow("CheckInCliantDetail") << Clients << QStringLiteral("CheckInCliantDetail")
                                         << words("CheckInNO RvNo RvDate RvArvtime RvChkInTime");
    QTest::newRow("AgeClass") << Clients << QStringLiteral("AgeClass") << words("yearclass YCode");
    QTest::newRow("UserClass") << Clients << QStringLiteral("UserClass") << words("UCode UclassName");
    QTest::newRow("GroupeClass") << Clients << QStringLiteral("GroupeClass") << words("GCode Groupename");
    QTest::newRow("PaymentClass") << Clients << QStringLiteral("PaymentClass") << words("PCode PaymentName");
    QTest::newRow("ChoiceClass") << Clients << QStringLiteral("ChoiceClass") << words("ChCode ChoiceName");
    QTest::newRow("BTSalesNo") << Sales << QStringLiteral("BTSalesNo")
                               << words("BTSalesNo BTSalesdate BTCheckInNo BTKubun");
    QTest::newRow("BTSalesDetail") << Sales << QStringLiteral("BTSalesDetail")
                                   << words("BTSalesNo BTcmcode BTspec BTQuantity BTUnitPrice BTServiceFee "
                                            "BTSalesTax");
    QTest::newRow("BTTempSalesDetail") << Sales << QStringLiteral("BTTempSalesDetail")
                                       << words("BTcmcode BTCMname BTspec BTQuantity BTUnitPrice BTSubTotal1 "
                                                "BTServiceFee BTSalesTax BTSubTotal2");
    QTest::newRow("Commodities") << Sales << QStringLiteral("Commodities")
                                 << words("Ccode cname Cclasify Cunit Cremarks1");
    QTest::newRow("CmPrice") << Sales << QStringLiteral("CmPrice")
                             << words("Ccode CMprice0 CMprice1 CMprice2 CMprice3 CMprice4");
    QTest::newRow("CommodityClasify") << Sales << QStringLiteral("CommodityClasify") << words("CClassCode CClassName");
    QTest::newRow("BTPaymentNo") << Recipt << QStringLiteral("BTPaymentNo")
                                 << words("RptNO ReciptDate RptcheckInNo Rptkubun");
    QTest::newRow("BTPaymentDtl") << Recipt << QStringLiteral("BTPaymentDtl")
                                  << words("RptNO RptCode ReciptAmount RptRemarks");
    QTest::newRow("BTReciptTemp") << Recipt << QStringLiteral("BTReciptTemp")
                                  << words("RptNO RptCode RptName ReciptAmount RptRemarks");
    QTest::newRow("ReciptCode") << Recipt << QStringLiteral("ReciptCode")
                                << words("RptCode RptName RptClass RptRemarks1 RptRemarks2");
    QTest::newRow("ReciptClass") << Recipt << QStringLiteral("ReciptClass") << words("RptClassCode RptClassName");
    QTest::newRow("CompanyProfile") << Option << QStringLiteral("CompanyProfile")
                                    << words("CompanyName CpZipCode CpAddress CpTelNo CpFaxno CpURL CpEmail "
                                             "CpComment");
    QTest::newRow("CheckOutTemp") << Option << QStringLiteral("CheckOutTemp")
                                  << words("SalesNo SalesDate Slcmcode Slcmname Slcmspec Slquantity Slunitp "
                                           "SlSubTotal SlSv SlSv2 SlTax SlTax2");
}

void TestSchema::tables() {
    QFETCH(QString, file);
    QFETCH(QString, table);
    QFETCH(QStringList, columns);
    RowSet rs(Connection::open(m_dir->path(), file), table);
    QVERIFY(rs.isUpdatable());
    QString missing;
    QVERIFY2(hasColumns(rs.columnNames(), columns, &missing), qPrintable(missing));
    if (table == QLatin1String("AgeClass"))
        QCOMPARE(rs.columnNames().constFirst(), QStringLiteral("yearclass"));
}

void TestSchema::savedQueries_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("columns");
    QTest::newRow("QRYCliantsDaySale")
        << Clients << QStringLiteral("QRYCliantsDaySale")
        << words("CheckInNO CheckInDate CheckInName CheckInRoomNo CheckInCName CheckInCliants CheckInGroupe "
                 "CheckInRemarks CheckInTelNo CheckOutFlag RvClNumber RvBadget");
    QTest::newRow("QRYForClass") << Clients << QStringLiteral("QRYForClass")
                                 << words("CheckInDate CheckInCliants RvYearOldClass YearClass RvGroupeSpec "
                                          "GroupeName RvUseClass UClassName RvPayment PaymentName ChoiceClass "
                                          "ChoiceName");
    QTest::newRow("QRYSalesDetail") << Sales << QStringLiteral("QRYSalesDetail")
                                    << words("BTSalesNo BTSalesdate BTcmcode cname BTspec BTQuantity BTUnitPrice "
                                             "BTServiceFee BTSalesTax");
    QTest::newRow("QRYCheckOutP") << Sales << QStringLiteral("QRYCheckOutP")
                                  << words("BTCheckInNo BTSalesNO BTSalesdate BTcmcode cname BTspec BTQuantity "
                                           "BTUnitPrice BTServiceFee BTSalesTax");
    QTest::newRow("QRYForSyukei") << Sales << QStringLiteral("QRYForSyukei")
                                  << words("BTSalesDate CclassName SmallSum1 SVfee SLTAX Smallsum2 BTCMcode Cname "
                                           "BTQuantity");
    QTest::newRow("QRYForSyukeiUKubun") << Sales << QStringLiteral("QRYForSyukeiUKubun")
                                        << words("BTSalesDate SKubunName Sum1 Sum2 Sum3 Sum4");
    QTest::newRow("CodeTable") << Sales << QStringLiteral("CodeTable")
                               << words("Ccode Cname Cspec CmPrice0 Cunit Cclasify Cclassname");
    QTest::newRow("QRYReciptDetail") << Recipt << QStringLiteral("QRYReciptDetail")
                                     << words("RptNO RptCode ReciptAmount RptName RptRemarks");
    QTest::newRow("QRYRecipt") << Recipt << QStringLiteral("QRYRecipt")
                               << words("RptCheckInNo RptNo ReciptDate RptCode RptName ReciptAmount");
    QTest::newRow("QRYSum") << Recipt << QStringLiteral("QRYSum") << words("Desk SumReciptAmount LineCount");
    QTest::newRow("QRYRptCodeTbl") << Recipt << QStringLiteral("QRYRptCodeTbl")
                                   << words("RptCode RptName RptRemarks1 RptRemarks2 Rptclassname");
    QTest::newRow("QRYForSyukeiRecipt") << Recipt << QStringLiteral("QRYForSyukeiRecipt")
                                        << words("ReciptDate Spec RptCode RptName ReciptAmount");
}

void TestSchema::savedQueries() {
    QFETCH(QString, file);
    QFETCH(QString, query);
    QFETCH(QStringList, columns);
    const auto connection = Connection::open(m_dir->path(), file);
    QCOMPARE(connection->object(query.toLower()).kind, QStringLiteral("view"));
    if (query == QLatin1String("QRYSum")) // one row per desk that has lines on screen
        connection->exec(
            QStringLiteral("INSERT INTO BTReciptTemp (RptCode, ReciptAmount, Desk) VALUES ('01', 5, 'a')"));
    RowSet rs(connection, query);
    QVERIFY(!rs.isUpdatable());
    QVERIFY(!rs.isEmpty());
    QString missing;
    QVERIFY2(hasColumns(rs.columnNames(), columns, &missing), qPrintable(missing));
}

// Every statement the screens and stores send, as they write it, against the sample data.
void TestSchema::quotedStatements_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QStringList>("columns");
    QTest::addColumn<int>("rows");

    const QDate today = QDate::currentDate();
    const QString todayText = QString::number(today.year()) + QLatin1Char('/') + QString::number(today.month()) +
                              QLatin1Char('/') + QString::number(today.day());
    const QString cond = period(today.addDays(-30), today.addDays(1));

    QTest::newRow("today's reservations")
        << Reservation << QStringLiteral("SELECT * FROM Reserve WHERE RvUseDate =#") + todayText + QLatin1Char('#')
        << words("RvName RvTelNo RvClNumber RvAddress1 RvAddress2 RvBadget "
                 "RvArvTime RvChkInTime RvRemarks1 RvGroupe RvTravelAg")
        << 3;
    QTest::newRow("reservations of a use date")
        << Reservation
        << QStringLiteral("SELECT * FROM Reserve WHERE RvUseDate = #") +
               today.addDays(1).toString(QStringLiteral("yyyy/MM/dd")) + QLatin1Char('#')
        << words("RvNo") << 2;
    QTest::newRow("reservation numbering")
        << Reservation << QStringLiteral("SELECT Max(Reserve!RvNo) as RvNoM FROM Reserve") << words("rvnom") << 1;
    QTest::newRow("confirmation slip") << Reservation << QStringLiteral("SELECT * FROM Reserve WHERE RvNo = 3")
                                       << words("RvNo RvName RvDate RvUseDate RvTelNo RvZip RvAddress1 RvAddress2 "
                                                "RvAddress3 RvClNumber RvBadget RvRemarks1 RvArvTime RvChkInTime "
                                                "RvTravelAg RvGroupe")
                                       << 1;
    QTest::newRow("guests not checked out")
        << Clients << QStringLiteral("SELECT * FROM QRYCliantsDaySale WHERE CheckOutFlag = False")
        << words("CheckInNo CheckInName CheckInDate CheckInCliants CheckiNroomNo CheckInGroupe") << 2;
    QTest::newRow("not checked out, head rows")
        << Clients << QStringLiteral("SELECT * FROM CheckInCliants WHERE CheckOutFlag = False")
        << words("CheckInNO CheckInName CheckInRoomNo") << 2;
    QTest::newRow("history by name and period")
        << Clients
        << QStringLiteral("SELECT * FROM QRYCliantsDaySale WHERE CheckInName = '伊藤 直樹' AND CheckInDate BETWEEN #") +
               today.addDays(-30).toString(QStringLiteral("yyyy/M/d")) + QStringLiteral("# AND #") + todayText +
               QLatin1Char('#')
        << words("checkinno CheckInDate CheckInRoomNo CheckInCname CheckInName CheckInCliants RvClNumber RvBadget "
                 "CheckInRemarks")
        << 1;
    QTest::newRow("history by telephone")
        << Clients << QStringLiteral("SELECT * FROM QRYCliantsDaySale WHERE CheckInTelNo = '06-6666-7777'")
        << words("CheckInDate CheckInName") << 1;
    QTest::newRow("slip numbering") << Sales
                                    << QStringLiteral("SELECT Max(BTSalesNo!BTSalesNo) AS RvNoM FROM BTSalesNo")
                                    << words("RvNoM") << 1;
    QTest::newRow("lines of a slip to delete")
        << Sales << QStringLiteral("SELECT * FROM BTSalesDetail WHERE BTSalesNo =5") << words("BTcmcode") << 3;
    QTest::newRow("recall a slip") << Sales << QStringLiteral("SELECT * FROM QRYSalesDetail WHERE BTSalesNo = 5")
                                   << words("BTcmcode cname BTspec BTQuantity BTUnitPrice BTServiceFee BTSalesTax")
                                   << 3;
    QTest::newRow("sales grid") << Sales << QStringLiteral("SELECT * FROM BTTempSalesDetail") << words("BTSubTotal2")
                                << 0;
    QTest::newRow("bill sales lines")
        << Sales << QStringLiteral("SELECT * FROM QRYCheckOutP WHERE BTCheckInNo = '1000'")
        << words("BTSalesNO BTSalesdate BTcmcode cname BTspec BTQuantity BTUnitPrice BTServiceFee BTSalesTax") << 5;
    QTest::newRow("payment numbering") << Recipt
                                       << QStringLiteral("SELECT Max(BTPaymentNo!RptNo) AS RvNoM FROM BTPaymentNo")
                                       << words("RvNoM") << 1;
    QTest::newRow("recall a payment") << Recipt << QStringLiteral("SELECT * FROM QRYReciptDetail WHERE RptNo = 2")
                                      << words("RptNO RptCode ReciptAmount RptName RptRemarks") << 1;
    QTest::newRow("payment lines to delete")
        << Recipt << QStringLiteral("SELECT * FROM BTPaymentDtl WHERE RptNo =2") << words("RptCode") << 1;
    QTest::newRow("bill payments") << Recipt << QStringLiteral("SELECT * FROM QRYRecipt WHERE RptCheckInNo = '0998'")
                                   << words("RptNo ReciptDate RptCode RptName ReciptAmount") << 2;

    QTest::newRow("kind 0") << Sales << QStringLiteral("SELECT * FROM QRYForSyukeiUKubun WHERE BTsalesDate ") + cond
                            << words("BTSalesDate SKubunName Sum1 Sum2 Sum3 Sum4") << 7;
    QTest::newRow("kind 1") << Sales
                            << QStringLiteral("SELECT CclassName,Sum(SmallSum1) AS 合計1,Sum(SVfee) AS 合計2,"
                                              "Sum(SLTAX) AS 合計3,Sum(Smallsum2) AS 合計4 FROM QRYForSyukei WHERE "
                                              "BTSalesDate") +
                                   cond + QStringLiteral(" GROUP BY CclassName;")
                            << words("CclassName 合計1 合計2 合計3 合計4") << 5;
    QTest::newRow("kind 2") << Sales
                            << QStringLiteral("SELECT BTCMcode, Cname, SUM(BTQuantity) AS 数量計, Sum(SmallSum2) AS "
                                              "売上計 FROM QRYForSyukei WHERE BTSalesDate ") +
                                   cond + QStringLiteral("GROUP BY BTCMcode,Cname")
                            << words("BTCMcode Cname 数量計 売上計") << 11;
    QTest::newRow("kind 3") << Recipt
                            << QStringLiteral("SELECT Spec,Sum(ReciptAmount) AS 合計1 FROM QRYForSyukeiRecipt WHERE "
                                              "ReciptDate") +
                                   cond + QStringLiteral(" GROUP BY Spec;")
                            << words("Spec 合計1") << 3;
    QTest::newRow("kind 4") << Recipt
                            << QStringLiteral("SELECT RptCode,RptName, SUM(ReciptAmount) AS 合計 FROM "
                                              "QRYForSyukeiRecipt WHERE ReciptDate ") +
                                   cond + QStringLiteral("GROUP BY Rptcode,Rptname")
                            << words("RptCode RptName 合計") << 4;
    const char* classes[][2] = {{"RvYearOldClass", "YearClass"},
                                {"RvGroupeSpec", "GroupeName"},
                                {"RvUseClass", "UClassName"},
                                {"RvPayment", "PaymentName"},
                                {"ChoiceClass", "ChoiceName"}};
    const int groups[] = {4, 3, 3, 3, 4};
    for (int kind = 0; kind < 5; ++kind) {
        const QString code = QString::fromLatin1(classes[kind][0]);
        const QString name = QString::fromLatin1(classes[kind][1]);
        QTest::addRow("kind %d", kind + 5)
            << Clients
            << QStringLiteral("SELECT %1 AS FL1,%2 AS FL2,Sum(CheckInCliants) AS 合計 FROM QRYForClass WHERE "
                              "CheckInDate")
                       .arg(code, name) +
                   cond + QStringLiteral(" GROUP BY %1,%2;").arg(code, name)
            << words("FL1 FL2 合計") << groups[kind];
    }
}

void TestSchema::quotedStatements() {
    QFETCH(QString, file);
    QFETCH(QString, statement);
    QFETCH(QStringList, columns);
    QFETCH(int, rows);
    RowSet rs(Connection::open(m_dir->path(), file), statement);
    QString missing;
    QVERIFY2(hasColumns(rs.columnNames(), columns, &missing), qPrintable(missing));
    QCOMPARE(rs.recordCount(), rows);
    if (QByteArray(QTest::currentDataTag()) == "kind 0")
        QCOMPARE(rs.columnNames().mid(0, 6), columns); // the result grid relies on this order
}

void TestSchema::uniqueKeys_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QVariant>("taken");
    QTest::addColumn<bool>("unique");
    QTest::newRow("reservation number") << Reservation << QStringLiteral("Reserve") << QStringLiteral("RvNo")
                                        << QVariant(1) << true;
    QTest::newRow("check-in number in CheckInCliants")
        << Clients << QStringLiteral("CheckInCliants") << QStringLiteral("CheckInNO")
        << QVariant(QStringLiteral("1000")) << true;
    QTest::newRow("check-in number in CheckInAdrs")
        << Clients << QStringLiteral("CheckInAdrs") << QStringLiteral("CheckInNO") << QVariant(QStringLiteral("1000"))
        << true;
    QTest::newRow("check-in number in CheckInGroupe")
        << Clients << QStringLiteral("CheckInGroupe") << QStringLiteral("CheckInNO") << QVariant(QStringLiteral("1000"))
        << true;
    QTest::newRow("check-in number in CheckInClasify")
        << Clients << QStringLiteral("CheckInClasify") << QStringLiteral("CheckInNO")
        << QVariant(QStringLiteral("1000")) << true;
    QTest::newRow("check-in number in CheckInBadget")
        << Clients << QStringLiteral("CheckInBadget") << QStringLiteral("CheckInNO") << QVariant(QStringLiteral("1000"))
        << true;
    QTest::newRow("check-in number in CheckInCliantDetail")
        << Clients << QStringLiteral("CheckInCliantDetail") << QStringLiteral("CheckInNO")
        << QVariant(QStringLiteral("1000")) << true;
    QTest::newRow("sales slip number") << Sales << QStringLiteral("BTSalesNo") << QStringLiteral("BTSalesNo")
                                       << QVariant(1) << true;
    QTest::newRow("payment slip number") << Recipt << QStringLiteral("BTPaymentNo") << QStringLiteral("RptNO")
                                         << QVariant(1) << true;
    QTest::newRow("commodity code") << Sales << QStringLiteral("Commodities") << QStringLiteral("Ccode")
                                    << QVariant(QStringLiteral("101")) << true;
    QTest::newRow("commodity price code")
        << Sales << QStringLiteral("CmPrice") << QStringLiteral("Ccode") << QVariant(QStringLiteral("101")) << true;
    QTest::newRow("commodity class code") << Sales << QStringLiteral("CommodityClasify") << QStringLiteral("CClassCode")
                                          << QVariant(QStringLiteral("01")) << true;
    QTest::newRow("payment item code") << Recipt << QStringLiteral("ReciptCode") << QStringLiteral("RptCode")
                                       << QVariant(QStringLiteral("01")) << true;
    QTest::newRow("payment class code") << Recipt << QStringLiteral("ReciptClass") << QStringLiteral("RptClassCode")
                                        << QVariant(QStringLiteral("1")) << true;
    QTest::newRow("age class code") << Clients << QStringLiteral("AgeClass") << QStringLiteral("YCode")
                                    << QVariant(QStringLiteral("A0")) << true;
    QTest::newRow("group class code") << Clients << QStringLiteral("GroupeClass") << QStringLiteral("GCode")
                                      << QVariant(QStringLiteral("G0")) << true;
    QTest::newRow("use class code") << Clients << QStringLiteral("UserClass") << QStringLiteral("UCode")
                                    << QVariant(QStringLiteral("U0")) << true;
    QTest::newRow("payment method code") << Clients << QStringLiteral("PaymentClass") << QStringLiteral("PCode")
                                         << QVariant(QStringLiteral("P0")) << true;
    QTest::newRow("choice code") << Clients << QStringLiteral("ChoiceClass") << QStringLiteral("ChCode")
                                 << QVariant(QStringLiteral("C1")) << true;
    QTest::newRow("sales lines") << Sales << QStringLiteral("BTSalesDetail") << QStringLiteral("BTSalesNo")
                                 << QVariant(1) << false;
    QTest::newRow("sales work table") << Sales << QStringLiteral("BTTempSalesDetail") << QStringLiteral("BTcmcode")
                                      << QVariant(QStringLiteral("101")) << false;
    QTest::newRow("payment lines") << Recipt << QStringLiteral("BTPaymentDtl") << QStringLiteral("RptNO") << QVariant(1)
                                   << false;
    QTest::newRow("payment work table") << Recipt << QStringLiteral("BTReciptTemp") << QStringLiteral("RptCode")
                                        << QVariant(QStringLiteral("01")) << false;
    QTest::newRow("statement work table") << Option << QStringLiteral("CheckOutTemp") << QStringLiteral("Slcmname")
                                          << QVariant(QStringLiteral("合計")) << false;
}

void TestSchema::uniqueKeys() {
    QFETCH(QString, file);
    QFETCH(QString, table);
    QFETCH(QString, column);
    QFETCH(QVariant, taken);
    QFETCH(bool, unique);
    const auto connection = Connection::open(m_dir->path(), file);
    const QString insert = QStringLiteral("INSERT INTO %1 (%2) VALUES (?)").arg(table, column);
    const QString count = QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = ?").arg(table, column);
    if (!unique)
        connection->exec(insert, {taken}); // work and line tables start empty in places
    const int before = connection->scalar(count, {taken}).toInt();
    QVERIFY(before >= 1);
    bool refused = false;
    try {
        RowSet rs(connection, table);
        rs.addNew();
        rs.setValue(column, taken);
        rs.update();
    } catch (const DbError& e) {
        refused = true;
        // The clerk is told which number or code is taken, not the engine's words.
        QVERIFY(e.isDuplicateKey());
        QVERIFY2(e.message().contains(QStringLiteral("「%1」は既に登録されています").arg(taken.toString())),
                 qPrintable(e.message()));
    }
    QCOMPARE(refused, unique);
    QCOMPARE(connection->scalar(count, {taken}).toInt(), unique ? before : before + 1);

    // "a0" and "A0" are one code.
    const QString text = taken.toString();
    if (unique && text.toLower() != text) {
        QVERIFY_THROWS_EXCEPTION(DbError, connection->exec(insert, {text.toLower()}));
        QCOMPARE(connection->scalar(count, {text.toLower()}).toInt(), before);
    }
}

void TestSchema::textComparesWithoutAsciiCase_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("criterion"); // empty: count the rows of source
    QTest::addColumn<bool>("found");
    const QString all = QStringLiteral("SELECT * FROM Reserve ORDER BY RvNo"); // read whole, compared in memory
    QTest::newRow("statement, other ASCII case")
        << QStringLiteral("SELECT * FROM Reserve WHERE RvName = 'yamada Ｔａｒｏ'") << QString() << true;
    QTest::newRow("statement, full-width letters exact")
        << QStringLiteral("SELECT * FROM Reserve WHERE RvName = 'Yamada ｔａｒｏ'") << QString() << false;
    QTest::newRow("statement, beginning of a name")
        << QStringLiteral("SELECT * FROM Reserve WHERE RvName LIKE 'YAMA%'") << QString() << true;
    QTest::newRow("table find") << QStringLiteral("Reserve") << QStringLiteral("RvName = 'YAMADA Ｔａｒｏ'") << true;
    QTest::newRow("read-whole find") << all << QStringLiteral("RvName = 'yamada Ｔａｒｏ'") << true;
    QTest::newRow("read-whole find, full-width exact") << all << QStringLiteral("RvName = 'Yamada ｔａｒｏ'") << false;
    // A history condition as the screen builds it, the typed name holding a NUL.
    QTest::newRow("NUL inside a condition")
        << QStringLiteral("SELECT * FROM QRYCliantsDaySale WHERE CheckInName = 'Yama") + QChar(0) +
               QStringLiteral("da'")
        << QString() << false;
    QTest::newRow("kana exact") << all << QStringLiteral("RvRemarks1 = 'やまだ'") << false;
}

// As the files' first engine compared: ASCII letters without regard to case, every other
// character exactly.
void TestSchema::textComparesWithoutAsciiCase() {
    QFETCH(QString, source);
    QFETCH(QString, criterion);
    QFETCH(bool, found);
    const auto connection =
        Connection::open(m_dir->path(), source.contains(QLatin1String("QRYCliantsDaySale")) ? Clients : Reservation);
    if (!source.contains(QLatin1String("QRYCliantsDaySale")))
        connection->exec(
            QStringLiteral("INSERT INTO Reserve (RvNo, RvName, RvRemarks1) VALUES (50, 'Yamada Ｔａｒｏ', 'ヤマダ')"));
    RowSet rs(connection, source);
    if (criterion.isEmpty())
        QCOMPARE(rs.recordCount() > 0, found);
    else
        QCOMPARE(rs.find(criterion), found);
}

void TestSchema::flagsDefaultToFalse() {
    const auto clients = Connection::open(m_dir->path(), Clients);
    RowSet checkIn(clients, QStringLiteral("CheckInCliants"));
    checkIn.addNew();
    checkIn.setValue(QStringLiteral("CheckInNO"), QStringLiteral("2001"));
    checkIn.update();
    QCOMPARE(checkIn.value(QStringLiteral("CheckOutFlag")), QVariant(false));
    RowSet inHouse(clients, QStringLiteral("SELECT * FROM CheckInCliants WHERE CheckOutFlag = False"));
    QVERIFY(inHouse.find(QStringLiteral("CheckInNO = '2001'")));

    const auto reservations = Connection::open(m_dir->path(), Reservation);
    reservations->exec(QStringLiteral("INSERT INTO Reserve (RvNo) VALUES (50)"));
    QCOMPARE(
        RowSet(reservations, QStringLiteral("SELECT * FROM Reserve WHERE RvNo = 50")).value(QStringLiteral("Rvchkflg")),
        QVariant(false));
}

void TestSchema::referenceRows() {
    test::TempDataDir bare(false);
    for (const QString& file : Schema::fileNames()) {
        const auto c = Connection::open(bare.path(), file);
        QCOMPARE(c->scalar(QStringLiteral("SELECT Value FROM SchemaMeta WHERE Name = 'SchemaVersion'")).toInt(),
                 Schema::Version);
    }
    const auto clients = Connection::open(bare.path(), Clients);
    const QList<QPair<QString, QString>> notClassified{
        {QStringLiteral("AgeClass"), QStringLiteral("YCode = 'A0'")},
        {QStringLiteral("GroupeClass"), QStringLiteral("GCode = 'G0'")},
        {QStringLiteral("UserClass"), QStringLiteral("UCode = 'U0'")},
        {QStringLiteral("PaymentClass"), QStringLiteral("PCode = 'P0'")}};
    for (const auto& [table, criterion] : notClassified) {
        RowSet rs(clients, table);
        QVERIFY2(rs.find(criterion), qPrintable(table));
        QVERIFY(rs.recordCount() >= 4);
    }
    QCOMPARE(RowSet(Connection::open(bare.path(), Option), QStringLiteral("CompanyProfile")).recordCount(), 1);
    QVERIFY(RowSet(Connection::open(bare.path(), Sales), QStringLiteral("CodeTable")).recordCount() >= 10);
    QVERIFY(RowSet(Connection::open(bare.path(), Recipt), QStringLiteral("QRYRptCodeTbl")).recordCount() >= 4);
    // No sample rows without --sample.
    QVERIFY(RowSet(Connection::open(bare.path(), Reservation), QStringLiteral("Reserve")).isEmpty());
}

void TestSchema::salesLineAmounts() {
    const auto sales = Connection::open(m_dir->path(), Sales);
    sales->exec(QStringLiteral("INSERT INTO BTSalesNo (BTSalesNo, BTSalesdate, BTCheckInNo, BTKubun) "
                               "VALUES (100, '1999-01-05', 'X1', 2)"));
    sales->exec(QStringLiteral("INSERT INTO BTSalesDetail (BTSalesNo, BTcmcode, BTQuantity, BTUnitPrice, "
                               "BTServiceFee, BTSalesTax) VALUES (100, '201', 2, 1000, 10, 5)"));
    RowSet line(sales, QStringLiteral("SELECT * FROM QRYForSyukei WHERE BTSalesDate = #1999/1/5#"));
    QCOMPARE(line.recordCount(), 1);
    QCOMPARE(line.value(QStringLiteral("SmallSum1")).toDouble(), 2000.0);
    QCOMPARE(line.value(QStringLiteral("SVfee")).toDouble(), 200.0);
    QCOMPARE(line.value(QStringLiteral("SLTAX")).toDouble(), 110.0);
    QCOMPARE(line.value(QStringLiteral("Smallsum2")).toDouble(), 2310.0);
    QCOMPARE(line.value(QStringLiteral("CclassName")).toString(), QStringLiteral("料理"));
    QCOMPARE(line.value(QStringLiteral("BTSalesDate")), QVariant(QDate(1999, 1, 5)));

    RowSet byClass(sales, QStringLiteral("SELECT * FROM QRYForSyukeiUKubun WHERE BTsalesDate = #1999/01/05#"));
    QCOMPARE(byClass.value(QStringLiteral("SKubunName")).toString(), QStringLiteral("掛売"));
    QCOMPARE(byClass.value(QStringLiteral("Sum4")).toDouble(), 2310.0);
}

void TestSchema::deletedCommodityStillOnTheBill() {
    const auto sales = Connection::open(m_dir->path(), Sales);
    const QString bill = QStringLiteral("SELECT * FROM QRYCheckOutP WHERE BTCheckInNo = '1001'");
    const int lines = RowSet(sales, bill).recordCount();
    sales->exec(QStringLiteral("DELETE FROM Commodities WHERE Ccode = '101'"));
    RowSet after(sales, bill);
    QCOMPARE(after.recordCount(), lines);
    QVERIFY(after.find(QStringLiteral("BTcmcode = '101'")));
    QCOMPARE(after.value(QStringLiteral("cname")).toString(), QString());
    RowSet recall(sales, QStringLiteral("SELECT * FROM QRYSalesDetail WHERE BTSalesNo = 7"));
    QCOMPARE(recall.recordCount(), lines);

    const auto recipt = Connection::open(m_dir->path(), Recipt);
    recipt->exec(QStringLiteral("DELETE FROM ReciptCode WHERE RptCode = '02'"));
    RowSet payments(recipt, QStringLiteral("SELECT * FROM QRYRecipt WHERE RptCheckInNo = '0998'"));
    QCOMPARE(payments.recordCount(), 2);
}

void TestSchema::unlistedClassStillCounted() {
    const auto clients = Connection::open(m_dir->path(), Clients);
    clients->exec(QStringLiteral("UPDATE CheckInClasify SET RvYearOldClass = 'A9' WHERE CheckInNO = '1001'"));
    RowSet rs(clients, QStringLiteral("SELECT RvYearOldClass AS FL1,YearClass AS FL2,Sum(CheckInCliants) AS 合計 "
                                      "FROM QRYForClass GROUP BY RvYearOldClass,YearClass;"));
    QVERIFY(rs.find(QStringLiteral("FL1 = 'A9'")));
    QCOMPARE(rs.value(QStringLiteral("FL2")).toString(), QString());
    QCOMPARE(rs.value(QStringLiteral("合計")).toInt(), 2);
}

void TestSchema::billLinesInTheOrderTheyWereMade() {
    const auto sales = Connection::open(m_dir->path(), Sales);
    // A line added to slip 5 after slip 6 was written still belongs before slip 6.
    sales->exec(QStringLiteral("INSERT INTO BTSalesDetail (BTSalesNo, BTcmcode, BTQuantity, BTUnitPrice) "
                               "VALUES (5, '203', 1, 1800)"));
    RowSet rs(sales, QStringLiteral("SELECT * FROM QRYCheckOutP WHERE BTCheckInNo = '1000'"));
    QStringList order;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        order << rs.value(QStringLiteral("BTSalesNO")).toString() + u':' +
                     rs.value(QStringLiteral("BTcmcode")).toString();
    QCOMPARE(order, QStringList({QStringLiteral("5:101"), QStringLiteral("5:301"), QStringLiteral("5:304"),
                                 QStringLiteral("5:203"), QStringLiteral("6:402"), QStringLiteral("6:401")}));
}

void TestSchema::refusesWhenAFileExists_data() {
    QTest::addColumn<QString>("existing");
    for (const QString& name : Schema::fileNames())
        QTest::newRow(qPrintable(name)) << name;
}

void TestSchema::refusesWhenAFileExists() {
    QFETCH(QString, existing);
    QTemporaryDir dir;
    const QString path = dir.path() + QLatin1Char('/');
    {
        QFile f(path + existing);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("keep me");
    }
    try {
        Schema::createDataDirectory(path);
        QFAIL("an existing file was overwritten");
    } catch (const DbError& e) {
        QCOMPARE(e.file(), path + existing);
    }
    QFile f(path + existing);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("keep me"));
    QCOMPARE(QDir(path).entryList(QDir::Files), QStringList{existing});
}

void TestSchema::createsAMissingDirectory() {
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/inn/data/");
    Schema::createDataDirectory(path);
    for (const QString& file : Schema::fileNames())
        QVERIFY(RowSet(Connection::open(path, file), QStringLiteral("SchemaMeta")).recordCount() == 2);
}

void TestSchema::upgradeChain_data() {
    QTest::addColumn<int>("fileVersion");
    QTest::addColumn<QList<int>>("steps"); // the version each step starts from
    QTest::addColumn<int>("failingStep");  // 0: none fails
    QTest::addColumn<int>("version");      // recorded afterwards
    QTest::addColumn<QString>("ran");      // the steps whose work is in the file, in order
    QTest::addColumn<bool>("refused");

    const QList<int> oneTwo{1, 2};
    QTest::newRow("two versions old: both steps, in order")
        << 1 << QList<int>{2, 1} << 0 << 3 << QStringLiteral("12") << false;
    QTest::newRow("one version old: the last step only") << 2 << oneTwo << 0 << 3 << QStringLiteral("2") << false;
    QTest::newRow("current: nothing runs") << 3 << oneTwo << 0 << 3 << QStringLiteral("") << false;
    QTest::newRow("a later step fails: the earlier one is undone too")
        << 1 << oneTwo << 2 << 1 << QStringLiteral("") << true;
    QTest::newRow("no step from the file's version: nothing runs")
        << 1 << QList<int>{2} << 0 << 1 << QStringLiteral("") << true;
    QTest::newRow("a gap in the chain: nothing runs") << 1 << QList<int>{1, 3} << 0 << 1 << QStringLiteral("") << true;
    QTest::newRow("newer than the program") << 4 << oneTwo << 0 << 4 << QStringLiteral("") << true;
}

// Each version's step runs in the upgrade's one transaction, from the file's version on.
void TestSchema::upgradeChain() {
    QFETCH(int, fileVersion);
    QFETCH(QList<int>, steps);
    QFETCH(int, failingStep);
    QFETCH(int, version);
    QFETCH(QString, ran);
    QFETCH(bool, refused);

    const auto connection = Connection::openAnyVersion(m_dir->path() + Option);
    connection->exec(QStringLiteral("CREATE TABLE StepLog (Step INTEGER, RowKey INTEGER PRIMARY KEY)"));
    connection->exec(QStringLiteral("UPDATE SchemaMeta SET Value = ? WHERE Name = 'SchemaVersion'"), {fileVersion});
    QList<Schema::UpgradeStep> chain;
    for (const int from : std::as_const(steps)) {
        chain.append({from, [from, failingStep](Connection& c, const QString&) {
                          c.exec(QStringLiteral("INSERT INTO StepLog (Step) VALUES (?)"), {from});
                          if (from == failingStep)
                              throw DbError(QStringLiteral("step failed"));
                      }});
    }
    bool threw = false;
    try {
        Schema::runUpgradeSteps(*connection, Option, chain, 3);
    } catch (const DbError&) {
        threw = true;
    }
    QCOMPARE(threw, refused);
    QCOMPARE(connection->schemaVersion(), version);
    QString log;
    RowSet rows(connection, QStringLiteral("StepLog"));
    for (; !rows.eof(); rows.moveNext())
        log += rows.value(QStringLiteral("Step")).toString();
    QCOMPARE(log, ran);
}

void TestSchema::guestListFromVersion3_data() {
    QTest::addColumn<QVariantList>("address"); // CheckInAdrs1..3 and CheckInTelNo; empty: no CheckInAdrs row
    QTest::addColumn<QString>("guestAddress");
    QTest::addColumn<QString>("guestTel");
    QTest::newRow("three address lines") << QVariantList{u"長野県"_s, u"松本市"_s, u"大手4-1"_s, u"0263-00-1234"_s}
                                         << u"長野県 松本市 大手4-1"_s << u"0263-00-1234"_s;
    QTest::newRow("a line left empty or null")
        << QVariantList{u"東京都"_s, QString(), QVariant(), QVariant()} << u"東京都"_s << QString();
    QTest::newRow("first line empty") << QVariantList{QString(), u"松本市"_s, u"大手4-1"_s, u"0263"_s}
                                      << u"松本市 大手4-1"_s << u"0263"_s;
    QTest::newRow("no address row") << QVariantList{} << QString() << QString();
}

// A version-3 file keeps every row, and each check-in gets its representative as its one
// guest; deskadmin's check then finds a check-in without guests.
void TestSchema::guestListFromVersion3() {
    QFETCH(QVariantList, address);
    QFETCH(QString, guestAddress);
    QFETCH(QString, guestTel);
    const QString path = m_dir->path() + Clients;
    {
        const auto c = Connection::openAnyVersion(path);
        c->exec(u"DROP TABLE CheckInGuests"_s);
        c->exec(u"DROP VIEW QRYCliantsDaySale"_s);
        c->exec(u"DROP VIEW QRYStayLevy"_s);
        c->exec(u"ALTER TABLE CheckInCliants DROP COLUMN CheckOutDate"_s);
        c->exec(u"UPDATE SchemaMeta SET Value = '3' WHERE Name = 'SchemaVersion'"_s);
        for (const QString& number : {u"a1"_s, u"A2"_s}) {
            c->exec(u"INSERT INTO CheckInCliants (CheckInNO, CheckInDate, CheckInName, CheckOutFlag) "
                    "VALUES (?, '2020-04-01', ?, 1)"_s,
                    {number, QString(u"客"_s + number)});
        }
        if (!address.isEmpty())
            c->exec(u"INSERT INTO CheckInAdrs (CheckInNO, CheckInAdrs1, CheckInAdrs2, CheckInAdrs3, CheckInTelNo) "
                    "VALUES ('A2', ?, ?, ?, ?)"_s,
                    address);
    }
    QVERIFY(maintenance::check(m_dir->path()).size() >= 1); // the old version is a finding
    {
        const auto c = Connection::openAnyVersion(path);
        const auto count = [&c](const QString& table) {
            return c->scalar(u"SELECT COUNT(*) FROM "_s + table).toInt();
        };
        const int checkIns = count(u"CheckInCliants"_s);
        const int addresses = count(u"CheckInAdrs"_s);
        Schema::upgradeFile(*c, Clients);
        QCOMPARE(c->schemaVersion(), Schema::Version);
        QCOMPARE(count(u"CheckInCliants"_s), checkIns);
        QCOMPARE(count(u"CheckInAdrs"_s), addresses);
        QCOMPARE(count(u"CheckInGuests"_s), checkIns);
        QCOMPARE(c->scalar(u"SELECT COUNT(DISTINCT CheckInNO) FROM CheckInGuests"_s).toInt(), checkIns);
        RowSet guest(c, u"SELECT * FROM CheckInGuests WHERE CheckInNO = 'A2'"_s);
        QCOMPARE(guest.recordCount(), 1);
        QCOMPARE(guest.value(u"GuestNo"_s).toInt(), 1);
        QCOMPARE(guest.value(u"GuestName"_s).toString(), u"客A2"_s);
        QCOMPARE(guest.value(u"GuestAdrs"_s).toString(), guestAddress);
        QCOMPARE(guest.value(u"GuestTelNo"_s).toString(), guestTel);
        QCOMPARE(guest.value(u"Abroad"_s).toBool(), false);
        QVERIFY(c->scalar(u"SELECT CheckOutDate FROM CheckInCliants WHERE CheckInNO = 'A2'"_s).isNull());
        // A second run (another desk's upgrade that lost the race) adds nothing.
        c->exec(u"UPDATE SchemaMeta SET Value = '3' WHERE Name = 'SchemaVersion'"_s);
        Schema::upgradeFile(*c, Clients);
        QCOMPARE(count(u"CheckInGuests"_s), checkIns);
        c->exec(u"DELETE FROM CheckInGuests WHERE CheckInNO = 'a1'"_s);
    }
    QStringList texts;
    // The guest list is the inn's own rule, checked beside its tax settings.
    for (const maintenance::Finding& f : taxsvc::checkInn(m_dir->path(), QDate::currentDate()))
        texts << f.text;
    QVERIFY2(texts.filter(u"宿泊者"_s).size() == 1 && texts.filter(u"宿泊者"_s).constFirst().contains(u"「a1」"_s),
             qPrintable(texts.join(u'\n')));
}

// A version-4 inn keeps its rows: nobody of a past party is exempt, no commodity has a room
// share, and no levy is set until the inn sets its own.
void TestSchema::leviesFromVersion4() {
    const auto toVersion4 = [this](const QString& file, const QStringList& statements) {
        const auto c = Connection::openAnyVersion(m_dir->path() + file);
        for (const QString& statement : statements)
            c->exec(statement);
        c->exec(u"UPDATE SchemaMeta SET Value = '4' WHERE Name = 'SchemaVersion'"_s);
        return c;
    };
    const auto clients =
        toVersion4(Clients, {u"DROP VIEW QRYStayLevy"_s, u"ALTER TABLE CheckInBadget DROP COLUMN BathExempt"_s,
                             u"ALTER TABLE CheckInBadget DROP COLUMN LodgingExempt"_s,
                             u"INSERT INTO CheckInBadget (CheckInNO, RvClNumber, RvBadget) VALUES ('L1', 4, 9000)"_s,
                             u"INSERT INTO CheckInCliants (CheckInNO, CheckInDate) VALUES ('L1', '2026-03-01')"_s});
    const auto sales =
        toVersion4(Sales, {u"DROP VIEW QRYCheckOutP"_s, u"ALTER TABLE Commodities DROP COLUMN CRoomShare"_s});
    const auto option = toVersion4(Option, {u"DROP TABLE LevyBands"_s, u"DROP TABLE LevyRules"_s});
    const int commodities = sales->scalar(u"SELECT COUNT(*) FROM Commodities"_s).toInt();
    QVERIFY(commodities > 0);

    Schema::upgradeFile(*clients, Clients);
    Schema::upgradeFile(*sales, Sales);
    Schema::upgradeFile(*option, Option);
    for (const auto& c : {clients, sales, option})
        QCOMPARE(c->schemaVersion(), Schema::Version);
    RowSet party(clients, u"SELECT * FROM QRYStayLevy WHERE CheckInNO = 'L1'"_s);
    QCOMPARE(party.value(u"Guests"_s).toInt(), 4);
    QCOMPARE(party.value(u"BathExempt"_s).toInt(), 0);
    QCOMPARE(party.value(u"LodgingExempt"_s).toInt(), 0);
    QCOMPARE(sales->scalar(u"SELECT COUNT(*) FROM Commodities WHERE CRoomShare = 0"_s).toInt(), commodities);
    QCOMPARE(sales->scalar(u"SELECT COUNT(*) FROM QRYCheckOutP WHERE CRoomShare <> 0"_s).toInt(), 0);
    QCOMPARE(option->scalar(u"SELECT COUNT(*) FROM LevyRules"_s).toInt(), 0);
    QCOMPARE(option->scalar(u"SELECT COUNT(*) FROM LevyBands"_s).toInt(), 0);
}

void TestSchema::rowKeysFromVersion5_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("before"); // run on the current file before it is made version 5
    QTest::addColumn<QString>("row");        // what tells the rows apart
    QTest::addColumn<QString>("column");     // set on a row added after the upgrade
    QTest::addColumn<QVariant>("value");

    QTest::newRow("work table of two desks, a line cleared")
        << Sales << u"BTTempSalesDetail"_s
        << QStringList{u"INSERT INTO BTTempSalesDetail (BTcmcode, Desk) VALUES ('201', 'A'), ('101', 'B'), "
                       "('301', 'A'), ('102', 'B'), ('202', 'A')"_s,
                       u"DELETE FROM BTTempSalesDetail WHERE BTcmcode = '301'"_s}
        << u"BTcmcode || '/' || Desk"_s << u"BTcmcode"_s << QVariant(u"999"_s);
    QTest::newRow("sales lines with gaps after deleted slips")
        << Sales << u"BTSalesDetail"_s << QStringList{u"DELETE FROM BTSalesDetail WHERE BTSalesNo IN (2, 5)"_s}
        << u"BTSalesNo || ':' || BTcmcode"_s << u"BTSalesNo"_s << QVariant(99);
    QTest::newRow("check-ins, the second one deleted")
        << Clients << u"CheckInCliants"_s << QStringList{u"DELETE FROM CheckInCliants WHERE rowid = 2"_s}
        << u"CheckInNO"_s << u"CheckInNO"_s << QVariant(u"N999"_s);
    QTest::newRow("the version record")
        << Option << u"SchemaMeta"_s
        << QStringList{u"INSERT INTO SchemaMeta (Name, Value) VALUES ('Gone', '1'), ('Kept', '2')"_s,
                       u"DELETE FROM SchemaMeta WHERE Name = 'Gone'"_s}
        << u"Name"_s << u"Name"_s << QVariant(u"Added"_s);
}

// A version-5 file keeps every row, its order and its number: the rowid becomes the row key,
// which the table cursor walks, and a row added afterwards comes after every old one.
void TestSchema::rowKeysFromVersion5() {
    QFETCH(QString, file);
    QFETCH(QString, table);
    QFETCH(QStringList, before);
    QFETCH(QString, row);
    QFETCH(QString, column);
    QFETCH(QVariant, value);

    const auto c = Connection::openAnyVersion(m_dir->path() + file);
    for (const QString& statement : std::as_const(before))
        c->exec(statement);
    test::toSchemaVersion5(*c);
    for (const Connection::Column& col : c->columns(table))
        QVERIFY2(col.name != u"RowKey"_s, "the file was not made as version 5 had it");
    QCOMPARE(c->schemaVersion(), 5);
    const auto numbered = [&](const QString& key) {
        QStringList rows;
        c->select(u"SELECT %1, %2 FROM %3 ORDER BY %1"_s.arg(key, row, table), {}, {},
                  [&](const QSqlQuery& q) { rows << q.value(0).toString() + u'=' + q.value(1).toString(); });
        return rows;
    };
    const QStringList old = numbered(u"rowid"_s);
    QVERIFY(old.size() >= 2);
    const auto keyOf = [](const QString& numberedRow) {
        return numberedRow.section(u'=', 0, 0).toLongLong();
    };
    QVERIFY2(keyOf(old.constFirst()) + old.size() - 1 < keyOf(old.constLast()), "no gap in the numbers");

    Schema::upgradeFile(*c, file);
    QCOMPARE(c->schemaVersion(), Schema::Version);
    QCOMPARE(numbered(u"RowKey"_s), old);

    RowSet rows(c, table);
    QVERIFY(!rows.columnNames().contains(u"RowKey"_s, Qt::CaseInsensitive));
    QStringList walked;
    const QList<RowSet::Bookmark> keys = rows.bookmarks();
    for (int i = 0; !rows.eof(); rows.moveNext(), ++i)
        walked << QString::number(keys.value(i)) + u'=' +
                      c->scalar(u"SELECT %1 FROM %2 WHERE RowKey = ?"_s.arg(row, table), {rows.bookmark()}).toString();
    QCOMPARE(walked, old);

    rows.addNew();
    rows.setValue(column, value);
    rows.update();
    QVERIFY(rows.bookmark() > keyOf(old.constLast()));
    rows.moveLast();
    QCOMPARE(rows.value(column), value);
}

// A step of the next version, written as the steps are — a table made anew with one column
// more — keeps every row with its key and place on either engine, and the engine numbers the
// next row after them. It runs on the test server too (the server's inns are upgraded by the
// same steps).
void TestSchema::upgradeStepRebuildsOnEveryEngine() {
    const auto c = Connection::openAnyVersion(m_dir->filePath(Sales));
    c->exec(u"INSERT INTO CommodityClasify (CClassCode, CClassName) VALUES ('X1', '甲'), ('X2', '乙'), ('X3', '丙')"_s);
    c->exec(u"DELETE FROM CommodityClasify WHERE CClassCode = 'X2'"_s); // a gap in the keys
    const QString rows = u"SELECT RowKey, CClassCode, CClassName FROM CommodityClasify ORDER BY RowKey"_s;
    const auto read = [&] {
        QStringList all;
        c->select(rows, {}, {}, [&](const QSqlQuery& row) {
            all << row.value(0).toString() + u' ' + row.value(1).toString() + u' ' + row.value(2).toString();
        });
        return all;
    };
    const QStringList before = read();
    const qint64 lastKey = c->scalar(u"SELECT MAX(RowKey) FROM CommodityClasify"_s).toLongLong();

    Schema::Table wider;
    for (const Schema::Table& table : Schema::catalogueOf(Sales).tables) {
        if (table.name == u"CommodityClasify"_s)
            wider = table;
    }
    QVERIFY(!wider.name.isEmpty());
    wider.columns.append({"CClassNote", Engine::Declared::CaseBlindText, "NOT NULL DEFAULT ''"});
    const Schema::UpgradeStep step{Schema::Version, [&](Connection& connection, const QString&) {
                                       Schema::dropViews(connection);
                                       Schema::rebuildTable(connection, wider.name,
                                                            wider.statement(connection.engine()));
                                       for (const QString& statement : wider.indexes + Schema::catalogueOf(Sales).views)
                                           connection.exec(statement);
                                   }};
    Schema::runUpgradeSteps(*c, Sales, {step}, Schema::Version + 1);

    QCOMPARE(c->schemaVersion(), Schema::Version + 1);
    QCOMPARE(read(), before);
    QCOMPARE(c->scalar(u"SELECT COUNT(*) FROM CommodityClasify WHERE CClassNote = ''"_s).toInt(), before.size());
    QVERIFY(c->object(u"CommodityClasify_before_upgrade"_s).kind.isEmpty());
    QCOMPARE(c->viewNames().size(), Schema::catalogueOf(Sales).views.size());
    c->exec(u"INSERT INTO CommodityClasify (CClassCode, CClassName) VALUES ('X4', '丁')"_s);
    QVERIFY(c->scalar(u"SELECT RowKey FROM CommodityClasify WHERE CClassCode = 'X4'"_s).toLongLong() > lastKey);
    // The unique key is made anew, as blind to case as before.
    try {
        c->exec(u"INSERT INTO CommodityClasify (CClassCode, CClassName) VALUES ('x1', '重複')"_s);
        QFAIL("a code that differs only in case was taken");
    } catch (const DbError& e) {
        QCOMPARE(e.cause(), DbError::Cause::DuplicateKey);
    }
}

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
