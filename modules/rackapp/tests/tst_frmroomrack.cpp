#include "rackapp/FrmRoomRack.h"
#include "rackapp/RackSheets.h"

#include "arrivalsvc/CheckInDesk.h"
#include "data/Connection.h"
#include "entry/EntryError.h"
#include "entry/EntryRegistry.h"
#include "report/Report.h"
#include "report/ReportPainter.h"
#include "report/ReportPreview.h"
#include "roomrack/RoomRackView.h"
#include "roomsvc/RoomStore.h"
#include "testsupport/WindowFixture.h"

#include <QApplication>
#include <QPdfWriter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using roomsvc::RoomStay;
using roomsvc::RoomStore;

namespace {

const QDate today = QDate::currentDate();

void exec(const QString& dir, const char* file, const QString& statement, const QVariantList& binds = {}) {
    desk::Connection::open(dir, QLatin1String(file))->exec(statement, binds);
}

void addRoom(const QString& dir, const QString& code, const QString& floor, int capacity, int sortOrder,
             bool inService = true) {
    exec(dir, desk::DbFile::Option,
         u"INSERT INTO Rooms (RoomCode, RoomName, RoomType, Capacity, MinGuests, Floor, SortOrder, InService) "
         u"VALUES (?, '桜', '和室', ?, 1, ?, ?, ?)"_s,
         {code, capacity, floor, sortOrder, inService ? 1 : 0});
}

// A party's stay saved through the store: a reservation (number > 0) or a check-in.
qint64 addStay(const QString& dir, const QString& name, const QString& room, int fromToday, int nights, int guests,
               int reserveNo, const QString& checkInNo = {}) {
    if (reserveNo > 0)
        exec(dir, desk::DbFile::Reservation,
             u"INSERT INTO Reserve (RvNo, RvName, RvArvTime, RvRemarks1) VALUES (?, ?, '15:00', '駅まで送迎')"_s,
             {reserveNo, name});
    if (!checkInNo.isEmpty()) {
        arrivalsvc::CheckIn checkIn;
        checkIn.number = checkInNo;
        checkIn.date = today.addDays(fromToday);
        checkIn.name = name;
        checkIn.roomNo = room;
        checkIn.remarks = u"布団追加"_s;
        arrivalsvc::CheckInDesk(dir).registerCheckIn(checkIn, checkInNo);
    }
    RoomStay stay;
    stay.room = room;
    stay.firstNight = today.addDays(fromToday);
    stay.nights = nights;
    stay.guests = guests;
    stay.reservationNo = reserveNo;
    stay.checkInNo = checkInNo;
    stay.state = checkInNo.isEmpty() ? RoomStay::Reserved : RoomStay::InHouse;
    QList<RoomStay> stays{stay};
    const QString refusal = RoomStore(dir).save(stays);
    if (!refusal.isEmpty())
        qFatal("%s", qPrintable(refusal));
    return stays.constFirst().id;
}

// Every stay as the store holds it: "name room from-today nights", the room "-" for none.
QStringList storedStays(const QString& dir) {
    QStringList stays;
    for (const RoomStay& stay : RoomStore(dir).staysBetween(today.addDays(-10), today.addDays(40)))
        stays << u"%1 %2 %3 %4"_s.arg(stay.guest, stay.room.isEmpty() ? u"-"_s : stay.room,
                                      QString::number(today.daysTo(stay.firstNight)), QString::number(stay.nights));
    stays.sort();
    return stays;
}

// Keys as the clerk types them into the focused widget: "Down", "S+Right" (Shift), "C+Z"
// (Ctrl), "A+Y" (Alt), "M", "+" …
void typeKeys(QWidget* window, const QString& keys) {
    static const QHash<QString, Qt::Key> names{
        {u"Left"_s, Qt::Key_Left},     {u"Right"_s, Qt::Key_Right},  {u"Up"_s, Qt::Key_Up},
        {u"Down"_s, Qt::Key_Down},     {u"Enter"_s, Qt::Key_Return}, {u"Esc"_s, Qt::Key_Escape},
        {u"M"_s, Qt::Key_M},           {u"S"_s, Qt::Key_S},          {u"Z"_s, Qt::Key_Z},
        {u"+"_s, Qt::Key_Plus},        {u"-"_s, Qt::Key_Minus},      {u"A"_s, Qt::Key_A},
        {u"Y"_s, Qt::Key_Y},           {u"U"_s, Qt::Key_U},          {u"T"_s, Qt::Key_T},
        {u"D"_s, Qt::Key_D},           {u"J"_s, Qt::Key_J},          {u"PgUp"_s, Qt::Key_PageUp},
        {u"PgDn"_s, Qt::Key_PageDown}, {u"Home"_s, Qt::Key_Home},
    };
    for (QString key : keys.split(u' ', Qt::SkipEmptyParts)) {
        if (key.startsWith(u"A+"_s)) {
            desk::test::pressAccessKey(window, names.value(key.mid(2)));
            continue;
        }
        Qt::KeyboardModifiers modifiers;
        if (key.startsWith(u"S+"_s)) {
            modifiers = Qt::ShiftModifier;
            key = key.mid(2);
        } else if (key.startsWith(u"C+"_s)) {
            modifiers = Qt::ControlModifier;
            key = key.mid(2);
        }
        QVERIFY2(names.contains(key), qPrintable(key));
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window;
        const QString text = modifiers == Qt::NoModifier && key.size() == 1 ? key.toLower() : QString();
        QTest::sendKeyEvent(QTest::KeyAction::Click, target, names.value(key), text, modifiers);
    }
}

struct Launch {
    QString classId;
    QStringList calls;
};

class RecordingEntry : public desk::ModuleEntry {
public:
    explicit RecordingEntry(std::shared_ptr<Launch> launch)
        : m_launch(std::move(launch)) {}
    QString classId() const override { return m_launch->classId; }
    void setValue(const QString& name, const QString& value) override { m_launch->calls << name + u'=' + value; }
    void ShowForm() override { m_launch->calls << u"ShowForm"_s; }

private:
    std::shared_ptr<Launch> m_launch;
};

} // namespace

