#include "departapp/BillReport.h"
#include "departapp/FrmChkOut.h"
#include "departapp/FrmChkOutM.h"

#include "arrivalsvc/CheckInClass.h"
#include "calfield/DateTextBox.h"
#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/RowSet.h"
#include "entry/EntryMembers.h"
#include "report/ReportPreview.h"
#include "taxsvc/TaxSettings.h"
#include "testsupport/WindowFixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableView>
#include <QTest>

using namespace desk::test;
using namespace Qt::StringLiterals;
using departapp::DataReport1;
using departapp::FrmChkOut;
using departapp::FrmChkOutM;

namespace {

// quantity, unit price, service charge %, tax %
using Sale = std::array<double, 4>;

const QString Guest = u"101"_s;

void checkIn(const QString& dir, const QString& number, const QString& name, bool checkedOut = false) {
    arrivalsvc::CheckInClass store;
    store.setDirPath(dir);
    store.CntDB();
    store.setCheckInNO(number);
    store.setCheckInDate(QDate(2024, 4, 10));
    store.setCheckInName(name);
    store.setCheckInRoomNo(u"松"_s);
    store.setCheckInGroupe(u"山田家"_s);
    store.setQuantity(3);
    store.Msave();
    if (checkedOut) {
        store.setCheckInNO2(number);
        store.CheckOut();
    }
}

// One sales slip (number slip) with the lines, one payment slip per amount.
void charge(const QString& dir, const QString& checkInNo, int slip, const QList<Sale>& sales,
            const QList<double>& payments, const QDate& day = QDate(2024, 4, 10)) {
    auto salesDb = desk::Connection::open(dir, QLatin1String(desk::DbFile::Sales));
    salesDb->exec(u"INSERT OR REPLACE INTO Commodities (Ccode, cname) VALUES ('T1', '夕食')"_s);
    salesDb->exec(u"INSERT INTO BTSalesNo (BTSalesNo, BTSalesdate, BTCheckInNo, BTKubun) VALUES (?, ?, ?, 0)"_s,
                  {slip, day, checkInNo});
    for (const Sale& s : sales)
        salesDb->exec(
            u"INSERT INTO BTSalesDetail (BTSalesNo, BTcmcode, BTspec, BTQuantity, BTUnitPrice, BTServiceFee, BTSalesTax) VALUES (?, 'T1', '', ?, ?, ?, ?)"_s,
            {slip, s[0], s[1], s[2], s[3]});
    auto reciptDb = desk::Connection::open(dir, QLatin1String(desk::DbFile::Recipt));
    reciptDb->exec(u"INSERT OR REPLACE INTO ReciptCode (RptCode, RptName) VALUES ('P1', '預り金')"_s);
    for (int i = 0; i < payments.size(); ++i) {
        reciptDb->exec(
            u"INSERT INTO BTPaymentNo (RptNO, ReciptDate, RptcheckInNo, Rptkubun) VALUES (?, '2024-04-11', ?, 0)"_s,
            {slip * 100 + i, checkInNo});
        reciptDb->exec(u"INSERT INTO BTPaymentDtl (RptNO, RptCode, ReciptAmount, RptRemarks) VALUES (?, 'P1', ?, '')"_s,
                       {slip * 100 + i, payments[i]});
    }
}

// Two nights with service and a line without either, at the standard rate in force since
// 2019: 16,000 + 500 + 1,600 service + 1,760 tax = 19,860 in all, 10,000 paid, 9,860 to pay.
void workedExample(const QString& dir, const QString& checkInNo) {
    charge(dir, checkInNo, 1, {{2, 8000, 10, 10}, {1, 500, 0, 0}}, {10000});
}

void setInvoiceNo(const QString& dir, const QString& number) {
    auto option = desk::Connection::open(dir, QLatin1String(desk::DbFile::Option));
    option->exec(u"INSERT INTO CompanyProfile (InvoiceNo) SELECT '' WHERE NOT EXISTS (SELECT 1 FROM CompanyProfile)"_s);
    option->exec(u"UPDATE CompanyProfile SET InvoiceNo = COALESCE(?, '')"_s, {number});
}

bool checkedOut(const QString& dir, const QString& number) {
    return desk::Connection::open(dir, QLatin1String(desk::DbFile::DaySalesCliants))
        ->scalar(u"SELECT CheckOutFlag FROM CheckInCliants WHERE CheckInNO = ?"_s, {number})
        .toBool();
}

QDate checkOutDay(const QString& dir, const QString& number) {
    return QDate::fromString(desk::Connection::open(dir, QLatin1String(desk::DbFile::DaySalesCliants))
                                 ->scalar(u"SELECT CheckOutDate FROM CheckInCliants WHERE CheckInNO = ?"_s, {number})
                                 .toString(),
                             Qt::ISODate);
}

int statementRows(const QString& dir) {
    return desk::Connection::open(dir, QLatin1String(desk::DbFile::Option))
        ->scalar(u"SELECT COUNT(*) FROM CheckOutTemp"_s)
        .toInt();
}

void setDate(QWidget* w, const QString& y, const QString& m, const QString& d) {
    auto* date = child<calfield::DateTextBox>(w, u"CkOutDateBox"_s);
    date->setYearText(y);
    date->setMonthText(m);
    date->setDayText(d);
}

QStringList gridColumn(const QWidget* w, int column) {
    const auto* model = child<QTableView>(w, u"DataGrid1"_s)->model();
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, column).data().toString();
    return texts;
}

QStringList previewTexts(const desk::ReportPreview* preview, const QString& control) {
    QStringList texts;
    for (const auto& item : preview->document().items) {
        if (item.control == control)
            texts << item.text;
    }
    return texts;
}

// A sales slip of one line of a commodity under the guest, as the sales window saves it.
void ringUp(const QString& dir, int slip, const QString& code, double quantity, double price) {
    auto salesDb = desk::Connection::open(dir, QLatin1String(desk::DbFile::Sales));
    salesDb->exec(
        u"INSERT INTO BTSalesNo (BTSalesNo, BTSalesdate, BTCheckInNo, BTKubun) VALUES (?, '2024-04-11', ?, 0)"_s,
        {slip, Guest});
    salesDb->exec(u"INSERT INTO BTSalesDetail (BTSalesNo, BTcmcode, BTspec, BTQuantity, BTUnitPrice, BTServiceFee, "
                  u"BTSalesTax) VALUES (?, ?, '', ?, ?, 10, 10)"_s,
                  {slip, code, quantity, price});
}

