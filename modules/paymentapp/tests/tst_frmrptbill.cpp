#include "paymentapp/FrmRptBill.h"

#include "arrivalsvc/CheckInClass.h"
#include "calfield/DateTextBox.h"
#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/Desk.h"
#include "entry/EntryMembers.h"
#include "paymentsvc/ReciptSlp.h"
#include "report/ReportPreview.h"
#include "testsupport/WindowFixture.h"
#include "ui/DataGridModel.h"
#include "ui/DataGridView.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace desk::test;
using namespace Qt::StringLiterals;
using paymentapp::FrmRptBill;
using Answer = desk::Dialogs::Answer;

namespace {

const QString incomplete = u"入力データが不完全です。登録できません。"_s;
const QString noLines = u"入金データが不完全です。登録できません。"_s;

// Whether another program could write the file at this moment: no transaction may be
// held open behind a box the clerk is shown.
bool writableByAnother(const QString& file) {
    const QString name = u"lockprobe"_s;
    bool free = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(file);
        db.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT=0"_s);
        free = db.open();
        QSqlQuery query(db);
        free = free && query.exec(u"BEGIN IMMEDIATE"_s);
        if (free)
            query.exec(u"ROLLBACK"_s);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return free;
}

std::shared_ptr<desk::Connection> reciptFile(const QString& dir) {
    return desk::Connection::open(dir, QLatin1String(desk::DbFile::Recipt));
}

qint64 count(const QString& dir, const QString& from, const QVariantList& binds = {}) {
    return reciptFile(dir)->scalar(u"SELECT COUNT(*) FROM "_s + from, binds).toLongLong();
}

// Lines put into this desk's work table as the grid writes them.
void putLines(const QString& dir, const QList<QVariant>& amounts) {
    for (const QVariant& amount : amounts)
        reciptFile(dir)->exec(
            u"INSERT INTO BTReciptTemp (Desk, RptCode, RptName, ReciptAmount, RptRemarks) VALUES (?, '01', '現金', ?, '')"_s,
            {desk::currentDesk(), amount});
}

void checkIn(const QString& dir, const QString& number, const QString& name, const QString& room) {
    arrivalsvc::CheckInClass store;
    store.setDirPath(dir);
    store.CntDB();
    store.setCheckInNO(number);
    store.setCheckInDate(QDate(2024, 4, 1));
    store.setCheckInName(name);
    store.setCheckInRoomNo(room);
    store.Msave();
}

// A stored slip with two lines (01: 3000, 02: 5000).
void storeSlip(const QString& dir, int number, const QString& checkInNo, int kind) {
    const auto file = reciptFile(dir);
    file->exec(u"INSERT INTO BTPaymentNo (RptNO, ReciptDate, RptcheckInNo, Rptkubun) VALUES (?, ?, ?, ?)"_s,
               {number, QDate(2024, 3, 9), checkInNo, kind});
    file->exec(u"INSERT INTO BTPaymentDtl (RptNO, RptCode, ReciptAmount, RptRemarks) VALUES (?, '01', 3000, '')"_s,
               {number});
    file->exec(u"INSERT INTO BTPaymentDtl (RptNO, RptCode, ReciptAmount, RptRemarks) VALUES (?, '02', 5000, '前受')"_s,
               {number});
}

void setDate(FrmRptBill& w, const QString& y, const QString& m, const QString& d) {
    auto* date = child<calfield::DateTextBox>(&w, u"DateTextBoxRecipt"_s);
    date->setYearText(y);
    date->setMonthText(m);
    date->setDayText(d);
}

bool calledUpState(const FrmRptBill& w) {
    return !child<QPushButton>(&w, u"CmdRecord"_s)->isEnabled() &&
           child<QPushButton>(&w, u"CmdModify"_s)->isEnabled() && child<QPushButton>(&w, u"CmdDelete"_s)->isEnabled();
}

bool newEntryState(const FrmRptBill& w) {
    return child<QPushButton>(&w, u"CmdRecord"_s)->isEnabled() &&
           !child<QPushButton>(&w, u"CmdModify"_s)->isEnabled() && !child<QPushButton>(&w, u"CmdDelete"_s)->isEnabled();
}

// Keys typed into whatever has the focus (a grid cell's editor once typing opened it).
void keys(const QString& text) {
    for (const QChar c : text)
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
}

void key(Qt::Key k) {
    QTest::keyClick(QApplication::focusWidget(), k);
}

desk::DataGridView* grid(const FrmRptBill& w) {
    return child<desk::DataGridView>(&w, u"DataGrid1"_s);
}

// Types one line into the grid from its new-row line: code, Enter, remarks, Enter, amount,
// Enter — the clerk's way through a line (the item's name is passed over).
void typeLine(FrmRptBill& w, const QString& code, const QString& remarks, const QString& amount) {
    auto* view = grid(w);
    view->setFocus();
    view->setCurrentCell(view->gridModel()->lineCount(), 0);
    keys(code);
    key(Qt::Key_Return);
    keys(remarks);
    key(Qt::Key_Return);
    keys(amount);
    key(Qt::Key_Return);
}

} // namespace

