#include "firmapp/FrmOption.h"

#include "data/Connection.h"
#include "data/DbError.h"
#include "firmsvc/OptionDataClass.h"
#include "testsupport/ScriptedDialogs.h"
#include "testsupport/TempDataDir.h"
#include "testsupport/Widgets.h"

#include <QApplication>
#include <QMap>
#include <QPointer>
#include <QTest>

using namespace desk::test;

namespace {

// The eight stored values by property name.
QMap<QString, QString> readProfile(const QString& dir) {
    firmsvc::OptionDataClass p;
    p.setDirPath(dir);
    p.ConnectDb();
    p.DisplyData();
    return {{QStringLiteral("MyCompanyName"), p.MyCompanyName()},
            {QStringLiteral("MyZipCode"), p.MyZipCode()},
            {QStringLiteral("MyAddress"), p.MyAddress()},
            {QStringLiteral("MyTelNo"), p.MyTelNo()},
            {QStringLiteral("MyFaxNo"), p.MyFaxNo()},
            {QStringLiteral("MyURL"), p.MyURL()},
            {QStringLiteral("MyEmail"), p.MyEmail()},
            {QStringLiteral("MyComment"), p.MyComment()}};
}

// Japanese text cannot be typed key by key through QTest; set it as an input method would.
bool enter(const QObject* window, const QString& box, const QString& text) {
    auto* edit = child<QLineEdit>(window, box);
    if (!edit)
        return false;
    edit->setText(text);
    return true;
}

} // namespace

class TestFrmOption : public QObject {
    Q_OBJECT

private slots:
    void boxesShowAndSaveTheirOwnValue_data();
    void boxesShowAndSaveTheirOwnValue();
    void savingTwiceKeepsOneRow();
    void emptyBoxesAreSaved();
    void missingProfileFailsTheLoad();
    void endClosesTheWindow();
    void saveIsConfirmedWithoutAQuestion();
};

void TestFrmOption::boxesShowAndSaveTheirOwnValue_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("property");
    QTest::newRow("name") << QStringLiteral("txtName") << QStringLiteral("MyCompanyName");
    QTest::newRow("zip code") << QStringLiteral("txtZipCode") << QStringLiteral("MyZipCode");
    QTest::newRow("address") << QStringLiteral("txtAddrress") << QStringLiteral("MyAddress");
    QTest::newRow("telephone") << QStringLiteral("txtTelNo") << QStringLiteral("MyTelNo");
    QTest::newRow("fax") << QStringLiteral("txtFaxNo") << QStringLiteral("MyFaxNo");
    QTest::newRow("comment") << QStringLiteral("txtComment") << QStringLiteral("MyComment");
    QTest::newRow("url") << QStringLiteral("txtURL") << QStringLiteral("MyURL");
    QTest::newRow("e-mail") << QStringLiteral("txtEmailAd") << QStringLiteral("MyEmail");
}

void TestFrmOption::boxesShowAndSaveTheirOwnValue() {
    QFETCH(QString, box);
    QFETCH(QString, property);
    TempDataDir data;
    QVERIFY(data.isValid());
    ScriptedDialogs dialogs;
    desk::ModuleContext context;
    context.setDirPath(data.path());

    const auto before = readProfile(data.path());
    const QString changed = QStringLiteral("変更後 '値' ") + box;
    {
        firmapp::FrmOption window(context);
        QCOMPARE(textOf(&window, box), before.value(property));
        QVERIFY(enter(&window, box, changed));
        QVERIFY(click(&window, QStringLiteral("CmdEdit")));
        // No question and no message follow a save; the window stays.
        QCOMPARE(dialogs.shown().size(), 0);
    }
    const auto after = readProfile(data.path());
    QCOMPARE(after.value(property), changed);
    // The other seven values are written back as they were.
    for (const QString& other : before.keys()) {
        if (other != property)
            QCOMPARE(after.value(other), before.value(other));
    }
    // Reopened, the window shows what was saved.
    firmapp::FrmOption reopened(context);
    QCOMPARE(textOf(&reopened, box), changed);
}

