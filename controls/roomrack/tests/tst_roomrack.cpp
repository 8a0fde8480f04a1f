#include "roomrack/RoomAssignment.h"
#include "roomrack/RoomRackModel.h"
#include "roomrack/RoomRackView.h"

#include <QSignalSpy>
#include <QTest>

using namespace roomrack;
using namespace Qt::StringLiterals;

namespace {

const QDate may1(2026, 5, 1);

QDate night(const QString& text) {
    return QDate::fromString(QStringLiteral("2026/") + text, QStringLiteral("yyyy/M/d"));
}

QDate night(const char* text) {
    return night(QString::fromUtf8(text));
}

// Two floors, one room out of service; a stay per state, one unassigned.
QList<RackRoom> sampleRooms() {
    return {
        {QStringLiteral("101"), QStringLiteral("桜"), QStringLiteral("和室"), 2, QStringLiteral("1階"), true},
        {QStringLiteral("102"), QStringLiteral("梅"), QStringLiteral("和室"), 4, QStringLiteral("1階"), true},
        {QStringLiteral("201"), QStringLiteral("松"), QStringLiteral("洋室"), 4, QStringLiteral("2階"), true},
        {QStringLiteral("202"), QStringLiteral("竹"), QStringLiteral("洋室"), 2, QStringLiteral("2階"), false},
    };
}

QList<RackStay> sampleStays() {
    return {
        {1, QStringLiteral("101"), may1, 2, QStringLiteral("山田 太郎"), 2, QStringLiteral("1泊2食"),
         RackStay::Reserved},
        {2, QStringLiteral("102"), night(QStringLiteral("5/2")), 3, QStringLiteral("佐藤 花子"), 1,
         QStringLiteral("素泊まり"), RackStay::InHouse},
        {3, QString(), night(QStringLiteral("5/4")), 2, QStringLiteral("鈴木 一郎"), 3, QStringLiteral("朝食付"),
         RackStay::Reserved},
        {4, QStringLiteral("201"), may1, 1, QStringLiteral("田中 次郎"), 2, QString(), RackStay::CheckedOut},
        {5, QStringLiteral("102"), night(QStringLiteral("5/5")), 1, QStringLiteral("伊藤 三郎"), 2, QString(),
         RackStay::Reserved},
    };
}

// "101 5/3" is a room and a night; the empty room is written "-".
void parseCell(const QString& cell, QString& room, QDate& date) {
    const QStringList parts = cell.split(QLatin1Char(' '));
    room = parts.at(0) == QStringLiteral("-") ? QString() : parts.at(0);
    date = night(parts.at(1));
}

// Keys as the clerk types them: "Down", "S+Right" (Shift), "C+Z" (Ctrl), "M", "+" …
void typeKeys(QWidget* widget, const QString& keys) {
    static const QHash<QString, Qt::Key> names{
        {QStringLiteral("Left"), Qt::Key_Left},    {QStringLiteral("Right"), Qt::Key_Right},
        {QStringLiteral("Up"), Qt::Key_Up},        {QStringLiteral("Down"), Qt::Key_Down},
        {QStringLiteral("Enter"), Qt::Key_Return}, {QStringLiteral("Esc"), Qt::Key_Escape},
        {QStringLiteral("PgUp"), Qt::Key_PageUp},  {QStringLiteral("PgDn"), Qt::Key_PageDown},
        {QStringLiteral("M"), Qt::Key_M},          {QStringLiteral("S"), Qt::Key_S},
        {QStringLiteral("Z"), Qt::Key_Z},          {QStringLiteral("+"), Qt::Key_Plus},
        {QStringLiteral("-"), Qt::Key_Minus},
    };
    for (QString key : keys.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        Qt::KeyboardModifiers modifiers;
        if (key.startsWith(QStringLiteral("S+"))) {
            modifiers = Qt::ShiftModifier;
            key = key.mid(2);
        } else if (key.startsWith(QStringLiteral("C+"))) {
            modifiers = Qt::ControlModifier;
            key = key.mid(2);
        }
        QVERIFY2(names.contains(key), qPrintable(key));
        const Qt::Key code = names.value(key);
        const QString text = code == Qt::Key_Plus    ? QStringLiteral("+")
                             : code == Qt::Key_Minus ? QStringLiteral("-")
                             : (code == Qt::Key_M || code == Qt::Key_S || code == Qt::Key_Z) && !modifiers
                                 ? key.toLower()
                                 : QString();
        QKeyEvent press(QEvent::KeyPress, code, modifiers, text);
        QKeyEvent release(QEvent::KeyRelease, code, modifiers, text);
        QApplication::sendEvent(widget, &press);
        QApplication::sendEvent(widget, &release);
    }
}

// The stays that differ from the sample, as "id room M/d nights".
QStringList changedStays(const RoomRackModel& model) {
    QStringList changed;
    const QList<RackStay> before = sampleStays();
    for (const RackStay& stay : model.stays()) {
        const auto old = std::find_if(before.begin(), before.end(), [&](const RackStay& s) { return s.id == stay.id; });
        if (old == before.end() || !(*old == stay)) {
            changed << QStringLiteral("%1 %2 %3 %4")
                           .arg(QString::number(stay.id), stay.room.isEmpty() ? QStringLiteral("-") : stay.room,
                                stay.firstNight.toString(QStringLiteral("M/d")), QString::number(stay.nights));
        }
    }
    return changed;
}

} // namespace

