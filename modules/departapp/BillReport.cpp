#include "BillReport.h"

#include "arrivalsvc/CheckInDesk.h"
#include "convert/Convert.h"
#include "data/DbError.h"
#include "data/RowSet.h"
#include "departsvc/Settlement.h"
#include "taxsvc/TaxRules.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace departapp {

DataReport1::DataReport1(const QString& dirPath, const Bill& bill, const departsvc::Statement& statement,
                         const desk::CompanyProfile& profile, QObject* parent)
    : desk::Report(parent)
    , m_dirPath(dirPath)
    , m_bill(bill) {
    setTitle(QStringLiteral("請求書"));
    // 請求書_1002_20261208: the check-in and the day settled, so the inn's files tell bills apart.
    const QDate day = bill.settledOn.isValid() ? bill.settledOn : QDate::currentDate();
    setFileName(numberedFileName(QStringLiteral("請求書"), bill.checkInNo, day));

    // The statement always ends with "請求額", the amount still to be paid; the bill has one
    // block per rate. Its lines print as this desk's statement rows hold them.
    const QList<departsvc::Statement::RateBlock> blocks = statement.rateBlocks();
    const double due = statement.due();
    const bool hasRows = !statement.lines.isEmpty();
    layOut(blocks, statement.anyReduced());
    setDataSource(departsvc::Settlement(dirPath).statementRows());

    setCompanyLabels(profile);
    setLabel(QStringLiteral("Label3"), bill.checkInDate);
    setLabel(QStringLiteral("Label5"), bill.settlementDate);
    setLabel(QStringLiteral("Label7"), bill.checkInNo);
    setLabel(QStringLiteral("Label8"), bill.guestName);
    setLabel(QStringLiteral("Label9"), bill.groupe);
    setLabel(QStringLiteral("Label10"), bill.roomNo);
    if (!bill.invoiceNo.isEmpty()) {
        setLabel(QStringLiteral("LabelInvoiceNo"), QStringLiteral("登録番号 ") + bill.invoiceNo);
        setLabel(QStringLiteral("LabelTradeDate"), QStringLiteral("取引日 ") + bill.settlementDate);
    }
    for (qsizetype i = 0; i < blocks.size(); ++i) {
        const departsvc::Statement::RateBlock& b = blocks.at(i);
        setLabel(QStringLiteral("LabelRate%1").arg(i + 1),
                 QStringLiteral("%1%対象 %2円　消費税 %3円")
                     .arg(taxsvc::rateText(b.rate), desk::convert::formatNumber(b.base, desk::convert::AmountFormat),
                          desk::convert::formatNumber(b.tax, desk::convert::AmountFormat)));
    }

    // "##,###,###" prints 0 as nothing. An overpayment is announced as money handed back,
    // not as a negative demand (the statement's own row keeps its sign).
    QString amount;
    if (hasRows) {
        amount = desk::convert::formatNumber(std::abs(due), QStringLiteral("##,###,###"));
        if (due < 0)
            setLabel(QStringLiteral("Label33"), QStringLiteral(" 円をご返金いたします。"));
    }
    setLabel(QStringLiteral("Label34"), amount);
}

