// One guest's stay through the windows of four modules on one data directory: checked in
// as a walk-in, charged, paid a deposit, billed and checked out, all by keys and clicks.

#include "arrivalapp/FrmChkIn.h"
#include "chargeapp/FrmSales.h"
#include "departapp/BillReport.h"
#include "departapp/FrmChkOut.h"
#include "departapp/FrmChkOutM.h"
#include "paymentapp/FrmRptBill.h"

#include "arrivalsvc/CheckInClass.h"
#include "calfield/DateTextBox.h"
#include "data/Connection.h"
#include "data/Engine.h"
#include "data/RowSet.h"
#include "entry/EntryMembers.h"
#include "report/ReportPreview.h"
#include "testsupport/ScriptedDialogs.h"
#include "testsupport/TempDataDir.h"
#include "testsupport/Widgets.h"
#include "ui/DataGridModel.h"
#include "ui/DataGridView.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>

using namespace desk::test;
using namespace Qt::StringLiterals;

namespace {

const QString Guest = u"W-1"_s;

void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), k, modifiers);
}

void keys(const QString& text) {
    for (const QChar c : text)
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
}

void setDate(QWidget* w, const QString& name, const QDate& day) {
    auto* date = child<calfield::DateTextBox>(w, name);
    QVERIFY2(date, qPrintable(name));
    date->setYearText(QString::number(day.year()));
    date->setMonthText(QString::number(day.month()));
    date->setDayText(QString::number(day.day()));
}

// Enter after every cell, as the clerk goes through a line; the window moves the cursor.
void enter() {
    key(Qt::Key_Return);
    QTest::qWait(1);
    QCoreApplication::processEvents();
}

QStringList column(const QAbstractItemModel* model, int column) {
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, column).data().toString();
    return texts;
}

bool inTheHouse(const QString& dir, const QString& number) {
    arrivalsvc::CheckInClass store;
    store.setDirPath(dir);
    store.CntDB();
    return store.RsNotChkOut()->find(u"CheckInNO = '%1'"_s.arg(number));
}

// Checks the walk-in Guest in on `day` by the check-in window, keys only: name, room, two guests.
void checkInWalkIn(desk::ModuleContext& context, const ScriptedDialogs& dialogs, const QDate& day) {
    arrivalapp::FrmChkIn w(context);
    QVERIFY(showActive(&w));
    QVERIFY(typeInto(&w, u"txtCheckInNo"_s, Guest));
    setDate(&w, u"ChkInDateTextBox"_s, day);
    QVERIFY(typeInto(&w, u"txtChkInName"_s, u"旅野 一郎"_s));
    QVERIFY(typeInto(&w, u"txtChkInRoomNo"_s, u"201"_s));
    QVERIFY(typeInto(&w, u"txtChkInKazu"_s, u"2"_s));
    pressAccessKey(&w, Qt::Key_T);
    QCOMPARE(dialogs.messageTexts(), QStringList());
}

// The keys of one window, the guest's own data apart from what the design asks for more:
// moves and Enter on a cell, and access keys (Alt with a letter, one stroke of two keys).
struct KeyCount {
    int data = 0;
    int design = 0; // single keys
    int chords = 0; // access keys

    void type(const QString& text) {
        for (const QChar c : text) {
            if (c.unicode() < 0x80)
                QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
            else // as an input method commits it
                QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, QString(c),
                                    Qt::NoModifier);
            ++data;
        }
    }
    void press(Qt::Key k) {
        QTest::keyClick(QApplication::focusWidget(), k);
        QTest::qWait(1);
        QCoreApplication::processEvents();
        ++design;
    }
    void accessKey(QWidget* window, Qt::Key k) {
        pressAccessKey(window, k);
        QCoreApplication::processEvents();
        ++chords;
    }
    // Strokes beyond the guest's data, an access key one stroke.
    int beyond() const { return design + chords; }
};

} // namespace

class TestStay : public QObject {
    Q_OBJECT

private slots:
    void walkInFromArrivalToCheckOut();
    void idleSalesWindowSavesAfterARestart();
    void walkInByKeysCounted();
};

