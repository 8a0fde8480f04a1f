#include "firmsvc/InnProfile.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "testsupport/TempDataDir.h"

#include <QTest>

#include <memory>

using desk::test::TempDataDir;
using firmsvc::OptionDataClass;

namespace {

std::unique_ptr<OptionDataClass> connected(const TempDataDir& dir) {
    auto profile = std::make_unique<OptionDataClass>();
    profile->setDirPath(dir.path());
    profile->ConnectDb();
    return profile;
}

QStringList texts(const OptionDataClass& p) {
    return {p.MyCompanyName(), p.MyZipCode(), p.MyAddress(), p.MyTelNo(),
            p.MyFaxNo(),       p.MyURL(),     p.MyEmail(),   p.MyComment()};
}

std::shared_ptr<desk::Connection> db(const TempDataDir& dir) {
    return desk::Connection::open(dir.path(), QLatin1String(desk::DbFile::Option));
}

} // namespace

class TestFirmSvc : public QObject {
    Q_OBJECT

private slots:
    void profileRoundTrip_data();
    void profileRoundTrip();
    void missingValuesAndEmptyTable();
    void serviceFeeIsWhole_data();
    void serviceFeeIsWhole();
    void taxSettingsRoundTrip_data();
    void taxSettingsRoundTrip();
};

void TestFirmSvc::profileRoundTrip_data() {
    QTest::addColumn<bool>("displayFirst"); // the maintenance screen saves straight after connecting
    QTest::addColumn<int>("saves");
    QTest::newRow("after reading") << true << 1;
    QTest::newRow("straight after connecting") << false << 1;
    QTest::newRow("saved twice") << true << 2;
}

void TestFirmSvc::profileRoundTrip() {
    QFETCH(bool, displayFirst);
    QFETCH(int, saves);
    TempDataDir dir;
    const QStringList values{QStringLiteral("旅館テスト"),          QStringLiteral("390-0001"),
                             QStringLiteral("長野県松本市1-2"),     QStringLiteral("0263-11-2222"),
                             QStringLiteral("0263-11-3333"),        QStringLiteral("https://inn.example.jp/"),
                             QStringLiteral("info@inn.example.jp"), QStringLiteral("山と湯の宿 'ようこそ'")};
    {
        auto profile = connected(dir);
        if (displayFirst)
            profile->DisplyData();
        profile->setMyCompanyName(values[0]);
        profile->setMyZipCode(values[1]);
        profile->setMyAddress(values[2]);
        profile->setMyTelNo(values[3]);
        profile->setMyFaxNo(values[4]);
        profile->setMyURL(values[5]);
        profile->setMyEmail(values[6]);
        profile->setMyComment(values[7]);
        for (int i = 0; i < saves; ++i)
            profile->EditData();
    }
    auto reader = connected(dir);
    reader->DisplyData();
    QCOMPARE(texts(*reader), values);
    QCOMPARE(db(dir)->scalar(QStringLiteral("SELECT Count(*) FROM CompanyProfile")).toInt(), 1);
}

void TestFirmSvc::missingValuesAndEmptyTable() {
    TempDataDir dir;
    db(dir)->exec(QStringLiteral("UPDATE CompanyProfile SET CpComment = NULL, CpFaxno = NULL"));
    auto profile = connected(dir);
    profile->setMyComment(QStringLiteral("前の値"));
    profile->DisplyData();
    QCOMPARE(profile->MyComment(), QString());
    QCOMPARE(profile->MyFaxNo(), QString());
    QVERIFY(!profile->MyCompanyName().isEmpty());

    db(dir)->exec(QStringLiteral("DELETE FROM CompanyProfile"));
    auto empty = connected(dir);
    QVERIFY_THROWS_EXCEPTION(desk::DbError, empty->DisplyData());
    QVERIFY_THROWS_EXCEPTION(desk::DbError, empty->EditData());
    QCOMPARE(db(dir)->scalar(QStringLiteral("SELECT Count(*) FROM CompanyProfile")).toInt(), 0);
}

void TestFirmSvc::serviceFeeIsWhole_data() {
    QTest::addColumn<double>("written");
    QTest::addColumn<double>("read");
    QTest::newRow("10.5 to even") << 10.5 << 10.0;
    QTest::newRow("11.5 to even") << 11.5 << 12.0;
    QTest::newRow("-0.6") << -0.6 << -1.0;
}

void TestFirmSvc::serviceFeeIsWhole() {
    QFETCH(double, written);
    QFETCH(double, read);
    OptionDataClass profile;
    QCOMPARE(profile.ServiceFee(), 0.0);
    profile.setServiceFee(written);
    profile.setSalesTax(8);
    QCOMPARE(profile.ServiceFee(), read);
    QCOMPARE(profile.SalesTax(), 0.0);
}

void TestFirmSvc::taxSettingsRoundTrip_data() {
    QTest::addColumn<bool>("setTax"); // false: only the eight texts are set before the save
    QTest::addColumn<double>("serviceFee");
    QTest::addColumn<int>("rounding");
    QTest::addColumn<QString>("invoiceNo");
    QTest::newRow("set") << true << 12.5 << 2 << QStringLiteral("T1234567890123");
    QTest::newRow("cleared") << true << 0.0 << 0 << QString();
    // The stored settings, as the shipped profile has them.
    QTest::newRow("texts only keep them") << false << 10.0 << 1 << QStringLiteral("T9999999999999");
}

void TestFirmSvc::taxSettingsRoundTrip() {
    QFETCH(bool, setTax);
    QFETCH(double, serviceFee);
    QFETCH(int, rounding);
    QFETCH(QString, invoiceNo);
    TempDataDir dir;
    db(dir)->exec(QStringLiteral("UPDATE CompanyProfile SET TaxRounding = 1, InvoiceNo = 'T9999999999999'"));
    {
        auto profile = connected(dir);
        if (setTax) {
            profile->DisplyData();
            profile->setServiceFee(serviceFee);
            profile->setTaxRounding(rounding);
            profile->setInvoiceNo(invoiceNo);
        }
        profile->setMyCompanyName(QStringLiteral("旅館テスト"));
        profile->EditData();
    }
    auto reader = connected(dir);
    reader->DisplyData();
    QCOMPARE(reader->ServiceFee(), desk::convert::roundHalfEven(serviceFee));
    QCOMPARE(reader->TaxRounding(), rounding);
    QCOMPARE(reader->InvoiceNo(), invoiceNo);
    QCOMPARE(reader->MyCompanyName(), QStringLiteral("旅館テスト"));
}

QTEST_GUILESS_MAIN(TestFirmSvc)
#include "tst_firmsvc.moc"
