#include "chargeapp/FrmSales.h"

#include "calfield/DateTextBox.h"
#include "chargesvc/SalesClass.h"
#include "data/Connection.h"
#include "entry/EntryMembers.h"
#include "report/ReportPreview.h"
#include "testsupport/WindowFixture.h"
#include "ui/DataGridModel.h"
#include "ui/DataGridView.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>

#include <algorithm>

using namespace desk::test;
using chargeapp::FrmSales;
using Answer = desk::Dialogs::Answer;
using namespace Qt::StringLiterals;

namespace {

// One line as the clerk rings it up; an empty text leaves the cell as the look-up filled it.
struct Line {
    QString code;
    QString quantity;
    QString price;
    QString serviceFee;
    QString tax;
};

} // namespace

class TestFrmSales : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstBoxTakesTheTyping_data();
    void firstBoxTakesTheTyping();
    void unsavedLinesAreAskedAbout_data();
    void unsavedLinesAreAskedAbout();
    void leftLinesAreTold();
    void workedFigures_data();
    void workedFigures();
    void commodityLookUp();
    void saveRefusals_data();
    void saveRefusals();
    void saveRecallModifyDelete();
    void modifyWithADayThatDoesNotExistChangesNothing();
    void modifyWithoutLinesIsRefused();
    void recallRefusalsAndBeeps();
    void deletingALine_data();
    void deletingALine();
    void checkedOutGuestIsAskedAbout();
    void numberTakenMeanwhileKeepsTheLines();
    void twoDesksKeepTheirLinesApart();
    void slipPrintsTheWorkTable();
    void newLineTakesItsRates_data();
    void newLineTakesItsRates();
    void openedForAGuest_data();
    void openedForAGuest();

private:
    void openWindow();
    void typeLine(const Line& line);
    // Registers the slip on screen and calls it up again; its number.
    qint32 registerAndRecall();
    // Types into the grid's current cell: the first key opens the editor.
    void typeCell(const QString& text);
    void enterKey();
    void fillHeader(const QString& checkInNo, const QString& day = QStringLiteral("15"));
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    QString text(const QString& name) const { return textOf(m_window.get(), name); }
    desk::DataGridView* grid() const {
        return child<desk::DataGridView>(m_window.get(), QStringLiteral("DbGridSales"));
    }
    desk::DataGridModel* lines() const { return grid()->gridModel(); }
    int storedLines(qint32 slip) const;

    std::unique_ptr<WindowFixture> m_f;
    std::unique_ptr<FrmSales> m_window;
};

void TestFrmSales::init() {
    qputenv("TESARO_DESK", "front-1");
    m_f = std::make_unique<WindowFixture>(true);
    QVERIFY(m_f->isValid());
    m_f->context().setMyCompanyName(QStringLiteral("旅館さくら荘"));
    m_f->context().setMyTelNo(QStringLiteral("0263-00-1111"));
    openWindow();
}

void TestFrmSales::cleanup() {
    m_window.reset();
    m_f.reset();
    qunsetenv("TESARO_DESK");
}

void TestFrmSales::openWindow() {
    m_window = std::make_unique<FrmSales>(m_f->context());
    QVERIFY(showActive(m_window.get()));
}

void TestFrmSales::press(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : m_window.get();
    QTest::keyClick(target, key, modifiers);
}

void TestFrmSales::typeCell(const QString& text) {
    for (const QChar c : text)
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
}

void TestFrmSales::enterKey() {
    press(Qt::Key_Return);
    QTest::qWait(1); // the grid ends an edit on Enter after the key is handled
    QCoreApplication::processEvents();
}

// code Enter (→ remark) Enter (→ quantity) qty Enter (→ price) price Enter (→ service charge)
// rate Enter (→ tax) rate Enter (→ line total), then Tab to the next line's code.
qint32 TestFrmSales::registerAndRecall() {
    const qint32 slip = text(QStringLiteral("lbSalesNo")).toInt();
    pressAccessKey(m_window.get(), Qt::Key_T);
    // The registered slip left the screen empty: the recall asks nothing.
    m_f->dialogs().pushInput(QString::number(slip));
    pressAccessKey(m_window.get(), Qt::Key_C);
    return slip;
}

void TestFrmSales::typeLine(const Line& line) {
    QCOMPARE(grid()->currentColumn(), 0);
    QVERIFY(lines()->isNewRowLine(grid()->currentRow()));
    typeCell(line.code);
    enterKey();
    QTRY_COMPARE(grid()->currentColumn(), 2);
    enterKey();
    QCOMPARE(grid()->currentColumn(), 3);
    typeCell(line.quantity);
    enterKey();
    QCOMPARE(grid()->currentColumn(), 4);
    if (!line.price.isEmpty())
        typeCell(line.price);
    enterKey();
    QTRY_COMPARE(grid()->currentColumn(), 6);
    typeCell(line.serviceFee);
    enterKey();
    QCOMPARE(grid()->currentColumn(), 7);
    typeCell(line.tax);
    enterKey();
    QCOMPARE(grid()->currentColumn(), 8);
    press(Qt::Key_Tab);
    QCOMPARE(grid()->currentColumn(), 0);
}

