#include "firmapp/FrmOption.h"

#include "data/Connection.h"
#include "data/DbError.h"
#include "firmsvc/InnProfile.h"
#include "taxsvc/TaxSettings.h"
#include "testsupport/WindowFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QTableWidget>
#include <QMap>
#include <QPointer>
#include <QTest>

using namespace desk::test;
using Answer = desk::Dialogs::Answer;
using namespace Qt::StringLiterals;

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
    void taxSettingsFromTheKeyboard_data();
    void taxSettingsFromTheKeyboard();
    void leviesFromTheKeyboard_data();
    void leviesFromTheKeyboard();
    void closingAsksAboutChanges_data();
    void closingAsksAboutChanges();
    void levyBeforeACheckOutNamesTheFirstDayItMayStart();
    void levyKindEditorReadsWhole();
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

// Types into the focused widget key by key, as the clerk does: in the rate grid the first key
// opens the cell's editor, which then has the focus.
void typeKeys(const QString& text) {
    for (const QChar c : text)
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
}

// Enter ends a cell's edit once the key is handled.
void enterKey() {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::qWait(1);
    QCoreApplication::processEvents();
}

void TestFrmOption::taxSettingsFromTheKeyboard_data() {
    QTest::addColumn<QString>("newRate");     // a row added as "day standard", empty for none
    QTest::addColumn<QString>("changedRate"); // the 2019/10/01 standard rate typed over, or empty
    QTest::addColumn<QString>("invoiceNo");   // as typed
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<QString>("box");    // part of the one box shown, empty for none
    QTest::addColumn<QString>("stored"); // the invoice number saved, "-" when nothing is saved
    const QString checkDigit = QStringLiteral("検査用数字");
    QTest::newRow("new rate, plain number")
        << QStringLiteral("2031/4/1 12") << QString() << QStringLiteral("t9234567890123") << QList<Answer>{}
        << QString() << QStringLiteral("T9234567890123");
    QTest::newRow("number refused") << QStringLiteral("2031/4/1 12") << QString() << QStringLiteral("T123")
                                    << QList<Answer>{} << QStringLiteral("登録番号は「T」と13桁の数字です")
                                    << QStringLiteral("-");
    QTest::newRow("check digit, kept back") << QString() << QString() << QStringLiteral("T1234567890123")
                                            << QList<Answer>{Answer::No} << checkDigit << QStringLiteral("-");
    QTest::newRow("check digit, saved anyway")
        << QString() << QString() << QStringLiteral("T1234567890123") << QList<Answer>{Answer::Yes} << checkDigit
        << QStringLiteral("T1234567890123");
    QTest::newRow("rate of a period with slips") << QString() << QStringLiteral("11") << QString() << QList<Answer>{}
                                                 << QStringLiteral("2019/10/01 からの税率は") << QStringLiteral("-");
    QTest::newRow("day that does not exist") << QStringLiteral("2031/2/30 12") << QString() << QString()
                                             << QList<Answer>{} << QStringLiteral("適用開始日") << QStringLiteral("-");
}