class TestRoomRack : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void cursor_data();
    void cursor();
    void edits_data();
    void edits();
    void enter_data();
    void enter();
    void drag_data();
    void drag();
    void pluggableRule();
    void undoAfterReadingAgain_data();
    void undoAfterReadingAgain();
    void proposal();
    void assignment_data();
    void assignment();

private:
    RoomRackModel* m_model = nullptr;
    RoomRackView* m_view = nullptr;
};

void TestRoomRack::init() {
    m_model = new RoomRackModel;
    m_model->setRooms(sampleRooms());
    m_model->setStays(sampleStays());
    m_model->setPeriod(may1, 14);
    m_view = new RoomRackView;
    m_view->setModel(m_model);
    m_view->resize(1000, 400);
    m_view->show();
    m_view->setFocus();
    QVERIFY(QTest::qWaitForWindowExposed(m_view));
}

void TestRoomRack::cleanup() {
    delete m_view;
    delete m_model;
}

void TestRoomRack::cursor_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QDate>("firstDay");

    QTest::newRow("down a room") << "101 5/1"
                                 << "Down"
                                 << "102 5/1" << may1;
    QTest::newRow("over the floor's header") << "102 5/3"
                                             << "Down"
                                             << "201 5/3" << may1;
    QTest::newRow("up into the unassigned lane") << "101 5/3"
                                                 << "Up Up Up"
                                                 << "- 5/3" << may1;
    QTest::newRow("stops at the last room") << "201 5/1"
                                            << "Down Down Down"
                                            << "202 5/1" << may1;
    QTest::newRow("before the first day scrolls back") << "101 5/1"
                                                       << "Left"
                                                       << "101 4/30" << night("4/30");
    QTest::newRow("past the last day scrolls on") << "101 5/14"
                                                  << "Right Right"
                                                  << "101 5/16" << night("5/3");
    QTest::newRow("a week on") << "101 5/3"
                               << "PgDn"
                               << "101 5/10" << night("5/8");
    QTest::newRow("a month back") << "101 5/3"
                                  << "C+PgUp"
                                  << "101 4/3" << night("4/1");
}

void TestRoomRack::cursor() {
    QFETCH(QString, start);
    QFETCH(QString, keys);
    QFETCH(QString, cell);
    QFETCH(QDate, firstDay);

    QString room;
    QDate date;
    parseCell(start, room, date);
    m_view->setCursorCell(room, date);
    typeKeys(m_view, keys);
    parseCell(cell, room, date);
    QCOMPARE(m_view->cursorRoom(), room);
    QCOMPARE(m_view->cursorDate(), date);
    QCOMPARE(m_model->firstDay(), firstDay);
}

