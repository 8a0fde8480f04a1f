#include "paymentapp/DRRptBill.h"

#include "data/Connection.h"
#include "data/Desk.h"
#include "testsupport/ReportText.h"
#include "testsupport/TempDataDir.h"
#include "testsupport/WindowFixture.h"

#include <QTest>

using namespace Qt::StringLiterals;
using desk::test::controlText;
using paymentapp::DRRptBill;
using paymentapp::ReceiptValues;

namespace {

const desk::CompanyProfile profile = desk::test::WindowFixture::sampleProfile();

void putLine(desk::Connection& file, const QString& desk, const QString& code, double amount, const QString& remarks) {
    file.exec(u"INSERT INTO BTReciptTemp (Desk, RptCode, RptName, ReciptAmount, RptRemarks) VALUES (?, ?, 'x', ?, ?)"_s,
              {desk, code, amount, remarks});
}

QStringList column(const desk::ReportDocument& doc, const QString& control) {
    QStringList texts;
    for (const auto& item : doc.byControl(control))
        texts << item.text;
    return texts;
}

} // namespace

class TestDRRptBill : public QObject {
    Q_OBJECT

private slots:
    void receiptShowsTheWorkLines_data();
    void receiptShowsTheWorkLines();
    void everyShowingReadsTheTableAfresh();
};

void TestDRRptBill::receiptShowsTheWorkLines_data() {
    QTest::addColumn<QList<double>>("amounts");
    QTest::addColumn<double>("total");
    QTest::addColumn<QStringList>("printedAmounts");
    QTest::addColumn<QString>("printedTotal");

    QTest::newRow("three lines") << QList<double>{1000, 2500, 1234567} << 1238067.0
                                 << QStringList{u"1,000"_s, u"2,500"_s, u"1,234,567"_s} << u"1,238,067"_s;
    // After a save the work table is empty, yet the last total is still printed.
    QTest::newRow("no lines, last total") << QList<double>{} << 4000.0 << QStringList{} << u"4,000"_s;
    QTest::newRow("zero total prints blank") << QList<double>{0} << 0.0 << QStringList{u"0"_s} << QString();
}

void TestDRRptBill::receiptShowsTheWorkLines() {
    QFETCH(QList<double>, amounts);
    QFETCH(double, total);
    QFETCH(QStringList, printedAmounts);
    QFETCH(QString, printedTotal);

    desk::test::TempDataDir data;
    QVERIFY(data.isValid());
    const auto file = desk::Connection::open(data.path(), QLatin1String(desk::DbFile::Recipt));
    for (double amount : amounts)
        putLine(*file, desk::currentDesk(), u"01"_s, amount, u"O'Brien 様"_s);
    // Another desk's line is never on this desk's receipt.
    putLine(*file, u"other desk"_s, u"03"_s, 99, {});

    const ReceiptValues values{u"掛入金"_s,    u"17"_s,     u"2024/4/1"_s, u"C-12"_s,
                               u"山田 太郎"_s, u"松の間"_s, total,         QDate(2024, 4, 1)};
    DRRptBill report(data.path(), values, profile);
    const desk::ReportDocument doc = report.compose();

    QCOMPARE(doc.pageCount, 1);
    QCOMPARE(column(doc, u"Text3"_s), printedAmounts);
    QCOMPARE(column(doc, u"Text4"_s).size(), amounts.size());
    QCOMPARE(controlText(doc, u"Label33"_s), printedTotal);
    QCOMPARE(controlText(doc, u"Label5"_s), u"2024/4/1"_s);
    QCOMPARE(controlText(doc, u"Label3"_s), u"17"_s);
    QCOMPARE(controlText(doc, u"Label7"_s), u"C-12"_s);
    QCOMPARE(controlText(doc, u"Label8"_s), u"山田 太郎"_s);
    QCOMPARE(controlText(doc, u"Label10"_s), u"松の間"_s);
    QCOMPARE(controlText(doc, u"Label11"_s), u"掛入金"_s);
    QCOMPARE(controlText(doc, u"Label16"_s), u"湯の宿 はなれ"_s);
    QCOMPARE(controlText(doc, u"Label19"_s), u"TEL055-111-2222"_s);
    QCOMPARE(controlText(doc, u"Label20"_s), u"FAX055-111-3333"_s);
    QCOMPARE(controlText(doc, u"Label24"_s), u"円を領収しました。"_s);
    QCOMPARE(doc.fileName, u"領収書_17_20240401"_s);
}

void TestDRRptBill::everyShowingReadsTheTableAfresh() {
    desk::test::TempDataDir data;
    QVERIFY(data.isValid());
    const auto file = desk::Connection::open(data.path(), QLatin1String(desk::DbFile::Recipt));
    putLine(*file, desk::currentDesk(), u"01"_s, 500, {});
    const ReceiptValues values{u"当日利用入金"_s, u"1"_s, u"2024/4/1"_s, u"C1"_s, {}, {}, 500, QDate(2024, 4, 1)};
    QCOMPARE(column(DRRptBill(data.path(), values, profile).compose(), u"Text3"_s), QStringList{u"500"_s});

    putLine(*file, desk::currentDesk(), u"02"_s, 700, {});
    QCOMPARE(column(DRRptBill(data.path(), values, profile).compose(), u"Text3"_s), (QStringList{u"500"_s, u"700"_s}));
}

QTEST_MAIN(TestDRRptBill)
#include "tst_drrptbill.moc"