class TestFrmRoomRack : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void keys_data();
    void keys();
    void anotherDeskWasFirst();
    void movesKeepWhatAnotherDeskSaved();
    void period_data();
    void period();
    void readAgainWhenActivated();
    void opens_data();
    void opens();
    void autoAssign_data();
    void autoAssign();
    void papers();

private:
    std::unique_ptr<desk::test::WindowFixture> m_f;
    std::unique_ptr<rackapp::FrmRoomRack> m_window;
    desk::EntryRegistry m_registry;
    std::vector<std::shared_ptr<Launch>> m_launches;
    QString m_dir;
};

// Two floors, a room out of service; two reservations in rooms from today, one without a
// room from tomorrow, and a guest in the house since yesterday.
void TestFrmRoomRack::init() {
    m_f = std::make_unique<desk::test::WindowFixture>();
    QVERIFY(m_f->isValid());
    m_dir = m_f->dirPath();
    addRoom(m_dir, u"101"_s, u"1階"_s, 2, 10);
    addRoom(m_dir, u"102"_s, u"1階"_s, 4, 20);
    addRoom(m_dir, u"201"_s, u"2階"_s, 4, 30);
    addRoom(m_dir, u"202"_s, u"2階"_s, 4, 40, false);
    addStay(m_dir, u"山田 太郎"_s, u"101"_s, 0, 2, 2, 8);
    addStay(m_dir, u"佐藤 花子"_s, u"102"_s, 0, 3, 3, 7);
    addStay(m_dir, u"鈴木 一郎"_s, QString(), 1, 2, 2, 9);
    addStay(m_dir, u"田中 一郎"_s, u"201"_s, -1, 2, 2, 0, u"W1"_s);

    m_launches.clear();
    m_registry = desk::EntryRegistry();
    m_registry.setFactory([this](const desk::EntryClass& c, const QString&) -> std::unique_ptr<desk::ModuleEntry> {
        auto launch = std::make_shared<Launch>();
        launch->classId = c.classId;
        m_launches.push_back(launch);
        return std::make_unique<RecordingEntry>(launch);
    });
    m_window = std::make_unique<rackapp::FrmRoomRack>(m_f->context(), m_registry);
    QVERIFY(desk::test::showActive(m_window.get()));
    // The rack has the keys, its cursor on the first room tonight.
    auto* rack = desk::test::child<roomrack::RoomRackView>(m_window.get(), u"Rack"_s);
    QCOMPARE(QApplication::focusWidget(), rack);
    QCOMPARE(rack->cursorRoom(), u"101"_s);
    QCOMPARE(rack->cursorDate(), today);
}