// Date and check-in number typed, leaving the box with Tab as the clerk does.
void TestFrmSales::fillHeader(const QString& checkInNo, const QString& day) {
    auto* date = child<calfield::DateTextBox>(m_window.get(), QStringLiteral("DateTextBoxSales"));
    date->setYearText(QStringLiteral("2026"));
    date->setMonthText(QStringLiteral("11"));
    date->setDayText(day);
    QVERIFY(typeInto(m_window.get(), QStringLiteral("txtSalesCkInNo"), checkInNo));
    press(Qt::Key_Tab); // to the sales class
    press(Qt::Key_Tab); // into the grid
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(grid()));
    grid()->setCurrentCell(lines()->lineCount(), 0);
}

int TestFrmSales::storedLines(qint32 slip) const {
    return desk::Connection::open(m_f->dirPath(), QString::fromLatin1(desk::DbFile::Sales))
        ->scalar(QStringLiteral("SELECT COUNT(*) FROM BTSalesDetail WHERE BTSalesNo = ?"), {slip})
        .toInt();
}

void TestFrmSales::workedFigures_data() {
    QTest::addColumn<QList<Line>>("typed");
    QTest::addColumn<QStringList>("lineTotals");
    QTest::addColumn<QString>("subTotal");
    QTest::addColumn<QString>("slipTotal");
    QTest::newRow("service and tax") << QList<Line>{{u"201"_s, u"2"_s, u"1000"_s, u"10"_s, u"5"_s}}
                                     << QStringList{u"2,310"_s} << QStringLiteral("2,000") << QStringLiteral("2,310");
    QTest::newRow("half yen rounds to even") << QList<Line>{{u"304"_s, u"1"_s, u"10"_s, u"0"_s, u"5"_s}}
                                             << QStringList{u"11"_s} << QStringLiteral("10") << QStringLiteral("10");
    QTest::newRow("running total rounded after each line")
        << QList<Line>{{u"304"_s, u"1"_s, u"1"_s, u"0"_s, u"0"_s}, {u"304"_s, u"1"_s, u"10"_s, u"0"_s, u"5"_s}}
        << QStringList{u"1"_s, u"11"_s} << QStringLiteral("1") << QStringLiteral("12");
    QTest::newRow("two half-yen lines: 10, then 20")
        << QList<Line>{{u"304"_s, u"1"_s, u"10"_s, u"0"_s, u"5"_s}, {u"304"_s, u"1"_s, u"10"_s, u"0"_s, u"5"_s}}
        << QStringList{u"11"_s, u"11"_s} << QStringLiteral("10") << QStringLiteral("20");
}

void TestFrmSales::workedFigures() {
    QFETCH(QList<Line>, typed);
    QFETCH(QStringList, lineTotals);
    QFETCH(QString, subTotal);
    QFETCH(QString, slipTotal);
    fillHeader(QStringLiteral("1001"));
    for (const Line& line : typed)
        typeLine(line);
    QCOMPARE(lines()->lineCount(), typed.size());
    QCOMPARE(lines()->index(0, 5).data().toString(), subTotal);
    for (int row = 0; row < lineTotals.size(); ++row)
        QCOMPARE(lines()->index(row, 8).data().toString(), lineTotals.at(row));
    QCOMPARE(text(QStringLiteral("lbSalesTotal")), slipTotal);
    QVERIFY(m_f->dialogs().messages().isEmpty());
}

void TestFrmSales::commodityLookUp() {
    fillHeader(QStringLiteral("1001"));
    // Unknown code: the message, and the line gets no name or price.
    typeCell(QStringLiteral("999"));
    enterKey();
    QTRY_COMPARE(m_f->dialogs().messageTexts(),
                 QStringList{QStringLiteral("商品が見つかりません。やりなおしてください。")});
    QVERIFY(lines()->cellValue(0, 1).isNull());
    QVERIFY(lines()->cellValue(0, 4).isNull());
    QCOMPARE(grid()->currentColumn(), 0);
    // A known code on the new line: name, standard price, the inn's service charge and the
    // rate in force on the slip's day, on to the remark.
    grid()->setCurrentCell(0, 0);
    typeCell(QStringLiteral("301"));
    enterKey();
    QTRY_COMPARE(grid()->currentColumn(), 2);
    QCOMPARE(lines()->cellValue(0, 1).toString(), QStringLiteral("ビール（中瓶）"));
    QCOMPARE(lines()->cellValue(0, 4).toDouble(), 650.0);
    QCOMPARE(lines()->cellValue(0, 6).toDouble(), 10.0);
    QCOMPARE(lines()->cellValue(0, 7).toDouble(), 10.0);
    // Rates set on the line stay when its code changes; the line follows its new price.
    lines()->setRowValues(0, {{3, 2}, {6, 10}, {7, 8}});
    grid()->setCurrentCell(0, 0);
    typeCell(QStringLiteral("302"));
    enterKey();
    QTRY_COMPARE(lines()->cellValue(0, 4).toDouble(), 700.0);
    QCOMPARE(lines()->cellValue(0, 6).toDouble(), 10.0);
    QCOMPARE(lines()->cellValue(0, 7).toDouble(), 8.0);
    QCOMPARE(lines()->cellValue(0, 5).toDouble(), 1400.0);
    QCOMPARE(text(QStringLiteral("lbSalesTotal")), QStringLiteral("1,663"));
    // A commodity named with the letter the old store answered "not found" with is found.
    desk::Connection::open(m_f->dirPath(), QLatin1String(desk::DbFile::Sales))
        ->exec(QStringLiteral("UPDATE Commodities SET cname = 'X' WHERE Ccode = '301'"));
    grid()->setCurrentCell(0, 0);
    typeCell(QStringLiteral("301"));
    enterKey();
    QTRY_COMPARE(lines()->cellValue(0, 1).toString(), QStringLiteral("X"));
    QCOMPARE(m_f->dialogs().messageTexts().size(), 1);
}

