#include "chargesvc/SalesClass.h"
#include "chargesvc/SalesSlipBook.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/Desk.h"
#include "data/DbError.h"
#include "data/RowSet.h"
#include "testsupport/RefuseWrites.h"
#include "testsupport/TempDataDir.h"

#include <QProcess>
#include <QSqlQuery>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using chargesvc::SalesClass;

namespace {

constexpr auto WorkerVariable = "CHARGESVC_SLIP_WORKER_DIR";
constexpr int WorkerSlips = 15;

// code, quantity, unit price, service charge %, tax %
using Line = std::tuple<QString, double, double, double, double>;

std::shared_ptr<desk::Connection> salesFile(const desk::test::TempDataDir& dir) {
    return desk::Connection::open(dir.path(), QLatin1String(desk::DbFile::Sales));
}

std::unique_ptr<SalesClass> connected(const desk::test::TempDataDir& dir) {
    auto store = std::make_unique<SalesClass>();
    store->setDirPath(dir.path());
    store->CntDb();
    return store;
}

qint64 count(const desk::test::TempDataDir& dir, const QString& from) {
    return salesFile(dir)->scalar(u"SELECT COUNT(*) FROM "_s + from).toLongLong();
}

// Empty slip tables, and commodity T1 夕食 to name the lines.
void reset(const desk::test::TempDataDir& dir) {
    auto file = salesFile(dir);
    for (const auto* table : {"BTSalesNo", "BTSalesDetail", "BTTempSalesDetail"})
        file->exec(u"DELETE FROM "_s + QLatin1String(table));
    file->exec(u"DELETE FROM Commodities WHERE Ccode = 'T1'"_s);
    file->exec(u"INSERT INTO Commodities (Ccode, cname) VALUES ('T1', '夕食')"_s);
}

// The lines of the work table this desk sees.
int deskLines(const desk::test::TempDataDir& dir) {
    return desk::openDeskRows(salesFile(dir), u"BTTempSalesDetail"_s)->recordCount();
}

void putWork(const desk::test::TempDataDir& dir, const QList<Line>& lines) {
    for (const auto& [code, quantity, price, service, tax] : lines)
        salesFile(dir)->exec(u"INSERT INTO BTTempSalesDetail (BTcmcode, BTQuantity, BTUnitPrice, BTServiceFee, "
                             "BTSalesTax, Desk) VALUES (?, ?, ?, ?, ?, ?)"_s,
                             {code, quantity, price, service, tax, desk::currentDesk()});
}

void saveSlip(const desk::test::TempDataDir& dir, qint32 number, const QList<Line>& lines) {
    putWork(dir, lines);
    auto store = connected(dir);
    store->setSalesNo(number);
    store->setSalesDate(QDate(2002, 3, 1));
    store->setCheckInNO(u"C'1"_s);
    store->setSSClass(2);
    store->Msave();
    store->ClearTemp();
}

const Line OneLine{u"T1"_s, 1, 100, 0, 0};

} // namespace

class TestChargeSvc : public QObject {
    Q_OBJECT

private slots:
    void numbering_data();
    void numbering();
    void recallComputesAmounts_data();
    void recallComputesAmounts();
    void recallRestoresTheSlip();
    void recallOfUnknownSlipChangesNothing();
    void emptyWorkTable_data();
    void emptyWorkTable();
    void incompleteSlipsAreRefused_data();
    void incompleteSlipsAreRefused();
    void correctionInOneTransaction_data();
    void correctionInOneTransaction();
    void deleteTakesTheLines();
    void saveIsRefusedWhole_data();
    void saveIsRefusedWhole();
    void twoDesksSavingAtOnce();
    void linesStayWithTheirDesk_data();
    void linesStayWithTheirDesk();
    void registerUseCase_data();
    void registerUseCase();
    void callUpTakesOnlyTheSlipsLines();
};

