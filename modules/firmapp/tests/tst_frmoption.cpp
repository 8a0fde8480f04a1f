#include "firmapp/FrmOption.h"

#include "data/Connection.h"
#include "data/DbError.h"
#include "firmsvc/OptionDataClass.h"
#include "testsupport/WindowFixture.h"

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
    WindowFixture f;
    QVERIFY(f.isValid());

    const auto before = readProfile(f.dirPath());
    const QString changed = QStringLiteral("変更後 '値' ") + box;
    {
        firmapp::FrmOption window(f.context());
        QVERIFY(showActive(&window));
        QCOMPARE(textOf(&window, box), before.value(property));
        QVERIFY(enter(&window, box, changed));
        QVERIFY(mouseClick(&window, QStringLiteral("CmdEdit")));
        // No question and no message follow a save; the window stays.
        QCOMPARE(f.dialogs().shown().size(), 0);
    }
    const auto after = readProfile(f.dirPath());
    QCOMPARE(after.value(property), changed);
    // The other seven values are written back as they were.
    for (const QString& other : before.keys()) {
        if (other != property)
            QCOMPARE(after.value(other), before.value(other));
    }
    // Reopened, the window shows what was saved.
    firmapp::FrmOption reopened(f.context());
    QCOMPARE(textOf(&reopened, box), changed);
}

void TestFrmOption::savingTwiceKeepsOneRow() {
    WindowFixture f;
    firmapp::FrmOption window(f.context());
    QVERIFY(showActive(&window));
    QVERIFY(enter(&window, QStringLiteral("txtName"), QStringLiteral("旅館はなれ")));
    QVERIFY(mouseClick(&window, QStringLiteral("CmdEdit")));
    QVERIFY(mouseClick(&window, QStringLiteral("CmdEdit")));
    const auto connection = desk::Connection::open(f.dirPath(), QLatin1String(desk::DbFile::Option));
    QCOMPARE(connection->scalar(QStringLiteral("SELECT COUNT(*) FROM CompanyProfile")).toInt(), 1);
    QCOMPARE(readProfile(f.dirPath()).value(QStringLiteral("MyCompanyName")), QStringLiteral("旅館はなれ"));
}

void TestFrmOption::emptyBoxesAreSaved() {
    WindowFixture f;
    firmapp::FrmOption window(f.context());
    QVERIFY(showActive(&window));
    QVERIFY(typeInto(&window, QStringLiteral("txtFaxNo"), QString()));
    QVERIFY(mouseClick(&window, QStringLiteral("CmdEdit")));
    QCOMPARE(readProfile(f.dirPath()).value(QStringLiteral("MyFaxNo")), QString());
    QCOMPARE(f.dialogs().shown().size(), 0);
}

void TestFrmOption::missingProfileFailsTheLoad() {
    WindowFixture f;
    desk::Connection::open(f.dirPath(), QLatin1String(desk::DbFile::Option))
        ->exec(QStringLiteral("DELETE FROM CompanyProfile"));
    QVERIFY_THROWS_EXCEPTION(desk::DbError, firmapp::FrmOption window(f.context()));

    f.context().setDirPath(f.dirPath() + QStringLiteral("nowhere/"));
    QVERIFY_THROWS_EXCEPTION(desk::DbError, firmapp::FrmOption window(f.context()));
}

void TestFrmOption::endClosesTheWindow() {
    WindowFixture f;
    auto* window = new firmapp::FrmOption(f.context());
    window->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<QWidget> alive(window);
    QVERIFY(showActive(window));
    QCOMPARE(window->pos(), QPoint(0, 0));
    QVERIFY(mouseClick(window, QStringLiteral("cmdEnd")));
    settle();
    QVERIFY(alive.isNull());
}

void TestFrmOption::saveIsConfirmedWithoutAQuestion() {
    WindowFixture f;
    firmapp::FrmOption window(f.context());
    QVERIFY(showActive(&window));
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(&window, QStringLiteral("txtName")));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral(" Inn"));
    pressAccessKey(&window, Qt::Key_R);
    QTRY_COMPARE(textOf(&window, QStringLiteral("lbMessage")), QStringLiteral("会社情報を保存しました。"));
    QVERIFY(readProfile(f.dirPath()).value(QStringLiteral("MyCompanyName")).endsWith(QStringLiteral(" Inn")));
    QCOMPARE(f.dialogs().shown().size(), 0);
    // Typing again takes the confirmation away: it never speaks of values not yet saved.
    QTest::keyClick(child<QLineEdit>(&window, QStringLiteral("txtComment")), Qt::Key_X);
    QCOMPARE(textOf(&window, QStringLiteral("lbMessage")), QString());
}

QTEST_MAIN(TestFrmOption)
#include "tst_frmoption.moc"