void DataReport1::layOut(const QList<departsvc::Statement::RateBlock>& blocks, bool anyReduced) {
    const bool qualified = !m_bill.invoiceNo.isEmpty();
    const double width = printableWidth();
    const double captionWidth = 30.0;
    const double valueLeft = 34.0;

    auto& header = pageHeader();
    // The inn on the right, the guest on the left, as a bill is handed over; the inn's
    // block is wide enough for a comment line of some thirty characters.
    const double innWidth = 98.0;
    desk::addCompanyLabels(header, {width - innWidth, 16.0, innWidth, 30.0});
    if (qualified) {
        // Under the inn's block, above the amount line.
        header.addRuntimeLabel(QStringLiteral("LabelInvoiceNo"), {width - innWidth, 42.5, innWidth, 5.0})
            .setFontSize(9);
        header.addRuntimeLabel(QStringLiteral("LabelTradeDate"), {width - innWidth, 48.0, innWidth, 5.0})
            .setFontSize(9);
    }
    header.addLabel(QStringLiteral("Label1"), {0, 0, width, 12}, QStringLiteral("請求書"))
        .setFontSize(20)
        .setBold()
        .setAlignment(Qt::AlignCenter);

    const auto caption = [&](const QString& name, double y, const QString& text) {
        header.addLabel(name, {0, y, captionWidth, 5.5}, text).setFontSize(9);
    };
    const auto value = [&](const QString& name, double y, double w = 70.0) -> desk::ReportControl& {
        return header.addRuntimeLabel(name, {valueLeft, y, w, 5.5}).setFontSize(10);
    };
    caption(QStringLiteral("Label2"), 38.0, QStringLiteral("チェックイン日付"));
    value(QStringLiteral("Label3"), 38.0);
    caption(QStringLiteral("Label4"), 44.0, QStringLiteral("チェックアウト日付"));
    value(QStringLiteral("Label5"), 44.0);
    caption(QStringLiteral("Label6"), 32.0, QStringLiteral("チェックイン番号"));
    value(QStringLiteral("Label7"), 32.0);
    header.addRuntimeLabel(QStringLiteral("Label8"), {valueLeft, 15.0, width - innWidth - valueLeft - 2.0, 8.0})
        .setFontSize(14)
        .setBold();
    value(QStringLiteral("Label9"), 23.5, width - innWidth - valueLeft - 2.0);
    value(QStringLiteral("Label10"), 50.0);
    caption(QStringLiteral("Label30"), 16.5, QStringLiteral("お客様名"));
    caption(QStringLiteral("Label31"), 23.5, QStringLiteral("グループ名"));
    caption(QStringLiteral("Label32"), 50.0, QStringLiteral("部屋番号"));

    // The amount to be paid, underlined, with its sentence after it.
    header.addLabel(QStringLiteral("Label33"), {62.0, 59.0, 80.0, 9.0}, QStringLiteral(" 円をご請求いたします。"))
        .setFontSize(12);
    header.addRuntimeLabel(QStringLiteral("Label34"), {0, 59.0, 60.0, 9.0})
        .setFontSize(18)
        .setBold()
        .setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    header.addLine(QStringLiteral("Line1"), {0, 68.5, 140.0, 68.5}).setLineWidth(0.5);

    // Column headings between two rules; the detail fields stand under them.
    struct Column {
        double left;
        double width;
    };
    const Column date{0, 22}, name{23, 48}, spec{72, 38}, quantity{111, 14}, unitPrice{126, 22}, service{149, 9},
        tax{159, 8}, subTotal{168, width - 168};
    const double headTop = 74.0;
    const auto heading = [&](const QString& control, const Column& c, const QString& text,
                             Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
        header.addLabel(control, {c.left, headTop, c.width, 6.0}, text).setFontSize(9).setAlignment(align);
    };
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    heading(QStringLiteral("Label13"), date, QStringLiteral("日付"));
    heading(QStringLiteral("Label14"), name, QStringLiteral("商品名"));
    heading(QStringLiteral("Label15"), quantity, QStringLiteral("数量"), right);
    heading(QStringLiteral("Label24"), unitPrice, QStringLiteral("単　価"), right);
    heading(QStringLiteral("Label25"), subTotal, QStringLiteral("　　小計"), right);
    heading(QStringLiteral("Label26"), service, QStringLiteral("サ料"), Qt::AlignCenter);
    heading(QStringLiteral("Label27"), tax, QStringLiteral("税"), Qt::AlignCenter);
    header.addLine(QStringLiteral("Line2"), {0, headTop - 0.5, width, headTop - 0.5}).setLineWidth(0.4);
    header.addLine(QStringLiteral("Line3"), {0, headTop + 6.5, width, headTop + 6.5}).setLineWidth(0.4);
    heading(QStringLiteral("Label11"), spec, QStringLiteral("摘要"));
    header.setHeight(headTop + 8.0);

    auto& band = detail();
    band.setHeight(6.0);
    const auto field = [&](const QString& control, const Column& c, const QString& column,
                           const QString& format = {}) -> desk::ReportControl& {
        return band.addField(control, {c.left, 0.5, c.width, 5.0}, column, format).setFontSize(9);
    };
    field(QStringLiteral("Text1"), date, QStringLiteral("SalesDate"));
    if (qualified) {
        // The reduced-rate mark stands in front of the name it belongs to.
        field(QStringLiteral("TextReduced"), {name.left, 4}, QStringLiteral("SlReduced"));
        field(QStringLiteral("Text2"), {name.left + 4, name.width - 4}, QStringLiteral("SlCmName"));
    } else {
        field(QStringLiteral("Text2"), name, QStringLiteral("SlCmName"));
    }
    field(QStringLiteral("Text3"), spec, QStringLiteral("SlCmSpec")).setFontSize(8);
    field(QStringLiteral("Text4"), quantity, QStringLiteral("SlQuantity"), desk::convert::AmountFormat);
    field(QStringLiteral("Text5"), unitPrice, QStringLiteral("SlUnitP"), desk::convert::AmountFormat);
    field(QStringLiteral("Text6"), service, QStringLiteral("SlSv")).setAlignment(Qt::AlignCenter);
    field(QStringLiteral("Text7"), tax, QStringLiteral("SlTax")).setAlignment(Qt::AlignCenter);
    field(QStringLiteral("Text8"), subTotal, QStringLiteral("SlSubTotal"), desk::convert::AmountFormat);

    // After the last line: the base and tax of each rate, right-aligned under the amounts,
    // and on a qualified invoice what the mark means.
    auto& footer = reportFooter();
    double y = 2.0;
    footer.addLine(QStringLiteral("Line4"), {0, 1.0, width, 1.0}).setLineWidth(0.4);
    if (qualified && anyReduced) {
        footer.addLabel(QStringLiteral("LabelReducedNote"), {0, y, 70.0, 5.0}, QStringLiteral("※印は軽減税率対象"))
            .setFontSize(9);
    }
    for (qsizetype i = 0; i < blocks.size(); ++i) {
        footer.addRuntimeLabel(QStringLiteral("LabelRate%1").arg(i + 1), {width - 100.0, y, 100.0, 5.0})
            .setFontSize(9)
            .setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        y += 5.5;
    }
    footer.setHeight(std::max(y, 8.0) + 1.0);
}

void DataReport1::onJobFinished(desk::JobKind kind, bool completed) {
    // Only a bill that really went to the printer records the check-out.
    if (kind == desk::JobKind::Print && completed)
        markCheckedOut();
}

void DataReport1::markCheckedOut() {
    try {
        arrivalsvc::CheckInDesk(m_dirPath).markCheckedOut(m_bill.checkInNo, m_bill.settledOn);
    } catch (const desk::DbError& e) {
        // The paper is out already: say plainly that only the record failed.
        throw desk::DbError(QStringLiteral("請求書は印刷されましたが、チェックアウトを記録できませんでした。") +
                                QStringLiteral("\r\n") + e.message(),
                            e.statement(), e.file(), e.cause(), e.detail());
    }
}

} // namespace departapp