void TestFrmOption::taxSettingsFromTheKeyboard() {
    QFETCH(QString, newRate);
    QFETCH(QString, changedRate);
    QFETCH(QString, invoiceNo);
    QFETCH(QList<Answer>, answers);
    QFETCH(QString, box);
    QFETCH(QString, stored);
    WindowFixture f;
    desk::Connection::open(f.dirPath(), QLatin1String(desk::DbFile::Sales))
        ->exec(QStringLiteral("INSERT INTO BTSalesNo (BTSalesNo, BTSalesdate, BTCheckInNo, BTKubun) "
                              "VALUES (901, '2020-01-10', 'G1', 0)"));
    const taxsvc::TaxSettings before = taxsvc::TaxSettings::readFrom(f.dirPath());
    for (Answer answer : answers)
        f.dialogs().pushAnswer(answer);

    firmapp::FrmOption window(f.context());
    QVERIFY(showActive(&window));
    auto* grid = child<QTableWidget>(&window, QStringLiteral("grdRates"));
    QCOMPARE(grid->rowCount(), before.rates.rows().size());
    if (!newRate.isEmpty()) {
        pressAccessKey(&window, Qt::Key_A);
        QCOMPARE(QApplication::focusWidget(), grid);
        typeKeys(newRate.section(u' ', 0, 0));
        enterKey();
        QTest::keyClick(grid, Qt::Key_Right);
        typeKeys(newRate.section(u' ', 1, 1));
        enterKey();
    }
    pressAccessKey(&window, Qt::Key_S);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("15"));
    pressAccessKey(&window, Qt::Key_H);
    QCOMPARE(QApplication::focusWidget(), child<QComboBox>(&window, QStringLiteral("cmbTaxRounding")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    pressAccessKey(&window, Qt::Key_N);
    QTest::keyClicks(QApplication::focusWidget(), invoiceNo);
    if (!changedRate.isEmpty()) {
        pressAccessKey(&window, Qt::Key_T);
        QCOMPARE(QApplication::focusWidget(), grid);
        grid->setCurrentCell(2, 1);
        typeKeys(changedRate);
        // Saved with the cell still being typed in: the access key takes what it shows.
    }
    pressAccessKey(&window, Qt::Key_R);

    const QStringList shown = f.dialogs().messageTexts();
    if (box.isEmpty()) {
        QCOMPARE(shown, QStringList());
    } else {
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.first().contains(box), qPrintable(shown.first()));
    }
    const taxsvc::TaxSettings after = taxsvc::TaxSettings::readFrom(f.dirPath());
    if (stored == QLatin1String("-")) {
        QCOMPARE(after.rates.rows(), before.rates.rows());
        QCOMPARE(after.serviceFee, before.serviceFee);
        QCOMPARE(after.rounding, before.rounding);
        QCOMPARE(after.invoiceNo, before.invoiceNo);
        QCOMPARE(textOf(&window, QStringLiteral("lbMessage")), QString());
        return;
    }
    QList<taxsvc::RateRow> rows = before.rates.rows();
    if (!newRate.isEmpty())
        rows << taxsvc::RateRow{QDate(2031, 4, 1), 12, std::nullopt};
    QCOMPARE(after.rates.rows(), rows);
    QCOMPARE(after.serviceFee, 15.0);
    QCOMPARE(after.rounding, taxsvc::Rounding::Down);
    QCOMPARE(after.invoiceNo, stored);
    QCOMPARE(textOf(&window, QStringLiteral("lbMessage")), QStringLiteral("会社情報を保存しました。"));
    // Shown as stored.
    QCOMPARE(textOf(&window, QStringLiteral("txtInvoiceNo")), stored);
    QCOMPARE(grid->rowCount(), rows.size());
}

void TestFrmOption::leviesFromTheKeyboard_data() {
    QTest::addColumn<QString>("amount"); // the bathing tax per guest-night
    QTest::addColumn<QString>("bands");  // Kyoto's from 2026-03-01
    QTest::addColumn<QString>("box");    // part of the one box shown, empty for none
    QTest::newRow("Kyoto and a bathing tax of 150")
        << QStringLiteral("150") << QStringLiteral("0:200,6000:400,20000:1000") << QString();
    QTest::newRow("bands that are no bands") << QStringLiteral("150") << QStringLiteral("6000-400")
                                             << QStringLiteral("2026/03/01 からの宿泊税（市町村）：段階は");
    QTest::newRow("a fixed levy without its amount")
        << QString() << QStringLiteral("0:200") << QStringLiteral("1人1泊の金額");
}