void TestFrmRoomRack::cleanup() {
    m_window.reset();
    m_f.reset();
}

void TestFrmRoomRack::keys_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QStringList>("changed"); // stays that differ from the start, as stored
    QTest::addColumn<QString>("message");

    const QString tonight = today.toString(u"M/d"_s);
    QTest::newRow("the cursor over the floors, a move saved")
        << "M Down Down Right Enter" << QStringList{u"山田 太郎 201 1 2"_s} << QString();
    QTest::newRow("an unassigned party into a room")
        << "Up Right M Down Down Down Enter" << QStringList{u"鈴木 一郎 201 1 2"_s} << QString();
    QTest::newRow("swap") << "S Down Enter" << QStringList{u"佐藤 花子 101 0 3"_s, u"山田 太郎 102 0 2"_s} << QString();
    QTest::newRow("extend") << "+" << QStringList{u"山田 太郎 101 0 3"_s} << QString();
    QTest::newRow("shorten") << "Down -" << QStringList{u"佐藤 花子 102 0 2"_s} << QString();
    QTest::newRow("a clash refused") << "M Down Enter" << QStringList()
                                     << u"102号室の%1の夜は佐藤 花子様が泊まっています。"_s.arg(tonight);
    QTest::newRow("undone with Ctrl+Z") << "+ + C+Z" << QStringList{u"山田 太郎 101 0 3"_s} << QString();
    QTest::newRow("undone with its button") << "M Down Down Right Enter A+U" << QStringList() << QString();
}

// Each change by keys is saved at once and reads back from the store so; a refusal says why
// and saves nothing.
void TestFrmRoomRack::keys() {
    QFETCH(QString, keys);
    QFETCH(QStringList, changed);
    QFETCH(QString, message);

    const QStringList before = storedStays(m_dir);
    typeKeys(m_window.get(), keys);

    QStringList after = storedStays(m_dir);
    for (const QString& stay : before)
        after.removeOne(stay);
    QCOMPARE(after, changed);
    QCOMPARE(m_f->dialogs().messageTexts(), message.isEmpty() ? QStringList() : QStringList{message});
    // The rack shows what the store holds.
    QStringList shown;
    for (const roomrack::RackStay& stay : m_window->model().stays())
        shown << u"%1 %2 %3 %4"_s.arg(stay.guest, stay.room.isEmpty() ? u"-"_s : stay.room,
                                      QString::number(today.daysTo(stay.firstNight)), QString::number(stay.nights));
    shown.sort();
    QCOMPARE(shown, storedStays(m_dir));
}

// Another desk saved a party into the room after the rack read it: the store refuses the
// move, the rack takes it back, says so, and shows the other party.
void TestFrmRoomRack::anotherDeskWasFirst() {
    addStay(m_dir, u"高橋 四郎"_s, u"201"_s, 1, 1, 1, 10);
    typeKeys(m_window.get(), u"M Down Down Right Enter"_s);

    QCOMPARE(m_f->dialogs().messageTexts(),
             QStringList{u"201号室の%1の夜は高橋 四郎様が泊まっています。"_s.arg(today.addDays(1).toString(u"M/d"_s))});
    QVERIFY(storedStays(m_dir).contains(u"山田 太郎 101 0 2"_s));
    const std::optional<roomrack::RackStay> yamada = m_window->model().stayAt(u"101"_s, today);
    QVERIFY(yamada);
    QCOMPARE(yamada->guest, u"山田 太郎"_s);
    QVERIFY(m_window->model().stayAt(u"201"_s, today.addDays(1)));
    // The refused move left nothing to undo: Ctrl+Z now takes back nothing else.
    QVERIFY(!m_window->model().canUndo());
}

// The rack changes rooms and nights only: a check-in another desk made after the rack read
// the stay stays a check-in when the clerk then extends it.
void TestFrmRoomRack::movesKeepWhatAnotherDeskSaved() {
    QCOMPARE(RoomStore(m_dir).checkIn(8, u"W2"_s), QString());
    typeKeys(m_window.get(), u"+"_s);
    const QList<RoomStay> stays = RoomStore(m_dir).staysOfReservation(8);
    QCOMPARE(stays.size(), 1);
    QCOMPARE(stays.constFirst().nights, 3);
    QCOMPARE(stays.constFirst().state, RoomStay::InHouse);
    QCOMPARE(stays.constFirst().checkInNo, u"W2"_s);
    QVERIFY(m_f->dialogs().messageTexts().isEmpty());
}

