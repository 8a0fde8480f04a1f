#include "paymentsvc/PaymentSlipBook.h"
#include "paymentsvc/ReciptSlp.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/Desk.h"
#include "data/DbError.h"
#include "data/RowSet.h"
#include "testsupport/RefuseWrites.h"
#include "testsupport/TempDataDir.h"

#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using paymentsvc::ReciptSlp;

namespace {

std::shared_ptr<desk::Connection> reciptFile(const desk::test::TempDataDir& dir) {
    return desk::Connection::open(dir.path(), QLatin1String(desk::DbFile::Recipt));
}

std::unique_ptr<ReciptSlp> connected(const desk::test::TempDataDir& dir) {
    auto store = std::make_unique<ReciptSlp>();
    store->setDirPath(dir.path());
    store->CntDb();
    return store;
}

qint64 count(const desk::test::TempDataDir& dir, const QString& from) {
    return reciptFile(dir)->scalar(u"SELECT COUNT(*) FROM "_s + from).toLongLong();
}

// Empty slip tables, and payment item P1 現金 to name the lines.
void reset(const desk::test::TempDataDir& dir) {
    auto file = reciptFile(dir);
    for (const auto* table : {"BTPaymentNo", "BTPaymentDtl", "BTReciptTemp"})
        file->exec(u"DELETE FROM "_s + QLatin1String(table));
    file->exec(u"DELETE FROM ReciptCode WHERE RptCode = 'P1'"_s);
    file->exec(u"INSERT INTO ReciptCode (RptCode, RptName, RptClass) VALUES ('P1', '現金', 1)"_s);
}

void putWork(const desk::test::TempDataDir& dir, const QList<double>& amounts) {
    for (double amount : amounts)
        reciptFile(dir)->exec(u"INSERT INTO BTReciptTemp (RptCode, ReciptAmount, Desk) VALUES ('P1', ?, ?)"_s,
                              {amount, desk::currentDesk()});
}

void fill(ReciptSlp& store, const QString& number) {
    store.setSlipNo(number);
    store.setSlipDate(QDate(2002, 3, 2));
    store.setSlipCliantCode(u"C'1"_s);
    store.setUrKubun(1);
}

// As the payment screen saves: Msave, MDsave and ClearTemp in one transaction.
void saveSlip(const desk::test::TempDataDir& dir, int number, const QList<double>& amounts) {
    putWork(dir, amounts);
    auto store = connected(dir);
    fill(*store, QString::number(number));
    desk::Transaction transaction(store->connection());
    store->Msave();
    store->MDsave();
    store->ClearTemp();
    transaction.commit();
}

} // namespace

class TestPaymentSvc : public QObject {
    Q_OBJECT

private slots:
    void numbering_data();
    void numbering();
    void findByNumber_data();
    void findByNumber();
    void recallLoadsLinesWithNames();
    void recallOfUnknownSlipChangesNothing();
    void correctionReplacesLines_data();
    void correctionReplacesLines();
    void deleteTakesHeaderAndLines();
    void takenNumbersAreRefused();
    void screenSaveIsAllOrNothing();
    void incompleteSlipsAreRefused_data();
    void incompleteSlipsAreRefused();
    void correctionUseCase_data();
    void correctionUseCase();
};

void TestPaymentSvc::numbering_data() {
    QTest::addColumn<QList<int>>("existing");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty table") << QList<int>{} << u"1"_s;
    QTest::newRow("one to seven") << QList<int>{1, 2, 3, 4, 5, 6, 7} << u"8"_s;
    QTest::newRow("only seven") << QList<int>{7} << u"8"_s;
}

void TestPaymentSvc::numbering() {
    QFETCH(QList<int>, existing);
    QFETCH(QString, expected);
    desk::test::TempDataDir dir;
    reset(dir);
    for (int number : existing)
        saveSlip(dir, number, {100});
    auto store = connected(dir);
    store->SendReciptNo();
    QCOMPARE(store->SlipNo(), expected);
}

void TestPaymentSvc::findByNumber_data() {
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("disp");
    QTest::addColumn<QString>("duplicate");
    QTest::newRow("existing") << u"5"_s << u"5"_s << u"X"_s;
    QTest::newRow("missing") << u"6"_s << u""_s << u""_s;
    QTest::newRow("quote is no wildcard") << u"5' OR '1'='1"_s << u""_s << u""_s;
}

void TestPaymentSvc::findByNumber() {
    QFETCH(QString, number);
    QFETCH(QString, disp);
    QFETCH(QString, duplicate);
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 3, {100});
    saveSlip(dir, 5, {100});
    QCOMPARE(connected(dir)->DispSlip(number), disp);
    QCOMPARE(connected(dir)->DuplicateCheck(number), duplicate);
}

