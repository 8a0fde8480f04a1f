#include "guestcatapp/FrmSpecOption.h"

#include "arrivalsvc/CheckInClass.h"
#include "data/Connection.h"
#include "testsupport/InputMethod.h"
#include "testsupport/WindowFixture.h"

#include <QApplication>
#include <QListWidget>
#include <QTabWidget>
#include <QTest>

using namespace desk::test;
using namespace Qt::StringLiterals;

namespace {

const char* const lists[] = {"ListAge", "ListG", "ListUse", "ListPay", "ListChoice"};
const char* const nameBoxes[] = {"txtYear", "txtGroupe", "txtUsing", "txtPayment", "txtChoice"};

QListWidget* listOf(const QWidget* window, int kind) {
    return child<QListWidget>(window, QLatin1String(lists[kind]));
}

// Clicks the entry of a list that starts with code.
bool clickEntry(const QWidget* window, int kind, const QString& code) {
    QListWidget* list = listOf(window, kind);
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->text().startsWith(code)) {
            const QRect r = list->visualItemRect(list->item(row));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
            return true;
        }
    }
    return false;
}

QStringList entries(const QWidget* window, int kind) {
    QStringList out;
    QListWidget* list = listOf(window, kind);
    for (int row = 0; row < list->count(); ++row)
        out << list->item(row)->text();
    return out;
}

QString storedName(const QString& dir, const QString& table, const QString& codeColumn, const QString& nameColumn,
                   const QString& code) {
    return desk::Connection::open(dir, QLatin1String(desk::DbFile::DaySalesCliants))
        ->scalar(u"SELECT %1 FROM %2 WHERE %3 = ?"_s.arg(nameColumn, table, codeColumn), {code})
        .toString();
}

} // namespace

class TestGuestCatApp : public QObject {
    Q_OBJECT

private slots:
    void renamingKeepsTheCodeAndNeedsAFreshChoice();
    void onlyTheCurrentTabIsCorrected();
    void addingTakesATwoCharacterCode_data();
    void addingTakesATwoCharacterCode();
    void deletionKeepsCodesInUseAndTheLastEntry();
};

void TestGuestCatApp::renamingKeepsTheCodeAndNeedsAFreshChoice() {
    WindowFixture f;
    guestcatapp::FrmSpecOption window(f.context());
    QVERIFY(showActive(&window));
    QCOMPARE(window.pos(), QPoint(0, 0));
    QCOMPARE(QApplication::focusWidget(), listOf(&window, 0));
    QCOMPARE(entries(&window, 0).value(2), u"A2 : 20代"_s);

    // Right after loading nothing is chosen: only a beep.
    pressAccessKey(&window, Qt::Key_E);
    QCOMPARE(f.dialogs().beeps(), 1);

    QVERIFY(clickEntry(&window, 0, u"A2"_s));
    QCOMPARE(textOf(&window, u"LbYearCode"_s), u"A2"_s);
    QCOMPARE(textOf(&window, u"txtYear"_s), u"20代"_s);
    QVERIFY(commitText(&window, u"txtYear"_s, u"20歳代"_s));
    pressAccessKey(&window, Qt::Key_E);
    QCOMPARE(f.dialogs().beeps(), 1);
    QCOMPARE(storedName(f.dirPath(), u"AgeClass"_s, u"YCode"_s, u"yearclass"_s, u"A2"_s), u"20歳代"_s);
    QCOMPARE(entries(&window, 0).value(2), u"A2 : 20歳代"_s);
    QCOMPARE(textOf(&window, u"LbYearCode"_s), QString());

    // The list was refilled: a second correction needs a new choice.
    QVERIFY(commitText(&window, u"txtYear"_s, u"二十代"_s));
    pressAccessKey(&window, Qt::Key_E);
    QCOMPARE(f.dialogs().beeps(), 2);
    QCOMPARE(storedName(f.dirPath(), u"AgeClass"_s, u"YCode"_s, u"yearclass"_s, u"A2"_s), u"20歳代"_s);
}

void TestGuestCatApp::onlyTheCurrentTabIsCorrected() {
    WindowFixture f;
    guestcatapp::FrmSpecOption window(f.context());
    QVERIFY(showActive(&window));
    auto* tabs = child<QTabWidget>(&window, u"SSTab1"_s);
    QVERIFY(clickEntry(&window, 0, u"A1"_s));

    // Ctrl+Tab from the name box goes to the group tab and into its list.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(tabs->currentIndex(), 1);
    QCOMPARE(QApplication::focusWidget(), listOf(&window, 1));
    QVERIFY(commitText(&window, QLatin1String(nameBoxes[1]), u"一人旅"_s));
    pressAccessKey(&window, Qt::Key_E);
    QCOMPARE(f.dialogs().beeps(), 1);
    QCOMPARE(storedName(f.dirPath(), u"AgeClass"_s, u"YCode"_s, u"yearclass"_s, u"A1"_s), u"20歳未満"_s);
    QCOMPARE(storedName(f.dirPath(), u"GroupeClass"_s, u"GCode"_s, u"Groupename"_s, u"G1"_s), u"個人"_s);

    // "取り消し" empties the current tab only.
    pressAccessKey(&window, Qt::Key_T);
    QCOMPARE(textOf(&window, QLatin1String(nameBoxes[1])), QString());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(tabs->currentIndex(), 0);
    QCOMPARE(textOf(&window, u"LbYearCode"_s), u"A1"_s);
}