class TestFrmRptBill : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void checkInLookUp_data();
    void checkInLookUp();
    void saveRefusals_data();
    void saveRefusals();
    void saveWritesSlipAndProposesNext();
    void takenNumberProposesTheNextAndKeepsLines();
    void callUpMisses_data();
    void callUpMisses();
    void callUpReplacesLinesAndCorrectionKeepsNumber();
    void correctionRefusals_data();
    void correctionRefusals();
    void deleteRemovesTheSlip();
    void receiptPrintsTheScreen();
    void receiptNeedsTheSlipSaved_data();
    void receiptNeedsTheSlipSaved();
    void receiptOfTheSlipJustSaved_data();
    void receiptOfTheSlipJustSaved();
    void openedForAGuest_data();
    void openedForAGuest();
    void unsavedLinesAreAskedAbout_data();
    void unsavedLinesAreAskedAbout();
    void totalBeyondTheBillIsTakenBack();
    void itemLookUp_data();
    void itemLookUp();
    void runningTotal();
    void keyboardOnlyDeposit();
    void linesComeBackOnTheSameDeskOnly();
    void anotherDesksLinesStayApart();

private:
    std::unique_ptr<FrmRptBill> openWindow();

    std::unique_ptr<WindowFixture> m_f;
    // The boxes shown while the payment file was locked.
    QStringList m_shownWhileLocked;
    QString dir() const { return m_f->dirPath(); }
};

void TestFrmRptBill::init() {
    qputenv("TESARO_DESK", "desk-A");
    m_f = std::make_unique<WindowFixture>();
    QVERIFY(m_f->isValid());
    m_shownWhileLocked.clear();
    m_f->dialogs().setMessageHook(
        [this, file = m_f->data().filePath(QLatin1String(desk::DbFile::Recipt))](const QString& text) {
            if (!writableByAnother(file))
                m_shownWhileLocked << text;
        });
    checkIn(dir(), u"C-12"_s, u"山田 太郎"_s, u"松の間"_s);
    // A number and a name that happen to be the letter the old stores answered "not found" with.
    checkIn(dir(), u"X"_s, u"X"_s, u"101"_s);
    desk::Connection::open(dir(), QLatin1String(desk::DbFile::Recipt))
        ->exec(u"INSERT INTO ReciptCode (RptCode, RptName, RptClass) VALUES ('88', 'X', 0)"_s);
}

void TestFrmRptBill::cleanup() {
    QCOMPARE(m_shownWhileLocked, QStringList());
    settle();
    m_f.reset();
}

std::unique_ptr<FrmRptBill> TestFrmRptBill::openWindow() {
    auto w = std::make_unique<FrmRptBill>(m_f->context());
    if (!showActive(w.get()))
        qWarning("the payment window did not become active");
    return w;
}

void TestFrmRptBill::checkInLookUp_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("room");
    QTest::addColumn<QStringList>("messages");

    QTest::newRow("known guest") << u"C-12"_s << u"山田 太郎"_s << u"松の間"_s << QStringList();
    QTest::newRow("unknown number") << u"C-99"_s << QString() << QString()
                                    << QStringList{u"チェックイン番号が見当たりません。"_s};
    QTest::newRow("empty box asks nothing") << QString() << QString() << QString() << QStringList();
    QTest::newRow("check-in numbered X") << u"X"_s << u"X"_s << u"101"_s << QStringList();
}

void TestFrmRptBill::checkInLookUp() {
    QFETCH(QString, typed);
    QFETCH(QString, name);
    QFETCH(QString, room);
    QFETCH(QStringList, messages);

    const auto w = openWindow();
    QVERIFY(typeInto(w.get(), u"txtChkInNoRecipt"_s, typed));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);

    QCOMPARE(m_f->dialogs().messageTexts(), messages);
    QCOMPARE(textOf(w.get(), u"lbNameRecipt"_s), name);
    QCOMPARE(textOf(w.get(), u"lbRoomNoRecipt"_s), room);
    if (!messages.isEmpty()) {
        QCOMPARE(m_f->dialogs().messages().constFirst().icon, desk::Dialogs::Icon::Exclamation);
        QCOMPARE(textOf(w.get(), u"txtChkInNoRecipt"_s), QString());
        QCOMPARE(QApplication::focusWidget(), child<QWidget>(w.get(), u"txtChkInNoRecipt"_s));
    }
}

void TestFrmRptBill::saveRefusals_data() {
    QTest::addColumn<QStringList>("date");
    QTest::addColumn<QString>("checkInNo");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("message");

    const QStringList april1{u"2024"_s, u"4"_s, u"1"_s};
    QTest::newRow("empty day") << QStringList{u"2024"_s, u"4"_s, QString()} << u"C-12"_s << 2 << incomplete;
    QTest::newRow("empty year") << QStringList{QString(), u"4"_s, u"1"_s} << u"C-12"_s << 2 << incomplete;
    QTest::newRow("no check-in number") << april1 << QString() << 2 << incomplete;
    QTest::newRow("no lines") << april1 << u"C-12"_s << 0 << noLines;
    QTest::newRow("no such day") << QStringList{u"2023"_s, u"2"_s, u"29"_s} << u"C-12"_s << 2
                                 << u"日付が正しくありません。"_s;
}