// The guest's quantities on file of a commodity.
double rungUp(const QString& dir, const QString& code) {
    return desk::Connection::open(dir, QLatin1String(desk::DbFile::Sales))
        ->scalar(u"SELECT Sum(d.BTQuantity) FROM BTSalesDetail d JOIN BTSalesNo h ON h.BTSalesNo = d.BTSalesNo "
                 u"WHERE h.BTCheckInNo = ? AND d.BTcmcode = ?"_s,
                 {Guest, code})
        .toDouble();
}

} // namespace

class TestDepartApp : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void guestLookUp_data();
    void guestLookUp();
    void runNeedsAGuest();
    void accessKeyLooksTheTypedNumberUp();
    void altLetterNeverTypesIntoTheNumber();
    void enterSettlesInOneStep_data();
    void enterSettlesInOneStep();
    void settlementDateTakesTheTyping();
    void dateIsChecked_data();
    void dateIsChecked();
    void refusedDatePartStopsTheButtons();
    void computingTwiceShowsOneStatement();
    void billComputesFirst();
    void onlyAPrintChecksOut_data();
    void onlyAPrintChecksOut();
    void billedAgainAfterCheckOut();
    void billAmount_data();
    void billAmount();
    void billPerRate_data();
    void billPerRate();
    void billLevies();
    void closingEmptiesTheStatementAndReturns();
    void failedComputeTalksOutsideTheWrite();
    void twoDesksBillTheirOwnGuests();
    void offeredNightsNeverTwice_data();
    void offeredNightsNeverTwice();

private:
    // The main window with the guest found and the settlement window opened by keyboard.
    FrmChkOut* openSettlement(FrmChkOutM& m, const QString& number);

    std::unique_ptr<WindowFixture> m_fixture;
    ScriptedDialogs* m_dialogs = nullptr;
    desk::ModuleContext* m_context = nullptr;
    QString dir() const { return m_fixture->dirPath(); }
};

void TestDepartApp::init() {
    m_fixture = std::make_unique<WindowFixture>();
    QVERIFY(m_fixture->isValid());
    m_dialogs = &m_fixture->dialogs();
    m_context = &m_fixture->context();
    checkIn(dir(), Guest, u"山田太郎"_s);
}

void TestDepartApp::cleanup() {
    for (QWidget* w : QApplication::topLevelWidgets())
        w->close();
    settle();
    m_fixture.reset();
}

FrmChkOut* TestDepartApp::openSettlement(FrmChkOutM& m, const QString& number) {
    if (!showActive(&m))
        return nullptr;
    auto* box = child<QLineEdit>(&m, u"txtChkInNo"_s);
    QTest::keyClicks(box, number);
    QTest::keyClick(box, Qt::Key_Tab);
    pressAccessKey(&m, Qt::Key_G);
    FrmChkOut* w = m.checkOutWindow();
    if (w && !showActive(w))
        return nullptr;
    return w;
}

void TestDepartApp::guestLookUp_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("guidance");

    const QString enter = u"チェックイン番号を入力して　TABキーを押してください。"_s;
    QTest::newRow("empty does nothing") << QString() << QStringList() << QString() << QString() << enter;
    QTest::newRow("unknown number") << u"999"_s << QStringList{u"番号が見つかりません。"_s} << QString() << QString()
                                    << enter;
    QTest::newRow("guest in the house") << Guest << QStringList() << Guest << u"山田太郎"_s
                                        << u"良ければ実行ボタンを押してください。"_s;
    QTest::newRow("guest already gone") << u"102"_s << QStringList() << u"102"_s << u"佐藤花子"_s
                                        << u"良ければ実行ボタンを押してください。"_s;
    // A number that reads like the store's "not found" answer is a number like any other.
    QTest::newRow("check-in numbered X") << u"X"_s << QStringList() << u"X"_s << u"鈴木一郎"_s
                                         << u"良ければ実行ボタンを押してください。"_s;
}

void TestDepartApp::guestLookUp() {
    QFETCH(QString, typed);
    QFETCH(QStringList, messages);
    QFETCH(QString, box);
    QFETCH(QString, name);
    QFETCH(QString, guidance);
    checkIn(dir(), u"102"_s, u"佐藤花子"_s, true);
    checkIn(dir(), u"X"_s, u"鈴木一郎"_s);

    FrmChkOutM m(*m_context);
    QVERIFY(showActive(&m));
    QCOMPARE(m.windowTitle(), u"チェックアウト"_s);
    auto* edit = child<QLineEdit>(&m, u"txtChkInNo"_s);
    QCOMPARE(QApplication::focusWidget(), edit);
    QTest::keyClicks(edit, typed);
    QTest::keyClick(edit, Qt::Key_Tab);

    QCOMPARE(m_dialogs->messageTexts(), messages);
    for (const auto& shown : m_dialogs->messages())
        QCOMPARE(shown.title, u"警告"_s);
    QCOMPARE(edit->text(), box);
    QCOMPARE(textOf(&m, u"lbClName"_s), name);
    QCOMPARE(textOf(&m, u"lbRoomNo"_s), name.isEmpty() ? QString() : u"松"_s);
    QCOMPARE(textOf(&m, u"Panel2"_s), guidance);
}

void TestDepartApp::runNeedsAGuest() {
    FrmChkOutM m(*m_context);
    QVERIFY(showActive(&m));
    QVERIFY(mouseClick(&m, u"CmdRun"_s));
    pressAccessKey(&m, Qt::Key_G);
    QCOMPARE(m_dialogs->beeps(), 2);
    QVERIFY(m_dialogs->messages().isEmpty());
    QVERIFY(!m.checkOutWindow());
    QVERIFY(m.isVisible());

    // 終わり only leaves: an unknown number typed is not looked up on the way out.
    auto* edit = child<QLineEdit>(&m, u"txtChkInNo"_s);
    edit->setFocus();
    QTest::keyClicks(edit, u"999"_s);
    QVERIFY(mouseClick(&m, u"CmdCancel"_s));
    QVERIFY(m_dialogs->messages().isEmpty());
    QVERIFY(!m.isVisible());
}

