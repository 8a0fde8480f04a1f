#include "chargeapp/DRuriage.h"

#include "report/ReportDocument.h"
#include "testsupport/WindowFixture.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestDRuriage : public QObject {
    Q_OBJECT

private slots:
    void columnHeadingsPrintAlike();
};

// Every heading over the lines prints at one size and reads whole: none is shrunk to fit.
void TestDRuriage::columnHeadingsPrintAlike() {
    desk::test::WindowFixture f;
    chargeapp::DRuriage report(f.dirPath(), {u"現金売"_s, u"1"_s, u"2026/12/8"_s, u"101"_s, u"山田"_s, {}, u"松"_s, {}},
                               0, desk::test::WindowFixture::sampleProfile());
    const desk::ReportDocument doc = report.compose();
    const QStringList headings{u"Label12"_s, u"Label13"_s, u"Label14"_s, u"Label15"_s, u"Label24"_s,
                               u"Label25"_s, u"Label26"_s, u"Label27"_s, u"Label28"_s};
    const QList<desk::ReportItem> first = doc.byControl(headings.first());
    QCOMPARE(first.size(), 1);
    for (const QString& heading : headings) {
        const QList<desk::ReportItem> items = doc.byControl(heading);
        QCOMPARE(items.size(), 1);
        QVERIFY2(qFuzzyCompare(items.first().fontSize, first.first().fontSize),
                 qPrintable(u"%1 %2 at %3 pt, %4 at %5 pt"_s.arg(heading, items.first().text)
                                .arg(items.first().fontSize)
                                .arg(headings.first())
                                .arg(first.first().fontSize)));
    }
    QCOMPARE(doc.byControl(u"Label28"_s).first().text.trimmed(), u"合計"_s);
}

QTEST_MAIN(TestDRuriage)
#include "tst_druriage.moc"
