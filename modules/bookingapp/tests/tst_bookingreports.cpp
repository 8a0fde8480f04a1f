#include "bookingapp/DRRireki.h"
#include "bookingapp/DRyoyaku.h"

#include "arrivalsvc/CheckInClass.h"
#include "bookingsvc/ReservationClass.h"
#include "testsupport/ReportText.h"
#include "testsupport/TempDataDir.h"

#include <QTest>

using namespace Qt::StringLiterals;
using bookingapp::DRRireki;
using bookingapp::DRyoyaku;
using desk::test::controlText;

namespace {

const desk::CompanyProfile profile{u"湯の宿 はなれ"_s,   u"〒400-0001"_s,   u"山梨県甲府市1-2"_s,
                                   u"055-111-2222"_s,    u"055-111-3333"_s, u"https://example.jp"_s,
                                   u"info@example.jp"_s, u"源泉かけ流し"_s};

} // namespace

class TestBookingReports : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void slipShowsTheReservation_data();
    void slipShowsTheReservation();
    void slipOfAnUnusedNumberHasHeadersOnly();
    void historyListsTheSearchInOrder();

private:
    desk::test::TempDataDir m_data;
};

void TestBookingReports::initTestCase() {
    QVERIFY(m_data.isValid());
    bookingsvc::ReservationClass store;
    store.setDirPath(m_data.path());
    store.CntDb();
    store.setReserveNo(12);
    store.setReserveDate(QDate(2024, 5, 3));
    store.setRecieveDate(QDate(2024, 4, 1));
    store.setCliantName(u"O'Brien 様"_s);
    store.setZipCode(u"150-0001"_s);
    store.setAddress1(u"東京都"_s);
    store.setAddress2(u"渋谷区"_s);
    store.setAddress3(u"神宮前1-1"_s);
    store.setTelNo(u"03-1234-5678"_s);
    store.setQuantity(3);
    store.setBadget(1234567);
    store.setClRemarks(u"夕食は遅め"_s);
    store.setArvTime(u"15:00"_s);
    store.setArvTimeChkIn(u"16:00"_s);
    store.setClTravelAg(u"山の旅社"_s);
    store.setClGroupeName(u"同窓会"_s);
    store.Msave();

    for (const auto& [number, date, companions] :
         {std::tuple{"C2", QDate(2024, 2, 1), u"花子"_s}, std::tuple{"C1", QDate(2023, 7, 9), u"次郎, 三郎"_s},
          std::tuple{"C3", QDate(2024, 2, 2), u"別の客"_s}}) {
        arrivalsvc::CheckInClass checkIn;
        checkIn.setDirPath(m_data.path());
        checkIn.CntDB();
        checkIn.setCheckInNO(QString::fromLatin1(number));
        checkIn.setCheckInDate(date);
        checkIn.setCheckInName(QLatin1String(number) == QLatin1String("C3") ? u"別人"_s : u"O'Brien 様"_s);
        checkIn.setCheckInRoomNo(u"松"_s);
        checkIn.setCheckInCName(companions);
        checkIn.setQuantity(4);
        checkIn.setBadget(22000);
        checkIn.setCheckInRemarks(u"記念日"_s);
        checkIn.Msave();
    }
}

void TestBookingReports::slipShowsTheReservation_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::newRow("title") << u"Label14"_s << u"予約確認票"_s;
    QTest::newRow("number") << u"Text2"_s << u"12"_s;
    QTest::newRow("guest") << u"Text1"_s << u"O'Brien 様"_s;
    QTest::newRow("received") << u"Text3"_s << u"2024/04/01"_s;
    QTest::newRow("use date") << u"Text4"_s << u"2024/05/03"_s;
    QTest::newRow("telephone") << u"Text5"_s << u"03-1234-5678"_s;
    QTest::newRow("zip") << u"Text6"_s << u"150-0001"_s;
    QTest::newRow("address 3") << u"Text16"_s << u"神宮前1-1"_s;
    QTest::newRow("guests") << u"Text7"_s << u"3"_s;
    QTest::newRow("budget") << u"Text8"_s << u"1,234,567"_s;
    QTest::newRow("arrival") << u"Text10"_s << u"15:00"_s;
    QTest::newRow("agency") << u"Text12"_s << u"山の旅社"_s;
    QTest::newRow("group") << u"Text13"_s << u"同窓会"_s;
    QTest::newRow("company") << u"Label16"_s << u"湯の宿 はなれ"_s;
    QTest::newRow("tel after TEL") << u"Label19"_s << u"TEL055-111-2222"_s;
    QTest::newRow("fax after FAX") << u"Label20"_s << u"FAX055-111-3333"_s;
    QTest::newRow("comment") << u"Label23"_s << u"源泉かけ流し"_s;
}

void TestBookingReports::slipShowsTheReservation() {
    QFETCH(QString, control);
    QFETCH(QString, text);
    DRyoyaku report(m_data.path(), 12, profile);
    QCOMPARE(controlText(report.compose(), control), text);
}

void TestBookingReports::slipOfAnUnusedNumberHasHeadersOnly() {
    DRyoyaku report(m_data.path(), 13, profile);
    const desk::ReportDocument doc = report.compose();
    QCOMPARE(doc.pageCount, 1);
    QCOMPARE(doc.bands(1).count(desk::SectionKind::Detail), 0);
    QCOMPARE(controlText(doc, u"Label14"_s), u"予約確認票"_s);
    QCOMPARE(controlText(doc, u"Label16"_s), u"湯の宿 はなれ"_s);
}

void TestBookingReports::historyListsTheSearchInOrder() {
    DRRireki report(m_data.path(), {arrivalsvc::StaySearch::By::Name, u"O'Brien 様"_s, std::nullopt}, profile);
    const desk::ReportDocument doc = report.compose();
    const auto column = [&doc](const QString& control) {
        QStringList texts;
        for (const auto& item : doc.byControl(control))
            texts << item.text;
        return texts;
    };
    QCOMPARE(controlText(doc, u"Label1"_s), u"利用履歴一覧票"_s);
    // Oldest stay first, as the saved query orders them.
    QCOMPARE(column(u"Text1"_s), QStringList({u"C1"_s, u"C2"_s}));
    QCOMPARE(column(u"Text2"_s), QStringList({u"2023/07/09"_s, u"2024/02/01"_s}));
    QCOMPARE(column(u"Text4"_s), QStringList({u"次郎, 三郎"_s, u"花子"_s}));
    QCOMPARE(column(u"Text6"_s), QStringList({u"4"_s, u"4"_s}));
    QCOMPARE(column(u"Text7"_s), QStringList({u"22,000"_s, u"22,000"_s}));
    QCOMPARE(controlText(doc, u"Label20"_s), u"FAX055-111-3333"_s);
}

QTEST_MAIN(TestBookingReports)
#include "tst_bookingreports.moc"