void TestChargeSvc::numbering_data() {
    QTest::addColumn<QList<int>>("existing");
    QTest::addColumn<int>("expected");
    QTest::newRow("empty table") << QList<int>{} << 1;
    QTest::newRow("gaps are not reused") << QList<int>{1, 2, 7} << 8;
    QTest::newRow("highest stored first") << QList<int>{9, 3} << 10;
}

void TestChargeSvc::numbering() {
    QFETCH(QList<int>, existing);
    QFETCH(int, expected);
    desk::test::TempDataDir dir;
    reset(dir);
    for (int number : existing)
        saveSlip(dir, number, {OneLine});
    auto store = connected(dir);
    store->SendSalesNo();
    QCOMPARE(store->SalesNo(), expected);
}

void TestChargeSvc::recallComputesAmounts_data() {
    QTest::addColumn<Line>("line");
    QTest::addColumn<double>("subTotal1");
    QTest::addColumn<double>("subTotal2");
    QTest::newRow("service 10 tax 10") << Line{u"T1"_s, 2, 1000, 10, 10} << 2000.0 << 2420.0;
    QTest::newRow("service 10 tax 5") << Line{u"T1"_s, 2, 1000, 10, 5} << 2000.0 << 2310.0;
    QTest::newRow("kept unrounded") << Line{u"T1"_s, 1, 10, 0, 5} << 10.0 << 10.5;
    QTest::newRow("quantity 0") << Line{u"T1"_s, 0, 1000, 10, 5} << 0.0 << 0.0;
}

void TestChargeSvc::recallComputesAmounts() {
    QFETCH(Line, line);
    QFETCH(double, subTotal1);
    QFETCH(double, subTotal2);
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 4, {line});

    auto store = connected(dir);
    store->setSalesNo(4);
    store->EDsearch();
    desk::RowSet work(salesFile(dir), u"BTTempSalesDetail"_s);
    QCOMPARE(work.recordCount(), 1);
    QCOMPARE(work.value(u"BTCMname"_s).toString(), u"夕食"_s);
    QCOMPARE(work.value(u"BTSubTotal1"_s).toDouble(), subTotal1);
    QCOMPARE(work.value(u"BTSubTotal2"_s).toDouble(), subTotal2);
}

void TestChargeSvc::recallRestoresTheSlip() {
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 3, {OneLine});
    saveSlip(dir, 5, {{u"T1"_s, 2, 8000, 10, 5}, {u"T2"_s, 3, 600, 0, 5}, {u"T1"_s, 1, 500, 0, 0}});

    auto store = connected(dir);
    store->setSalesNo(5);
    store->EDsearch();
    QCOMPARE(store->SalesNo(), 5);
    QCOMPARE(store->SalesDate(), u"2002/03/01"_s);
    QCOMPARE(store->CheckInNO(), u"C'1"_s);
    QCOMPARE(store->SSClass(), qint16(2));
    QStringList lines;
    for (desk::RowSet work(salesFile(dir), u"BTTempSalesDetail"_s); !work.eof(); work.moveNext())
        lines << work.value(u"BTcmcode"_s).toString() + u'x' + work.value(u"BTQuantity"_s).toString();
    // A line whose commodity is gone still comes back.
    QCOMPARE(lines, (QStringList{u"T1x2"_s, u"T2x3"_s, u"T1x1"_s}));
}

void TestChargeSvc::recallOfUnknownSlipChangesNothing() {
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 1, {OneLine});
    putWork(dir, {OneLine});
    auto store = connected(dir);
    store->setSalesNo(42);
    store->setCheckInNO(u"前"_s);
    store->setSalesDate(QDate(2001, 1, 2));
    store->EDsearch();
    QCOMPARE(store->SalesNo(), 0);
    QCOMPARE(store->CheckInNO(), u"前"_s);
    QCOMPARE(store->SalesDate(), u"2001/01/02"_s);
    QCOMPARE(count(dir, u"BTTempSalesDetail"_s), 1);
}