void TestRoomRack::edits_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QStringList>("changed");
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<int>("saves");

    const QString checkedOut = QStringLiteral("田中 次郎様はチェックアウト済みです。変更できません。");

    QTest::newRow("move to a free room, a night later")
        << "101 5/1"
        << "M Down Down Right Enter" << QStringList{u"1 201 5/2 2"_s} << QString() << 1;
    QTest::newRow("move into the unassigned lane") << "101 5/2"
                                                   << "M Up Enter" << QStringList{u"1 - 5/1 2"_s} << QString() << 1;
    QTest::newRow("move an unassigned stay to a room")
        << "- 5/4"
        << "M Down Down Down Enter" << QStringList{u"3 201 5/4 2"_s} << QString() << 1;
    QTest::newRow("move onto a taken night")
        << "101 5/1"
        << "M Down Enter" << QStringList() << QStringLiteral("102号室の5/2の夜は佐藤 花子様が泊まっています。") << 0;
    QTest::newRow("move into a room out of service")
        << "101 5/1"
        << "M Down Down Down Enter" << QStringList() << QStringLiteral("202号室は使用停止中です。") << 0;
    QTest::newRow("Esc cancels a move") << "101 5/1"
                                        << "M Down Down Esc Enter" << QStringList() << QString() << 0;
    QTest::newRow("swap two rooms") << "101 5/1"
                                    << "S Down Right Enter" << QStringList{u"1 102 5/1 2"_s, u"2 101 5/2 3"_s}
                                    << QString() << 1;
    QTest::newRow("swap with S") << "102 5/3"
                                 << "S Up Left Left S" << QStringList{u"1 102 5/1 2"_s, u"2 101 5/2 3"_s} << QString()
                                 << 1;
    QTest::newRow("swap with a checked-out stay") << "101 5/1"
                                                  << "S Down Down Enter" << QStringList() << checkedOut << 0;
    QTest::newRow("swap into a clash") << "- 5/4"
                                       << "S Down Down Enter" << QStringList()
                                       << QStringLiteral("102号室の5/5の夜は伊藤 三郎様が泊まっています。") << 0;
    QTest::newRow("extend") << "101 5/2"
                            << "+ +" << QStringList{u"1 101 5/1 4"_s} << QString() << 2;
    QTest::newRow("extend into the next stay")
        << "102 5/3"
        << "+" << QStringList() << QStringLiteral("102号室の5/5の夜は伊藤 三郎様が泊まっています。") << 0;
    QTest::newRow("shorten") << "102 5/2"
                             << "-" << QStringList{u"2 102 5/2 2"_s} << QString() << 1;
    QTest::newRow("shorten below a night") << "102 5/5"
                                           << "-" << QStringList() << QStringLiteral("1泊より短くはできません。") << 0;
    QTest::newRow("a checked-out stay stays") << "201 5/1"
                                              << "+" << QStringList() << checkedOut << 0;
    QTest::newRow("undo a move") << "101 5/1"
                                 << "M Down Down Right Enter C+Z" << QStringList() << QString() << 2;
    QTest::newRow("undo one of two") << "101 5/1"
                                     << "+ + C+Z" << QStringList{u"1 101 5/1 3"_s} << QString() << 3;
    QTest::newRow("undo a swap") << "101 5/1"
                                 << "S Down Right Enter C+Z" << QStringList() << QString() << 2;
}

void TestRoomRack::edits() {
    QFETCH(QString, start);
    QFETCH(QString, keys);
    QFETCH(QStringList, changed);
    QFETCH(QString, refusal);
    QFETCH(int, saves);

    QSignalSpy refused(m_view, &RoomRackView::refused);
    QSignalSpy applied(m_model, &RoomRackModel::changeApplied);
    QString room;
    QDate date;
    parseCell(start, room, date);
    m_view->setCursorCell(room, date);
    typeKeys(m_view, keys);

    QCOMPARE(changedStays(*m_model), changed);
    QCOMPARE(refused.isEmpty() ? QString() : refused.constLast().at(0).toString(), refusal);
    QCOMPARE(applied.size(), saves);
}