// A levy row is added, chosen and typed from the keyboard alone, and saved with the rest.
void TestFrmOption::leviesFromTheKeyboard() {
    QFETCH(QString, amount);
    QFETCH(QString, bands);
    QFETCH(QString, box);
    WindowFixture f;
    firmapp::FrmOption window(f.context());
    QVERIFY(showActive(&window));
    auto* grid = child<QTableWidget>(&window, QStringLiteral("grdLevies"));
    QCOMPARE(grid->rowCount(), 0);
    const auto typeCell = [](const QString& text) {
        typeKeys(text);
        enterKey();
    };
    const auto chooseDown = [](int steps) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
        for (int i = 0; i < steps; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        enterKey();
    };

    // 入湯税, 定額, as a new row starts.
    pressAccessKey(&window, Qt::Key_K);
    QCOMPARE(QApplication::focusWidget(), grid);
    QTest::keyClick(grid, Qt::Key_Right);
    typeCell(QStringLiteral("2026/3/1"));
    QTest::keyClick(grid, Qt::Key_Right);
    QTest::keyClick(grid, Qt::Key_Right);
    if (!amount.isEmpty())
        typeCell(amount);
    // 宿泊税（市町村） by bands.
    pressAccessKey(&window, Qt::Key_K);
    chooseDown(2);
    QTest::keyClick(grid, Qt::Key_Right);
    typeCell(QStringLiteral("2026/3/1"));
    QTest::keyClick(grid, Qt::Key_Right);
    chooseDown(1);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(grid, Qt::Key_Right);
    typeCell(bands);
    pressAccessKey(&window, Qt::Key_R);

    const QStringList shown = f.dialogs().messageTexts();
    const taxsvc::LevyTable stored = taxsvc::TaxSettings::readFrom(f.dirPath()).levies;
    if (!box.isEmpty()) {
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.first().contains(box), qPrintable(shown.first()));
        QVERIFY(stored.rules().isEmpty());
        return;
    }
    QCOMPARE(shown, QStringList());
    const QList<taxsvc::LevyRule> expected{
        {taxsvc::LevyKind::Bathing, QDate(2026, 3, 1), taxsvc::LevyMethod::Fixed, 150, 0, {}},
        {taxsvc::LevyKind::LodgingMunicipality,
         QDate(2026, 3, 1),
         taxsvc::LevyMethod::Bands,
         0,
         0,
         {{0, 200}, {6000, 400}, {20000, 1000}}}};
    QCOMPARE(stored.rules(), expected);
    // Reopened, the window shows the rules as stored.
    firmapp::FrmOption reopened(f.context());
    auto* shownGrid = child<QTableWidget>(&reopened, QStringLiteral("grdLevies"));
    QCOMPARE(shownGrid->rowCount(), 2);
    QCOMPARE(shownGrid->item(1, 0)->text(), QStringLiteral("宿泊税（市町村）"));
    QCOMPARE(shownGrid->item(1, 5)->text(), QStringLiteral("0:200, 6000:400, 20000:1000"));
}

void TestFrmOption::closingAsksAboutChanges_data() {
    QTest::addColumn<QString>("change"); // what the clerk did before closing
    QTest::addColumn<bool>("escape");    // Escape, else Alt+O
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("closed");
    QTest::newRow("nothing, Escape") << u"none"_s << true << QList<Answer>{} << false << true;
    QTest::newRow("name typed, Escape, kept") << u"name"_s << true << QList<Answer>{Answer::No} << true << false;
    QTest::newRow("name typed, Alt+O, thrown away") << u"name"_s << false << QList<Answer>{Answer::Yes} << true << true;
    QTest::newRow("rate cell being typed, Alt+O, kept")
        << u"cell"_s << false << QList<Answer>{Answer::No} << true << false;
    QTest::newRow("levy row added, Escape, kept") << u"levy"_s << true << QList<Answer>{Answer::No} << true << false;
    QTest::newRow("rounding chosen, Alt+O, kept")
        << u"rounding"_s << false << QList<Answer>{Answer::No} << true << false;
    QTest::newRow("saved, Escape") << u"saved"_s << true << QList<Answer>{} << false << true;
}