void TestFrmSales::saveRefusals_data() {
    QTest::addColumn<QString>("checkInNo");
    QTest::addColumn<QString>("day");
    QTest::addColumn<QStringList>("line"); // code, quantity, price, service, tax; empty: none
    QTest::addColumn<QString>("message");
    const QStringList line{QStringLiteral("202"), QStringLiteral("2"), {}, QStringLiteral("0"), QStringLiteral("10")};
    const QString beyond = QStringLiteral("金額は 2,147,483,647 円までです。数量か単価を直してください。");
    QTest::newRow("empty day") << QStringLiteral("1001") << QString() << line
                               << QStringLiteral("入力されていない項目があります。");
    QTest::newRow("no lines") << QStringLiteral("1001") << QStringLiteral("15") << QStringList()
                              << QStringLiteral("売上データが不完全です。登録できません。");
    QTest::newRow("no such guest") << QStringLiteral("7777") << QStringLiteral("15") << line
                                   << QStringLiteral("番号が見つかりません。やりなおしてください。");
    QTest::newRow("no such day") << QStringLiteral("1001") << QStringLiteral("31") << line
                                 << QStringLiteral("日付が正しくありません。");
    // Each figure fits its cell, the line does not fit a bill.
    QTest::newRow("a line beyond any bill")
        << QStringLiteral("1001") << QStringLiteral("15")
        << QStringList{QStringLiteral("202"), QStringLiteral("30000"), QStringLiteral("100000"), QStringLiteral("0"),
                       QStringLiteral("0")}
        << beyond;
    QTest::newRow("a line beyond any bill with its service and tax")
        << QStringLiteral("1001") << QStringLiteral("15")
        << QStringList{QStringLiteral("202"), QStringLiteral("20000"), QStringLiteral("100000"), QStringLiteral("10"),
                       QStringLiteral("10")}
        << beyond;
}

void TestFrmSales::saveRefusals() {
    QFETCH(QString, checkInNo);
    QFETCH(QString, day);
    QFETCH(QStringList, line);
    QFETCH(QString, message);
    const bool withLine = !line.isEmpty();
    fillHeader(checkInNo, day);
    if (withLine)
        typeLine({line.at(0), line.at(1), line.at(2), line.at(3), line.at(4)});
    const QString proposed = text(QStringLiteral("lbSalesNo"));
    m_f->dialogs().clear();
    pressAccessKey(m_window.get(), Qt::Key_T);
    QCOMPARE(m_f->dialogs().messageTexts(), QStringList{message});
    QCOMPARE(storedLines(proposed.toInt()), 0);
    QCOMPARE(lines()->lineCount(), withLine ? 1 : 0); // nothing typed is lost
}