void TestDepartApp::accessKeyLooksTheTypedNumberUp() {
    checkIn(dir(), u"102"_s, u"佐藤花子"_s);
    FrmChkOutM m(*m_context);
    QVERIFY(showActive(&m));
    auto* edit = child<QLineEdit>(&m, u"txtChkInNo"_s);
    QTest::keyClicks(edit, Guest);
    QTest::keyClick(edit, Qt::Key_Tab);
    QCOMPARE(textOf(&m, u"lbClName"_s), u"山田太郎"_s);

    // Another number typed over the found one, then Alt+G without leaving the box: the
    // settlement is for the number on screen, never for the guest found before.
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, u"102"_s);
    QVERIFY(textOf(&m, u"lbClName"_s).isEmpty());
    pressAccessKey(&m, Qt::Key_G);
    FrmChkOut* w = m.checkOutWindow();
    QVERIFY(w);
    QCOMPARE(textOf(w, u"txtChkOutIn"_s), u"102"_s);
    QCOMPARE(textOf(w, u"lbChkOutName"_s), u"佐藤花子"_s);
    QVERIFY(!m.isVisible());
    QVERIFY(edit->text().isEmpty());
}

// Alt with a letter this window has no access key for (a habit from another window) types
// nothing into the number: it is refused with a beep, and the number stays as typed.
void TestDepartApp::altLetterNeverTypesIntoTheNumber() {
    FrmChkOutM m(*m_context);
    QVERIFY(showActive(&m));
    auto* edit = child<QLineEdit>(&m, u"txtChkInNo"_s);
    QTest::keyClicks(edit, u"10"_s);
    QTest::keyClick(edit, Qt::Key_V, Qt::AltModifier);
    QTest::keyClick(edit, Qt::Key_E, Qt::AltModifier);
    QTest::keyClicks(edit, u"1"_s);
    QCOMPARE(edit->text(), Guest);
    QCOMPARE(m_dialogs->beeps(), 2);
    QTest::keyClick(edit, Qt::Key_Tab);
    QCOMPARE(textOf(&m, u"lbClName"_s), u"山田太郎"_s);
}

void TestDepartApp::enterSettlesInOneStep_data() {
    QTest::addColumn<int>("how"); // 0: typed and Enter; 1: handed over with the showing; 2: to the open window
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("lines"); // the statement's lines; -1: no settlement window

    const QStringList unknown{u"番号が見つかりません。"_s};
    QTest::newRow("guest in the house") << 0 << Guest << QStringList() << 8;
    QTest::newRow("unknown number") << 0 << u"999"_s << unknown << -1;
    QTest::newRow("empty box") << 0 << QString() << QStringList() << -1;
    QTest::newRow("handed over") << 1 << Guest << QStringList() << 8;
    QTest::newRow("handed to the open window") << 2 << Guest << QStringList() << 8;
    QTest::newRow("unknown number handed over") << 1 << u"999"_s << unknown << -1;
}

// The number and Enter: the guest found and the statement worked out for the day offered
// (today), the date still in reach; 発行 then bills as of today.
void TestDepartApp::enterSettlesInOneStep() {
    QFETCH(int, how);
    QFETCH(QString, typed);
    QFETCH(QStringList, messages);
    QFETCH(int, lines);
    workedExample(dir(), Guest);

    if (how == 1)
        m_context->setValue(desk::EntryMembers::CheckInNo, typed);
    FrmChkOutM m(*m_context);
    // Shown as the module shows it; a guest handed over is settled as soon as it is.
    if (how == 1)
        m.show();
    else
        QVERIFY(showActive(&m));
    if (how == 0) {
        auto* edit = child<QLineEdit>(&m, u"txtChkInNo"_s);
        QTest::keyClicks(edit, typed);
        QTest::keyClick(edit, Qt::Key_Return);
    } else if (how == 2) {
        m_context->setValue(desk::EntryMembers::CheckInNo, typed);
    }
    settle();
    QCOMPARE(m_dialogs->messageTexts(), messages);
    FrmChkOut* w = m.checkOutWindow();
    if (lines < 0) {
        QVERIFY(!w);
        QVERIFY(m.isVisible());
        QCOMPARE(statementRows(dir()), 0);
        return;
    }
    QVERIFY(w);
    QVERIFY(showActive(w));
    QCOMPARE(statementRows(dir()), lines);
    QCOMPARE(gridColumn(w, 1).size(), lines);
    QCOMPARE(textOf(w, u"Panel2"_s), u"「発行」ボタンを押すと、請求書を印刷できます。"_s);
    auto* year = child<QLineEdit>(child<QWidget>(w, u"CkOutDateBox"_s), u"TextYear"_s);
    QCOMPARE(QApplication::focusWidget(), year);
    QCOMPARE(year->text(), QString::number(QDate::currentDate().year()));

    pressAccessKey(w, Qt::Key_A);
    QVERIFY(w->billReport());
    auto* preview = qobject_cast<desk::ReportPreview*>(w->billReport()->parent());
    QVERIFY(preview);
    QCOMPARE(previewTexts(preview, u"Label5"_s), QStringList{desk::convert::shortDateText(QDate::currentDate())});
    QCOMPARE(previewTexts(preview, u"Label34"_s), QStringList{u"9,860"_s});
    QVERIFY(m_dialogs->messages().isEmpty());
}

void TestDepartApp::settlementDateTakesTheTyping() {
    FrmChkOutM m(*m_context);
    FrmChkOut* w = openSettlement(m, Guest);
    QVERIFY(w);
    // Today is offered; the year typed over it replaces it.
    auto* year = child<QLineEdit>(child<QWidget>(w, u"CkOutDateBox"_s), u"TextYear"_s);
    QCOMPARE(QApplication::focusWidget(), year);
    QCOMPARE(year->text(), QString::number(QDate::currentDate().year()));
    QTest::keyClicks(year, u"2031"_s);
    QCOMPARE(year->text(), u"2031"_s);
}

void TestDepartApp::dateIsChecked_data() {
    QTest::addColumn<QStringList>("parts");
    QTest::addColumn<QString>("message");

    QTest::newRow("day missing") << QStringList{u"2024"_s, u"4"_s, QString()} << u"日付が入力されていません。"_s;
    QTest::newRow("month missing") << QStringList{u"2024"_s, QString(), u"12"_s} << u"日付が入力されていません。"_s;
    QTest::newRow("no such day") << QStringList{u"2023"_s, u"2"_s, u"29"_s} << u"日付が正しくありません。"_s;
}

