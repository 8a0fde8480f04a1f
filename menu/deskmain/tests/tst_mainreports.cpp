#include "MainFixture.h"

#include "deskmain/DRChkOut.h"
#include "deskmain/Dryoyaku1.h"
#include "convert/Convert.h"
#include "testsupport/TempDataDir.h"

#include <QTest>

using desk::test::TempDataDir;

namespace {

desk::CompanyProfile profileWithFax(const QString& fax) {
    desk::CompanyProfile p;
    p.MyCompanyName = QStringLiteral("旅館さくら荘");
    p.MyZipCode = QStringLiteral("399-8301");
    p.MyAddress = QStringLiteral("長野県安曇野市");
    p.MyTelNo = QStringLiteral("0263-00-1234");
    p.MyFaxNo = fax;
    p.MyURL = QStringLiteral("https://example.jp/");
    p.MyEmail = QStringLiteral("info@example.jp");
    p.MyComment = QStringLiteral("またのお越しを");
    return p;
}

QStringList textsOf(const desk::ReportDocument& doc, const QString& control) {
    QStringList texts;
    for (const desk::ReportItem& item : doc.byControl(control))
        texts << item.text;
    return texts;
}

} // namespace

class TestMainReports : public QObject {
    Q_OBJECT

private slots:
    void companyHeader_data();
    void companyHeader();
    void todaysReservations();
    void guestsNotCheckedOut_data();
    void guestsNotCheckedOut();
};

void TestMainReports::companyHeader_data() {
    QTest::addColumn<bool>("checkOutList");
    QTest::addColumn<QString>("fax");
    QTest::addColumn<QString>("faxLine");
    QTest::newRow("reservations, fax") << false << QStringLiteral("0263-00-1235") << QStringLiteral("FAX0263-00-1235");
    QTest::newRow("reservations, no fax") << false << QString() << QStringLiteral("FAX");
    QTest::newRow("check-out list, fax") << true << QStringLiteral("03-1") << QStringLiteral("FAX03-1");
    QTest::newRow("check-out list, no fax") << true << QString() << QStringLiteral("FAX");
}

void TestMainReports::companyHeader() {
    QFETCH(bool, checkOutList);
    QFETCH(QString, fax);
    QFETCH(QString, faxLine);
    TempDataDir data;
    const desk::CompanyProfile p = profileWithFax(fax);
    std::unique_ptr<desk::Report> report;
    if (checkOutList)
        report = std::make_unique<deskmain::DRChkOut>(data.path(), p);
    else
        report = std::make_unique<deskmain::Dryoyaku1>(data.path(), p, desk::convert::dayText(QDate::currentDate()));

    const QStringList expected{p.MyCompanyName, p.MyZipCode, p.MyAddress, QStringLiteral("TEL0263-00-1234"),
                               faxLine,         p.MyEmail,   p.MyURL,     p.MyComment};
    const desk::ReportDocument doc = report->compose();
    for (int i = 0; i < expected.size(); ++i) {
        const QString name = QStringLiteral("Label%1").arg(16 + i);
        QCOMPARE(textsOf(doc, name), QStringList{expected[i]});
    }
    // An empty source prints the headers and no detail band.
    QCOMPARE(doc.pageCount, 1);
    QVERIFY(!doc.bands(1).contains(desk::SectionKind::Detail));
    QCOMPARE(textsOf(doc, QStringLiteral("Label1")),
             QStringList{checkOutList ? QStringLiteral("未チェックアウト一覧") : QStringLiteral("本日予約一覧表")});
}

void TestMainReports::todaysReservations() {
    TempDataDir data;
    const QDate today = QDate::currentDate();
    fixture::addReservation(data.path(), 3, today, QStringLiteral("山田 太郎"), QStringLiteral("090-1"), 4, 1234567,
                            QStringLiteral("誕生日"));
    fixture::addReservation(data.path(), 4, today.addDays(1), QStringLiteral("明日 次郎"));
    fixture::addReservation(data.path(), 5, today, QStringLiteral("川口 三郎"), QString(), 1, 0);

    deskmain::Dryoyaku1 report(data.path(), profileWithFax({}), desk::convert::dayText(today));
    const desk::ReportDocument doc = report.compose();
    QCOMPARE(textsOf(doc, QStringLiteral("Text1")),
             (QStringList{QStringLiteral("山田 太郎"), QStringLiteral("川口 三郎")}));
    QCOMPARE(textsOf(doc, QStringLiteral("Text3")), (QStringList{QStringLiteral("4"), QStringLiteral("1")}));
    QCOMPARE(textsOf(doc, QStringLiteral("Text6")), (QStringList{QStringLiteral("1,234,567"), QStringLiteral("0")}));
    QCOMPARE(textsOf(doc, QStringLiteral("Text9")).first(), QStringLiteral("誕生日"));
    QCOMPARE(textsOf(doc, QStringLiteral("Text7")).first(), QStringLiteral("15:00"));
    QCOMPARE(textsOf(doc, QStringLiteral("Text11")).first(), QStringLiteral("信州旅行"));
    QCOMPARE(textsOf(doc, QStringLiteral("Label11")), QStringList{QStringLiteral("1")});
    QCOMPARE(textsOf(doc, QStringLiteral("Label2")), QStringList{desk::Report::longDateText(today)});
}

void TestMainReports::guestsNotCheckedOut_data() {
    QTest::addColumn<bool>("everyoneLeft");
    QTest::addColumn<QStringList>("numbers");
    QTest::newRow("two in the house") << false << QStringList{QStringLiteral("B-1"), QStringLiteral("B-3")};
    QTest::newRow("every guest checked out") << true << QStringList{};
}

void TestMainReports::guestsNotCheckedOut() {
    QFETCH(bool, everyoneLeft);
    QFETCH(QStringList, numbers);
    TempDataDir data;
    const QDate day = QDate(2026, 4, 5);
    fixture::addStay(data.path(), QStringLiteral("B-1"), day, QStringLiteral("佐藤 花子"), QStringLiteral("201"),
                     everyoneLeft, 3, QStringLiteral("佐藤家"));
    fixture::addStay(data.path(), QStringLiteral("B-2"), day, QStringLiteral("鈴木 一郎"), QStringLiteral("105"), true);
    fixture::addStay(data.path(), QStringLiteral("B-3"), day, QStringLiteral("高橋 三郎"), QStringLiteral("302"),
                     everyoneLeft, 1);

    deskmain::DRChkOut report(data.path(), profileWithFax({}));
    const desk::ReportDocument doc = report.compose();
    QCOMPARE(textsOf(doc, QStringLiteral("Text1")), numbers);
    if (!everyoneLeft) {
        QCOMPARE(textsOf(doc, QStringLiteral("Text2")),
                 (QStringList{QStringLiteral("佐藤 花子"), QStringLiteral("高橋 三郎")}));
        QCOMPARE(textsOf(doc, QStringLiteral("Text3")).first(), QStringLiteral("2026/04/05"));
        QCOMPARE(textsOf(doc, QStringLiteral("Text4")), (QStringList{QStringLiteral("3"), QStringLiteral("1")}));
        QCOMPARE(textsOf(doc, QStringLiteral("Text5")), (QStringList{QStringLiteral("201"), QStringLiteral("302")}));
        QCOMPARE(textsOf(doc, QStringLiteral("Text6")).first(), QStringLiteral("佐藤家"));
    }
    QCOMPARE(textsOf(doc, QStringLiteral("Label7")), QStringList{QStringLiteral("イン番号")});
}

QTEST_MAIN(TestMainReports)
#include "tst_mainreports.moc"