void TestRoomRack::enter_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("request");

    QTest::newRow("a stay opens") << "102 5/3"
                                  << "Enter"
                                  << "open 2";
    QTest::newRow("an unassigned stay opens") << "- 5/5"
                                              << "Enter"
                                              << "open 3";
    QTest::newRow("a free night") << "201 5/2"
                                  << "Enter"
                                  << "new 201 5/2 1";
    QTest::newRow("three nights to the right") << "201 5/2"
                                               << "S+Right S+Right Enter"
                                               << "new 201 5/2 3";
    QTest::newRow("three nights to the left") << "201 5/4"
                                              << "S+Left S+Left Enter"
                                              << "new 201 5/2 3";
    QTest::newRow("a free night in the lane") << "- 5/1"
                                              << "Enter"
                                              << "new - 5/1 1";
    QTest::newRow("moving the cursor drops the selection") << "201 5/2"
                                                           << "S+Right Right Enter"
                                                           << "new 201 5/4 1";
    QTest::newRow("selection over a stay")
        << "101 5/1"
        << "S+Right S+Right Enter"
        << "refused 選んだ夜に別の滞在があります。空いている夜だけを選んでください。";
    QTest::newRow("a room out of service") << "202 5/3"
                                           << "Enter"
                                           << "refused 202号室は使用停止中です。";
}

void TestRoomRack::enter() {
    QFETCH(QString, start);
    QFETCH(QString, keys);
    QFETCH(QString, request);

    QStringList requests;
    connect(m_view, &RoomRackView::openRequested, this,
            [&](qint64 id) { requests << QStringLiteral("open %1").arg(id); });
    connect(m_view, &RoomRackView::newRequested, this, [&](const QString& room, const QDate& first, int nights) {
        requests << QStringLiteral("new %1 %2 %3")
                        .arg(room.isEmpty() ? QStringLiteral("-") : room, first.toString(QStringLiteral("M/d")),
                             QString::number(nights));
    });
    connect(m_view, &RoomRackView::refused, this,
            [&](const QString& text) { requests << QStringLiteral("refused ") + text; });
    QString room;
    QDate date;
    parseCell(start, room, date);
    m_view->setCursorCell(room, date);
    typeKeys(m_view, keys);
    QCOMPARE(requests, QStringList{request});
    QVERIFY(m_model->stays() == sampleStays());
}

void TestRoomRack::drag_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<bool>("rightEnd");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QStringList>("changed");
    QTest::addColumn<QString>("refusal");

    QTest::newRow("to another room and night")
        << "101 5/2" << false << "201 5/4" << QStringList{u"1 201 5/3 2"_s} << QString();
    QTest::newRow("into the lane") << "102 5/3" << false << "- 5/2" << QStringList{u"2 - 5/1 3"_s} << QString();
    QTest::newRow("onto a taken night") << "101 5/1" << false << "102 5/1" << QStringList()
                                        << QStringLiteral("102号室の5/2の夜は佐藤 花子様が泊まっています。");
    QTest::newRow("the end out two nights")
        << "101 5/2" << true << "101 5/4" << QStringList{u"1 101 5/1 4"_s} << QString();
    QTest::newRow("the end back to one night")
        << "102 5/4" << true << "102 5/2" << QStringList{u"2 102 5/2 1"_s} << QString();
    QTest::newRow("a click moves nothing") << "101 5/1" << false << "101 5/1" << QStringList() << QString();
}

void TestRoomRack::drag() {
    QFETCH(QString, from);
    QFETCH(bool, rightEnd);
    QFETCH(QString, to);
    QFETCH(QStringList, changed);
    QFETCH(QString, refusal);

    QSignalSpy refused(m_view, &RoomRackView::refused);
    QString room;
    QDate date;
    parseCell(from, room, date);
    const QRect fromCell = m_view->cellRect(room, date);
    QVERIFY(!fromCell.isEmpty());
    const QPoint press = rightEnd ? QPoint(fromCell.right() - 3, fromCell.center().y()) : fromCell.center();
    parseCell(to, room, date);
    const QPoint release = m_view->cellRect(room, date).center();

    QWidget* viewport = m_view->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, press);
    QTest::mouseMove(viewport, (press + release) / 2);
    QTest::mouseMove(viewport, release);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, release);

    QCOMPARE(changedStays(*m_model), changed);
    QCOMPARE(refused.isEmpty() ? QString() : refused.constLast().at(0).toString(), refusal);
}