void TestFrmRptBill::saveRefusals() {
    QFETCH(QStringList, date);
    QFETCH(QString, checkInNo);
    QFETCH(int, lines);
    QFETCH(QString, message);

    putLines(dir(), QList<QVariant>(lines, 1000));
    const auto w = openWindow();
    setDate(*w, date[0], date[1], date[2]);
    child<QLineEdit>(w.get(), u"txtChkInNoRecipt"_s)->setText(checkInNo);
    QVERIFY(mouseClick(w.get(), u"CmdRecord"_s));

    QCOMPARE(m_f->dialogs().messageTexts(), QStringList{message});
    QCOMPARE(count(dir(), u"BTPaymentNo"_s), 0);
    QCOMPARE(count(dir(), u"BTReciptTemp"_s), lines);
    QCOMPARE(textOf(w.get(), u"lbReciptNo"_s), u"1"_s);
}

void TestFrmRptBill::saveWritesSlipAndProposesNext() {
    storeSlip(dir(), 7, u"C-1"_s, 0);
    putLines(dir(), {1000, 2500});
    const auto w = openWindow();
    QCOMPARE(textOf(w.get(), u"lbReciptNo"_s), u"8"_s);
    setDate(*w, u"2024"_s, u"4"_s, u"1"_s);
    QVERIFY(typeInto(w.get(), u"txtChkInNoRecipt"_s, u"C-12"_s));
    child<QComboBox>(w.get(), u"CmbRptClass"_s)->setCurrentIndex(1);
    pressAccessKey(w.get(), Qt::Key_T);

    QCOMPARE(m_f->dialogs().messageTexts(), QStringList());
    auto store = std::make_unique<paymentsvc::ReciptSlp>();
    store->setDirPath(dir());
    store->CntDb();
    store->setSlipNo(u"8"_s);
    store->EDsearch();
    QCOMPARE(store->SlipNo(), u"8"_s);
    QCOMPARE(store->SlipDate(), QDate(2024, 4, 1));
    QCOMPARE(store->SlipCliantCode(), u"C-12"_s);
    QCOMPARE(store->UrKubun(), qint16(1));
    QCOMPARE(count(dir(), u"BTPaymentDtl WHERE RptNO = 8"_s), 2);
    QCOMPARE(reciptFile(dir())->scalar(u"SELECT SUM(ReciptAmount) FROM BTPaymentDtl WHERE RptNO = 8"_s).toDouble(),
             3500.0);

    // A fresh entry under the next number; the kind of payment stays as chosen.
    QCOMPARE(textOf(w.get(), u"lbReciptNo"_s), u"9"_s);
    QCOMPARE(textOf(w.get(), u"txtChkInNoRecipt"_s), QString());
    QCOMPARE(textOf(w.get(), u"lbNameRecipt"_s), QString());
    QCOMPARE(textOf(w.get(), u"lbReciptTotal"_s), QString());
    QCOMPARE(textOf(w.get(), u"CmbRptClass"_s), u"掛入金"_s);
    // Today is offered for the next slip.
    QCOMPARE(child<calfield::DateTextBox>(w.get(), u"DateTextBoxRecipt"_s)->DayText(),
             QString::number(QDate::currentDate().day()));
    QVERIFY(newEntryState(*w));
    QVERIFY(textOf(w.get(), u"lbStatus"_s).contains(u"8"_s));
}

void TestFrmRptBill::takenNumberProposesTheNextAndKeepsLines() {
    putLines(dir(), {1000, 2000});
    const auto w = openWindow();
    QCOMPARE(textOf(w.get(), u"lbReciptNo"_s), u"1"_s);
    // Another desk saves number 1 while this one is typing.
    storeSlip(dir(), 1, u"C-7"_s, 0);
    setDate(*w, u"2024"_s, u"4"_s, u"1"_s);
    child<QLineEdit>(w.get(), u"txtChkInNoRecipt"_s)->setText(u"C-12"_s);
    QVERIFY(mouseClick(w.get(), u"CmdRecord"_s));

    QCOMPARE(m_f->dialogs().messages().size(), 1);
    QVERIFY(m_f->dialogs().messageTexts().constFirst().contains(u"2"_s));
    QCOMPARE(textOf(w.get(), u"lbReciptNo"_s), u"2"_s);
    QCOMPARE(count(dir(), u"BTReciptTemp"_s), 2);
    QCOMPARE(count(dir(), u"BTPaymentDtl WHERE RptNO = 1"_s), 2); // the other desk's slip untouched
    QCOMPARE(textOf(w.get(), u"txtChkInNoRecipt"_s), u"C-12"_s);

    QVERIFY(mouseClick(w.get(), u"CmdRecord"_s));
    QCOMPARE(m_f->dialogs().messages().size(), 1);
    QCOMPARE(count(dir(), u"BTPaymentNo WHERE RptcheckInNo = 'C-12' AND RptNO = 2"_s), 1);
    QCOMPARE(count(dir(), u"BTPaymentDtl WHERE RptNO = 2"_s), 2);
    QCOMPARE(count(dir(), u"BTReciptTemp"_s), 0);
}

void TestFrmRptBill::callUpMisses_data() {
    QTest::addColumn<Answer>("question");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("linesLeft");

    const QString question = u"表示されているデータが消去されます。"_s;
    QTest::newRow("No keeps the screen") << Answer::No << u"5"_s << QStringList{question} << 1;
    QTest::newRow("cancelled number") << Answer::Yes << QString() << QStringList{question} << 0;
    QTest::newRow("letters only") << Answer::Yes << u"abc"_s << QStringList{question, u"番号が見つかりません。"_s} << 0;
    QTest::newRow("unused number") << Answer::Yes << u"6"_s << QStringList{question, u"番号が見つかりません。"_s} << 0;
    QTest::newRow("twenty digits") << Answer::Yes << u"12345678901234567890"_s
                                   << QStringList{question, u"番号が見つかりません。"_s} << 0;
}