void TestFrmRoomRack::period_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QDate>("typed"); // a day typed into the date box and shown by 表示
    QTest::addColumn<QDate>("firstDay");

    QTest::newRow("a week on") << "PgDn" << QDate() << today.addDays(7);
    QTest::newRow("a month on") << "C+PgDn" << QDate() << today.addMonths(1);
    QTest::newRow("two months on") << "C+PgDn C+PgDn" << QDate() << today.addMonths(2);
    QTest::newRow("back to today") << "PgDn PgDn A+T" << QDate() << today;
    QTest::newRow("a day typed") << "" << QDate(2027, 5, 1) << QDate(2027, 5, 1);
}

// Weeks, months and a typed day by keys; the stays of the new period are read.
void TestFrmRoomRack::period() {
    QFETCH(QString, keys);
    QFETCH(QDate, typed);
    QFETCH(QDate, firstDay);

    // A party beyond what the rack read at first.
    addStay(m_dir, u"遠藤 五郎"_s, u"101"_s, int(today.daysTo(firstDay)) + 2, 1, 2, 11);
    QVERIFY(!m_window->model().stayAt(u"101"_s, firstDay.addDays(2)) || firstDay == today);
    typeKeys(m_window.get(), keys);
    if (typed.isValid()) {
        typeKeys(m_window.get(), u"A+D"_s);
        QVERIFY(desk::test::typeInto(m_window.get(), u"TextYear"_s, QString::number(typed.year())));
        QVERIFY(desk::test::typeInto(m_window.get(), u"TextMonth"_s, QString::number(typed.month())));
        QVERIFY(desk::test::typeInto(m_window.get(), u"TextDay"_s, QString::number(typed.day())));
        typeKeys(m_window.get(), u"A+J"_s);
    }
    QCOMPARE(m_window->model().firstDay(), firstDay);
    auto* rack = desk::test::child<roomrack::RoomRackView>(m_window.get(), u"Rack"_s);
    QCOMPARE(rack->cursorDate(), firstDay);
    QCOMPARE(QApplication::focusWidget(), rack);
    const std::optional<roomrack::RackStay> endo = m_window->model().stayAt(u"101"_s, firstDay.addDays(2));
    QVERIFY(endo);
    QCOMPARE(endo->guest, u"遠藤 五郎"_s);
}

// On files nothing is announced: the rack reads again when the clerk comes back to it,
// keeping what can be undone.
void TestFrmRoomRack::readAgainWhenActivated() {
    typeKeys(m_window.get(), u"+"_s);
    addStay(m_dir, u"高橋 四郎"_s, u"201"_s, 3, 1, 1, 10);
    QVERIFY(!m_window->model().stayAt(u"201"_s, today.addDays(3)));

    QWidget other;
    QVERIFY(desk::test::showActive(&other));
    QVERIFY(desk::test::showActive(m_window.get()));
    QVERIFY(m_window->model().stayAt(u"201"_s, today.addDays(3)));
    QVERIFY(m_window->model().canUndo());
}

void TestFrmRoomRack::opens_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("classId");
    QTest::addColumn<QString>("stay");

    using desk::StayRequest;
    QTest::newRow("a reservation") << "Enter"
                                   << "bookingapp.Class1" << StayRequest::reservation(u"8"_s).toText();
    QTest::newRow("a guest in the house") << "Down Down Enter"
                                          << "arrivalapp.Class1" << StayRequest::checkIn(u"W1"_s).toText();
    QTest::newRow("free nights: a new reservation")
        << "Right Right S+Right Enter"
        << "bookingapp.Class1" << StayRequest::newReservation(u"101"_s, today.addDays(2), 2).toText();
    QTest::newRow("free nights by the new-reservation key")
        << "Right Right S+Right A+Y"
        << "bookingapp.Class1" << StayRequest::newReservation(u"101"_s, today.addDays(2), 2).toText();
    QTest::newRow("a new reservation without a room")
        << "Up Enter"
        << "bookingapp.Class1" << StayRequest::newReservation({}, today, 1).toText();
}

