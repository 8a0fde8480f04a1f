#include "data/Connection.h"
#include "data/RowSet.h"
#include "data/Schema.h"
#include "data/Sql.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace desk;

namespace {
struct Result {
    int exitCode = -1;
    QString out;
    QString err;
};

Result deskadmin(const QStringList& args) {
    QProcess process;
    process.start(qEnvironmentVariable("DESK_BIN_DIR") + QStringLiteral("/deskadmin"), args);
    Result r;
    if (!process.waitForFinished(120000))
        return r;
    r.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    r.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(process.readAllStandardError());
    return r;
}
} // namespace

class TestDeskAdmin : public QObject {
    Q_OBJECT

private slots:
    void usageErrors_data();
    void usageErrors();
    void initCreatesFilesEveryReaderOpens_data();
    void initCreatesFilesEveryReaderOpens();
    void initRefusesExistingFiles();
};

void TestDeskAdmin::usageErrors_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("nothing") << QStringList();
    QTest::newRow("unknown command") << QStringList{QStringLiteral("create"), QStringLiteral("x")};
    QTest::newRow("init without a directory") << QStringList{QStringLiteral("init")};
    QTest::newRow("init with an unknown flag")
        << QStringList{QStringLiteral("init"), QStringLiteral("x"), QStringLiteral("--samples")};
    QTest::newRow("two directories") << QStringList{QStringLiteral("init"), QStringLiteral("a"), QStringLiteral("b")};
}

void TestDeskAdmin::usageErrors() {
    QFETCH(QStringList, args);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    const Result r = deskadmin(args);
    QCOMPARE(r.exitCode, 2);
    QVERIFY(r.err.contains(QLatin1String("Usage: deskadmin init DIR [--sample]")));
    QVERIFY(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

void TestDeskAdmin::initCreatesFilesEveryReaderOpens_data() {
    QTest::addColumn<bool>("sample");
    QTest::newRow("reference data only") << false;
    QTest::newRow("with sample") << true;
}

void TestDeskAdmin::initCreatesFilesEveryReaderOpens() {
    QFETCH(bool, sample);
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/data/");
    QStringList args{QStringLiteral("init"), path};
    if (sample)
        args << QStringLiteral("--sample");
    const Result r = deskadmin(args);
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));

    for (const QString& file : Schema::fileNames()) {
        const auto connection = Connection::open(path, file);
        for (const QString& name : connection->tableNames() + connection->viewNames()) {
            RowSet rs(connection, name);
            QVERIFY(rs.columnNames().size() >= 1);
            rs.moveLast(); // reads through whatever is there
        }
    }
    const auto reservations = Connection::open(path, QString::fromLatin1(DbFile::Reservation));
    const int today = RowSet(reservations, QStringLiteral("SELECT * FROM Reserve WHERE RvUseDate = ") +
                                               Sql::dateLiteral(QDate::currentDate()))
                          .recordCount();
    QCOMPARE(today > 0, sample);
    const auto clients = Connection::open(path, QString::fromLatin1(DbFile::DaySalesCliants));
    QCOMPARE(RowSet(clients, QStringLiteral("SELECT * FROM QRYCliantsDaySale WHERE CheckOutFlag = False")).isEmpty(),
             !sample);
    const auto profile = Connection::open(path, QString::fromLatin1(DbFile::Option));
    QCOMPARE(RowSet(profile, QStringLiteral("CompanyProfile")).recordCount(), 1);
}

void TestDeskAdmin::initRefusesExistingFiles() {
    QTemporaryDir dir;
    const QString path = dir.path() + QLatin1Char('/');
    QCOMPARE(deskadmin({QStringLiteral("init"), path}).exitCode, 0);
    {
        const auto c = Connection::open(path, QString::fromLatin1(DbFile::Sales));
        c->exec(QStringLiteral("INSERT INTO CommodityClasify (CClassCode, CClassName) VALUES ('99', 'keep')"));
    }
    const Result again = deskadmin({QStringLiteral("init"), path, QStringLiteral("--sample")});
    QCOMPARE(again.exitCode, 1);
    QVERIFY2(again.err.contains(QLatin1String("already exists")), qPrintable(again.err));
    const auto c = Connection::open(path, QString::fromLatin1(DbFile::Sales));
    QCOMPARE(c->scalar(QStringLiteral("SELECT CClassName FROM CommodityClasify WHERE CClassCode = '99'")).toString(),
             QStringLiteral("keep"));
    QVERIFY(RowSet(c, QStringLiteral("BTSalesNo")).isEmpty());
}

QTEST_GUILESS_MAIN(TestDeskAdmin)
#include "tst_deskadmin.moc"