void TestStay::walkInFromArrivalToCheckOut() {
    TempDataDir data;
    QVERIFY(data.isValid());
    ScriptedDialogs dialogs;
    desk::ModuleContext context;
    context.setDirPath(data.path());
    context.setMyCompanyName(u"湯の宿 テサロ"_s);
    // The day of the bill's worked example, in the era of two rates.
    const QDate today(2026, 12, 7);

    // Check-in: a walk-in, nothing taken from the reservation list.
    checkInWalkIn(context, dialogs, today);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(inTheHouse(data.path(), Guest));

    // Charges: the room, a juice at the reduced rate and a beer on one slip.
    {
        chargeapp::FrmSales w(context);
        QVERIFY(showActive(&w));
        setDate(&w, u"DateTextBoxSales"_s, today);
        QVERIFY(typeInto(&w, u"txtSalesCkInNo"_s, Guest));
        key(Qt::Key_Tab);
        QTRY_COMPARE(textOf(&w, u"lbSalesName"_s), u"旅野 一郎"_s);
        auto* grid = child<desk::DataGridView>(&w, u"DbGridSales"_s);
        QVERIFY(grid);
        grid->setFocus();
        struct Line {
            QString code, quantity, price, service, tax;
        };
        for (const Line& line :
             {Line{u"201"_s, u"2"_s, u"8000"_s, u"10"_s, u"10"_s}, Line{u"304"_s, u"1"_s, u"500"_s, u"0"_s, u"8"_s},
              Line{u"301"_s, u"1"_s, u"1000"_s, u"10"_s, u"10"_s}}) {
            grid->setCurrentCell(grid->gridModel()->lineCount(), 0);
            keys(line.code);
            enter();
            QTRY_COMPARE(grid->currentColumn(), 2);
            enter();
            keys(line.quantity);
            enter();
            keys(line.price);
            enter();
            QTRY_COMPARE(grid->currentColumn(), 6);
            keys(line.service);
            enter();
            keys(line.tax);
            enter();
        }
        QCOMPARE(grid->gridModel()->lineCount(), 3);
        pressAccessKey(&w, Qt::Key_T);
        QCOMPARE(dialogs.messageTexts(), QStringList());
        QCOMPARE(desk::Connection::open(data.path(), QLatin1String(desk::DbFile::Sales))
                     ->scalar(u"SELECT COUNT(*) FROM QRYCheckOutP WHERE BTCheckInNo = ?"_s, {Guest})
                     .toInt(),
                 3);
    }

    // Payment: the 10,000 deposit.
    {
        paymentapp::FrmRptBill w(context);
        QVERIFY(showActive(&w));
        setDate(&w, u"DateTextBoxRecipt"_s, today);
        QVERIFY(typeInto(&w, u"txtChkInNoRecipt"_s, Guest));
        key(Qt::Key_Tab);
        QTRY_COMPARE(textOf(&w, u"lbNameRecipt"_s), u"旅野 一郎"_s);
        auto* grid = child<desk::DataGridView>(&w, u"DataGrid1"_s);
        QVERIFY(grid);
        grid->setFocus();
        grid->setCurrentCell(grid->gridModel()->lineCount(), 0);
        keys(u"02"_s);
        enter(); // past the item's name to the remarks
        enter();
        keys(u"10000"_s);
        enter();
        QCOMPARE(textOf(&w, u"lbReciptTotal"_s), u"10,000"_s);
        pressAccessKey(&w, Qt::Key_T);
        QCOMPARE(dialogs.messageTexts(), QStringList());
    }

    // Check-out: the statement, the bill, the print.
    departapp::FrmChkOutM m(context);
    QVERIFY(showActive(&m));
    QVERIFY(typeInto(&m, u"txtChkInNo"_s, Guest));
    key(Qt::Key_Tab);
    QCOMPARE(textOf(&m, u"lbClName"_s), u"旅野 一郎"_s);
    pressAccessKey(&m, Qt::Key_G);
    departapp::FrmChkOut* w = m.checkOutWindow();
    QVERIFY(w);
    QVERIFY(showActive(w));
    setDate(w, u"CkOutDateBox"_s, today);
    pressAccessKey(w, Qt::Key_T);
    QCOMPARE(dialogs.messageTexts(), QStringList());

    // Service 1,700; 10 % on 18,700 and 8 % on 500, each rounded once.
    const QStringList names{u"夕食（会席）"_s,  u"ソフトドリンク"_s, u"ビール（中瓶）"_s, u"サービス料"_s,
                            u"消費税（10%）"_s, u"消費税（8%）"_s,   u"合計"_s,           u"予約金"_s,
                            u"入金額"_s,        u"請求額"_s};
    const QStringList amounts{u"16,000"_s, u"500"_s,    u"1,000"_s,  u"1,700"_s,  u"1,870"_s,
                              u"40"_s,     u"21,110"_s, u"10,000"_s, u"10,000"_s, u"11,110"_s};
    const auto* statement = child<QTableView>(w, u"DataGrid1"_s)->model();
    QCOMPARE(column(statement, 1), names);
    QCOMPARE(column(statement, 5), amounts);

    pressAccessKey(w, Qt::Key_A);
    QVERIFY(w->billReport());
    auto* preview = qobject_cast<desk::ReportPreview*>(w->billReport()->parent());
    QVERIFY(preview);
    QStringList printedNames, printedAmounts, header, rates;
    for (const auto& item : preview->document().items) {
        if (item.control == u"Text2"_s)
            printedNames << item.text;
        else if (item.control == u"Text8"_s)
            printedAmounts << item.text;
        else if (item.control == u"Label34"_s || item.control == u"Label8"_s)
            header << item.text;
        else if (item.control.startsWith(u"LabelRate"_s))
            rates << item.text;
    }
    QCOMPARE(printedNames, names);
    QCOMPARE(printedAmounts, amounts);
    QCOMPARE(header, (QStringList{u"旅野 一郎 様"_s, u"11,110"_s}));
    QCOMPARE(rates, (QStringList{u"10%対象 18,700円　消費税 1,870円"_s, u"8%対象 500円　消費税 40円"_s}));
    QVERIFY(inTheHouse(data.path(), Guest));

    QTest::mouseClick(child<QAbstractButton>(preview, u"CmdPrint"_s), Qt::LeftButton);
    QCOMPARE(dialogs.printFiles().size(), 1);
    QCOMPARE(dialogs.messageTexts(), QStringList());
    QVERIFY(!inTheHouse(data.path(), Guest));

    pressAccessKey(w, Qt::Key_O); // 終わり
    settle();
    QVERIFY(m.isVisible());
}

