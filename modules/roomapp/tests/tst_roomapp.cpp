#include "roomapp/RoomListReport.h"
#include "roomapp/RoomWindow.h"

#include "data/Connection.h"
#include "roomsvc/RoomStore.h"
#include "testsupport/InputMethod.h"
#include "testsupport/WindowFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QSqlQuery>
#include <QTest>

using namespace desk::test;
using namespace Qt::StringLiterals;

namespace {

QString stored(const QString& dir, const QString& code) {
    QString row;
    desk::Connection::open(dir, QLatin1String(desk::DbFile::Option))
        ->select(u"SELECT RoomName, RoomType, Capacity, MinGuests, InService FROM Rooms WHERE RoomCode = ?"_s, {code},
                 {}, [&](const QSqlQuery& q) {
                     QStringList values;
                     for (int i = 0; i < 5; ++i)
                         values << q.value(i).toString();
                     row = values.join(u' ');
                 });
    return row;
}

} // namespace

// A room typed in by keys alone: its type picked from the list by arrow keys, capacity and
// fewest guests checked; a room a stay uses is neither deleted nor renumbered.
class TestRoomApp : public QObject {
    Q_OBJECT

private slots:
    void enterARoom_data();
    void enterARoom();
    void roomInUseStays();
};

void TestRoomApp::enterARoom_data() {
    QTest::addColumn<QString>("capacity");
    QTest::addColumn<QString>("fewest");
    QTest::addColumn<int>("downs"); // arrow presses in the type list
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QString>("saved");
    QTest::newRow("和洋室 for four") << u"4"_s << u"2"_s << 3 << QString() << u"萩 和洋室 4 2 1"_s;
    QTest::newRow("no type") << u"4"_s << u"2"_s << 0 << u"種別を選択してください。"_s << QString();
    QTest::newRow("capacity 0") << u"0"_s << u"1"_s << 1 << u"定員は 1 から 99 までで入力してください。"_s << QString();
    QTest::newRow("largest room") << u"99"_s << u"99"_s << 1 << QString() << u"萩 和室 99 99 1"_s;
    QTest::newRow("fewest above capacity")
        << u"2"_s << u"3"_s << 1 << u"最少人数は定員以下にしてください。"_s << QString();
    QTest::newRow("fewest 0") << u"2"_s << u"0"_s << 1 << u"最少人数は 1 から 99 までで入力してください。"_s
                              << QString();
}

void TestRoomApp::enterARoom() {
    QFETCH(QString, capacity);
    QFETCH(QString, fewest);
    QFETCH(int, downs);
    QFETCH(QString, refusal);
    QFETCH(QString, saved);
    WindowFixture f;
    roomapp::frmRoom window(f.context());
    QVERIFY(showActive(&window));
    QCOMPARE(child<QComboBox>(&window, u"CmbRoomType"_s)->itemText(2), u"和洋室"_s);

    QTest::keyClicks(QApplication::focusWidget(), u"105"_s);
    QVERIFY(commitText(&window, u"txtRoomName"_s, u"萩"_s));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), u"CmbRoomType"_s);
    for (int i = 0; i < downs; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClicks(QApplication::focusWidget(), capacity);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClicks(QApplication::focusWidget(), fewest);
    pressAccessKey(&window, Qt::Key_R);

    const auto messages = f.dialogs().messages();
    QCOMPARE(messages.size(), refusal.isEmpty() ? 0 : 1);
    if (!refusal.isEmpty())
        QCOMPARE(messages[0].text, refusal);
    QCOMPARE(stored(f.dirPath(), u"105"_s), saved);
}

void TestRoomApp::roomInUseStays() {
    WindowFixture f;
    desk::Connection::open(f.dirPath(), QLatin1String(desk::DbFile::Option))
        ->exec(u"INSERT INTO Rooms (RoomCode, RoomName, RoomType, Capacity, MinGuests) VALUES "
               u"('201', '菊', '和室', 5, 1), ('202', '椿', '和室', 4, 1)"_s);
    QList<roomsvc::RoomStay> stays(1);
    stays[0].room = u"201"_s;
    stays[0].firstNight = QDate(2031, 5, 1);
    QCOMPARE(roomsvc::RoomStore(f.dirPath()).save(stays), QString());
    roomapp::frmRoom window(f.context());
    QVERIFY(showActive(&window));

    // Renumbered: refused, the room as it was.
    f.dialogs().pushInput(u"201"_s);
    pressAccessKey(&window, Qt::Key_C);
    QCOMPARE(textOf(&window, u"lbRoomCode"_s), u"201"_s);
    QVERIFY(typeInto(&window, u"txtRoomCode"_s, u"211"_s));
    pressAccessKey(&window, Qt::Key_E);
    QCOMPARE(f.dialogs().messages().size(), 1);
    QCOMPARE(f.dialogs().messages()[0].text, u"201号室は部屋割りに使われているため、部屋番号を変えられません。"_s);
    QCOMPARE(stored(f.dirPath(), u"201"_s), u"菊 和室 5 1 1"_s);

    // Deleted: refused before the question, the room still there.
    pressAccessKey(&window, Qt::Key_D);
    QCOMPARE(f.dialogs().messages().size(), 2);
    QVERIFY(f.dialogs().messages()[1].text.startsWith(u"201号室は部屋割りに使われているため削除できません。"_s));
    QCOMPARE(stored(f.dirPath(), u"201"_s), u"菊 和室 5 1 1"_s);

    // A room no stay uses goes, after the question.
    f.dialogs().pushInput(u"202"_s);
    pressAccessKey(&window, Qt::Key_C);
    f.dialogs().pushAnswer(desk::Dialogs::Answer::Yes);
    pressAccessKey(&window, Qt::Key_D);
    QCOMPARE(stored(f.dirPath(), u"202"_s), QString());

    // The list report: the room left, under repair once it is out of service.
    desk::Connection::open(f.dirPath(), QLatin1String(desk::DbFile::Option))->exec(u"UPDATE Rooms SET InService = 0"_s);
    const desk::ReportDocument doc = roomapp::RoomListReport(f.dirPath(), WindowFixture::sampleProfile()).compose();
    QCOMPARE(doc.byControl(u"Text1"_s).size(), 1);
    QCOMPARE(doc.byControl(u"Text1"_s)[0].text, u"201"_s);
    QCOMPARE(doc.byControl(u"Text7"_s)[0].text, u"修理中"_s);
}

QTEST_MAIN(TestRoomApp)
#include "tst_roomapp.moc"
