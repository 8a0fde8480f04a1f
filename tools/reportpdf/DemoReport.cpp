#include "DemoReport.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/RowSet.h"

#include <memory>

DemoReport::DemoReport(int rows, QObject* parent)
    : desk::Report(parent) {
    setTitle(QStringLiteral("売上伝票（見本）"));
    auto connection = desk::Connection::create(m_dir.filePath(QStringLiteral("demo.mdb")));
    connection->exec(
        QStringLiteral("CREATE TABLE DemoLines (BTCMcode TEXT, BTCMname TEXT, BTSpec TEXT, "
                       "BTQuantity INTEGER, BTUnitPrice INTEGER, BTSubTotal2 INTEGER, RowKey INTEGER PRIMARY KEY)"));
    const QStringList names{QStringLiteral("夕食（会席）"), QStringLiteral("生ビール"),
                            QStringLiteral("日本酒 一合"),  QStringLiteral("朝食"),
                            QStringLiteral("貸切風呂"),     QStringLiteral("マッサージ 60分")};
    const QList<int> prices{8800, 650, 900, 1650, 2200, 6600};
    {
        desk::Transaction tx(connection);
        for (int i = 0; i < rows; ++i) {
            const int kind = i % int(names.size());
            const int quantity = 1 + i % 4;
            connection->exec(
                QStringLiteral(
                    "INSERT INTO DemoLines (BTCMcode, BTCMname, BTSpec, BTQuantity, BTUnitPrice, BTSubTotal2) "
                    "VALUES (?, ?, ?, ?, ?, ?)"),
                {QStringLiteral("%1").arg(101 + kind), names[kind], i % 5 == 0 ? QStringLiteral("追加") : QString(),
                 quantity, prices[kind], quantity * prices[kind]});
        }
        tx.commit();
    }

    const double w = printableWidth();
    desk::ReportSection& head = pageHeader();
    desk::addCompanyLabels(head, {0, 0, 110, 26});
    head.addLabel(QStringLiteral("Label1"), {115, 0, w - 115, 10}, QStringLiteral("売上伝票"))
        .setFontSize(18)
        .setBold()
        .setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    head.addPrintDate(QStringLiteral("Label2"), {115, 11, w - 115, 5}).setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    head.addLabel(QStringLiteral("Label30"), {0, 30, 20, 6}, QStringLiteral("お客様名"));
    head.addRuntimeLabel(QStringLiteral("Label8"), {22, 30, 60, 6}).setFontSize(11);
    head.addLine(QStringLiteral("Line1"), {0, 38, w, 38});
    const QStringList headings{QStringLiteral("コード"), QStringLiteral("商品名"), QStringLiteral("摘　　　要"),
                               QStringLiteral("数量"),   QStringLiteral("単　価"), QStringLiteral("　　　　合計")};
    const QList<QRectF> columns{{0, 0, 14, 6},   {16, 0, 50, 6},  {68, 0, 40, 6},
                                {110, 0, 16, 6}, {128, 0, 26, 6}, {156, 0, w - 156, 6}};
    const int headingNumbers[] = {12, 13, 14, 15, 24, 25};
    for (int i = 0; i < 6; ++i) {
        head.addLabel(QStringLiteral("Label%1").arg(headingNumbers[i]), columns[i].translated(0, 39), headings[i])
            .setAlignment((i >= 3 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    }
    head.addLine(QStringLiteral("Line2"), {0, 46, w, 46});
    head.setHeight(48);

    desk::ReportSection& body = detail();
    body.setHeight(6.5);
    body.addField(QStringLiteral("Text1"), columns[0], QStringLiteral("BTCMcode"));
    body.addField(QStringLiteral("Text2"), columns[1], QStringLiteral("BTCMname"));
    body.addField(QStringLiteral("Text3"), columns[2], QStringLiteral("BTSpec"));
    body.addField(QStringLiteral("Text4"), columns[3], QStringLiteral("BTQuantity"), desk::convert::AmountFormat);
    body.addField(QStringLiteral("Text5"), columns[4], QStringLiteral("BTUnitPrice"), desk::convert::AmountFormat);
    body.addField(QStringLiteral("Text6"), columns[5], QStringLiteral("BTSubTotal2"), QStringLiteral("##,###,###"));

    desk::ReportSection& foot = reportFooter();
    foot.setHeight(10);
    foot.addLine(QStringLiteral("Line3"), {0, 1, w, 1}).setLineWidth(0.4);
    foot.addLabel(QStringLiteral("Label6"), {68, 2, 40, 7}, QStringLiteral("合計")).setBold();
    foot.addSum(QStringLiteral("Function1"), columns[3].translated(0, 2), QStringLiteral("BTQuantity"),
                desk::convert::AmountFormat)
        .setBold();
    foot.addSum(QStringLiteral("Function2"), columns[5].translated(0, 2), QStringLiteral("BTSubTotal2"),
                desk::convert::AmountFormat)
        .setBold();

    pageFooter().setHeight(8);
    pageFooter().addLine(QStringLiteral("Line4"), {0, 1, w, 1}).setLineWidth(0.15);
    pageFooter().addPageNumber(QStringLiteral("Label29"), {0, 2, w, 5});

    setDataSource(std::make_unique<desk::RowSet>(connection, QStringLiteral("DemoLines")));
    setLabel(QStringLiteral("Label8"), QStringLiteral("山田 太郎 様"));
}

DemoReport::~DemoReport() {
    // The rows and their connection go before the folder that holds their file.
    setDataSource(static_cast<desk::RowSet*>(nullptr));
}