void TestChargeSvc::emptyWorkTable_data() {
    QTest::addColumn<bool>("clear");
    QTest::newRow("MDsave writes no line") << false;
    QTest::newRow("ClearTemp does nothing") << true;
}

void TestChargeSvc::emptyWorkTable() {
    QFETCH(bool, clear);
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 1, {OneLine});
    auto store = connected(dir);
    store->setSalesNo(1);
    if (clear)
        store->ClearTemp();
    else
        QVERIFY_THROWS_EXCEPTION(desk::ConversionError, store->MDsave()); // and says so
    QCOMPARE(count(dir, u"BTSalesDetail"_s), 1);
    QCOMPARE(count(dir, u"BTTempSalesDetail"_s), 0);
}

// Whatever the window did, a slip is never saved without its lines or with a line that has
// no quantity: refused in the clerk's words, nothing written, the lines kept for another try.
void TestChargeSvc::incompleteSlipsAreRefused_data() {
    QTest::addColumn<bool>("correction"); // Medit, MeditD1, MDsave of slip 1; else Msave of slip 2
    QTest::addColumn<QString>("work");    // the work lines: "none", "another desk's", "no quantity"
    QTest::addColumn<QString>("message");
    const QString noLines = u"明細がありません。"_s;
    const QString noQuantity = u"数量が入っていない明細があります。"_s;
    for (const bool correction : {false, true}) {
        const QString kind = correction ? u"correction: "_s : u"new slip: "_s;
        QTest::newRow(qPrintable(kind + u"no lines"_s)) << correction << u"none"_s << noLines;
        QTest::newRow(qPrintable(kind + u"only another desk's lines"_s)) << correction << u"other"_s << noLines;
        QTest::newRow(qPrintable(kind + u"a line without quantity"_s)) << correction << u"no quantity"_s << noQuantity;
    }
}

void TestChargeSvc::incompleteSlipsAreRefused() {
    QFETCH(bool, correction);
    QFETCH(QString, work);
    QFETCH(QString, message);
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 1, {OneLine});
    if (work == u"other"_s) {
        qputenv("TESARO_DESK", "another-desk");
        putWork(dir, {OneLine});
        qunsetenv("TESARO_DESK");
    } else if (work == u"no quantity"_s) {
        putWork(dir, {OneLine});
        salesFile(dir)->exec(u"INSERT INTO BTTempSalesDetail (BTcmcode, BTUnitPrice, Desk) VALUES ('T1', 500, ?)"_s,
                             {desk::currentDesk()});
    }
    const qint64 workLines = count(dir, u"BTTempSalesDetail"_s);

    auto store = connected(dir);
    store->setSalesNo(correction ? 1 : 2);
    store->setSalesDate(QDate(2002, 3, 4));
    store->setCheckInNO(u"C900"_s);
    try {
        desk::Transaction transaction(store->connection());
        if (correction) {
            store->Medit();
            store->MeditD1();
            store->MDsave();
        } else {
            store->Msave();
        }
        transaction.commit();
        QFAIL("saved");
    } catch (const desk::ConversionError& e) {
        QCOMPARE(e.kind(), desk::ConversionError::Kind::Refused);
        QCOMPARE(e.message(), message);
    }
    QCOMPARE(count(dir, u"BTSalesNo"_s), 1);
    QCOMPARE(count(dir, u"BTSalesNo WHERE BTCheckInNo = 'C''1'"_s), 1);
    QCOMPARE(count(dir, u"BTSalesDetail WHERE BTSalesNo = 1"_s), 1);
    QCOMPARE(count(dir, u"BTTempSalesDetail"_s), workLines);
}

void TestChargeSvc::correctionInOneTransaction_data() {
    QTest::addColumn<bool>("lineRefused");
    QTest::addColumn<int>("newLines");
    QTest::addColumn<QString>("checkInNo");
    QTest::newRow("written") << false << 1 << u"C900"_s;
    QTest::newRow("undone when a line is refused") << true << 0 << u"C'1"_s;
}