void TestPaymentSvc::recallLoadsLinesWithNames() {
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 4, {700});
    saveSlip(dir, 5, {10000, 5000, 250});
    auto store = connected(dir);
    store->setSlipNo(u"5"_s);
    store->EDsearch();
    QCOMPARE(store->SlipDate(), QDate(2002, 3, 2));
    QCOMPARE(store->SlipCliantCode(), u"C'1"_s);
    QCOMPARE(store->UrKubun(), qint16(1));
    QStringList lines;
    for (desk::RowSet work(reciptFile(dir), u"BTReciptTemp"_s); !work.eof(); work.moveNext())
        lines << u"%1 %2 %3"_s.arg(work.value(u"RptNO"_s).toString(), work.value(u"RptName"_s).toString(),
                                   work.value(u"ReciptAmount"_s).toString());
    QCOMPARE(lines, (QStringList{u"5 現金 10000"_s, u"5 現金 5000"_s, u"5 現金 250"_s}));
}

void TestPaymentSvc::recallOfUnknownSlipChangesNothing() {
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 1, {100});
    putWork(dir, {300});
    auto store = connected(dir);
    store->setSlipCliantCode(u"前"_s);
    store->setSlipNo(u"9"_s);
    store->EDsearch();
    QCOMPARE(store->SlipNo(), u"0"_s);
    QCOMPARE(store->SlipCliantCode(), u"前"_s);
    QCOMPARE(count(dir, u"BTReciptTemp"_s), 1);
}

void TestPaymentSvc::correctionReplacesLines_data() {
    QTest::addColumn<QString>("newNumber");
    QTest::newRow("same number") << u"2"_s;
    QTest::newRow("renumbered") << u"12"_s;
}

void TestPaymentSvc::correctionReplacesLines() {
    QFETCH(QString, newNumber);
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 2, {100, 200});
    saveSlip(dir, 3, {300});
    putWork(dir, {999});
    auto store = connected(dir);
    fill(*store, newNumber);
    store->setSlipNo2(u"2"_s);
    desk::Transaction transaction(store->connection());
    store->Medit();
    store->MeditD1();
    store->MDsave();
    transaction.commit();
    QCOMPARE(count(dir, u"BTPaymentNo"_s), 2);
    QCOMPARE(count(dir, u"BTPaymentNo WHERE RptNO = "_s + newNumber), 1);
    QCOMPARE(count(dir, u"BTPaymentDtl WHERE ReciptAmount = 999 AND RptNO = "_s + newNumber), 1);
    QCOMPARE(count(dir, u"BTPaymentDtl"_s), 2);
}

void TestPaymentSvc::deleteTakesHeaderAndLines() {
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 2, {100, 200});
    saveSlip(dir, 3, {300});
    auto store = connected(dir);
    store->setSlipNo2(u"2"_s);
    store->Mdelete();
    QCOMPARE(count(dir, u"BTPaymentNo"_s), 1);
    QCOMPARE(count(dir, u"BTPaymentDtl WHERE RptNO = 3"_s), count(dir, u"BTPaymentDtl"_s));
    store = connected(dir);
    store->setSlipNo2(u"2"_s);
    QVERIFY_THROWS_EXCEPTION(desk::DbError, store->Mdelete());
}

void TestPaymentSvc::takenNumbersAreRefused() {
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 4, {100});
    saveSlip(dir, 5, {100});
    auto store = connected(dir);
    fill(*store, u"4"_s);
    QVERIFY_THROWS_EXCEPTION(desk::DbError, store->Msave());
    store->setSlipNo2(u"5"_s); // renumbering slip 5 onto 4
    QVERIFY_THROWS_EXCEPTION(desk::DbError, store->Medit());
    QCOMPARE(count(dir, u"BTPaymentNo WHERE RptNO = 4"_s) + count(dir, u"BTPaymentNo WHERE RptNO = 5"_s), 2);
}

void TestPaymentSvc::screenSaveIsAllOrNothing() {
    desk::test::TempDataDir dir;
    reset(dir);
    putWork(dir, {100, 200});
    desk::test::refuseWrites(*reciptFile(dir), u"INSERT"_s, u"BTPaymentDtl"_s, u"NEW.ReciptAmount = 200"_s);
    auto store = connected(dir);
    fill(*store, u"1"_s);
    QVERIFY_THROWS_EXCEPTION(desk::DbError, {
        desk::Transaction transaction(store->connection());
        store->Msave();
        store->MDsave();
        transaction.commit();
    });
    QCOMPARE(count(dir, u"BTPaymentNo"_s) + count(dir, u"BTPaymentDtl"_s), 0);
    QCOMPARE(count(dir, u"BTReciptTemp"_s), 2);
}