void TestDepartApp::dateIsChecked() {
    QFETCH(QStringList, parts);
    QFETCH(QString, message);
    workedExample(dir(), Guest);

    // 計算実行 and 発行 alike, each on a settlement of its own.
    for (Qt::Key key : {Qt::Key_T, Qt::Key_A}) {
        m_dialogs->clear();
        FrmChkOutM m(*m_context);
        FrmChkOut* w = openSettlement(m, Guest);
        QVERIFY(w);
        setDate(w, parts[0], parts[1], parts[2]);
        pressAccessKey(w, key);
        QCOMPARE(m_dialogs->messageTexts(), QStringList{message});
        QCOMPARE(m_dialogs->messages().constFirst().title, u"警告"_s);
        QCOMPARE(statementRows(dir()), 0);
        QCOMPARE(child<QTableView>(w, u"DataGrid1"_s)->model()->rowCount(), 0);
        QVERIFY(!w->billReport());
    }
}

void TestDepartApp::refusedDatePartStopsTheButtons() {
    workedExample(dir(), Guest);
    FrmChkOutM m(*m_context);
    FrmChkOut* w = openSettlement(m, Guest);
    QVERIFY(w);
    setDate(w, u"2024"_s, {}, u"12"_s);
    auto* month = child<QLineEdit>(w, u"TextMonth"_s);
    month->setFocus();
    QTest::keyClicks(month, u"13"_s);
    QVERIFY(mouseClick(w, u"CmdRecord"_s));
    settle();
    pressAccessKey(w, Qt::Key_A);
    settle();
    // The control's own refusal, once per attempt, and nothing computed or shown.
    QCOMPARE(m_dialogs->messages().size(), 2);
    QVERIFY(!m_dialogs->messageTexts().contains(u"日付が入力されていません。"_s));
    QCOMPARE(QApplication::focusWidget(), month);
    QCOMPARE(statementRows(dir()), 0);
    QVERIFY(!w->billReport());
}

void TestDepartApp::computingTwiceShowsOneStatement() {
    workedExample(dir(), Guest);
    FrmChkOutM m(*m_context);
    FrmChkOut* w = openSettlement(m, Guest);
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), u"チェックアウト"_s);
    QCOMPARE(textOf(w, u"lbChkOutName"_s), u"山田太郎"_s);
    QCOMPARE(textOf(w, u"lbCheckOutKazu"_s), u"3"_s);
    QCOMPARE(textOf(w, u"lbCheckOutGroupe"_s), u"山田家"_s);
    QCOMPARE(textOf(w, u"lbChkIn"_s), u"2024/04/10"_s);
    QCOMPARE(textOf(w, u"Panel2"_s), u"日付を入力して「計算実行」ボタンを押してください。"_s);

    setDate(w, u"2024"_s, u"4"_s, u"12"_s);
    QVERIFY(mouseClick(w, u"CmdRecord"_s));
    pressAccessKey(w, Qt::Key_T);
    QVERIFY(m_dialogs->messages().isEmpty());
    QCOMPARE(statementRows(dir()), 8);
    QCOMPARE(gridColumn(w, 1), (QStringList{u"夕食"_s, u"夕食"_s, u"サービス料"_s, u"消費税（10%）"_s, u"合計"_s,
                                            u"預り金"_s, u"入金額"_s, u"請求額"_s}));
    QCOMPARE(gridColumn(w, 5), (QStringList{u"16,000"_s, u"500"_s, u"1,600"_s, u"1,760"_s, u"19,860"_s, u"10,000"_s,
                                            u"10,000"_s, u"9,860"_s}));
    QCOMPARE(gridColumn(w, 6).mid(0, 3), (QStringList{u"*"_s, u"-"_s, QString()}));
    QCOMPARE(textOf(w, u"Panel2"_s), u"「発行」ボタンを押すと、請求書を印刷できます。"_s);
}

void TestDepartApp::billComputesFirst() {
    workedExample(dir(), Guest);
    FrmChkOutM m(*m_context);
    FrmChkOut* w = openSettlement(m, Guest);
    QVERIFY(w);
    // Today is offered as the settlement date.
    pressAccessKey(w, Qt::Key_A);

    QVERIFY(w->billReport());
    auto* preview = qobject_cast<desk::ReportPreview*>(w->billReport()->parent());
    QVERIFY(preview);
    QCOMPARE(previewTexts(preview, u"Text8"_s).size(), 8);
    QCOMPARE(previewTexts(preview, u"Label34"_s), QStringList{u"9,860"_s});
    QCOMPARE(previewTexts(preview, u"Label33"_s), QStringList{u" 円をご請求いたします。"_s});
    QCOMPARE(previewTexts(preview, u"Label8"_s), QStringList{u"山田太郎 様"_s});
    QCOMPARE(previewTexts(preview, u"Label5"_s), QStringList{desk::convert::shortDateText(QDate::currentDate())});
    QCOMPARE(previewTexts(preview, u"Label3"_s), QStringList{u"2024/04/10"_s});
    const desk::CompanyProfile inn = WindowFixture::sampleProfile();
    QCOMPARE(previewTexts(preview, u"Label16"_s), QStringList{inn.MyCompanyName});
    QCOMPARE(previewTexts(preview, u"Label19"_s), QStringList{u"TEL"_s + inn.MyTelNo});
    QCOMPARE(gridColumn(w, 1).size(), 8);
    // Only seen, not printed: the guest is still in the house.
    QVERIFY(!checkedOut(dir(), Guest));
}

void TestDepartApp::onlyAPrintChecksOut_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("gone");
    QTest::addColumn<QString>("told"); // the settlement window's message line afterwards

    const QString ready = u"「発行」ボタンを押すと、請求書を印刷できます。"_s;
    const QString stays = u"チェックアウトはまだです（請求書を印刷するとチェックアウトになります）。"_s;
    QTest::newRow("preview closed") << u"close"_s << false << ready;
    QTest::newRow("printer choice cancelled") << u"cancel"_s << false << ready;
    QTest::newRow("exported as PDF") << u"export"_s << false << u"PDFに出力しました。"_s + stays;
    QTest::newRow("printed") << u"print"_s << true << u"請求書を印刷しました。お客様はチェックアウト済みです。"_s;
    QTest::newRow("the print failed") << u"fail"_s << false << u"請求書を印刷できませんでした。"_s + stays;
}