void TestChargeSvc::correctionInOneTransaction() {
    QFETCH(bool, lineRefused);
    QFETCH(int, newLines);
    QFETCH(QString, checkInNo);
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 2, {OneLine, OneLine});
    saveSlip(dir, 3, {OneLine});
    putWork(dir, {{u"T1"_s, 4, 600, 10, 5}});
    if (lineRefused)
        desk::test::refuseWrites(*salesFile(dir), u"INSERT"_s, u"BTSalesDetail"_s);

    auto store = connected(dir);
    store->setSalesNo(2);
    store->setCheckInNO(u"C900"_s);
    const auto correct = [&] {
        desk::Transaction transaction(store->connection());
        store->Medit();
        store->MeditD1();
        store->MDsave();
        transaction.commit();
    };
    if (lineRefused)
        QVERIFY_THROWS_EXCEPTION(desk::DbError, correct());
    else
        correct();
    QCOMPARE(salesFile(dir)->scalar(u"SELECT BTCheckInNo FROM BTSalesNo WHERE BTSalesNo = 2"_s).toString(), checkInNo);
    QCOMPARE(count(dir, u"BTSalesDetail WHERE BTSalesNo = 2 AND BTQuantity = 4"_s), newLines);
    QCOMPARE(count(dir, u"BTSalesDetail WHERE BTSalesNo = 2"_s), lineRefused ? 2 : 1);
    QCOMPARE(count(dir, u"BTSalesDetail WHERE BTSalesNo = 3"_s), 1);
}

void TestChargeSvc::deleteTakesTheLines() {
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 1, {OneLine});
    saveSlip(dir, 2, {OneLine, OneLine});
    auto store = connected(dir);
    store->setSalesNo(2);
    store->Mdelete();
    QCOMPARE(count(dir, u"BTSalesNo"_s), 1);
    QCOMPARE(count(dir, u"BTSalesDetail"_s), 1);
    QVERIFY_THROWS_EXCEPTION(desk::DbError, connected(dir)->Mdelete()); // slip 0 does not exist
}

void TestChargeSvc::saveIsRefusedWhole_data() {
    QTest::addColumn<qint32>("number");
    QTest::addColumn<QString>("refusedWhen");
    QTest::newRow("number taken") << 6 << QString();
    QTest::newRow("second line refused") << 7 << u"NEW.BTQuantity = 2"_s;
}

void TestChargeSvc::saveIsRefusedWhole() {
    QFETCH(qint32, number);
    QFETCH(QString, refusedWhen);
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 6, {OneLine});
    if (!refusedWhen.isEmpty())
        desk::test::refuseWrites(*salesFile(dir), u"INSERT"_s, u"BTSalesDetail"_s, refusedWhen);
    putWork(dir, {{u"T1"_s, 1, 600, 0, 0}, {u"T1"_s, 2, 600, 0, 0}});
    auto store = connected(dir);
    store->setSalesNo(number);
    QVERIFY_THROWS_EXCEPTION(desk::DbError, store->Msave());
    QCOMPARE(count(dir, u"BTSalesNo"_s), 1);
    QCOMPARE(count(dir, u"BTSalesDetail"_s), 1);
    QCOMPARE(count(dir, u"BTTempSalesDetail"_s), 2); // still on screen for another try
}

