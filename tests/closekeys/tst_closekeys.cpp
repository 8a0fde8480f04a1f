#include "arrivalapp/FrmChkIn.h"
#include "arrivalapp/FrmSpec.h"
#include "bookingapp/FrmReservation.h"
#include "bookingapp/FrmRireki.h"
#include "chargeapp/FrmSales.h"
#include "departapp/FrmChkOut.h"
#include "departapp/FrmChkOutM.h"
#include "deskmain/FrmMeibo.h"
#include "firmapp/FrmOption.h"
#include "goodsapp/FrmComdty.h"
#include "goodsclassapp/FrmCmClass1.h"
#include "guestcatapp/FrmSpecOption.h"
#include "payitemapp/PaymentItemWindow.h"
#include "paymentapp/FrmRptBill.h"
#include "roomapp/RoomWindow.h"
#include "tallyapp/FrmJyoken.h"
#include "tallyapp/FrmSyukei.h"
#include "testsupport/WindowFixture.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <functional>

using namespace desk::test;

namespace {

using Factory = std::function<QWidget*(WindowFixture&)>;

template <typename Window> Factory made() {
    return [](WindowFixture& f) -> QWidget* {
        return new Window(f.context());
    };
}

} // namespace

Q_DECLARE_METATYPE(Factory)

class TestCloseKeys : public QObject {
    Q_OBJECT

private slots:
    void closeButtonIsTheSame_data() { addWindows(); }
    void closeButtonIsTheSame();
    void escapeClosesAWindowWithNothingToLose_data() { addWindows(); }
    void escapeClosesAWindowWithNothingToLose();

private:
    static void addWindows();
};

// Every window a module shows, with the object name of its close button.
void TestCloseKeys::addWindows() {
    QTest::addColumn<Factory>("make");
    QTest::addColumn<QString>("button");
    const QString end = QStringLiteral("CmdEnd");
    QTest::newRow("予約") << made<bookingapp::FrmReservation>() << end;
    QTest::newRow("お客さま履歴検索") << made<bookingapp::FrmRireki>() << end;
    QTest::newRow("チェックイン") << made<arrivalapp::FrmChkIn>() << end;
    QTest::newRow("お客様の特性") << Factory([](WindowFixture& f) -> QWidget* {
        return new arrivalapp::FrmSpec(f.dirPath());
    }) << end;
    QTest::newRow("売上") << made<chargeapp::FrmSales>() << end;
    QTest::newRow("入金") << made<paymentapp::FrmRptBill>() << end;
    QTest::newRow("チェックアウト") << made<departapp::FrmChkOutM>() << QStringLiteral("CmdCancel");
    QTest::newRow("精算") << Factory([](WindowFixture& f) -> QWidget* {
        departapp::CheckOutGuest guest;
        guest.checkInNo = QStringLiteral("1");
        return new departapp::FrmChkOut(f.context(), guest);
    }) << end;
    QTest::newRow("集計条件") << made<tallyapp::FrmJyoken>() << end;
    QTest::newRow("集計データ") << made<tallyapp::FrmSyukei>() << end;
    QTest::newRow("商品マスター") << made<goodsapp::FrmComdty>() << end;
    QTest::newRow("商品区分メインテナンス") << made<goodsclassapp::FrmCmClass1>() << end;
    QTest::newRow("入金項目マスター") << made<payitemapp::frmRecipt>() << end;
    QTest::newRow("選択項目のメインテナンス") << made<guestcatapp::FrmSpecOption>() << end;
    QTest::newRow("客室マスター") << made<roomapp::frmRoom>() << end;
    QTest::newRow("初期登録") << made<firmapp::FrmOption>() << QStringLiteral("cmdEnd");
    QTest::newRow("宿泊者名簿") << Factory([](WindowFixture& f) -> QWidget* {
        return new deskmain::FrmMeibo(f.dirPath(), WindowFixture::sampleProfile());
    }) << end;
}

// One word and one access key close every window, whatever the window.
void TestCloseKeys::closeButtonIsTheSame() {
    QFETCH(Factory, make);
    QFETCH(QString, button);
    WindowFixture f;
    std::unique_ptr<QWidget> window(make(f));
    auto* close = child<QPushButton>(window.get(), button);
    QVERIFY(close);
    QCOMPARE(close->text(), QStringLiteral("終わり(&O)"));
}

// Escape on a window just opened closes it without a question; Alt+O does the same.
void TestCloseKeys::escapeClosesAWindowWithNothingToLose() {
    QFETCH(Factory, make);
    for (const bool escape : {true, false}) {
        WindowFixture f;
        QPointer<QWidget> window(make(f));
        window->setAttribute(Qt::WA_DeleteOnClose);
        QVERIFY(showActive(window));
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus && focus->window() == window);
        if (escape)
            QTest::keyClick(focus, Qt::Key_Escape);
        else
            pressAccessKey(window, Qt::Key_O);
        settle();
        QVERIFY2(window.isNull() || !window->isVisible(), escape ? "Escape" : "Alt+O");
        QCOMPARE(f.dialogs().messageTexts(), QStringList());
        delete window.data();
    }
}

QTEST_MAIN(TestCloseKeys)
#include "tst_closekeys.moc"
