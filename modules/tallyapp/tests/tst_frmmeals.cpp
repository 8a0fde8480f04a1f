#include "calfield/DateTextBox.h"
#include "data/Connection.h"
#include "tallyapp/FrmJyoken.h"
#include "tallyapp/FrmMeals.h"
#include "testsupport/WindowFixture.h"
#include "testsupport/Widgets.h"

#include <QFileInfo>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace desk::test;
using namespace Qt::StringLiterals;
using tallyapp::FrmJyoken;
using tallyapp::FrmMeals;

namespace {

QString iso(const QDate& d) {
    return d.toString(Qt::ISODate);
}

// The worked day around today: 1泊2食 for 2 adults and a child arriving today (booked, in
// room 202), and 1泊朝食 for one guest checked in today, leaving tomorrow.
void seedWorkedDay(const QString& dir) {
    const QDate today = QDate::currentDate();
    auto sales = desk::Connection::open(dir, QString::fromLatin1(desk::DbFile::Sales));
    sales->exec(u"UPDATE Commodities SET CMealDinner = 1, CMealBreakfast = 1 WHERE Ccode = '101'"_s);
    sales->exec(u"UPDATE Commodities SET CMealBreakfast = 1 WHERE Ccode = '102'"_s);
    auto reservations = desk::Connection::open(dir, QString::fromLatin1(desk::DbFile::Reservation));
    reservations->exec(u"INSERT INTO Reserve (RvNo, RvUseDate, RvName, RvClNumber, RvNights, RvChildren, RvPlan, "
                       u"RvMealNote, Rvchkflg) VALUES (1, ?, '山田 太郎', 3, 1, 1, '101', '部屋食', 0)"_s,
                       {iso(today)});
    reservations->exec(u"INSERT INTO RoomStays (RoomCode, FirstNight, Nights, Guests, RvNo, CheckInNO, StayState) "
                       u"VALUES ('202', ?, 1, 3, 1, '', 0)"_s,
                       {iso(today)});
    auto clients = desk::Connection::open(dir, QString::fromLatin1(desk::DbFile::DaySalesCliants));
    clients->exec(u"INSERT INTO CheckInCliants (CheckInNO, CheckInDate, CheckInName, CheckInNights, CheckInPlan, "
                  u"CheckOutFlag) VALUES ('1001', ?, '佐藤 花子', 1, '102', 0)"_s,
                  {iso(today)});
    clients->exec(u"INSERT INTO CheckInBadget (CheckInNO, RvClNumber, RvBadget) VALUES ('1001', 1, 0)"_s);
}

// The first line of a day's grid, the day's totals: dinners of adults and children, then
// breakfasts.
QString totals(QWidget* window, const QString& grid) {
    const auto* table = child<QTableWidget>(window, grid);
    if (!table || table->rowCount() == 0)
        return u"<no grid>"_s;
    QStringList counts;
    for (int c = 4; c <= 7; ++c)
        counts << table->item(0, c)->text();
    return counts.join(u' ');
}

// The marks column of the grid's lines that name a party.
QStringList marks(QWidget* window, const QString& grid) {
    const auto* table = child<QTableWidget>(window, grid);
    QStringList texts;
    for (int r = 0; table && r < table->rowCount(); ++r) {
        if (table->item(r, 0)->text() == u"部屋"_s)
            texts << table->item(r, 2)->text() + u':' + table->item(r, 8)->text();
    }
    return texts;
}

void typeDay(QWidget* window, const QDate& day) {
    auto* box = child<calfield::DateTextBox>(window, u"DateTextBox1"_s);
    QVERIFY(box);
    QVERIFY(typeInto(box, u"TextYear"_s, QString::number(day.year())));
    QVERIFY(typeInto(box, u"TextMonth"_s, QString::number(day.month())));
    QVERIFY(typeInto(box, u"TextDay"_s, QString::number(day.day())));
}

QWidget* preview() {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->isVisible() && top->inherits("desk::ReportPreview"))
            return top;
    }
    return nullptr;
}

} // namespace

class TestFrmMeals : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void accessKeyOpensTodayAndTomorrowAndADayRecounts();
    void exportedSheetIsTheOneChangesAreMarkedAgainst();

private:
    // The meal window opened from the conditions window with its access key.
    FrmMeals* openWithAccessKey(FrmJyoken& conditions);

    std::unique_ptr<WindowFixture> m_fixture;
};

