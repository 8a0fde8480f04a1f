#include "guestcatsvc/GuestClassLists.h"

#include "data/Connection.h"
#include "data/DbError.h"
#include "data/RowSet.h"
#include "testsupport/TempDataDir.h"

#include <QTest>

#include <memory>

using desk::test::TempDataDir;
using guestcatsvc::OptionDataClass;

namespace {

// By kind number.
const char* const tables[] = {"AgeClass", "GroupeClass", "UserClass", "PaymentClass", "ChoiceClass"};
const char* const codes[] = {"YCode", "GCode", "UCode", "PCode", "ChCode"};
const char* const names[] = {"yearclass", "Groupename", "UclassName", "PaymentName", "ChoiceName"};

std::unique_ptr<OptionDataClass> connected(const TempDataDir& dir) {
    auto store = std::make_unique<OptionDataClass>();
    store->setDirPath(dir.path());
    store->CntDb();
    return store;
}

// Every entry of every list as "table code name", in order.
QStringList allEntries(const TempDataDir& dir) {
    QStringList entries;
    auto connection = desk::Connection::open(dir.path(), QLatin1String(desk::DbFile::DaySalesCliants));
    for (int kind = 0; kind < 5; ++kind) {
        desk::RowSet rs(connection, QLatin1String(tables[kind]));
        for (rs.moveFirst(); !rs.isEmpty() && !rs.eof(); rs.moveNext())
            entries << QStringLiteral("%1 %2 %3")
                           .arg(QLatin1String(tables[kind]), rs.value(QLatin1String(codes[kind])).toString(),
                                rs.value(QLatin1String(names[kind])).toString());
    }
    return entries;
}

// The last entry of list `kind`, so a look-up has to search past the others.
QStringList lastEntry(const TempDataDir& dir, int kind) {
    const QStringList all = allEntries(dir).filter(QLatin1String(tables[kind]) + QLatin1Char(' '));
    return all.last().split(QLatin1Char(' '));
}

} // namespace

class TestGuestCatSvc : public QObject {
    Q_OBJECT

private slots:
    void displayName_data();
    void displayName();
    void lookUpSearchesForwardFromCurrentRow();
    void rename_data();
    void rename();
};

void TestGuestCatSvc::displayName_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("present");
    for (int kind = 0; kind < 5; ++kind) {
        QTest::addRow("kind %d present", kind) << kind << true;
        QTest::addRow("kind %d absent", kind) << kind << false;
    }
    QTest::newRow("kind 5") << 5 << true;
    QTest::newRow("kind -1") << -1 << true;
}

void TestGuestCatSvc::displayName() {
    QFETCH(int, kind);
    QFETCH(bool, present);
    TempDataDir dir;
    auto store = connected(dir);
    if (kind < 0 || kind > 4) {
        QCOMPARE(store->DispClassData(kind, QStringLiteral("A0")), QString());
        return;
    }
    const QStringList entry = lastEntry(dir, kind);
    if (present)
        QCOMPARE(store->DispClassData(kind, entry[1]), entry[2]);
    else
        QCOMPARE(store->DispClassData(kind, QStringLiteral("Z'")), QStringLiteral("x"));
}

void TestGuestCatSvc::lookUpSearchesForwardFromCurrentRow() {
    TempDataDir dir;
    auto store = connected(dir);
    const QStringList entry = lastEntry(dir, 0);
    desk::RowSet* rs = store->RsYear();
    QCOMPARE(rs, store->RsYear()); // the store's own row set, not a copy
    rs->moveLast();
    rs->moveNext();
    QCOMPARE(store->DispClassData(0, entry[1]), QStringLiteral("x"));
    rs->moveFirst();
    QCOMPARE(store->DispClassData(0, entry[1]), entry[2]);
    QCOMPARE(store->DispClassData(0, entry[1]), entry[2]); // found again where the last one stopped
}

void TestGuestCatSvc::rename_data() {
    QTest::addColumn<QString>("flag");
    QTest::addColumn<int>("kind");   // of the list renamed; -1 for none
    QTest::addColumn<bool>("known"); // whether CheckEditData is a code of that list
    for (int kind = 0; kind < 5; ++kind)
        QTest::addRow("flag %d", kind) << QString::number(kind) << kind << true;
    QTest::newRow("flag 9") << QStringLiteral("9") << -1 << true;
    QTest::newRow("flag empty") << QString() << -1 << true;
    QTest::newRow("flag 01") << QStringLiteral("01") << -1 << true;
    QTest::newRow("unknown code") << QStringLiteral("3") << 3 << false;
}

void TestGuestCatSvc::rename() {
    QFETCH(QString, flag);
    QFETCH(int, kind);
    QFETCH(bool, known);
    TempDataDir dir;
    QStringList expected = allEntries(dir);
    const QStringList entry = lastEntry(dir, kind < 0 ? 1 : kind);
    const QString code = known ? entry[1] : QStringLiteral("P'");
    auto store = connected(dir);
    store->setCheckFlag(flag);
    store->setCheckEditData(code);
    // Every name property holds a different text; only the chosen list's may be written.
    store->setMyAge(QStringLiteral("new0"));
    store->setMyGroupe(QStringLiteral("new1"));
    store->setMyUser(QStringLiteral("new2"));
    store->setMyPayment(QStringLiteral("new3"));
    store->setMyReason(QStringLiteral("new4"));
    if (!known) {
        QVERIFY_THROWS_EXCEPTION(desk::DbError, store->RecEdit());
    } else {
        store->RecEdit();
        if (kind >= 0)
            expected.replace(expected.indexOf(entry.join(QLatin1Char(' '))),
                             QStringLiteral("%1 %2 new%3").arg(entry[0], code).arg(kind));
    }
    QCOMPARE(allEntries(dir), expected);
}

QTEST_GUILESS_MAIN(TestGuestCatSvc)
#include "tst_guestcatsvc.moc"