void TestDepartApp::onlyAPrintChecksOut() {
    QFETCH(QString, action);
    QFETCH(bool, gone);
    QFETCH(QString, told);
    workedExample(dir(), Guest);

    FrmChkOutM m(*m_context);
    FrmChkOut* w = openSettlement(m, Guest);
    QVERIFY(w);
    setDate(w, u"2024"_s, u"4"_s, u"12"_s);
    pressAccessKey(w, Qt::Key_T);
    QVERIFY(mouseClick(w, u"CmdBill"_s));
    QVERIFY(w->billReport());
    auto* preview = qobject_cast<desk::ReportPreview*>(w->billReport()->parent());
    QVERIFY(preview);

    QTemporaryDir out;
    if (action == u"close"_s) {
        QVERIFY(mouseClick(preview, u"CmdClose"_s));
    } else if (action == u"cancel"_s) {
        m_dialogs->pushPrinterChoice(false);
        QVERIFY(mouseClick(preview, u"CmdPrint"_s));
    } else if (action == u"export"_s) {
        // Proposed under the check-in and the day settled, beside (never over) an earlier bill.
        const QByteArray home = qgetenv("HOME");
        const auto restoreHome = qScopeGuard([home] { qputenv("HOME", home); });
        qputenv("HOME", QFile::encodeName(out.path()));
        const QString earlier = out.filePath(u"請求書_%1_20240412"_s.arg(Guest));
        QFile file(earlier + u".pdf"_s);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        m_dialogs->pushFileName(out.filePath(u"bill.pdf"_s));
        QVERIFY(mouseClick(preview, u"CmdExport"_s));
        QCOMPARE(m_dialogs->shown().constLast().defaultText, earlier + u"_2.pdf"_s);
        QVERIFY(QFileInfo::exists(out.filePath(u"bill.pdf"_s)));
    } else if (action == u"fail"_s) {
        m_dialogs->pushPrintFile(out.filePath(u"no/such/folder/bill.pdf"_s));
        QVERIFY(mouseClick(preview, u"CmdPrint"_s));
    } else {
        QVERIFY(mouseClick(preview, u"CmdPrint"_s));
        QCOMPARE(m_dialogs->printFiles().size(), 1);
        QVERIFY(QFileInfo(m_dialogs->printFiles().constFirst()).size() > 0);
    }
    settle();
    // A failed print is told to the clerk; nothing else asks or tells anything.
    QCOMPARE(m_dialogs->messages().size(), action == u"fail"_s ? 1 : 0);
    QCOMPARE(checkedOut(dir(), Guest), gone);
    // The stay is recorded as left on the settlement day typed, not on the day of printing.
    QCOMPARE(checkOutDay(dir(), Guest), gone ? QDate(2024, 4, 12) : QDate());
    QCOMPARE(textOf(w, u"Panel2"_s), told);

    // The main menu's list of guests in the house.
    arrivalsvc::CheckInClass store;
    store.setDirPath(dir());
    store.CntDB();
    const auto inHouse = store.RsNotChkOut();
    QCOMPARE(inHouse->find(u"CheckInNO = '%1'"_s.arg(Guest)), !gone);
}

// A bill printed again later is offered on the day the guest left, and whatever day it is
// printed for, the stay stays recorded on that first day: the register's nights and the
// levy worksheet's month never move for a stay long gone.
void TestDepartApp::billedAgainAfterCheckOut() {
    workedExample(dir(), Guest);
    const QStringList typed[] = {{u"2024"_s, u"4"_s, u"12"_s}, {u"2024"_s, u"5"_s, u"20"_s}};
    for (int round = 0; round < 2; ++round) {
        FrmChkOutM m(*m_context);
        FrmChkOut* w = openSettlement(m, Guest);
        QVERIFY2(w, "a guest already checked out is found as well");
        const auto* date = child<calfield::DateTextBox>(w, u"CkOutDateBox"_s);
        if (round == 1)
            QCOMPARE(date->typedDay(), std::optional<QDate>(QDate(2024, 4, 12)));
        // The clerk types the day over, part by part.
        for (const QString& part : typed[round]) {
            QWidget* box = QApplication::focusWidget();
            QVERIFY(box && date->isAncestorOf(box));
            QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(box, part);
            QTest::keyClick(box, Qt::Key_Tab);
        }
        pressAccessKey(w, Qt::Key_A);
        QVERIFY(w->billReport());
        auto* preview = qobject_cast<desk::ReportPreview*>(w->billReport()->parent());
        QVERIFY(mouseClick(preview, u"CmdPrint"_s));
        QVERIFY(m_dialogs->messages().isEmpty());
        QVERIFY(checkedOut(dir(), Guest));
        QCOMPARE(checkOutDay(dir(), Guest), QDate(2024, 4, 12));
        w->close();
        settle();
    }
    QCOMPARE(m_dialogs->printFiles().size(), 2);
}

void TestDepartApp::billAmount_data() {
    QTest::addColumn<QList<Sale>>("sales");
    QTest::addColumn<QList<double>>("payments");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("sentence");
    QTest::addColumn<QString>("due"); // the statement's last row

    const QString demand = u" 円をご請求いたします。"_s;
    QTest::newRow("to pay") << QList<Sale>{{2, 8000, 10, 10}, {1, 500, 0, 0}} << QList<double>{10000} << u"9,860"_s
                            << demand << u"9,860"_s;
    QTest::newRow("paid in full prints empty")
        << QList<Sale>{{1, 1000, 0, 0}} << QList<double>{600, 400} << QString() << demand << u"0"_s;
    QTest::newRow("overpaid is handed back")
        << QList<Sale>{{1, 1000, 0, 0}} << QList<double>{1240} << u"240"_s << u" 円をご返金いたします。"_s << u"-240"_s;
    QTest::newRow("millions") << QList<Sale>{{3, 1000000, 0, 0}} << QList<double>{} << u"3,000,000"_s << demand
                              << u"3,000,000"_s;
}