void TestFrmRptBill::callUpMisses() {
    QFETCH(Answer, question);
    QFETCH(QString, answer);
    QFETCH(QStringList, messages);
    QFETCH(int, linesLeft);

    storeSlip(dir(), 5, u"C-12"_s, 1);
    putLines(dir(), {1000});
    const auto w = openWindow();
    m_f->dialogs().pushAnswer(question);
    m_f->dialogs().pushInput(answer);
    pressAccessKey(w.get(), Qt::Key_C);

    QCOMPARE(m_f->dialogs().messageTexts(), messages);
    QCOMPARE(count(dir(), u"BTReciptTemp"_s), linesLeft);
    QVERIFY(newEntryState(*w));
}

void TestFrmRptBill::callUpReplacesLinesAndCorrectionKeepsNumber() {
    storeSlip(dir(), 5, u"C-12"_s, 2);
    storeSlip(dir(), 6, u"C-12"_s, 0);
    putLines(dir(), {111, 222, 333});
    const auto w = openWindow();
    m_f->dialogs().pushInput(u"５"_s);
    pressAccessKey(w.get(), Qt::Key_C);

    QCOMPARE(m_f->dialogs().messages().size(), 1); // the question only
    QCOMPARE(textOf(w.get(), u"lbReciptNo"_s), u"5"_s);
    QCOMPARE(textOf(w.get(), u"Label1"_s), u"5"_s);
    QCOMPARE(textOf(w.get(), u"txtChkInNoRecipt"_s), u"C-12"_s);
    QCOMPARE(textOf(w.get(), u"lbNameRecipt"_s), u"山田 太郎"_s);
    QCOMPARE(textOf(w.get(), u"CmbRptClass"_s), u"現金売"_s);
    QCOMPARE(textOf(w.get(), u"lbReciptTotal"_s), u"8,000"_s);
    const auto* date = child<calfield::DateTextBox>(w.get(), u"DateTextBoxRecipt"_s);
    QCOMPARE((QStringList{date->YearText(), date->MonthText(), date->DayText()}),
             (QStringList{u"2024"_s, u"3"_s, u"9"_s}));
    QCOMPARE(count(dir(), u"BTReciptTemp"_s), 2);
    QCOMPARE(count(dir(), u"BTReciptTemp WHERE RptNO = 5 AND RptName = '予約金'"_s), 1);
    QVERIFY(calledUpState(*w));
    QVERIFY(grid(*w)->hasFocus());

    // Change a line in the grid, add one and change the day, then correct through the access key.
    auto* view = grid(*w);
    QCOMPARE(view->gridModel()->lineCount(), 2);
    view->setFocus();
    view->setCurrentCell(1, 3);
    keys(u"9000"_s);
    key(Qt::Key_Return);
    typeLine(*w, u"01"_s, {}, u"50"_s);
    QCOMPARE(textOf(w.get(), u"lbReciptTotal"_s), u"12,050"_s);
    setDate(*w, u"2024"_s, u"3"_s, u"10"_s);
    pressAccessKey(w.get(), Qt::Key_T);

    QCOMPARE(m_f->dialogs().messages().size(), 1);
    QCOMPARE(count(dir(), u"BTPaymentNo"_s), 2);
    QCOMPARE(count(dir(), u"BTPaymentNo WHERE RptNO = 5 AND ReciptDate = '2024-03-10' AND Rptkubun = 2"_s), 1);
    QCOMPARE(reciptFile(dir())->scalar(u"SELECT SUM(ReciptAmount) FROM BTPaymentDtl WHERE RptNO = 5"_s).toDouble(),
             12050.0);
    QCOMPARE(count(dir(), u"BTPaymentDtl WHERE RptNO = 6"_s), 2);
    QCOMPARE(count(dir(), u"BTReciptTemp"_s), 0);
    QVERIFY(newEntryState(*w));
    QCOMPARE(textOf(w.get(), u"lbReciptNo"_s), u"7"_s);
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(w.get(), u"txtChkInNoRecipt"_s));
}

void TestFrmRptBill::correctionRefusals_data() {
    QTest::addColumn<QStringList>("date");
    QTest::addColumn<bool>("keepLines");
    QTest::addColumn<QString>("message");

    QTest::newRow("date emptied") << QStringList{u"2024"_s, QString(), u"9"_s} << true << incomplete;
    QTest::newRow("no such day") << QStringList{u"2024"_s, u"4"_s, u"31"_s} << true << u"日付が正しくありません。"_s;
    // A slip without lines would be a header alone: deleting is the way for that.
    QTest::newRow("every line removed") << QStringList{u"2024"_s, u"3"_s, u"9"_s} << false << noLines;
}