void TestFrmSales::saveRecallModifyDelete() {
    fillHeader(QStringLiteral("1001"));
    QCOMPARE(text(QStringLiteral("lbSalesName")), QStringLiteral("山田 太郎"));
    QCOMPARE(text(QStringLiteral("lbSalesGpName")), QStringLiteral("山田会"));
    typeLine({QStringLiteral("201"), QStringLiteral("2"), {}, QStringLiteral("10"), QStringLiteral("10")});
    typeLine({QStringLiteral("301"), QStringLiteral("3"), {}, QStringLiteral("0"), QStringLiteral("10")});
    const qint32 slip = text(QStringLiteral("lbSalesNo")).toInt();
    pressAccessKey(m_window.get(), Qt::Key_T);
    QVERIFY(m_f->dialogs().messages().isEmpty());
    QCOMPARE(text(QStringLiteral("lbStatus")), QStringLiteral("売上番号 %1 を登録しました。").arg(slip));
    QCOMPARE(storedLines(slip), 2);
    QCOMPARE(lines()->lineCount(), 0);
    QCOMPARE(text(QStringLiteral("lbSalesNo")).toInt(), slip + 1);
    QVERIFY(text(QStringLiteral("txtSalesCkInNo")).isEmpty());

    // Unsaved lines on screen are discarded by a recall.
    fillHeader(QStringLiteral("1001"));
    typeLine({QStringLiteral("402"), QStringLiteral("1"), {}, QStringLiteral("0"), QStringLiteral("0")});
    m_f->dialogs().pushAnswer(Answer::Yes);
    m_f->dialogs().pushInput(QString::number(slip));
    pressAccessKey(m_window.get(), Qt::Key_C);
    QCOMPARE(lines()->lineCount(), 2);
    QCOMPARE(lines()->cellValue(0, 0).toString(), QStringLiteral("201"));
    QCOMPARE(text(QStringLiteral("txtSalseNoDS")), QString::number(slip));
    QCOMPARE(text(QStringLiteral("lbSalesName")), QStringLiteral("山田 太郎"));
    QCOMPARE(text(QStringLiteral("lbSalesTotal")), QStringLiteral("14,245")); // 12,100 + 2,145
    QVERIFY(!child<QPushButton>(m_window.get(), QStringLiteral("CmdRecord"))->isEnabled());

    // Modify: three beers become four, the stored line follows.
    grid()->setFocus();
    grid()->setCurrentCell(1, 3);
    typeCell(QStringLiteral("4"));
    enterKey();
    QTRY_COMPARE(text(QStringLiteral("lbSalesTotal")), QStringLiteral("14,960"));
    pressAccessKey(m_window.get(), Qt::Key_T);
    QCOMPARE(text(QStringLiteral("lbStatus")), QStringLiteral("売上番号 %1 を訂正しました。").arg(slip));
    QCOMPARE(lines()->lineCount(), 0);
    QVERIFY(child<QPushButton>(m_window.get(), QStringLiteral("CmdRecord"))->isEnabled());
    QCOMPARE(
        desk::Connection::open(m_f->dirPath(), QString::fromLatin1(desk::DbFile::Sales))
            ->scalar(QStringLiteral("SELECT BTQuantity FROM BTSalesDetail WHERE BTSalesNo = ? AND BTcmcode = '301'"),
                     {slip})
            .toDouble(),
        4.0);

    // Delete asks nothing and takes header and lines; the recall of an empty screen asks
    // nothing either.
    m_f->dialogs().pushInput(QString::number(slip));
    pressAccessKey(m_window.get(), Qt::Key_C);
    pressAccessKey(m_window.get(), Qt::Key_S);
    QCOMPARE(text(QStringLiteral("lbStatus")), QStringLiteral("売上番号 %1 を削除しました。").arg(slip));
    QCOMPARE(storedLines(slip), 0);
    chargesvc::SalesClass store;
    store.setDirPath(m_f->dirPath());
    store.CntDb();
    store.setSalesNo(slip);
    QVERIFY(!store.SalesNoTaken());
    QCOMPARE(m_f->dialogs().messageTexts(), QStringList{u"表示されているデータが消去されます。"_s});
}

void TestFrmSales::modifyWithADayThatDoesNotExistChangesNothing() {
    fillHeader(QStringLiteral("1001"));
    typeLine({QStringLiteral("301"), QStringLiteral("3"), {}, QStringLiteral("0"), QStringLiteral("10")});
    const qint32 slip = registerAndRecall();
    QCOMPARE(lines()->lineCount(), 1);

    auto* date = child<calfield::DateTextBox>(m_window.get(), QStringLiteral("DateTextBoxSales"));
    date->setMonthText(QStringLiteral("2"));
    date->setDayText(QStringLiteral("30"));
    m_f->dialogs().clear();
    pressAccessKey(m_window.get(), Qt::Key_T);

    QCOMPARE(m_f->dialogs().messageTexts(), QStringList{QStringLiteral("日付が正しくありません。")});
    const auto sales = desk::Connection::open(m_f->dirPath(), QString::fromLatin1(desk::DbFile::Sales));
    QCOMPARE(sales->scalar(QStringLiteral("SELECT BTSalesdate FROM BTSalesNo WHERE BTSalesNo = ?"), {slip}).toDate(),
             QDate(2026, 11, 15));
    QCOMPARE(storedLines(slip), 1);
    // The recalled slip stays on screen to be put right.
    QCOMPARE(lines()->lineCount(), 1);
    QCOMPARE(text(QStringLiteral("txtSalseNoDS")), QString::number(slip));
}

void TestFrmSales::modifyWithoutLinesIsRefused() {
    fillHeader(QStringLiteral("1001"));
    typeLine({QStringLiteral("301"), QStringLiteral("3"), {}, QStringLiteral("0"), QStringLiteral("10")});
    const qint32 slip = registerAndRecall();
    grid()->setFocus();
    grid()->setCurrentCell(0, 0);
    press(Qt::Key_Space, Qt::ShiftModifier);
    press(Qt::Key_Delete);
    QCOMPARE(lines()->lineCount(), 0);
    m_f->dialogs().clear();

    pressAccessKey(m_window.get(), Qt::Key_T);
    QCOMPARE(
        m_f->dialogs().messageTexts(),
        QStringList{QStringLiteral("売上データが不完全です。訂正できません。\n明細のない売上は削除してください。")});
    // The slip keeps its line, and stays recalled for the clerk to delete it.
    QCOMPARE(storedLines(slip), 1);
    QCOMPARE(text(QStringLiteral("txtSalseNoDS")), QString::number(slip));
    pressAccessKey(m_window.get(), Qt::Key_S);
    chargesvc::SalesClass store;
    store.setDirPath(m_f->dirPath());
    store.CntDb();
    store.setSalesNo(slip);
    QVERIFY(!store.SalesNoTaken());
    QCOMPARE(storedLines(slip), 0);
}