// The server restarts while the sales window stands with a typed line (its connection and
// its grid's row set idle): 登録 saves the slip with its line, as before the restart, instead
// of failing with "no connection" until the window is opened again.
void TestStay::idleSalesWindowSavesAfterARestart() {
    if (TempDataDir::server().isEmpty())
        QSKIP("on the test server only (label postgresql)");
    TempDataDir data;
    QVERIFY(data.isValid());
    ScriptedDialogs dialogs;
    desk::ModuleContext context;
    context.setDirPath(data.path());
    const QDate today(2026, 12, 7);
    checkInWalkIn(context, dialogs, today);
    if (QTest::currentTestFailed())
        return;
    chargeapp::FrmSales w(context);
    QVERIFY(showActive(&w));
    setDate(&w, u"DateTextBoxSales"_s, today);
    QVERIFY(typeInto(&w, u"txtSalesCkInNo"_s, Guest));
    key(Qt::Key_Tab);
    QTRY_COMPARE(textOf(&w, u"lbSalesName"_s), u"旅野 一郎"_s);
    auto* grid = child<desk::DataGridView>(&w, u"DbGridSales"_s);
    QVERIFY(grid);
    grid->setFocus();
    grid->setCurrentCell(0, 0);
    keys(u"301"_s);
    enter();
    QTRY_COMPARE(grid->currentColumn(), 2);
    enter();
    keys(u"3"_s);
    enter();
    QCOMPARE(grid->gridModel()->lineCount(), 1);

    {
        // The server ends every session of the inn, as a restart does.
        QSqlDatabase admin = QSqlDatabase::addDatabase(u"QPSQL"_s, u"restart"_s);
        const QString location = desk::Engine::locationOf(data.path(), QLatin1String(desk::DbFile::Sales));
        desk::Engine::forLocation(location).configure(admin, location, desk::Engine::Access::ReadOnly);
        admin.setConnectOptions(admin.connectOptions() + u";application_name=psql"_s);
        QVERIFY(admin.open());
        QSqlQuery end(admin);
        QVERIFY(end.exec(u"SELECT COUNT(pg_terminate_backend(pid)) FROM pg_stat_activity "
                         "WHERE datname = current_database() AND pid <> pg_backend_pid()"_s));
        end.finish();
        admin.close();
    }
    QSqlDatabase::removeDatabase(u"restart"_s);
    QTest::qWait(200);

    pressAccessKey(&w, Qt::Key_T);
    QCOMPARE(dialogs.messageTexts(), QStringList());
    QCOMPARE(desk::Connection::open(data.path(), QLatin1String(desk::DbFile::Sales))
                 ->scalar(u"SELECT SUM(BTQuantity) FROM BTSalesDetail"_s)
                 .toInt(),
             3);
}