void TestFrmRptBill::correctionRefusals() {
    QFETCH(QStringList, date);
    QFETCH(bool, keepLines);
    QFETCH(QString, message);

    storeSlip(dir(), 5, u"C-12"_s, 1);
    const auto w = openWindow();
    m_f->dialogs().pushInput(u"5"_s);
    QVERIFY(mouseClick(w.get(), u"CmdCall"_s));
    QVERIFY(calledUpState(*w));
    if (!keepLines)
        reciptFile(dir())->exec(u"DELETE FROM BTReciptTemp"_s);
    setDate(*w, date[0], date[1], date[2]);
    m_f->dialogs().clear();
    QVERIFY(mouseClick(w.get(), u"CmdModify"_s));

    QCOMPARE(m_f->dialogs().messageTexts(), QStringList{message});
    QCOMPARE(count(dir(), u"BTPaymentNo WHERE RptNO = 5 AND ReciptDate = '2024-03-09'"_s), 1);
    QCOMPARE(count(dir(), u"BTPaymentDtl WHERE RptNO = 5"_s), 2);
    QVERIFY(calledUpState(*w));
}

void TestFrmRptBill::deleteRemovesTheSlip() {
    storeSlip(dir(), 5, u"C-12"_s, 1);
    storeSlip(dir(), 6, u"C-12"_s, 1);
    const auto w = openWindow();
    m_f->dialogs().pushInput(u"6"_s);
    QVERIFY(mouseClick(w.get(), u"CmdCall"_s));
    pressAccessKey(w.get(), Qt::Key_S);

    QCOMPARE(m_f->dialogs().messages().size(), 0); // an empty screen is called up without a question
    QCOMPARE(count(dir(), u"BTPaymentNo WHERE RptNO = 6"_s), 0);
    QCOMPARE(count(dir(), u"BTPaymentDtl WHERE RptNO = 6"_s), 0);
    QCOMPARE(count(dir(), u"BTPaymentDtl WHERE RptNO = 5"_s), 2);
    QCOMPARE(count(dir(), u"BTReciptTemp"_s), 0);
    QVERIFY(newEntryState(*w));
    QCOMPARE(textOf(w.get(), u"lbReciptNo"_s), u"6"_s);
}

void TestFrmRptBill::receiptPrintsTheScreen() {
    storeSlip(dir(), 5, u"C-12"_s, 1);
    const auto w = openWindow();
    m_f->dialogs().pushInput(u"5"_s);
    QVERIFY(mouseClick(w.get(), u"CmdCall"_s));
    pressAccessKey(w.get(), Qt::Key_A);

    auto* preview = w->findChild<desk::ReportPreview*>();
    QVERIFY(preview);
    const desk::ReportDocument& doc = preview->document();
    QCOMPARE(doc.byControl(u"Text3"_s).size(), 2);
    QCOMPARE(doc.byControl(u"Label33"_s).constFirst().text, u"8,000"_s);
    QCOMPARE(doc.byControl(u"Label5"_s).constFirst().text, u"2024/03/09"_s);
    QCOMPARE(doc.byControl(u"Label8"_s).constFirst().text, u"山田 太郎"_s);
    QCOMPARE(doc.byControl(u"Label11"_s).constFirst().text, u"掛入金"_s);
    QCOMPARE(doc.byControl(u"Label16"_s).constFirst().text, u"湯の宿 はなれ"_s);
    preview->close();
}

void TestFrmRptBill::receiptNeedsTheSlipSaved_data() {
    QTest::addColumn<bool>("calledUp");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QString>("message"); // empty: the receipt is shown

    QTest::newRow("typed, not saved")
        << false << false
        << u"登録されていない入金の領収書は印刷できません。登録した入金を呼び出して印刷してください。"_s;
    QTest::newRow("called up, changed") << true << true
                                        << u"訂正が登録されていません。訂正してから領収書を印刷してください。"_s;
    QTest::newRow("called up") << true << false << QString();
}

void TestFrmRptBill::receiptNeedsTheSlipSaved() {
    QFETCH(bool, calledUp);
    QFETCH(bool, changed);
    QFETCH(QString, message);

    storeSlip(dir(), 5, u"C-12"_s, 1);
    const auto w = openWindow();
    if (calledUp) {
        m_f->dialogs().pushInput(u"5"_s);
        pressAccessKey(w.get(), Qt::Key_C);
    }
    if (!calledUp || changed)
        typeLine(*w, u"01"_s, {}, u"1000"_s);
    m_f->dialogs().clear();
    pressAccessKey(w.get(), Qt::Key_A);

    auto* preview = w->findChild<desk::ReportPreview*>();
    QCOMPARE(preview != nullptr, message.isEmpty());
    QCOMPARE(m_f->dialogs().messageTexts(), message.isEmpty() ? QStringList() : QStringList{message});
    if (preview)
        preview->close();
}

void TestFrmRptBill::receiptOfTheSlipJustSaved_data() {
    QTest::addColumn<QString>("between"); // what the clerk does between 登録 and 領収書
    QTest::addColumn<QString>("message"); // empty: the receipt of slip 1 is shown

    const QString refused =
        u"登録されていない入金の領収書は印刷できません。登録した入金を呼び出して印刷してください。"_s;
    QTest::newRow("right after") << QString() << QString();
    QTest::newRow("another guest typed") << u"guest"_s << refused;
    QTest::newRow("screen cleared") << u"clear"_s << refused;
}