// Enter opens what the cursor is on, in the window that owns it, as the main menu opens a
// module: the data path, the inn's profile, and the stay last.
void TestFrmRoomRack::opens() {
    QFETCH(QString, keys);
    QFETCH(QString, classId);
    QFETCH(QString, stay);

    typeKeys(m_window.get(), keys);
    QCOMPARE(int(m_launches.size()), 1);
    QCOMPARE(m_launches.front()->classId, classId);
    const QStringList calls = m_launches.front()->calls;
    QCOMPARE(calls.constFirst(), u"DirPath="_s + m_dir);
    QCOMPARE(calls.mid(calls.size() - 2), (QStringList{u"Stay="_s + stay, u"ShowForm"_s}));
    QVERIFY(m_f->dialogs().messageTexts().isEmpty());
}

void TestFrmRoomRack::autoAssign_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("changed");

    QTest::newRow("confirmed with Enter") << "Enter" << QStringList{u"鈴木 一郎 201 1 2"_s};
    QTest::newRow("taken back with Esc") << "Esc" << QStringList();
}

// The assignment shows on the rack first and is saved only when the clerk confirms it.
void TestFrmRoomRack::autoAssign() {
    QFETCH(QString, answer);
    QFETCH(QStringList, changed);

    const QStringList before = storedStays(m_dir);
    typeKeys(m_window.get(), u"A+A"_s);
    QVERIFY(m_window->model().hasProposal());
    QCOMPARE(m_window->model().proposal().constFirst().room, u"201"_s);
    QCOMPARE(storedStays(m_dir), before);

    typeKeys(m_window.get(), answer);
    QVERIFY(!m_window->model().hasProposal());
    QStringList after = storedStays(m_dir);
    for (const QString& stay : before)
        after.removeOne(stay);
    QCOMPARE(after, changed);
    // The window is still there for the next key: Esc went to the proposal, not to closing.
    QVERIFY(m_window->isVisible());
}

// Both papers from the window's buttons: on their sheets, every text whole.
void TestFrmRoomRack::papers() {
    QTemporaryDir out;
    for (const auto& [key, title, size] : {std::tuple{Qt::Key_P, u"部屋割表"_s, QPageSize::A3},
                                           std::tuple{Qt::Key_H, u"本日の部屋割"_s, QPageSize::A4}}) {
        QVERIFY(desk::test::showActive(m_window.get()));
        desk::test::pressAccessKey(m_window.get(), key);
        desk::ReportPreview* preview = nullptr;
        for (auto* p : m_window->findChildren<desk::ReportPreview*>()) {
            if (p->document().title == title)
                preview = p;
        }
        QVERIFY2(preview, qPrintable(title + m_f->dialogs().messageTexts().join(u'\n')));
        const desk::ReportDocument doc = preview->document();
        QCOMPARE(doc.pageLayout.pageSize().id(), size);
        const QStringList texts = doc.texts();
        for (const QString& name : {u"山田 太郎"_s, u"佐藤 花子"_s, u"田中 一郎"_s})
            QVERIFY2(std::any_of(texts.begin(), texts.end(), [&](const QString& t) { return t.startsWith(name); }),
                     qPrintable(title + u' ' + name));

        QPdfWriter writer(out.filePath(title + u".pdf"_s));
        desk::ReportPainter::paint(doc, &writer);
        const QRectF page(QPointF(0, 0), doc.pageLayout.paintRect(QPageLayout::Millimeter).size());
        QFont font(desk::Report::fontFamily());
        for (const desk::ReportItem& item : doc.items) {
            if (item.kind != desk::ReportItem::Kind::Text || item.text.isEmpty())
                continue;
            QVERIFY2(page.contains(item.rect), qPrintable(item.text));
            font.setPointSizeF(item.fontSize);
            font.setBold(item.bold);
            const double k = writer.resolution() / 25.4;
            const QRectF field(item.rect.x() * k, item.rect.y() * k, item.rect.width() * k, item.rect.height() * k);
            const desk::FittedText fitted = desk::ReportPainter::fit(font, field, item.alignment, item.text, &writer);
            QCOMPARE(fitted.text, item.text);
        }
        preview->close();
        desk::test::settle();
    }
    QCOMPARE(QDir(out.path()).entryList(QDir::Files).size(), 2);
}

QTEST_MAIN(TestFrmRoomRack)
#include "tst_frmroomrack.moc"