void TestDepartApp::billAmount() {
    QFETCH(QList<Sale>, sales);
    QFETCH(QList<double>, payments);
    QFETCH(QString, amount);
    QFETCH(QString, sentence);
    QFETCH(QString, due);
    charge(dir(), Guest, 7, sales, payments);

    FrmChkOutM m(*m_context);
    FrmChkOut* w = openSettlement(m, Guest);
    QVERIFY(w);
    setDate(w, u"2024"_s, u"4"_s, u"12"_s);
    pressAccessKey(w, Qt::Key_A);
    QVERIFY(w->billReport());
    QCOMPARE(w->billReport()->label(u"Label34"_s), amount);
    QCOMPARE(w->billReport()->label(u"Label33"_s), sentence);
    QCOMPARE(gridColumn(w, 5).constLast(), due);
    // The settlement date prints as every other date of the bill.
    QCOMPARE(w->billReport()->label(u"Label5"_s), u"2024/04/12"_s);
}

void TestDepartApp::billPerRate_data() {
    QTest::addColumn<QString>("invoiceNo");
    QTest::addColumn<QDate>("settled");
    QTest::addColumn<QStringList>("rows");  // the grid: title and amount
    QTest::addColumn<QStringList>("inn");   // registration number and transaction date
    QTest::addColumn<QList<int>>("marked"); // rows printed with "※"
    QTest::addColumn<QStringList>("footer");

    const QString number = u"T1234567890123"_s;
    const QStringList twoRates{u"夕食 16,000"_s,         u"夕食 500"_s,        u"夕食 1,000"_s,  u"サービス料 1,700"_s,
                               u"消費税（10%） 1,870"_s, u"消費税（8%） 40"_s, u"合計 21,110"_s, u"入金額 0"_s,
                               u"請求額 21,110"_s};
    const QStringList blocks{u"10%対象 18,700円　消費税 1,870円"_s, u"8%対象 500円　消費税 40円"_s};
    QTest::newRow("qualified invoice") << number << QDate(2026, 12, 7) << twoRates
                                       << QStringList{u"登録番号 T1234567890123"_s, u"取引日 2026/12/07"_s}
                                       << QList<int>{1} << (QStringList{u"※印は軽減税率対象"_s} + blocks);
    QTest::newRow("no registration number")
        << QString() << QDate(2026, 12, 7) << twoRates << QStringList() << QList<int>() << blocks;
    // The day typed, not today, decides the rates: one rate, one "消費税" row.
    QTest::newRow("settled in the 8 % era")
        << number << QDate(2015, 6, 30)
        << QStringList{u"夕食 16,000"_s,  u"夕食 500"_s,    u"夕食 1,000"_s, u"サービス料 1,700"_s,
                       u"消費税 1,536"_s, u"合計 20,736"_s, u"入金額 0"_s,   u"請求額 20,736"_s}
        << QStringList{u"登録番号 T1234567890123"_s, u"取引日 2015/06/30"_s} << QList<int>()
        << QStringList{u"8%対象 19,200円　消費税 1,536円"_s};
}

// The worked example of a stay with a juice at the reduced rate, nothing paid: the grid
// shows a tax row per rate, the bill a block per rate and, with a registration number, the
// items of a qualified invoice; no text is cut.
void TestDepartApp::billPerRate() {
    QFETCH(QString, invoiceNo);
    QFETCH(QDate, settled);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, inn);
    QFETCH(QList<int>, marked);
    QFETCH(QStringList, footer);
    setInvoiceNo(dir(), invoiceNo);
    charge(dir(), Guest, 3, {{2, 8000, 10, 10}, {1, 500, 0, 8}, {1, 1000, 10, 10}}, {}, settled);

    FrmChkOutM m(*m_context);
    FrmChkOut* w = openSettlement(m, Guest);
    QVERIFY(w);
    setDate(w, QString::number(settled.year()), QString::number(settled.month()), QString::number(settled.day()));
    pressAccessKey(w, Qt::Key_A);
    QVERIFY(m_dialogs->messages().isEmpty());
    QStringList grid;
    const QStringList titles = gridColumn(w, 1), amounts = gridColumn(w, 5);
    for (qsizetype i = 0; i < titles.size(); ++i)
        grid << titles[i] + u' ' + amounts[i];
    QCOMPARE(grid, rows);

    QVERIFY(w->billReport());
    auto* preview = qobject_cast<desk::ReportPreview*>(w->billReport()->parent());
    QVERIFY(preview);
    QStringList printedInn, printedFooter;
    QList<int> printedMarks;
    for (const auto& item : preview->document().items) {
        if (item.control == u"LabelInvoiceNo"_s || item.control == u"LabelTradeDate"_s)
            printedInn << item.text;
        else if (item.control == u"TextReduced"_s && !item.text.isEmpty())
            printedMarks << item.row;
        else if (item.section == desk::SectionKind::ReportFooter && item.kind == desk::ReportItem::Kind::Text)
            printedFooter << item.text;
    }
    QCOMPARE(printedInn, inn);
    QCOMPARE(printedMarks, marked);
    QCOMPARE(printedFooter, footer);
    QCOMPARE(previewTexts(preview, u"Text8"_s).size(), rows.size());
    QCOMPARE(previewTexts(preview, u"Label34"_s), QStringList{rows.constLast().section(u' ', 1)});
    QCOMPARE(previewTexts(preview, u"Label8"_s), QStringList{u"山田太郎 様"_s});
}