// Two sales desks in two processes ring up slips at the same moment: every slip keeps
// exactly the lines its own desk typed.
void TestChargeSvc::twoDesksSavingAtOnce() {
    desk::test::TempDataDir dir;
    reset(dir);
    const QStringList desks{u"desk-A"_s, u"desk-B"_s};
    std::vector<std::unique_ptr<QProcess>> workers;
    for (const QString& name : desks) {
        auto worker = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"TESARO_DESK"_s, name);
        env.insert(QLatin1String(WorkerVariable), dir.path());
        worker->setProcessEnvironment(env);
        worker->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        worker->start(QCoreApplication::applicationFilePath(), {});
        workers.push_back(std::move(worker));
    }
    for (auto& worker : workers) {
        QVERIFY(worker->waitForFinished(120000));
        QCOMPARE(worker->exitCode(), 0);
    }

    QCOMPARE(count(dir, u"BTSalesNo"_s), 2 * WorkerSlips);
    QCOMPARE(count(dir, u"BTTempSalesDetail"_s), 0);
    // Each slip: three lines, all typed at one desk for that very slip.
    const auto file = salesFile(dir);
    QSqlQuery q(file->database());
    QVERIFY(q.exec(u"SELECT h.BTSalesNo, COUNT(d.BTcmcode), MIN(d.BTcmcode), MAX(d.BTcmcode), "
                   "MIN(substr(d.BTcmcode, 1, length(d.BTcmcode) - 2)), "
                   "MAX(substr(d.BTcmcode, 1, length(d.BTcmcode) - 2)) "
                   "FROM BTSalesNo h LEFT JOIN BTSalesDetail d ON d.BTSalesNo = h.BTSalesNo GROUP BY h.BTSalesNo"_s));
    int slips = 0;
    while (q.next()) {
        ++slips;
        QVERIFY2(q.value(1).toInt() == 3,
                 qPrintable(u"slip %1 has %2 lines"_s.arg(q.value(0).toInt()).arg(q.value(1).toInt())));
        QCOMPARE(q.value(4).toString(), q.value(5).toString());
    }
    QCOMPARE(slips, 2 * WorkerSlips);
}

// A desk sees, saves and clears only its own lines; lines left behind by a window that
// closed badly come back on the same desk and never on another. Desk names are compared
// exactly, unlike codes.
void TestChargeSvc::linesStayWithTheirDesk_data() {
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("second");
    QTest::newRow("two names") << QByteArray("desk-A") << QByteArray("desk-B");
    QTest::newRow("names differing in letter case") << QByteArray("FRONT") << QByteArray("front");
}

void TestChargeSvc::linesStayWithTheirDesk() {
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    desk::test::TempDataDir dir;
    reset(dir);
    qputenv("TESARO_DESK", first);
    putWork(dir, {{u"T1"_s, 1, 100, 0, 0}, {u"T1"_s, 2, 100, 0, 0}});
    qputenv("TESARO_DESK", second);
    putWork(dir, {{u"T1"_s, 5, 100, 0, 0}});
    {
        auto store = connected(dir);
        QCOMPARE(deskLines(dir), 1);
        store->setSalesNo(1);
        store->Msave();
        store->ClearTemp();
    }
    QCOMPARE(salesFile(dir)->scalar(u"SELECT SUM(BTQuantity) FROM BTSalesDetail"_s).toInt(), 5);
    qputenv("TESARO_DESK", first);
    {
        auto store = connected(dir);
        QCOMPARE(deskLines(dir), 2);
        store->setSalesNo(1);
        store->EDsearch(); // recalled lines join this desk's lines only
        QCOMPARE(deskLines(dir), 3);
    }
    QCOMPARE(count(dir, u"BTTempSalesDetail WHERE Desk = '%1'"_s.arg(QString::fromLatin1(second))), 0);
    qunsetenv("TESARO_DESK");
}

// One registration, one transaction: the header, the lines and the emptied work lines, or
// nothing at all with the lines kept on screen.
void TestChargeSvc::registerUseCase_data() {
    QTest::addColumn<qint32>("number");
    QTest::addColumn<Line>("line");
    QTest::addColumn<QString>("outcome"); // "saved", "taken" or the refusal
    const Line dinner{u"T1"_s, 2, 8000, 10, 10};
    QTest::newRow("saved") << 7 << dinner << u"saved"_s;
    QTest::newRow("taken by another desk: the next one proposed") << 6 << dinner << u"taken"_s;
    // Each figure fits its column; the line does not fit a bill.
    QTest::newRow("a line beyond the bill") << 7 << Line{u"T1"_s, 30000, 100000, 0, 0}
                                            << u"金額は 2,147,483,647 円までです。数量か単価を直してください。"_s;
}