// The store's rules come in beside the model's own and see every stay a change touches.
void TestRoomRack::pluggableRule() {
    QList<qint64> seen;
    m_model->setRule([&](const QList<RackStay>& proposed, const RoomRackModel& model) {
        for (const RackStay& stay : proposed) {
            seen << stay.id;
            const std::optional<RackRoom> room = model.room(stay.room);
            if (room && stay.guests > room->capacity) {
                return QStringLiteral("%1号室の定員は%2名です。").arg(stay.room).arg(room->capacity);
            }
        }
        return QString();
    });
    QSignalSpy refused(m_view, &RoomRackView::refused);
    m_view->setCursorCell(QString(), night(QStringLiteral("5/4")));
    typeKeys(m_view, QStringLiteral("M Down Enter"));
    QCOMPARE(refused.size(), 1);
    QCOMPARE(refused.at(0).at(0).toString(), QStringLiteral("101号室の定員は2名です。"));
    QVERIFY(m_model->stays() == sampleStays());

    seen.clear();
    typeKeys(m_view, QStringLiteral("Left Left Left S Down Right Enter"));
    QCOMPARE(refused.size(), 1);
    QCOMPARE(seen, (QList<qint64>{1, 2}));
    QCOMPARE(changedStays(*m_model), (QStringList{u"1 102 5/1 2"_s, u"2 101 5/2 3"_s}));
}

void TestRoomRack::undoAfterReadingAgain_data() {
    QTest::addColumn<QString>("otherDesk");
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QString>("afterUndo");

    // Another desk checked the guest in meanwhile: the move is taken back, the check-in kept.
    QTest::newRow("the room put back on the stay as it is now") << "checked in" << QString() << "101 5/1 2 in house";
    QTest::newRow("the room taken meanwhile")
        << "took 101" << QStringLiteral("101号室の5/1の夜は高橋 四郎様が泊まっています。") << "201 5/2 2 reserved";
}

// The stays read again after another desk saved keep the clerk's moves undoable, and an
// undo is checked against what the other desk did.
void TestRoomRack::undoAfterReadingAgain() {
    QFETCH(QString, otherDesk);
    QFETCH(QString, refusal);
    QFETCH(QString, afterUndo);

    m_view->setCursorCell(u"101"_s, may1);
    typeKeys(m_view, QStringLiteral("M Down Down Right Enter"));
    QCOMPARE(changedStays(*m_model), QStringList{u"1 201 5/2 2"_s});

    QList<RackStay> read = m_model->stays();
    if (otherDesk == QStringLiteral("checked in")) {
        read[0].state = RackStay::InHouse;
    } else {
        read << RackStay{9, u"101"_s, may1, 1, u"高橋 四郎"_s, 1, QString(), RackStay::Reserved};
    }
    m_model->refreshStays(read);
    QVERIFY(m_model->canUndo());

    QSignalSpy refused(m_view, &RoomRackView::refused);
    typeKeys(m_view, QStringLiteral("C+Z"));
    QCOMPARE(refused.isEmpty() ? QString() : refused.constLast().at(0).toString(), refusal);
    const RackStay stay = *m_model->stay(1);
    QCOMPARE(QStringLiteral("%1 %2 %3 %4")
                 .arg(stay.room, stay.firstNight.toString(u"M/d"_s), QString::number(stay.nights),
                      stay.state == RackStay::InHouse ? u"in house"_s : u"reserved"_s),
             afterUndo);
}

// An assignment on show is accepted with Enter or taken back with Esc, and blocks changes
// meanwhile.
void TestRoomRack::proposal() {
    RackStay placed = *m_model->stay(3);
    placed.room = u"201"_s;
    m_model->setProposal({placed});
    QSignalSpy accepted(m_view, &RoomRackView::proposalAccepted);
    QSignalSpy refused(m_view, &RoomRackView::refused);
    QSignalSpy applied(m_model, &RoomRackModel::changeApplied);
    m_view->setCursorCell(u"101"_s, may1);
    typeKeys(m_view, QStringLiteral("+ M Down Enter"));
    QCOMPARE(refused.size(), 2);
    QCOMPARE(accepted.size(), 1);
    QCOMPARE(applied.size(), 0);
    QVERIFY(m_model->hasProposal());
    typeKeys(m_view, QStringLiteral("Esc"));
    QVERIFY(!m_model->hasProposal());
    QVERIFY(m_model->stays() == sampleStays());
}