// 領収書 right after 登録 prints the slip just saved; once anything else was done it is the
// screen's receipt again, refused for a slip not saved.
void TestFrmRptBill::receiptOfTheSlipJustSaved() {
    QFETCH(QString, between);
    QFETCH(QString, message);

    const auto w = openWindow();
    keys(u"C-12"_s);
    key(Qt::Key_Tab);
    typeLine(*w, u"01"_s, {}, u"10000"_s);
    pressAccessKey(w.get(), Qt::Key_T);
    QCOMPARE(count(dir(), u"BTPaymentDtl WHERE RptNO = 1"_s), 1);
    if (between == u"guest"_s) {
        auto* box = child<QWidget>(w.get(), u"txtChkInNoRecipt"_s);
        box->setFocus();
        keys(u"C-12"_s);
    } else if (between == u"clear"_s) {
        pressAccessKey(w.get(), Qt::Key_D);
    }
    m_f->dialogs().clear();
    pressAccessKey(w.get(), Qt::Key_A);

    auto* preview = w->findChild<desk::ReportPreview*>();
    QCOMPARE(m_f->dialogs().messageTexts(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(preview != nullptr, message.isEmpty());
    if (!preview)
        return;
    const desk::ReportDocument& doc = preview->document();
    QCOMPARE(doc.byControl(u"Text3"_s).size(), 1);
    QCOMPARE(doc.byControl(u"Label33"_s).constFirst().text, u"10,000"_s);
    QCOMPARE(doc.byControl(u"Label8"_s).constFirst().text, u"山田 太郎"_s);
    QCOMPARE(doc.byControl(u"Label5"_s).constFirst().text, desk::convert::shortDateText(QDate::currentDate()));
    preview->close();
}

void TestFrmRptBill::openedForAGuest_data() {
    QTest::addColumn<bool>("whileOpen"); // handed over to the window already open
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("name"); // empty: no such guest

    QTest::newRow("window opened for the guest") << false << u"C-12"_s << u"山田 太郎"_s;
    QTest::newRow("handed to the open window") << true << u"C-12"_s << u"山田 太郎"_s;
    QTest::newRow("no such guest") << false << u"Z-9"_s << QString();
}

// A guest chosen elsewhere: the number filled and found, the keys in the first line's code;
// 01, 10,000 and 登録 make the payment, 領収書 its receipt.
void TestFrmRptBill::openedForAGuest() {
    QFETCH(bool, whileOpen);
    QFETCH(QString, number);
    QFETCH(QString, name);

    std::unique_ptr<FrmRptBill> w;
    if (whileOpen)
        w = openWindow();
    m_f->context().setValue(desk::EntryMembers::CheckInNo, number);
    if (!whileOpen)
        w = openWindow();
    QTest::qWait(1);
    QCoreApplication::processEvents();

    if (name.isEmpty()) {
        QCOMPARE(m_f->dialogs().messageTexts(), QStringList{u"チェックイン番号が見当たりません。"_s});
        QCOMPARE(QApplication::focusWidget(), child<QWidget>(w.get(), u"txtChkInNoRecipt"_s));
        return;
    }
    QCOMPARE(textOf(w.get(), u"txtChkInNoRecipt"_s), number);
    QCOMPARE(textOf(w.get(), u"lbNameRecipt"_s), name);
    QVERIFY(grid(*w)->hasFocus());
    QCOMPARE(grid(*w)->currentColumn(), 0);
    keys(u"01"_s);
    key(Qt::Key_Return);
    key(Qt::Key_Return);
    keys(u"10000"_s);
    key(Qt::Key_Return);
    pressAccessKey(w.get(), Qt::Key_T);
    pressAccessKey(w.get(), Qt::Key_A);
    QVERIFY(m_f->dialogs().messages().isEmpty());
    QCOMPARE(count(dir(), u"BTPaymentNo WHERE RptNO = 1 AND RptcheckInNo = 'C-12'"_s), 1);
    auto* preview = w->findChild<desk::ReportPreview*>();
    QVERIFY(preview);
    QCOMPARE(preview->document().byControl(u"Label33"_s).constFirst().text, u"10,000"_s);
    preview->close();
}

void TestFrmRptBill::unsavedLinesAreAskedAbout_data() {
    QTest::addColumn<bool>("byTitleBar"); // else 終わり by its access key
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<bool>("closed");

    QTest::newRow("終わり, No") << false << Answer::No << false;
    QTest::newRow("終わり, Yes") << false << Answer::Yes << true;
    QTest::newRow("title bar, No") << true << Answer::No << false;
    QTest::newRow("title bar, Yes") << true << Answer::Yes << true;
}

void TestFrmRptBill::unsavedLinesAreAskedAbout() {
    QFETCH(bool, byTitleBar);
    QFETCH(Answer, answer);
    QFETCH(bool, closed);

    const auto w = openWindow();
    typeLine(*w, u"01"_s, u"a"_s, u"1000"_s);
    m_f->dialogs().pushAnswer(answer);
    if (byTitleBar)
        w->close();
    else
        pressAccessKey(w.get(), Qt::Key_O);

    QCOMPARE(m_f->dialogs().messageTexts(), QStringList{u"登録していない明細があります。終了しますか？"_s});
    QCOMPARE(m_f->dialogs().messages().constFirst().buttons, desk::Dialogs::Buttons::YesNoDefaultNo);
    QCOMPARE(w->isVisible(), !closed);
    // Kept on screen, or gone with the window: never left for the next slip.
    QCOMPARE(count(dir(), u"BTReciptTemp"_s), closed ? 0 : 1);
}

// An amount that takes the total past what a bill holds is refused where it is typed, and
// nothing of it stays in the total or the work lines.
void TestFrmRptBill::totalBeyondTheBillIsTakenBack() {
    const auto w = openWindow();
    typeLine(*w, u"01"_s, {}, u"2000000000"_s);
    QCOMPARE(m_f->dialogs().messageTexts(), QStringList());
    typeLine(*w, u"02"_s, {}, u"200000000"_s);
    QCOMPARE(m_f->dialogs().messageTexts(), QStringList{u"入金額は合計で 2,147,483,647 円までです。"_s});
    QCOMPARE(textOf(w.get(), u"lbReciptTotal"_s), u"2,000,000,000"_s);
    QCOMPARE(grid(*w)->currentIndex().column(), 3);
    QCOMPARE(count(dir(), u"BTReciptTemp WHERE ReciptAmount > 0"_s), 1);
}

void TestFrmRptBill::itemLookUp_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("column"); // the current cell's afterwards; -1: not looked at

    // A name filled from the code is passed over.
    QTest::newRow("known item") << u"01"_s << u"現金"_s << QStringList() << 2;
    QTest::newRow("unknown item") << u"99"_s << QString()
                                  << QStringList{u"入金項目が見つかりません。やりなおしてください。"_s} << -1;
    QTest::newRow("item named X") << u"88"_s << u"X"_s << QStringList() << 2;
}

void TestFrmRptBill::itemLookUp() {
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(QStringList, messages);
    QFETCH(int, column);

    const auto w = openWindow();
    auto* view = grid(*w);
    view->setFocus();
    view->setCurrentCell(0, 0);
    keys(code);
    key(Qt::Key_Tab);

    QCOMPARE(m_f->dialogs().messageTexts(), messages);
    const desk::DataGridModel* model = view->gridModel();
    QCOMPARE(model->lineCount(), 1);
    QCOMPARE(model->cellValue(0, 0).toString(), code);
    QCOMPARE(desk::convert::textOf(model->cellValue(0, 1)), name);
    QCOMPARE(model->index(0, 1).data().toString(), name);
    if (column >= 0)
        QCOMPARE(view->currentColumn(), column);
}

void TestFrmRptBill::runningTotal() {
    const auto w = openWindow();
    typeLine(*w, u"01"_s, u"a"_s, u"1000"_s);
    typeLine(*w, u"03"_s, {}, u"2500"_s);
    typeLine(*w, u"02"_s, u"b"_s, u"500"_s);
    QCOMPARE(textOf(w.get(), u"lbReciptTotal"_s), u"4,000"_s);
    QCOMPARE(w->runningTotal(), 4000.0);
    // The amount column carries thousands separators, as its format says.
    QCOMPARE(grid(*w)->model()->index(1, 3).data().toString(), u"2,500"_s);

    // A line without an amount counts 0: the total stays a number.
    typeLine(*w, u"01"_s, u"c"_s, {});
    QCOMPARE(textOf(w.get(), u"lbReciptTotal"_s), u"4,000"_s);

    // Deleting the 2,500 line (selected with Shift+Space) takes it off.
    auto* view = grid(*w);
    view->setFocus();
    view->setCurrentCell(1, 2);
    QTest::keyClick(view, Qt::Key_Space, Qt::ShiftModifier);
    QTest::keyClick(view, Qt::Key_Delete);
    QCOMPARE(textOf(w.get(), u"lbReciptTotal"_s), u"1,500"_s);
    QCOMPARE(count(dir(), u"BTReciptTemp"_s), 3);
    QCOMPARE(m_f->dialogs().messages().size(), 0);

    // The line without an amount is no payment: the slip is refused until it goes.
    child<QLineEdit>(w.get(), u"txtChkInNoRecipt"_s)->setText(u"C-12"_s);
    const QString number = textOf(w.get(), u"lbReciptNo"_s);
    pressAccessKey(w.get(), Qt::Key_T);
    QCOMPARE(m_f->dialogs().messageTexts(), QStringList{u"金額が入っていない明細があります。"_s});
    QCOMPARE(count(dir(), u"BTPaymentNo"_s), 0);
    QCOMPARE(count(dir(), u"BTReciptTemp"_s), 3);
    view->setFocus();
    view->setCurrentCell(2, 2);
    QTest::keyClick(view, Qt::Key_Space, Qt::ShiftModifier);
    QTest::keyClick(view, Qt::Key_Delete);
    m_f->dialogs().clear();
    pressAccessKey(w.get(), Qt::Key_T);
    QCOMPARE(m_f->dialogs().messages().size(), 0);

    // Saved and called up again, the receipt prints the lines and their total.
    m_f->dialogs().pushInput(number);
    pressAccessKey(w.get(), Qt::Key_C);
    pressAccessKey(w.get(), Qt::Key_A);
    auto* preview = w->findChild<desk::ReportPreview*>();
    QVERIFY(preview);
    QCOMPARE(preview->document().byControl(u"Label33"_s).constFirst().text, u"1,500"_s);
    QCOMPARE(preview->document().byControl(u"Text3"_s).size(), 2);
    preview->close();
}

void TestFrmRptBill::keyboardOnlyDeposit() {
    const auto w = openWindow();
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(w.get(), u"txtChkInNoRecipt"_s));
    keys(u"C-12"_s);
    key(Qt::Key_Tab);
    QCOMPARE(textOf(w.get(), u"lbNameRecipt"_s), u"山田 太郎"_s);
    keys(u"2024"_s);
    key(Qt::Key_Tab);
    keys(u"4"_s);
    key(Qt::Key_Tab);
    keys(u"1"_s);
    key(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(w.get(), u"CmbRptClass"_s));
    key(Qt::Key_Down); // 掛入金
    key(Qt::Key_Tab);
    QVERIFY(grid(*w)->hasFocus());
    keys(u"02"_s);
    key(Qt::Key_Return);
    keys(u"deposit"_s);
    key(Qt::Key_Return);
    keys(u"20000"_s);
    key(Qt::Key_Return);
    keys(u"01"_s);
    key(Qt::Key_Return);
    key(Qt::Key_Return);
    keys(u"5000"_s);
    key(Qt::Key_Return);
    QCOMPARE(textOf(w.get(), u"lbReciptTotal"_s), u"25,000"_s);
    pressAccessKey(w.get(), Qt::Key_T);

    QCOMPARE(m_f->dialogs().messageTexts(), QStringList());
    QCOMPARE(count(dir(), u"BTPaymentNo WHERE RptNO = 1 AND RptcheckInNo = 'C-12' AND Rptkubun = 1 "
                          "AND ReciptDate = '2024-04-01'"_s),
             1);
    QCOMPARE(count(dir(), u"BTPaymentDtl WHERE RptNO = 1 AND RptCode = '02' AND ReciptAmount = 20000 "
                          "AND RptRemarks = 'deposit'"_s),
             1);
    QCOMPARE(count(dir(), u"BTPaymentDtl WHERE RptNO = 1"_s), 2);
    QCOMPARE(grid(*w)->gridModel()->lineCount(), 0);
    QCOMPARE(textOf(w.get(), u"lbReciptNo"_s), u"2"_s);
}