void TestFrmSales::recallRefusalsAndBeeps() {
    // Correct and delete with nothing recalled only beep (driven through their slots: the
    // buttons are disabled in this state, as they should be).
    QVERIFY(!child<QPushButton>(m_window.get(), QStringLiteral("CmdModify"))->isEnabled());
    QMetaObject::invokeMethod(child<QPushButton>(m_window.get(), QStringLiteral("CmdModify")), "clicked");
    QMetaObject::invokeMethod(child<QPushButton>(m_window.get(), QStringLiteral("CmdDelete")), "clicked");
    QCOMPARE(m_f->dialogs().beeps(), 2);
    QVERIFY(m_f->dialogs().messages().isEmpty());
    // A missing slip: the message without icon, the screen cleared, register still there.
    fillHeader(QStringLiteral("1001"));
    typeLine({QStringLiteral("202"), QStringLiteral("1"), {}, QStringLiteral("0"), QStringLiteral("0")});
    m_f->dialogs().pushAnswer(Answer::Yes);
    m_f->dialogs().pushInput(QStringLiteral("4711"));
    pressAccessKey(m_window.get(), Qt::Key_C);
    QVERIFY(!m_f->dialogs().messages().isEmpty());
    QCOMPARE(m_f->dialogs().messages().last().text, QStringLiteral("番号が見つかりません。"));
    QCOMPARE(m_f->dialogs().messages().last().icon, desk::Dialogs::Icon::None);
    QCOMPARE(lines()->lineCount(), 0);
    QVERIFY(child<QPushButton>(m_window.get(), QStringLiteral("CmdRecord"))->isEnabled());
    // Answering No keeps the screen; a cancelled prompt recalls nothing and changes no mode.
    fillHeader(QStringLiteral("1001"));
    typeLine({QStringLiteral("202"), QStringLiteral("1"), {}, QStringLiteral("0"), QStringLiteral("0")});
    m_f->dialogs().pushAnswer(Answer::No);
    pressAccessKey(m_window.get(), Qt::Key_C);
    QCOMPARE(lines()->lineCount(), 1);
    m_f->dialogs().pushAnswer(Answer::Yes);
    pressAccessKey(m_window.get(), Qt::Key_C);
    QVERIFY(child<QPushButton>(m_window.get(), QStringLiteral("CmdRecord"))->isEnabled());
}

// A deleted line comes off the total shown, which was rounded after each line.
void TestFrmSales::deletingALine_data() {
    QTest::addColumn<QList<Line>>("typed");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after"); // the first line deleted
    QTest::addColumn<qint32>("total");
    QTest::newRow("the only line") << QList<Line>{{u"202"_s, u"2"_s, {}, u"0"_s, u"0"_s}} << u"3,000"_s << QString()
                                   << 0;
    QTest::newRow("1 taken off 12, not 10.5 added up again")
        << QList<Line>{{u"304"_s, u"1"_s, u"1"_s, u"0"_s, u"0"_s}, {u"304"_s, u"1"_s, u"10"_s, u"0"_s, u"5"_s}}
        << u"12"_s << u"11"_s << 11;
}

void TestFrmSales::deletingALine() {
    QFETCH(QList<Line>, typed);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(qint32, total);
    fillHeader(QStringLiteral("1001"));
    for (const Line& line : typed)
        typeLine(line);
    QCOMPARE(text(QStringLiteral("lbSalesTotal")), before);
    grid()->setCurrentCell(0, 0);
    press(Qt::Key_Space, Qt::ShiftModifier);
    press(Qt::Key_Delete);
    QCOMPARE(lines()->lineCount(), typed.size() - 1);
    QCOMPARE(text(QStringLiteral("lbSalesTotal")), after);
    QCOMPARE(m_window->slipTotal(), total);
}

// The window opens in the recall number, so a click on the check-in number is not stopped
// by the date's refusal of an empty year.
void TestFrmSales::firstBoxTakesTheTyping_data() {
    QTest::addColumn<QString>("after"); // what the clerk did since the window opened
    QTest::newRow("opened") << QString();
    QTest::newRow("registered") << u"register"_s;
    QTest::newRow("cleared") << u"clear"_s;
}

void TestFrmSales::firstBoxTakesTheTyping() {
    QFETCH(QString, after);
    if (!after.isEmpty()) {
        fillHeader(QStringLiteral("1001"));
        typeLine({u"201"_s, u"2"_s, u"1000"_s, u"0"_s, u"0"_s});
        pressAccessKey(m_window.get(), after == u"register"_s ? Qt::Key_T : Qt::Key_D);
        QCOMPARE(lines()->lineCount(), 0);
    }
    // Today is offered with its year selected: the digits typed replace it.
    auto* date = child<calfield::DateTextBox>(m_window.get(), QStringLiteral("DateTextBoxSales"));
    QCOMPARE(QApplication::focusWidget(), date->findChild<QLineEdit*>(u"TextYear"_s));
    const QDate today = QDate::currentDate();
    QCOMPARE(date->MonthText(), QString::number(today.month()));
    QCOMPARE(date->DayText(), QString::number(today.day()));
    QTest::keyClicks(QApplication::focusWidget(), u"2031"_s);
    QCOMPARE(date->YearText(), u"2031"_s);
    QVERIFY(m_f->dialogs().messages().isEmpty());
}