void TestRoomRack::assignment_data() {
    // Stays as "id room M/d nights guests"; the room "-" for none.
    QTest::addColumn<QStringList>("stays");
    QTest::addColumn<QStringList>("placed");
    QTest::addColumn<int>("unplaced");

    QTest::newRow("the closest fit") << QStringList{u"1 - 5/1 2 1"_s} << QStringList{u"1 101 5/1 2"_s} << 0;
    QTest::newRow("the closest capacity before order")
        << QStringList{u"1 - 5/1 1 3"_s} << QStringList{u"1 103 5/1 1"_s} << 0;
    // 102 and 202 are sold to two and three at least, 203 is out of service.
    QTest::newRow("minimum guests and service")
        << QStringList{u"1 - 5/1 1 1"_s, u"7 101 5/1 1 2"_s, u"8 201 5/1 1 2"_s, u"9 103 5/1 1 1"_s} << QStringList()
        << 1;
    // The first free room night by night makes three parts; the longest free run two.
    QTest::newRow("the fewest room changes")
        << QStringList{u"1 - 5/1 4 2"_s,    u"7 101 5/3 1 2"_s,  u"8 201 5/1 1 2"_s, u"9 201 5/4 1 2"_s,
                       u"10 102 5/1 1 2"_s, u"11 103 5/1 1 2"_s, u"12 103 5/4 1 2"_s}
        << QStringList{u"1 101 5/1 2"_s, u"0 102 5/3 2"_s} << 0;
    QTest::newRow("a party keeps its room type")
        << QStringList{u"1 - 5/1 2 1"_s, u"7 101 5/2 1 1"_s, u"8 201 5/1 1 1"_s, u"9 103 5/1 1 1"_s}
        << QStringList{u"1 101 5/1 1"_s, u"0 103 5/2 1"_s} << 0;
    QTest::newRow("a night with no room leaves the party whole")
        << QStringList{u"1 - 5/1 2 2"_s, u"7 101 5/2 1 2"_s, u"8 201 5/2 1 2"_s, u"9 102 5/2 1 2"_s,
                       u"10 103 5/2 1 2"_s}
        << QStringList() << 1;
    QTest::newRow("checked out and placed stays stay")
        << QStringList{u"1 101 5/1 1 1"_s, u"2 - 5/1 1 1"_s} << QStringList{u"2 201 5/1 1"_s} << 0;
}

// Rooms for the unassigned lane: who fits where first, then as few changes of room as the
// free nights allow.
void TestRoomRack::assignment() {
    QFETCH(QStringList, stays);
    QFETCH(QStringList, placed);
    QFETCH(int, unplaced);

    const QList<RackRoom> rooms{
        {u"101"_s, u"桜"_s, u"和室"_s, 2, u"1階"_s, true, 1}, {u"102"_s, u"梅"_s, u"和室"_s, 4, u"1階"_s, true, 2},
        {u"103"_s, u"萩"_s, u"和室"_s, 3, u"1階"_s, true, 1}, {u"201"_s, u"松"_s, u"洋室"_s, 2, u"2階"_s, true, 1},
        {u"202"_s, u"竹"_s, u"洋室"_s, 5, u"2階"_s, true, 3}, {u"203"_s, u"藤"_s, u"洋室"_s, 4, u"2階"_s, false, 1},
    };
    QList<RackStay> given;
    for (const QString& text : stays) {
        const QStringList f = text.split(QLatin1Char(' '));
        given << RackStay{f.at(0).toLongLong(),
                          f.at(1) == u"-"_s ? QString() : f.at(1),
                          night(f.at(2)),
                          f.at(3).toInt(),
                          u"客"_s + f.at(0),
                          f.at(4).toInt(),
                          QString(),
                          RackStay::Reserved};
    }
    const Assignment result = assignRooms(rooms, given);
    QStringList got;
    for (const RackStay& stay : result.stays) {
        got << QStringLiteral("%1 %2 %3 %4")
                   .arg(QString::number(stay.id), stay.room, stay.firstNight.toString(u"M/d"_s),
                        QString::number(stay.nights));
    }
    QCOMPARE(got, placed);
    QCOMPARE(result.unplaced, unplaced);
    const auto waiting =
        std::count_if(stays.begin(), stays.end(), [](const QString& t) { return t.section(u' ', 1, 1) == u"-"_s; });
    QCOMPARE(result.placed, int(waiting) - unplaced);
}

QTEST_MAIN(TestRoomRack)
#include "tst_roomrack.moc"