void TestFrmRptBill::linesComeBackOnTheSameDeskOnly() {
    {
        const auto w = openWindow();
        typeLine(*w, u"01"_s, u"a"_s, u"1000"_s);
        typeLine(*w, u"02"_s, {}, u"2500"_s);
    } // the program ends without the window being closed
    {
        const auto w = openWindow();
        QCOMPARE(grid(*w)->gridModel()->lineCount(), 2);
        QCOMPARE(textOf(w.get(), u"lbReciptTotal"_s), u"3,500"_s);
        QVERIFY(textOf(w.get(), u"lbStatus"_s).contains(u"登録されていない明細が 2 行残っています。"_s));
    }
    qputenv("TESARO_DESK", "desk-B");
    {
        const auto w = openWindow();
        QCOMPARE(grid(*w)->gridModel()->lineCount(), 0);
        QCOMPARE(textOf(w.get(), u"lbReciptTotal"_s), QString());
        pressAccessKey(w.get(), Qt::Key_O); // 終わり empties this desk's lines only
    }
    qputenv("TESARO_DESK", "desk-A");
    QCOMPARE(count(dir(), u"BTReciptTemp WHERE Desk = 'desk-A'"_s), 2);
}

void TestFrmRptBill::anotherDesksLinesStayApart() {
    const auto w = openWindow();
    typeLine(*w, u"01"_s, u"a"_s, u"1000"_s);
    // Another desk is typing its own slip at the same time.
    for (int i = 0; i < 3; ++i)
        reciptFile(dir())->exec(u"INSERT INTO BTReciptTemp (Desk, RptCode, RptName, ReciptAmount) "
                                "VALUES ('desk-B', '03', 'クレジットカード', 7777)"_s);
    typeLine(*w, u"02"_s, {}, u"500"_s);
    QCOMPARE(grid(*w)->gridModel()->lineCount(), 2);
    QCOMPARE(textOf(w.get(), u"lbReciptTotal"_s), u"1,500"_s);

    child<QLineEdit>(w.get(), u"txtChkInNoRecipt"_s)->setText(u"C-12"_s);
    setDate(*w, u"2024"_s, u"4"_s, u"1"_s);
    pressAccessKey(w.get(), Qt::Key_T);

    QCOMPARE(m_f->dialogs().messageTexts(), QStringList());
    QCOMPARE(count(dir(), u"BTPaymentDtl WHERE RptNO = 1"_s), 2);
    QCOMPARE(reciptFile(dir())->scalar(u"SELECT SUM(ReciptAmount) FROM BTPaymentDtl WHERE RptNO = 1"_s).toDouble(),
             1500.0);
    QCOMPARE(count(dir(), u"BTReciptTemp WHERE Desk = 'desk-B'"_s), 3);
    QCOMPARE(count(dir(), u"BTReciptTemp WHERE Desk = 'desk-A'"_s), 0);

    // The receipt of the saved slip, called up again, shows this desk's lines only.
    m_f->dialogs().pushInput(u"1"_s);
    pressAccessKey(w.get(), Qt::Key_C);
    pressAccessKey(w.get(), Qt::Key_A);
    auto* preview = w->findChild<desk::ReportPreview*>();
    QVERIFY(preview);
    QCOMPARE(preview->document().byControl(u"Text3"_s).size(), 2);
    preview->close();
}

QTEST_MAIN(TestFrmRptBill)
#include "tst_frmrptbill.moc"