void TestFrmSales::unsavedLinesAreAskedAbout_data() {
    QTest::addColumn<bool>("byTitleBar"); // else 終わり by its access key
    QTest::addColumn<bool>("recalled");   // the lines are a saved slip's, unchanged
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("closed");

    QTest::newRow("終わり, No") << false << false << Answer::No << true << false;
    QTest::newRow("終わり, Yes") << false << false << Answer::Yes << true << true;
    QTest::newRow("title bar, No") << true << false << Answer::No << true << false;
    QTest::newRow("title bar, Yes") << true << false << Answer::Yes << true << true;
    QTest::newRow("recalled slip unchanged") << true << true << Answer::No << false << true;
}

void TestFrmSales::unsavedLinesAreAskedAbout() {
    QFETCH(bool, byTitleBar);
    QFETCH(bool, recalled);
    QFETCH(Answer, answer);
    QFETCH(bool, asked);
    QFETCH(bool, closed);

    fillHeader(QStringLiteral("1001"));
    typeLine({u"201"_s, u"2"_s, u"1000"_s, u"0"_s, u"0"_s});
    if (recalled) {
        const QString number = text(u"lbSalesNo"_s);
        pressAccessKey(m_window.get(), Qt::Key_T);
        m_f->dialogs().pushInput(number);
        pressAccessKey(m_window.get(), Qt::Key_C);
        QCOMPARE(lines()->lineCount(), 1);
    }
    m_f->dialogs().clear();
    m_f->dialogs().pushAnswer(answer);
    if (byTitleBar)
        m_window->close();
    else
        pressAccessKey(m_window.get(), Qt::Key_O);

    const QStringList question{u"登録していない明細があります。終了しますか？"_s};
    QCOMPARE(m_f->dialogs().messageTexts(), asked ? question : QStringList());
    if (asked)
        QCOMPARE(m_f->dialogs().messages().constFirst().buttons, desk::Dialogs::Buttons::YesNoDefaultNo);
    QCOMPARE(m_window->isVisible(), !closed);
    // Kept on screen, or gone with the window: never left for the next slip.
    const int workLines = desk::Connection::open(m_f->dirPath(), QString::fromLatin1(desk::DbFile::Sales))
                              ->scalar(u"SELECT COUNT(*) FROM BTTempSalesDetail"_s)
                              .toInt();
    QCOMPARE(workLines, closed ? 0 : 1);
}

void TestFrmSales::leftLinesAreTold() {
    fillHeader(QStringLiteral("1001"));
    typeLine({u"201"_s, u"2"_s, u"1000"_s, u"0"_s, u"0"_s});
    m_window.reset(); // the program ended without closing the window
    openWindow();
    QCOMPARE(lines()->lineCount(), 1);
    QVERIFY(text(u"lbStatus"_s).contains(u"登録されていない明細が 1 行残っています。"_s));
    // The clerk keeps them for this slip, or clears them.
    pressAccessKey(m_window.get(), Qt::Key_D);
    QCOMPARE(lines()->lineCount(), 0);
    QCOMPARE(text(u"lbStatus"_s), QString());
}

void TestFrmSales::checkedOutGuestIsAskedAbout() {
    // No (the default): the number is emptied.
    // The date first: the date control keeps the focus while its year is empty.
    child<calfield::DateTextBox>(m_window.get(), QStringLiteral("DateTextBoxSales"))
        ->setDateValue(QStringLiteral("2026/11/15"));
    QVERIFY(typeInto(m_window.get(), QStringLiteral("txtSalesCkInNo"), QStringLiteral("0997")));
    press(Qt::Key_Tab);
    QCOMPARE(m_f->dialogs().messages().size(), 1);
    QCOMPARE(m_f->dialogs().messages().at(0).text,
             QStringLiteral("チェックアウト済みのお客様です。売上を登録しますか？"));
    QCOMPARE(m_f->dialogs().messages().at(0).buttons, desk::Dialogs::Buttons::YesNoDefaultNo);
    QVERIFY(text(QStringLiteral("txtSalesCkInNo")).isEmpty());
    QVERIFY(text(QStringLiteral("lbSalesName")).isEmpty());
    // Yes: a late charge for the guest; leaving the box again asks no more.
    m_f->dialogs().pushAnswer(Answer::Yes);
    QVERIFY(typeInto(m_window.get(), QStringLiteral("txtSalesCkInNo"), QStringLiteral("0997")));
    press(Qt::Key_Tab);
    QCOMPARE(text(QStringLiteral("lbSalesName")), QStringLiteral("中村 誠"));
    child<QLineEdit>(m_window.get(), QStringLiteral("txtSalesCkInNo"))->setFocus();
    press(Qt::Key_Tab);
    QCOMPARE(m_f->dialogs().messages().size(), 2);
}