// 終わり and Escape close at once when nothing typed would be lost; otherwise the clerk is
// asked, and No keeps the window with what was typed.
void TestFrmOption::closingAsksAboutChanges() {
    QFETCH(QString, change);
    QFETCH(bool, escape);
    QFETCH(QList<Answer>, answers);
    QFETCH(bool, asked);
    QFETCH(bool, closed);
    WindowFixture f;
    auto* window = new firmapp::FrmOption(f.context());
    window->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<QWidget> alive(window);
    QVERIFY(showActive(window));
    for (Answer answer : answers)
        f.dialogs().pushAnswer(answer);
    if (change == u"name"_s || change == u"saved"_s) {
        QTest::keyClicks(QApplication::focusWidget(), u" Inn"_s);
        if (change == u"saved"_s)
            pressAccessKey(window, Qt::Key_R);
    } else if (change == u"cell"_s) {
        pressAccessKey(window, Qt::Key_T);
        child<QTableWidget>(window, u"grdRates"_s)->setCurrentCell(2, 1);
        typeKeys(u"11"_s);
    } else if (change == u"levy"_s) {
        pressAccessKey(window, Qt::Key_K);
    } else if (change == u"rounding"_s) {
        pressAccessKey(window, Qt::Key_H);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    }
    if (escape)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    else
        pressAccessKey(window, Qt::Key_O);
    settle();
    const QStringList shown = f.dialogs().messageTexts();
    QCOMPARE(shown, asked ? QStringList{u"保存していない変更があります。終了しますか？"_s} : QStringList());
    QCOMPARE(alive.isNull(), closed);
    if (!closed) {
        if (change == u"name"_s)
            QVERIFY(textOf(window, u"txtName"_s).endsWith(u" Inn"_s));
        delete window;
    }
}

// A levy rule added to start before stays already checked out is refused with the first day
// it may start: the day after the last of those check-outs.
void TestFrmOption::levyBeforeACheckOutNamesTheFirstDayItMayStart() {
    WindowFixture f;
    desk::Connection::open(f.dirPath(), QLatin1String(desk::DbFile::DaySalesCliants))
        ->exec(u"INSERT INTO CheckInCliants (CheckInNO, CheckInDate, CheckInName, CheckOutFlag, CheckOutDate) "
               "VALUES ('L1', '2025-01-05', 'A', 1, '2025-01-07'), ('L2', '2025-02-10', 'B', 1, '2025-02-12')"_s);
    firmapp::FrmOption window(f.context());
    QVERIFY(showActive(&window));
    auto* grid = child<QTableWidget>(&window, u"grdLevies"_s);
    pressAccessKey(&window, Qt::Key_K);
    QTest::keyClick(grid, Qt::Key_Right);
    typeKeys(u"2025/1/1"_s);
    enterKey();
    QTest::keyClick(grid, Qt::Key_Right);
    QTest::keyClick(grid, Qt::Key_Right);
    typeKeys(u"150"_s);
    enterKey();
    pressAccessKey(&window, Qt::Key_R);

    const QStringList shown = f.dialogs().messageTexts();
    QCOMPARE(shown.size(), 1);
    QVERIFY2(shown.first().contains(u"最後は 2025/02/12"_s) && shown.first().contains(u"2025/02/13 以降"_s),
             qPrintable(shown.first()));
    QVERIFY(!shown.first().contains(u"行を加えてください"_s));
    QVERIFY(taxsvc::TaxSettings::readFrom(f.dirPath()).levies.rules().isEmpty());
}

// The list that edits the 税目 and 方式 cells shows the whole name, not "入…".
void TestFrmOption::levyKindEditorReadsWhole() {
    WindowFixture f;
    firmapp::FrmOption window(f.context());
    QVERIFY(showActive(&window));
    auto* grid = child<QTableWidget>(&window, u"grdLevies"_s);
    pressAccessKey(&window, Qt::Key_K);
    for (const int column : {0, 2}) {
        grid->setCurrentCell(0, column);
        QTest::keyClick(grid, Qt::Key_F2);
        auto* box = qobject_cast<QComboBox*>(QApplication::focusWidget());
        QVERIFY(box);
        QVERIFY2(box->width() >= box->sizeHint().width(),
                 qPrintable(u"%1 < %2"_s.arg(box->width()).arg(box->sizeHint().width())));
        QTest::keyClick(box, Qt::Key_Escape);
    }
    QVERIFY(window.isVisible());
}

QTEST_MAIN(TestFrmOption)
#include "tst_frmoption.moc"