void TestFrmMeals::initTestCase() {
    m_fixture = std::make_unique<WindowFixture>();
    QVERIFY(m_fixture->isValid());
    seedWorkedDay(m_fixture->dirPath());
}

void TestFrmMeals::cleanup() {
    if (FrmMeals* meals = FrmJyoken::mealsWindow())
        meals->close();
    if (QWidget* shown = preview())
        shown->close();
    settle();
    QVERIFY(!FrmJyoken::mealsWindow());
    m_fixture->dialogs().clear();
}

FrmMeals* TestFrmMeals::openWithAccessKey(FrmJyoken& conditions) {
    if (!showActive(&conditions))
        return nullptr;
    pressAccessKey(&conditions, Qt::Key_M);
    // An access key presses its button with a short animation.
    for (int i = 0; i < 50 && !FrmJyoken::mealsWindow(); ++i)
        QTest::qWait(100);
    FrmMeals* meals = FrmJyoken::mealsWindow();
    return showActive(meals) ? meals : nullptr;
}

void TestFrmMeals::accessKeyOpensTodayAndTomorrowAndADayRecounts() {
    FrmJyoken conditions(m_fixture->context());
    FrmMeals* w = openWithAccessKey(conditions);
    QVERIFY(w);
    QCOMPARE(w->days().size(), 2);
    QCOMPARE(w->days().at(0).day, QDate::currentDate());
    QCOMPARE(totals(w, u"GridDay1"_s), u"2 1 0 0"_s);
    QCOMPARE(totals(w, u"GridDay2"_s), u"0 0 3 1"_s);
    // The party with its room and its note under the counts.
    const auto* grid = child<QTableWidget>(w, u"GridDay1"_s);
    const QList<QTableWidgetItem*> found = grid->findItems(u"部屋食"_s, Qt::MatchContains);
    QCOMPARE(found.size(), 1);
    QCOMPARE(grid->item(found.first()->row(), 1)->text(), u"202"_s);

    typeDay(w, QDate::currentDate().addDays(-1));
    QCOMPARE(w->days().at(0).day, QDate::currentDate().addDays(-1));
    QCOMPARE(totals(w, u"GridDay1"_s), u"0 0 0 0"_s);
    QCOMPARE(totals(w, u"GridDay2"_s), u"2 1 0 0"_s);
    QVERIFY(m_fixture->dialogs().messageTexts().isEmpty());
}

// Exported to PDF from the preview, the sheet is kept as printed: a reservation booked
// afterwards is marked 追加 on the next look, the parties printed are not.
void TestFrmMeals::exportedSheetIsTheOneChangesAreMarkedAgainst() {
    FrmJyoken conditions(m_fixture->context());
    FrmMeals* w = openWithAccessKey(conditions);
    QVERIFY(w);
    QCOMPARE(marks(w, u"GridDay1"_s), (QStringList{u"山田 太郎様:"_s, u"佐藤 花子様:"_s}));

    pressAccessKey(w, Qt::Key_P);
    QTRY_VERIFY_WITH_TIMEOUT(preview(), 5000);
    QWidget* shown = preview();
    QVERIFY(showActive(shown));
    QTemporaryDir out;
    const QString file = out.filePath(u"meals.pdf"_s);
    m_fixture->dialogs().pushFileName(file);
    pressAccessKey(shown, Qt::Key_E);
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(file).size() > 1000, 5000);
    shown->close();

    auto reservations = desk::Connection::open(m_fixture->dirPath(), QString::fromLatin1(desk::DbFile::Reservation));
    reservations->exec(u"INSERT INTO Reserve (RvNo, RvUseDate, RvName, RvClNumber, RvNights, RvChildren, RvPlan, "
                       u"Rvchkflg) VALUES (2, ?, '鈴木 一郎', 2, 1, 0, '101', 0)"_s,
                       {iso(QDate::currentDate())});
    typeDay(w, QDate::currentDate().addDays(1));
    typeDay(w, QDate::currentDate());
    QCOMPARE(marks(w, u"GridDay1"_s), (QStringList{u"山田 太郎様:"_s, u"佐藤 花子様:"_s, u"鈴木 一郎様:追加"_s}));
    QCOMPARE(totals(w, u"GridDay1"_s), u"4 1 0 0"_s);
    QVERIFY(m_fixture->dialogs().messageTexts().isEmpty());
}

QTEST_MAIN(TestFrmMeals)
#include "tst_frmmeals.moc"
