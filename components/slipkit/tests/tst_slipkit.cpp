#include "slipkit/SlipSession.h"

#include <QTest>

using namespace Qt::StringLiterals;
using slipkit::SlipHeader;
using slipkit::SlipSession;

namespace {

// Slips by number; the numbers `takenMeanwhile` are saved by another desk just before this
// one tries them.
struct Book : slipkit::SlipBook {
    QMap<qint32, SlipHeader>* slips = nullptr;
    QList<qint32> takenMeanwhile;
    int clears = 0;

    qint32 nextNumber() override { return slips->isEmpty() ? 1 : slips->lastKey() + 1; }
    slipkit::Registration registerSlip(const SlipHeader& header) override {
        if (takenMeanwhile.removeOne(header.number))
            slips->insert(header.number, {header.number, {}, u"other desk"_s, 0});
        if (slips->contains(header.number))
            return {slipkit::Registration::Outcome::NumberTaken, header.number, nextNumber()};
        slips->insert(header.number, header);
        return {slipkit::Registration::Outcome::Saved, header.number, 0};
    }
    void correctSlip(qint32 calledUp, const SlipHeader& header) override {
        slips->remove(calledUp);
        slips->insert(header.number, header);
    }
    void deleteSlip(qint32 number) override { slips->remove(number); }
    std::optional<SlipHeader> callUp(qint32 number) override {
        ++clears;
        return slips->contains(number) ? std::optional(slips->value(number)) : std::nullopt;
    }
    void clearWork() override { ++clears; }
};

} // namespace

class TestSlipKit : public QObject {
    Q_OBJECT

private slots:
    void typedNumber_data();
    void typedNumber();
    void numberTakenMeanwhile();
    void calledUpSlip();
};

void TestSlipKit::typedNumber_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("wholeOnly");
    QTest::addColumn<qint32>("number");
    QTest::newRow("plain") << u"12"_s << false << 12;
    QTest::newRow("full-width, text after it") << u"１２番"_s << true << 12;
    QTest::newRow("letters name no slip") << u"abc"_s << false << 0;
    QTest::newRow("half to even") << u"6.5"_s << false << 6;
    QTest::newRow("a fraction names no payment") << u"6.5"_s << true << 0;
    QTest::newRow("beyond 32 bits") << u"2147483648"_s << false << 0;
    QTest::newRow("the highest") << u"2147483647"_s << true << 2147483647;
}

void TestSlipKit::typedNumber() {
    QFETCH(QString, answer);
    QFETCH(bool, wholeOnly);
    QFETCH(qint32, number);
    QCOMPARE(SlipSession::typedNumber(answer, wholeOnly ? SlipSession::Typed::WholeOnly : SlipSession::Typed::Rounded),
             number);
}

// The number proposed when the window opened is taken by another desk before the save:
// the next one is proposed and tried, twice over.
void TestSlipKit::numberTakenMeanwhile() {
    QMap<qint32, SlipHeader> slips{{1, {1, {}, u"C1"_s, 0}}};
    auto book = std::make_unique<Book>();
    book->slips = &slips;
    book->takenMeanwhile = {2, 3};
    SlipSession session(std::move(book));
    QCOMPARE(session.proposeNumber(), 2);
    const SlipHeader typed{0, QDate(2026, 11, 15), u"C9"_s, 2};
    for (const qint32 next : {3, 4}) {
        const slipkit::Registration taken = session.registerSlip(typed);
        QVERIFY(!taken.saved());
        QCOMPARE(taken.nextNumber, next);
        QCOMPARE(session.number(), next);
    }
    QVERIFY(session.registerSlip(typed).saved());
    QCOMPARE(slips.value(4), (SlipHeader{4, QDate(2026, 11, 15), u"C9"_s, 2}));
    QVERIFY(!session.calledUp());
}

void TestSlipKit::calledUpSlip() {
    QMap<qint32, SlipHeader> slips{{5, {5, QDate(2024, 3, 9), u"C-12"_s, 1}}, {6, {6, {}, u"C-7"_s, 0}}};
    auto owned = std::make_unique<Book>();
    Book* book = owned.get();
    book->slips = &slips;
    SlipSession session(std::move(owned));
    session.proposeNumber();

    // A miss, and a number that names none, leave a new slip and empty the work lines.
    QVERIFY(!session.callUp(9));
    QVERIFY(!session.callUp(0));
    QCOMPARE(book->clears, 2);
    QVERIFY(!session.calledUp());
    QVERIFY(session.hasUnsavedLines(1));

    QCOMPARE(session.callUp(5)->checkInNo, u"C-12"_s);
    QVERIFY(session.calledUp());
    QCOMPARE(session.number(), 5);
    QVERIFY(!session.hasUnsavedLines(2));
    session.noteLinesEdited();
    QVERIFY(session.hasUnsavedLines(2));
    session.correct({0, QDate(2024, 3, 10), u"C-12"_s, 1});
    QCOMPARE(slips.value(5).date, QDate(2024, 3, 10));
    QVERIFY(!session.calledUp());

    session.callUp(6);
    QCOMPARE(session.remove(), 6);
    QVERIFY(!slips.contains(6));
    QCOMPARE(session.number(), 6); // the deleted number stays on screen until one is proposed
    QCOMPARE(session.proposeNumber(), 6);
}

QTEST_GUILESS_MAIN(TestSlipKit)
#include "tst_slipkit.moc"