void TestFrmOption::savingTwiceKeepsOneRow() {
    TempDataDir data;
    ScriptedDialogs dialogs;
    desk::ModuleContext context;
    context.setDirPath(data.path());
    firmapp::FrmOption window(context);
    QVERIFY(enter(&window, QStringLiteral("txtName"), QStringLiteral("旅館はなれ")));
    QVERIFY(click(&window, QStringLiteral("CmdEdit")));
    QVERIFY(click(&window, QStringLiteral("CmdEdit")));
    const auto connection = desk::Connection::open(data.path(), QLatin1String(desk::DbFile::Option));
    QCOMPARE(connection->scalar(QStringLiteral("SELECT COUNT(*) FROM CompanyProfile")).toInt(), 1);
    QCOMPARE(readProfile(data.path()).value(QStringLiteral("MyCompanyName")), QStringLiteral("旅館はなれ"));
}

void TestFrmOption::emptyBoxesAreSaved() {
    TempDataDir data;
    ScriptedDialogs dialogs;
    desk::ModuleContext context;
    context.setDirPath(data.path());
    firmapp::FrmOption window(context);
    QVERIFY(typeInto(&window, QStringLiteral("txtFaxNo"), QString()));
    QVERIFY(click(&window, QStringLiteral("CmdEdit")));
    QCOMPARE(readProfile(data.path()).value(QStringLiteral("MyFaxNo")), QString());
    QCOMPARE(dialogs.shown().size(), 0);
}

void TestFrmOption::missingProfileFailsTheLoad() {
    TempDataDir data;
    ScriptedDialogs dialogs;
    desk::Connection::open(data.path(), QLatin1String(desk::DbFile::Option))
        ->exec(QStringLiteral("DELETE FROM CompanyProfile"));
    desk::ModuleContext context;
    context.setDirPath(data.path());
    QVERIFY_THROWS_EXCEPTION(desk::DbError, firmapp::FrmOption window(context));

    context.setDirPath(data.path() + QStringLiteral("nowhere/"));
    QVERIFY_THROWS_EXCEPTION(desk::DbError, firmapp::FrmOption window(context));
}

void TestFrmOption::endClosesTheWindow() {
    TempDataDir data;
    desk::ModuleContext context;
    context.setDirPath(data.path());
    auto* window = new firmapp::FrmOption(context);
    window->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<QWidget> alive(window);
    window->show();
    QCOMPARE(window->pos(), QPoint(0, 0));
    QVERIFY(click(window, QStringLiteral("cmdEnd")));
    settle();
    QVERIFY(alive.isNull());
}

void TestFrmOption::saveIsConfirmedWithoutAQuestion() {
    TempDataDir data;
    ScriptedDialogs dialogs;
    desk::ModuleContext context;
    context.setDirPath(data.path());
    firmapp::FrmOption window(context);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(&window, QStringLiteral("txtName")));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral(" Inn"));
    QTest::keyClick(&window, Qt::Key_R, Qt::AltModifier);
    QTRY_COMPARE(textOf(&window, QStringLiteral("lbMessage")), QStringLiteral("会社情報を保存しました。"));
    QVERIFY(readProfile(data.path()).value(QStringLiteral("MyCompanyName")).endsWith(QStringLiteral(" Inn")));
    QCOMPARE(dialogs.shown().size(), 0);
    // Typing again takes the confirmation away: it never speaks of values not yet saved.
    QTest::keyClick(child<QLineEdit>(&window, QStringLiteral("txtComment")), Qt::Key_X);
    QCOMPARE(textOf(&window, QStringLiteral("lbMessage")), QString());
}

QTEST_MAIN(TestFrmOption)
#include "tst_frmoption.moc"