void TestFrmSales::numberTakenMeanwhileKeepsTheLines() {
    fillHeader(QStringLiteral("1001"));
    typeLine({QStringLiteral("202"), QStringLiteral("2"), {}, QStringLiteral("0"), QStringLiteral("0")});
    const qint32 proposed = text(QStringLiteral("lbSalesNo")).toInt();
    {
        // Another desk saves a slip under the same number first.
        qputenv("TESARO_DESK", "front-2");
        const auto back = qScopeGuard([] { qputenv("TESARO_DESK", "front-1"); });
        desk::Connection::open(m_f->dirPath(), QString::fromLatin1(desk::DbFile::Sales))
            ->exec(u"INSERT INTO BTTempSalesDetail (BTcmcode, BTQuantity, Desk) VALUES ('301', 1, 'front-2')"_s);
        chargesvc::SalesClass other;
        other.setDirPath(m_f->dirPath());
        other.CntDb();
        other.setSalesNo(proposed);
        other.setSalesDate(QDate(2026, 11, 15));
        other.setCheckInNO(QStringLiteral("1000"));
        desk::Transaction transaction(other.connection());
        other.Msave();
        transaction.commit();
    }
    pressAccessKey(m_window.get(), Qt::Key_T);
    QCOMPARE(m_f->dialogs().messages().size(), 1);
    QVERIFY(m_f->dialogs().messages().at(0).text.contains(QString::number(proposed + 1)));
    QCOMPARE(text(QStringLiteral("lbSalesNo")).toInt(), proposed + 1);
    QCOMPARE(lines()->lineCount(), 1);
    pressAccessKey(m_window.get(), Qt::Key_T);
    QCOMPARE(storedLines(proposed + 1), 1);
}

void TestFrmSales::twoDesksKeepTheirLinesApart() {
    fillHeader(QStringLiteral("1001"));
    typeLine({QStringLiteral("202"), QStringLiteral("2"), {}, QStringLiteral("0"), QStringLiteral("0")});
    // The second desk opens its window and rings up its own slip.
    qputenv("TESARO_DESK", "front-2");
    FrmSales second(m_f->context());
    QVERIFY(showActive(&second));
    auto* secondLines = child<desk::DataGridView>(&second, QStringLiteral("DbGridSales"))->gridModel();
    QCOMPARE(secondLines->lineCount(), 0);
    secondLines->setRowValues(0, {{0, QStringLiteral("301")}, {3, 1}, {8, 650}});
    // The date first: its year box keeps the focus while empty.
    child<calfield::DateTextBox>(&second, QStringLiteral("DateTextBoxSales"))
        ->setDateValue(QStringLiteral("2026/11/16"));
    QVERIFY(typeInto(&second, QStringLiteral("txtSalesCkInNo"), QStringLiteral("1000")));
    pressAccessKey(&second, Qt::Key_T);
    QVERIFY(m_f->dialogs().messages().isEmpty());
    const qint32 secondSlip = child<QLabel>(&second, QStringLiteral("lbSalesNo"))->text().toInt() - 1;
    QCOMPARE(storedLines(secondSlip), 1);
    // The first desk's line is still there, and saves as its own slip.
    qputenv("TESARO_DESK", "front-1");
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    lines()->requery();
    QCOMPARE(lines()->lineCount(), 1);
    QCOMPARE(lines()->cellValue(0, 0).toString(), QStringLiteral("202"));
}

void TestFrmSales::slipPrintsTheWorkTable() {
    fillHeader(QStringLiteral("1001"), QStringLiteral("5"));
    typeLine({QStringLiteral("201"), QStringLiteral("2"), {}, QStringLiteral("10"), QStringLiteral("10")});
    pressAccessKey(m_window.get(), Qt::Key_I);
    auto* preview = m_window->findChild<desk::ReportPreview*>();
    QVERIFY(preview);
    const QString all = preview->document().texts().join(QLatin1Char('|'));
    for (const QString& expected :
         {QStringLiteral("売上伝票"), QStringLiteral("旅館さくら荘"), QStringLiteral("TEL0263-00-1111"),
          QStringLiteral("FAX"), QStringLiteral("山田 太郎"), QStringLiteral("2026/11/05"), QStringLiteral("宿泊掛売"),
          QStringLiteral("夕食（会席）"), QStringLiteral("12,100")})
        QVERIFY2(all.contains(expected), qPrintable(expected));
    // Numbered and dated, as the bill: 売上伝票_<slip>_<day>.
    QCOMPARE(preview->document().fileName, u"売上伝票_"_s + text(QStringLiteral("lbSalesNo")) + u"_20261105"_s);
    preview->close();
}