// The walk-in stay by keys alone, counted per window: a check-in with name, room, two guests,
// address and phone; one line 101 × 2; a payment 01 of 10,000; the bill to PDF. Each window
// after the check-in is opened for the guest, as the main menu's in-house list opens it.
void TestStay::walkInByKeysCounted() {
    TempDataDir data;
    QVERIFY(data.isValid());
    QTemporaryDir papers;
    ScriptedDialogs dialogs;
    desk::ModuleContext context;
    context.setDirPath(data.path());
    QString number;
    KeyCount checkIn, sales, payment, checkOut;

    {
        arrivalapp::FrmChkIn w(context);
        QVERIFY(showActive(&w));
        number = textOf(&w, u"txtCheckInNo"_s); // proposed, today's date offered
        checkIn.accessKey(&w, Qt::Key_F);
        checkIn.type(u"旅野 一郎"_s);
        checkIn.press(Qt::Key_Tab);
        checkIn.type(u"201"_s);
        checkIn.accessKey(&w, Qt::Key_N);
        checkIn.type(u"2"_s);
        for (const QString& part : {u"長野県"_s, u"松本市"_s, u"中央1-2-3"_s, u"0263-11-2222"_s}) {
            checkIn.press(Qt::Key_Tab);
            checkIn.type(part);
        }
        checkIn.accessKey(&w, Qt::Key_T);
        QCOMPARE(dialogs.messageTexts(), QStringList());
        QVERIFY(inTheHouse(data.path(), number));
    }
    {
        context.setValue(desk::EntryMembers::CheckInNo, number);
        chargeapp::FrmSales w(context);
        QVERIFY(showActive(&w));
        QTRY_COMPARE(textOf(&w, u"lbSalesName"_s), u"旅野 一郎"_s);
        auto* grid = child<desk::DataGridView>(&w, u"DbGridSales"_s);
        QTRY_COMPARE(QApplication::focusWidget(), grid);
        sales.type(u"101"_s);
        sales.press(Qt::Key_Return); // past the name to the remark
        sales.press(Qt::Key_Return);
        sales.type(u"2"_s);
        sales.press(Qt::Key_Return);
        sales.accessKey(&w, Qt::Key_T);
        QCOMPARE(dialogs.messageTexts(), QStringList());
    }
    {
        context.setValue(desk::EntryMembers::CheckInNo, number);
        paymentapp::FrmRptBill w(context);
        QVERIFY(showActive(&w));
        QTRY_COMPARE(textOf(&w, u"lbNameRecipt"_s), u"旅野 一郎"_s);
        payment.type(u"01"_s);
        payment.press(Qt::Key_Return); // past the item's name to the remarks
        payment.press(Qt::Key_Return);
        payment.type(u"10000"_s);
        payment.press(Qt::Key_Return);
        payment.accessKey(&w, Qt::Key_T);
        QCOMPARE(dialogs.messageTexts(), QStringList());
    }
    {
        context.setValue(desk::EntryMembers::CheckInNo, number);
        departapp::FrmChkOutM m(context);
        m.show();
        QTRY_VERIFY(m.checkOutWindow());
        departapp::FrmChkOut* w = m.checkOutWindow();
        QVERIFY(showActive(w));
        checkOut.accessKey(w, Qt::Key_A);
        QVERIFY(w->billReport());
        auto* preview = qobject_cast<desk::ReportPreview*>(w->billReport()->parent());
        QVERIFY(showActive(preview));
        const QString file =
            QDir(papers.path())
                .filePath(u"請求書_%1_%2.pdf"_s.arg(number, QDate::currentDate().toString(u"yyyyMMdd"_s)));
        dialogs.pushFileName(file);
        checkOut.accessKey(preview, Qt::Key_E);
        ++checkOut.design; // Enter in the file dialog on the name it proposes
        QVERIFY(QFile::exists(file));
        QVERIFY(dialogs.shown().last().defaultText.endsWith(QFileInfo(file).fileName()));
        preview->close();
    }
    // What the keys made: the stay's charge and payment on file.
    QCOMPARE(desk::Connection::open(data.path(), QLatin1String(desk::DbFile::Sales))
                 ->scalar(u"SELECT Sum(d.BTQuantity * d.BTUnitPrice) FROM BTSalesDetail d JOIN BTSalesNo h "
                          u"ON h.BTSalesNo = d.BTSalesNo WHERE h.BTCheckInNo = ? AND d.BTcmcode = '101'"_s,
                          {number})
                 .toInt(),
             24000);
    QCOMPARE(desk::Connection::open(data.path(), QLatin1String(desk::DbFile::Recipt))
                 ->scalar(u"SELECT Sum(ReciptAmount) FROM QRYRecipt WHERE RptCheckInNo = ?"_s, {number})
                 .toInt(),
             10000);

    int typed = 0, beyond = 0, chords = 0;
    for (const KeyCount* window : {&checkIn, &sales, &payment, &checkOut}) {
        qInfo("%-9s guest's data %2d, beyond it %2d (%d single keys, %d access keys)",
              window == &checkIn   ? "check-in"
              : window == &sales   ? "sales"
              : window == &payment ? "payment"
                                   : "check-out",
              window->data, window->beyond(), window->design, window->chords);
        typed += window->data;
        beyond += window->beyond();
        chords += window->chords;
    }
    qInfo("in all: guest's data %d, beyond it %d strokes (%d keys with Alt counted apart), %d strokes", typed, beyond,
          beyond + chords, typed + beyond);
    // At most 20 strokes beyond the guest's own data; a stroke fewer or more is a change to look at.
    QCOMPARE(beyond, 19);
}

QTEST_MAIN(TestStay)
#include "tst_stay.moc"