void TestChargeSvc::registerUseCase() {
    QFETCH(qint32, number);
    QFETCH(Line, line);
    QFETCH(QString, outcome);
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 6, {OneLine});
    putWork(dir, {line, OneLine});

    chargesvc::SalesSlipBook book(dir.path());
    const slipkit::SlipHeader header{number, QDate(2026, 11, 15), u"C900"_s, 1};
    try {
        const slipkit::Registration result = book.registerSlip(header);
        QCOMPARE(result.saved() ? u"saved"_s : u"taken"_s, outcome);
        if (!result.saved())
            QCOMPARE(result.nextNumber, 7);
    } catch (const desk::ConversionError& e) {
        QCOMPARE(e.message(), outcome);
    }
    const bool saved = outcome == u"saved"_s;
    QCOMPARE(count(dir, u"BTSalesNo WHERE BTCheckInNo = 'C900' AND BTKubun = 1"_s), saved ? 1 : 0);
    QCOMPARE(count(dir, u"BTSalesDetail WHERE BTSalesNo = %1"_s.arg(number)), saved ? 2 : number == 6 ? 1 : 0);
    QCOMPARE(deskLines(dir), saved ? 0 : 2);
}

// A call-up empties this desk's work lines first, whether it finds its slip or not.
void TestChargeSvc::callUpTakesOnlyTheSlipsLines() {
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 3, {{u"T1"_s, 2, 1000, 10, 5}, OneLine});
    putWork(dir, {OneLine});
    chargesvc::SalesSlipBook book(dir.path());

    const std::optional<slipkit::SlipHeader> slip = book.callUp(3);
    QVERIFY(slip);
    QCOMPARE(*slip, (slipkit::SlipHeader{3, QDate(2002, 3, 1), u"C'1"_s, 2}));
    const QList<chargesvc::SalesSlipLine> lines = book.workLines();
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(0).total, 2310.0);
    QCOMPARE(chargesvc::SalesSlip({*slip, lines}).total(), 2410);

    QVERIFY(!book.callUp(4));
    QCOMPARE(deskLines(dir), 0);
}

// The worker half of twoDesksSavingAtOnce: a sales screen's save sequence, over and over.
int slipWorker(const QString& dirPath) {
    try {
        for (int slip = 0; slip < WorkerSlips; ++slip) {
            const auto fresh = [&] {
                auto store = std::make_unique<SalesClass>();
                store->setDirPath(dirPath);
                store->CntDb();
                return store;
            };
            fresh()->ClearTemp();
            {
                // The grid types three lines.
                const auto file = desk::Connection::open(dirPath, QLatin1String(desk::DbFile::Sales));
                const auto work = desk::openDeskRows(file, u"BTTempSalesDetail"_s);
                for (int line = 0; line < 3; ++line) {
                    work->addNew();
                    work->setValue(u"BTcmcode"_s, u"%1-%2-%3"_s.arg(desk::currentDesk()).arg(slip).arg(line));
                    work->setValue(u"BTQuantity"_s, 1);
                    work->update();
                }
            }
            for (int attempt = 0;; ++attempt) {
                auto store = fresh();
                store->SendSalesNo();
                store->setSalesDate(QDate(2002, 3, 1));
                store->setCheckInNO(desk::currentDesk());
                try {
                    store->Msave();
                    store->ClearTemp();
                    break;
                } catch (const desk::DbError&) {
                    // The other desk took the number first: take the next one, as the clerk would.
                    if (attempt > 50)
                        throw;
                }
            }
        }
    } catch (const std::exception& e) {
        fprintf(stderr, "slip worker: %s\n", e.what());
        return 1;
    }
    return 0;
}

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QString workerDir = qEnvironmentVariable(WorkerVariable);
    if (!workerDir.isEmpty())
        return slipWorker(workerDir);
    TestChargeSvc test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_chargesvc.moc"