void TestFrmSales::newLineTakesItsRates_data() {
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("typedTax"); // typed over the filled rate, empty to keep it
    QTest::addColumn<double>("service");
    QTest::addColumn<double>("tax");
    QTest::addColumn<bool>("note");   // the message line notes a rate not in force
    QTest::addColumn<bool>("marked"); // the printed slip marks the line as reduced
    // 201 dinner (standard, service), 501 sweets (reduced, no service), 502 sake to take
    // home (standard, no service), 403 made exempt for the test.
    QTest::newRow("2013, the rate then") << u"2013"_s << u"201"_s << QString() << 10.0 << 5.0 << false << false;
    QTest::newRow("2026 reduced commodity") << u"2026"_s << u"501"_s << QString() << 0.0 << 8.0 << false << true;
    QTest::newRow("reduced before the reduced rate")
        << u"2018"_s << u"501"_s << QString() << 0.0 << 8.0 << false << false;
    QTest::newRow("exempt") << u"2026"_s << u"403"_s << QString() << 10.0 << 0.0 << false << false;
    QTest::newRow("service off") << u"2026"_s << u"502"_s << QString() << 0.0 << 10.0 << false << false;
    QTest::newRow("typed over, in force") << u"2026"_s << u"201"_s << u"8"_s << 10.0 << 8.0 << false << true;
    QTest::newRow("typed over, not in force") << u"2026"_s << u"201"_s << u"5"_s << 10.0 << 5.0 << true << false;
}

void TestFrmSales::newLineTakesItsRates() {
    QFETCH(QString, year);
    QFETCH(QString, code);
    QFETCH(QString, typedTax);
    QFETCH(double, service);
    QFETCH(double, tax);
    QFETCH(bool, note);
    QFETCH(bool, marked);
    desk::Connection::open(m_f->dirPath(), QString::fromLatin1(desk::DbFile::Sales))
        ->exec(u"UPDATE Commodities SET CTaxClass = 2 WHERE Ccode = '403'"_s);
    fillHeader(QStringLiteral("1001"));
    child<calfield::DateTextBox>(m_window.get(), QStringLiteral("DateTextBoxSales"))->setYearText(year);
    typeLine({code, u"1"_s, {}, {}, typedTax});
    QCOMPARE(lines()->cellValue(0, 6).toDouble(), service);
    QCOMPARE(lines()->cellValue(0, 7).toDouble(), tax);
    QVERIFY(m_f->dialogs().messages().isEmpty());
    const QString status = text(QStringLiteral("lbStatus"));
    QCOMPARE(status.contains(u"に適用される税率ではありません"_s), note);

    pressAccessKey(m_window.get(), Qt::Key_I);
    auto* preview = m_window->findChild<desk::ReportPreview*>();
    QVERIFY(preview);
    const desk::ReportDocument doc = preview->document();
    QCOMPARE(doc.byControl(u"Text10"_s).constFirst().text, marked ? u"※"_s : QString());
    QCOMPARE(doc.texts().contains(u"※印は軽減税率対象"_s), marked);
    preview->close();
}

void TestFrmSales::openedForAGuest_data() {
    QTest::addColumn<bool>("whileOpen");   // handed over to the window already open
    QTest::addColumn<QString>("onScreen"); // a number typed before
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("name"); // empty: the guest is not taken

    QTest::newRow("window opened for the guest") << false << QString() << u"1001"_s << u"山田 太郎"_s;
    QTest::newRow("handed to the open window") << true << QString() << u"1001"_s << u"山田 太郎"_s;
    QTest::newRow("no such guest") << false << QString() << u"999"_s << QString();
    QTest::newRow("another guest on screen stays") << true << u"1000"_s << u"1001"_s << QString();
}

// A guest chosen elsewhere: the number filled and found, the keys in the first line's code.
void TestFrmSales::openedForAGuest() {
    QFETCH(bool, whileOpen);
    QFETCH(QString, onScreen);
    QFETCH(QString, number);
    QFETCH(QString, name);

    if (!onScreen.isEmpty())
        QVERIFY(typeInto(m_window.get(), QStringLiteral("txtSalesCkInNo"), onScreen));
    if (!whileOpen)
        m_window.reset();
    m_f->context().setValue(desk::EntryMembers::CheckInNo, number);
    if (!whileOpen)
        openWindow();
    QTest::qWait(1);
    QCoreApplication::processEvents();

    if (!onScreen.isEmpty()) {
        QCOMPARE(text(QStringLiteral("txtSalesCkInNo")), onScreen);
        QVERIFY(text(QStringLiteral("lbStatus")).contains(number));
        return;
    }
    QCOMPARE(text(QStringLiteral("txtSalesCkInNo")), number);
    if (name.isEmpty()) {
        QCOMPARE(m_f->dialogs().messageTexts(), QStringList{u"番号が見つかりません。やりなおしてください。"_s});
        QCOMPARE(QApplication::focusWidget(), child<QWidget>(m_window.get(), QStringLiteral("txtSalesCkInNo")));
        return;
    }
    QVERIFY(m_f->dialogs().messages().isEmpty());
    QCOMPARE(text(QStringLiteral("lbSalesName")), name);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(grid()));
    // A line typed at once and registered under the guest with today's date.
    typeLine({u"201"_s, u"2"_s, {}, {}, {}});
    const qint32 slip = text(QStringLiteral("lbSalesNo")).toInt();
    pressAccessKey(m_window.get(), Qt::Key_T);
    QVERIFY(m_f->dialogs().messages().isEmpty());
    QCOMPARE(storedLines(slip), 1);
    // Taken once: the next showing without a guest finds none.
    QCOMPARE(m_f->context().takeGuest(), QString());
}

QTEST_MAIN(TestFrmSales)
#include "tst_frmsales.moc"