void TestGuestCatApp::addingTakesATwoCharacterCode_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("offered code") << QString() << u"U5"_s << QString();
    QTest::newRow("full-width, small") << u"ｕ９"_s << u"U9"_s << QString();
    QTest::newRow("one character") << u"U"_s << QString() << u"コードは英数字2文字で入力してください。"_s;
    QTest::newRow("three characters") << u"U10"_s << QString() << u"コードは英数字2文字で入力してください。"_s;
    QTest::newRow("taken") << u"u1"_s << QString() << u"コードが重複しています。"_s;
}

void TestGuestCatApp::addingTakesATwoCharacterCode() {
    QFETCH(QString, answer);
    QFETCH(QString, code);
    QFETCH(QString, message);
    WindowFixture f;
    guestcatapp::FrmSpecOption window(f.context());
    QVERIFY(showActive(&window));
    child<QTabWidget>(&window, u"SSTab1"_s)->setCurrentIndex(2);
    const int before = listOf(&window, 2)->count();

    QVERIFY(commitText(&window, u"txtUsing"_s, u"合宿"_s));
    f.dialogs().pushInput(answer.isEmpty() ? u"U5"_s : answer);
    pressAccessKey(&window, Qt::Key_R);
    // The next free code is offered before anything is saved.
    QCOMPARE(f.dialogs().shown().value(0).defaultText, u"U5"_s);

    if (message.isEmpty()) {
        QCOMPARE(f.dialogs().messages().size(), 0);
        QCOMPARE(storedName(f.dirPath(), u"UserClass"_s, u"UCode"_s, u"UclassName"_s, code), u"合宿"_s);
        QVERIFY(entries(&window, 2).contains(code + u" : 合宿"_s));
    } else {
        QCOMPARE(f.dialogs().messageTexts(), QStringList{message});
        QCOMPARE(listOf(&window, 2)->count(), before);
        QCOMPARE(storedName(f.dirPath(), u"UserClass"_s, u"UCode"_s, u"UclassName"_s, u"U1"_s), u"観光"_s);
    }
}

void TestGuestCatApp::deletionKeepsCodesInUseAndTheLastEntry() {
    WindowFixture f;
    {
        arrivalsvc::CheckInClass checkIn;
        checkIn.setDirPath(f.dirPath());
        checkIn.CntDB();
        checkIn.setCheckInNO(u"K1"_s);
        checkIn.setCheckInDate(QDate(2024, 5, 3));
        checkIn.setCheckInName(u"山田"_s);
        checkIn.setPayClass(u"p3"_s);
        checkIn.Msave();
    }
    guestcatapp::FrmSpecOption window(f.context());
    QVERIFY(showActive(&window));
    child<QTabWidget>(&window, u"SSTab1"_s)->setCurrentIndex(3);
    const QString inUse = u"このコードはチェックインで使われています。削除できません。"_s;

    // Nothing chosen: a beep, no question.
    pressAccessKey(&window, Qt::Key_D);
    QCOMPARE(f.dialogs().beeps(), 1);
    QCOMPARE(f.dialogs().messages().size(), 0);

    // Used by the check-in (its code written in small letters): refused before any question.
    QVERIFY(clickEntry(&window, 3, u"P3"_s));
    pressAccessKey(&window, Qt::Key_D);
    QCOMPARE(f.dialogs().messageTexts(), QStringList{inUse});
    QVERIFY(entries(&window, 3).join(u'|').contains(u"P3 : "_s));

    // Unused entries go after the question, until one is left.
    for (const QString& code : {u"P4"_s, u"P2"_s, u"P1"_s, u"P0"_s}) {
        QVERIFY(clickEntry(&window, 3, code));
        f.dialogs().pushAnswer(desk::Dialogs::Answer::Ok);
        pressAccessKey(&window, Qt::Key_D);
        QCOMPARE(f.dialogs().messageTexts().last(), u"コード：%1を　削除しますか？"_s.arg(code));
    }
    QCOMPARE(entries(&window, 3), QStringList{u"P3 : 旅行会社精算"_s});

    // The last entry stays even once no check-in uses it.
    desk::Connection::open(f.dirPath(), QLatin1String(desk::DbFile::DaySalesCliants))
        ->exec(u"UPDATE CheckInClasify SET RvPayment = 'P9'"_s);
    QVERIFY(clickEntry(&window, 3, u"P3"_s));
    pressAccessKey(&window, Qt::Key_D);
    QCOMPARE(f.dialogs().messageTexts().last(), u"最後の項目は削除できません。"_s);
    QCOMPARE(storedName(f.dirPath(), u"PaymentClass"_s, u"PCode"_s, u"PaymentName"_s, u"P3"_s), u"旅行会社精算"_s);
}

QTEST_MAIN(TestGuestCatApp)
#include "tst_guestcatapp.moc"