// Whatever the window did, a slip is never saved without its lines or with a line that has
// no amount: refused in the clerk's words, nothing written, the lines kept for another try.
void TestPaymentSvc::incompleteSlipsAreRefused_data() {
    QTest::addColumn<bool>("correction"); // Medit, MeditD1, MDsave of slip 1; else Msave, MDsave of slip 2
    QTest::addColumn<QString>("work");    // the work lines: "none", "another desk's", "no amount"
    QTest::addColumn<QString>("message");
    const QString noLines = u"明細がありません。"_s;
    const QString noAmount = u"金額が入っていない明細があります。"_s;
    const QString tooMuch = u"入金額は合計で 2,147,483,647 円までです。"_s;
    for (const bool correction : {false, true}) {
        const QString kind = correction ? u"correction: "_s : u"new slip: "_s;
        QTest::newRow(qPrintable(kind + u"no lines"_s)) << correction << u"none"_s << noLines;
        QTest::newRow(qPrintable(kind + u"only another desk's lines"_s)) << correction << u"other"_s << noLines;
        QTest::newRow(qPrintable(kind + u"a line without amount"_s)) << correction << u"no amount"_s << noAmount;
        QTest::newRow(qPrintable(kind + u"a line beyond 32 bits"_s)) << correction << u"huge line"_s << tooMuch;
        QTest::newRow(qPrintable(kind + u"a total beyond 32 bits"_s)) << correction << u"huge total"_s << tooMuch;
    }
}

void TestPaymentSvc::incompleteSlipsAreRefused() {
    QFETCH(bool, correction);
    QFETCH(QString, work);
    QFETCH(QString, message);
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 1, {100});
    if (work == u"other"_s) {
        qputenv("TESARO_DESK", "another-desk");
        putWork(dir, {300});
        qunsetenv("TESARO_DESK");
    } else if (work == u"no amount"_s) {
        putWork(dir, {300});
        reciptFile(dir)->exec(u"INSERT INTO BTReciptTemp (RptCode, Desk) VALUES ('P1', ?)"_s, {desk::currentDesk()});
    } else if (work == u"huge line"_s) {
        putWork(dir, {300, 3e9});
    } else if (work == u"huge total"_s) {
        putWork(dir, {2e9, 2e9});
    }
    const qint64 workLines = count(dir, u"BTReciptTemp"_s);

    auto store = connected(dir);
    fill(*store, correction ? u"1"_s : u"2"_s);
    store->setSlipNo2(u"1"_s);
    store->setSlipCliantCode(u"C900"_s);
    try {
        desk::Transaction transaction(store->connection());
        if (correction) {
            store->Medit();
            store->MeditD1();
        } else {
            store->Msave();
        }
        store->MDsave();
        transaction.commit();
        QFAIL("saved");
    } catch (const desk::ConversionError& e) {
        QCOMPARE(e.kind(), desk::ConversionError::Kind::Refused);
        QCOMPARE(e.message(), message);
    }
    QCOMPARE(count(dir, u"BTPaymentNo"_s), 1);
    QCOMPARE(count(dir, u"BTPaymentNo WHERE RptcheckInNo = 'C''1'"_s), 1);
    QCOMPARE(count(dir, u"BTPaymentDtl WHERE RptNO = 1"_s), 1);
    QCOMPARE(count(dir, u"BTReciptTemp"_s), workLines);
}

// A correction, one transaction: header, lines and the emptied work lines, or nothing.
void TestPaymentSvc::correctionUseCase_data() {
    QTest::addColumn<qint32>("number");
    QTest::addColumn<bool>("written");
    QTest::newRow("same number") << 2 << true;
    QTest::newRow("renumbered") << 12 << true;
    QTest::newRow("renumbered onto another slip") << 3 << false;
}

void TestPaymentSvc::correctionUseCase() {
    QFETCH(qint32, number);
    QFETCH(bool, written);
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 2, {100, 200});
    saveSlip(dir, 3, {300});
    paymentsvc::PaymentSlipBook book(dir.path());
    QVERIFY(book.callUp(2));
    QCOMPARE(paymentsvc::PaymentSlip({{}, book.workLines()}).total(), 300.0);
    reciptFile(dir)->exec(u"UPDATE BTReciptTemp SET ReciptAmount = 250 WHERE ReciptAmount = 200"_s);

    const slipkit::SlipHeader header{number, QDate(2002, 3, 9), u"C-12"_s, 2};
    if (written)
        book.correctSlip(2, header);
    else
        QVERIFY_THROWS_EXCEPTION(desk::DbError, book.correctSlip(2, header));
    QCOMPARE(count(dir, u"BTPaymentNo"_s), 2);
    QCOMPARE(count(dir, u"BTPaymentNo WHERE RptcheckInNo = 'C-12' AND Rptkubun = 2 AND RptNO = %1"_s.arg(number)),
             written ? 1 : 0);
    QCOMPARE(reciptFile(dir)
                 ->scalar(u"SELECT SUM(ReciptAmount) FROM BTPaymentDtl WHERE RptNO = %1"_s.arg(number))
                 .toDouble(),
             written ? 350.0 : 300.0);
    QCOMPARE(count(dir, u"BTReciptTemp"_s), written ? 0 : 2);
}

QTEST_GUILESS_MAIN(TestPaymentSvc)
#include "tst_paymentsvc.moc"