// Kyoto since 2026-03-01 and a bathing tax of 150: a party of two for one night on a plan of
// 15,000 a head, 60 % of it the room. The levies follow the consumption tax in the grid and on
// the bill, count in the total and in no rate's block.
void TestDepartApp::billLevies() {
    using namespace taxsvc;
    writeLevies(*desk::Connection::open(dir(), QLatin1String(desk::DbFile::Option)),
                LevyTable({{LevyKind::Bathing, QDate(2020, 1, 1), LevyMethod::Fixed, 150, 0, {}},
                           {LevyKind::LodgingMunicipality,
                            QDate(2026, 3, 1),
                            LevyMethod::Bands,
                            0,
                            0,
                            {{0, 200}, {6000, 400}, {20000, 1000}, {50000, 4000}, {100000, 10000}}}}));
    arrivalsvc::CheckInClass store;
    store.setDirPath(dir());
    store.CntDB();
    store.setCheckInNO(u"102"_s);
    store.setCheckInDate(QDate(2026, 3, 1));
    store.setCheckInName(u"京都花子"_s);
    store.setQuantity(2);
    store.Msave();
    charge(dir(), u"102"_s, 4, {{2, 15000, 10, 10}}, {}, QDate(2026, 3, 1));
    desk::Connection::open(dir(), QLatin1String(desk::DbFile::Sales))
        ->exec(u"UPDATE Commodities SET CRoomShare = 60 WHERE Ccode = 'T1'"_s);

    FrmChkOutM m(*m_context);
    FrmChkOut* w = openSettlement(m, u"102"_s);
    QVERIFY(w);
    setDate(w, u"2026"_s, u"3"_s, u"2"_s);
    pressAccessKey(w, Qt::Key_A);
    QVERIFY(m_dialogs->messages().isEmpty());
    const QStringList rows{u"夕食 30,000"_s,
                           u"サービス料 3,000"_s,
                           u"消費税（10%） 3,300"_s,
                           u"入湯税 150円×2名×1泊 300"_s,
                           u"宿泊税 400円×2名×1泊 800"_s,
                           u"合計 37,400"_s,
                           u"入金額 0"_s,
                           u"請求額 37,400"_s};
    QStringList grid;
    const QStringList titles = gridColumn(w, 1), amounts = gridColumn(w, 5);
    for (qsizetype i = 0; i < titles.size(); ++i)
        grid << titles[i] + u' ' + amounts[i];
    QCOMPARE(grid, rows);

    auto* preview = qobject_cast<desk::ReportPreview*>(w->billReport()->parent());
    QVERIFY(preview);
    const QStringList names = previewTexts(preview, u"Text2"_s);
    QVERIFY2(names.contains(u"入湯税 150円×2名×1泊"_s) && names.contains(u"宿泊税 400円×2名×1泊"_s),
             qPrintable(names.join(u'|')));
    QStringList footer;
    for (const auto& item : preview->document().items) {
        if (item.section == desk::SectionKind::ReportFooter && item.kind == desk::ReportItem::Kind::Text)
            footer << item.text;
    }
    QCOMPARE(footer, QStringList{u"10%対象 33,000円　消費税 3,300円"_s});
    QCOMPARE(previewTexts(preview, u"Label34"_s), QStringList{u"37,400"_s});
}

void TestDepartApp::closingEmptiesTheStatementAndReturns() {
    workedExample(dir(), Guest);
    FrmChkOutM m(*m_context);
    FrmChkOut* w = openSettlement(m, Guest);
    QVERIFY(w);
    setDate(w, u"2024"_s, u"4"_s, u"12"_s);
    pressAccessKey(w, Qt::Key_T);
    QCOMPARE(statementRows(dir()), 8);
    QPointer<FrmChkOut> watch(w);
    // 終わり with a month the date refuses, the focus still in its box: leaving is never refused.
    auto* month = child<QLineEdit>(w, u"TextMonth"_s);
    month->setFocus();
    QTest::keyClicks(month, u"13"_s);
    pressAccessKey(w, Qt::Key_O);
    settle();
    QVERIFY(!watch);
    QCOMPARE(statementRows(dir()), 0);
    QVERIFY(m.isVisible());
    QVERIFY(m_dialogs->messages().isEmpty());
    QVERIFY(textOf(&m, u"txtChkInNo"_s).isEmpty());
    QVERIFY(textOf(&m, u"lbClName"_s).isEmpty());

    // Shown again from the main menu while a guest is being settled: the settlement stays.
    FrmChkOut* again = openSettlement(m, Guest);
    QVERIFY(again);
    m.show();
    settle();
    QVERIFY(!m.isVisible());
    QVERIFY(again->isVisible());
}

void TestDepartApp::failedComputeTalksOutsideTheWrite() {
    // A statement beyond 32-bit yen fails; the clerk is told once the write is undone, so
    // another desk can write the file while the message is on screen.
    charge(dir(), Guest, 1, {{100000, 30000, 0, 0}}, {});
    class Probe : public ScriptedDialogs {
    public:
        QString dir;
        bool otherDeskWrote = false;
        Answer message(QWidget* parent, const QString& text, const QString& title, Icon icon,
                       Buttons buttons) override {
            auto other = desk::Connection::open(dir, QLatin1String(desk::DbFile::Option));
            other->exec(u"PRAGMA busy_timeout = 200"_s);
            try {
                desk::Transaction write(*other);
                other->exec(u"INSERT INTO CheckOutTemp (Slcmname) VALUES ('x')"_s);
                write.commit();
                other->exec(u"DELETE FROM CheckOutTemp WHERE Slcmname = 'x'"_s);
                otherDeskWrote = true;
            } catch (...) {
            }
            return ScriptedDialogs::message(parent, text, title, icon, buttons);
        }
    };
    auto probe = std::make_unique<Probe>();
    probe->dir = dir();

    FrmChkOutM m(*m_context);
    FrmChkOut* w = openSettlement(m, Guest);
    QVERIFY(w);
    setDate(w, u"2024"_s, u"4"_s, u"12"_s);
    pressAccessKey(w, Qt::Key_T);
    QCOMPARE(probe->messages().size(), 1);
    QVERIFY(probe->otherDeskWrote);
    QCOMPARE(statementRows(dir()), 0);
    QCOMPARE(child<QTableView>(w, u"DataGrid1"_s)->model()->rowCount(), 0);
    QCOMPARE(textOf(w, u"Panel2"_s), u"日付を入力して「計算実行」ボタンを押してください。"_s);
}

void TestDepartApp::twoDesksBillTheirOwnGuests() {
    workedExample(dir(), Guest);
    checkIn(dir(), u"102"_s, u"佐藤花子"_s);
    charge(dir(), u"102"_s, 5, {{1, 3000, 0, 0}}, {});
    const auto atDesk = [](const char* desk) {
        qputenv("TESARO_DESK", desk);
    };
    const auto amountOf = [](FrmChkOut* w) {
        return w->billReport()->label(u"Label34"_s);
    };

    // Two desks compute at once; each bill is its own guest's, whatever the other desk did.
    atDesk("desk-A");
    FrmChkOutM ma(*m_context);
    FrmChkOut* a = openSettlement(ma, Guest);
    QVERIFY(a);
    pressAccessKey(a, Qt::Key_T);
    atDesk("desk-B");
    FrmChkOutM mb(*m_context);
    FrmChkOut* b = openSettlement(mb, u"102"_s);
    QVERIFY(b);
    pressAccessKey(b, Qt::Key_T);
    QCOMPARE(gridColumn(b, 5).constLast(), u"3,000"_s);
    QCOMPARE(statementRows(dir()), 8 + 6);

    atDesk("desk-A");
    QVERIFY(showActive(a));
    pressAccessKey(a, Qt::Key_A);
    QCOMPARE(amountOf(a), u"9,860"_s);
    QCOMPARE(gridColumn(a, 1).size(), 8);
    a->close();
    settle();
    QCOMPARE(statementRows(dir()), 6);

    atDesk("desk-B");
    QVERIFY(showActive(b));
    pressAccessKey(b, Qt::Key_A);
    QCOMPARE(amountOf(b), u"3,000"_s);
    QCOMPARE(gridColumn(b, 1).size(), 6);
    qunsetenv("TESARO_DESK");
    QVERIFY(m_dialogs->messages().isEmpty());
}

void TestDepartApp::offeredNightsNeverTwice_data() {
    // Sales lines rung up by hand before the settlement: code and quantity.
    QTest::addColumn<QStringList>("byHand");
    // Rung up at another window while the offer is on screen.
    QTest::addColumn<QStringList>("meanwhile");
    // The lines offered on the screen: code and quantity; then those saved by the key.
    QTest::addColumn<QStringList>("offered");
    QTest::addColumn<QStringList>("saved");

    QTest::newRow("nothing rung up") << QStringList() << QStringList() << QStringList{u"101:4"_s, u"104:2"_s}
                                     << QStringList{u"101:4"_s, u"104:2"_s};
    QTest::newRow("one night by hand") << QStringList{u"101:2"_s} << QStringList()
                                       << QStringList{u"101:2"_s, u"104:2"_s} << QStringList{u"101:2"_s, u"104:2"_s};
    QTest::newRow("every night by hand") << QStringList{u"101:4"_s, u"104:2"_s} << QStringList() << QStringList()
                                         << QStringList();
    QTest::newRow("rung up meanwhile") << QStringList() << QStringList{u"101:4"_s}
                                       << QStringList{u"101:4"_s, u"104:2"_s} << QStringList{u"104:2"_s};
}

// Three guests, one a child, on 1泊2食 and the child's plan, in on 4/10 and settling on 4/12:
// two nights, 2 × 2 adult nights and 1 × 2 child nights.
void TestDepartApp::offeredNightsNeverTwice() {
    QFETCH(QStringList, byHand);
    QFETCH(QStringList, meanwhile);
    QFETCH(QStringList, offered);
    QFETCH(QStringList, saved);
    desk::Connection::open(dir(), QLatin1String(desk::DbFile::DaySalesCliants))
        ->exec(u"UPDATE CheckInCliants SET CheckInPlan = '101', CheckInChildPlan = '104', CheckInChildren = 1, "
               u"CheckInNights = 2 WHERE CheckInNO = ?"_s,
               {Guest});
    int slip = 50;
    const auto ring = [&](const QStringList& lines) {
        for (const QString& line : lines)
            ringUp(dir(), ++slip, line.section(u':', 0, 0), line.section(u':', 1).toDouble(), 12000);
    };
    ring(byHand);
    const QHash<QString, double> before{{u"101"_s, rungUp(dir(), u"101"_s)}, {u"104"_s, rungUp(dir(), u"104"_s)}};

    FrmChkOutM m(*m_context);
    FrmChkOut* w = openSettlement(m, Guest);
    QVERIFY(w);
    setDate(w, u"2024"_s, u"4"_s, u"12"_s);
    pressAccessKey(w, Qt::Key_T);
    QCOMPARE(m_dialogs->messageTexts(), QStringList());

    // Offered in the grid, without a slip number, before anything is saved.
    const auto* model = child<QTableView>(w, u"DataGrid1"_s)->model();
    QStringList shown;
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->index(row, 8).data().toString().isEmpty() && !model->index(row, 3).data().toString().isEmpty())
            shown << model->index(row, 3).data().toString();
    }
    QStringList offeredQuantities;
    for (const QString& line : offered)
        offeredQuantities << line.section(u':', 1);
    QCOMPARE(shown, offeredQuantities);
    QCOMPARE(rungUp(dir(), u"101"_s), before[u"101"_s]);
    QCOMPARE(rungUp(dir(), u"104"_s), before[u"104"_s]);
    auto* key = child<QPushButton>(w, u"CmdNights"_s);
    QCOMPARE(key->isEnabled(), !offered.isEmpty());
    if (offered.isEmpty())
        return;

    // One key confirms.
    ring(meanwhile);
    QCOMPARE(QApplication::focusWidget(), key);
    QTest::keyClick(key, Qt::Key_Return);
    QCOMPARE(m_dialogs->messageTexts(),
             meanwhile.isEmpty() ? QStringList()
                                 : QStringList{u"宿泊料が他の画面か端末で計上されました。明細を計算し直しました。"_s});
    QHash<QString, double> expected = before;
    for (const QString& line : meanwhile)
        expected[line.section(u':', 0, 0)] += line.section(u':', 1).toDouble();
    if (meanwhile.isEmpty()) {
        for (const QString& line : saved)
            expected[line.section(u':', 0, 0)] += line.section(u':', 1).toDouble();
    }
    QCOMPARE(rungUp(dir(), u"101"_s), expected[u"101"_s]);
    QCOMPARE(rungUp(dir(), u"104"_s), expected[u"104"_s]);

    // A stale offer was worked out afresh: what is still owed is offered, and the key saves it.
    if (!meanwhile.isEmpty()) {
        QCOMPARE(QApplication::focusWidget(), key);
        QTest::keyClick(key, Qt::Key_Return);
        for (const QString& line : saved)
            expected[line.section(u':', 0, 0)] += line.section(u':', 1).toDouble();
        QCOMPARE(rungUp(dir(), u"101"_s), expected[u"101"_s]);
        QCOMPARE(rungUp(dir(), u"104"_s), expected[u"104"_s]);
    }
    // Never twice: worked out again, nothing more is offered, and the bill asks nothing.
    QVERIFY(!key->isEnabled());
    pressAccessKey(w, Qt::Key_T);
    QVERIFY(!key->isEnabled());
    m_dialogs->clear();
    pressAccessKey(w, Qt::Key_A);
    QVERIFY(w->billReport());
    QCOMPARE(m_dialogs->messageTexts(), QStringList());
    QCOMPARE(rungUp(dir(), u"101"_s), 4.0);
    QCOMPARE(rungUp(dir(), u"104"_s), 2.0);
}

QTEST_MAIN(TestDepartApp)
#include "tst_departapp.moc"
