#include "Aggregation.h"

#include "convert/Convert.h"

namespace tallyapp::Aggregation {

namespace {

// Widths of the design are in twips (15 to a pixel).
desk::GridColumn text(const char16_t* caption, const char* field, int twips) {
    return {
        QString::fromUtf16(caption), QString::fromUtf8(field), twips / 15, Qt::AlignLeft | Qt::AlignVCenter, {}, false};
}

// A rate shown as the store words it ("85.0"), standing right as numbers do.
desk::GridColumn right(const char16_t* caption, const char* field, int twips) {
    return {QString::fromUtf16(caption),
            QString::fromUtf8(field),
            twips / 15,
            Qt::AlignRight | Qt::AlignVCenter,
            {},
            false};
}

desk::GridColumn amount(const char16_t* caption, const char* field, int twips) {
    return {QString::fromUtf16(caption),       QString::fromUtf8(field),    twips / 15,
            Qt::AlignRight | Qt::AlignVCenter, desk::convert::AmountFormat, false};
}

} // namespace

desk::GridColumns gridColumns(int kind) {
    switch (layoutOf(kind)) {
    case 0:
        return {text(u"日付", "BTSalesDate", 1000), text(u"区分", "SKubunName", 1000),
                amount(u"正味売上", "Sum1", 1300),  amount(u"サービス料", "Sum2", 1300),
                amount(u"消費税", "Sum3", 1300),    amount(u"サ込税込売上", "Sum4", 1300)};
    case 1:
        return {text(u"商品区分", "CclassName", 1500), amount(u"正味売上", "合計1", 1200),
                amount(u"サービス料", "合計2", 1300), amount(u"消費税", "合計3", 1300),
                amount(u"サ込税込売上", "合計4", 1300)};
    case 2:
        return {text(u"コード", "BTCMcode", 800), text(u"商品名", "Cname", 1600), amount(u"数量", "数量計", 800),
                amount(u"サ込税込売上", "売上計", 1300)};
    case 3:
        return {text(u"入金区分", "Spec", 1000), amount(u"入金額", "合計1", 1600)};
    case 4:
        return {text(u"コード", "RptCode", 1000), text(u"入金項目", "RptName", 1000),
                amount(u"入金合計", "合計", 1300)};
    case 5:
        return {text(u"分類コード", "FL1", 1300), text(u"分類内容", "FL2", 1500), amount(u"人数計", "合計", 1000)};
    case 8:
        return {text(u"日付", "日付", 1300),
                amount(u"販売室数", "販売室数", 900),
                amount(u"稼働室数", "稼働室数", 900),
                right(u"客室稼働率(%)", "客室稼働率", 1300),
                amount(u"宿泊人数", "宿泊人数", 900),
                amount(u"定員", "定員", 900),
                right(u"定員稼働率(%)", "定員稼働率", 1300),
                amount(u"室料", "室料", 1300),
                amount(u"平均室料", "平均室料", 1200)};
    case 6:
        return {text(u"税率", "税率", 1300), amount(u"対象額", "対象額", 1500), amount(u"消費税", "消費税", 1300),
                amount(u"伝票数", "伝票数", 1000)};
    default:
        return {text(u"日付", "日付", 1300),          text(u"税目", "税目", 1700),
                text(u"区分", "区分", 1900),          amount(u"人数", "人数", 600),
                amount(u"免除", "免除人数", 600),     amount(u"延べ泊数", "延べ泊数", 900),
                amount(u"課税泊数", "課税泊数", 900), amount(u"税額", "税額", 1000)};
    }
}

QString reportName(int kind) {
    static const char* const names[] = {"DRuriage", "DRuriage1",  "DRuriage2",   "DRnyukin1",   "DRnyukin2",
                                        "DRSpec1",  "DRzeiritsu", "DRnyutouzei", "DRkadouritsu"};
    return QString::fromLatin1(names[layoutOf(kind)]);
}

ChartFields chartFields(int kind) {
    switch (layoutOf(kind)) {
    case 0:
        return {QStringLiteral("BTSalesDate"),
                {},
                QStringLiteral("Sum4"),
                QStringLiteral("SKubunName"),
                QStringLiteral("サ込税込売上")};
    case 1:
        return {QStringLiteral("CclassName"), {}, QStringLiteral("合計4"), {}, QStringLiteral("サ込税込売上")};
    case 2:
        return {QStringLiteral("Cname"),
                QStringLiteral("BTCMcode"),
                QStringLiteral("売上計"),
                {},
                QStringLiteral("サ込税込売上")};
    case 3:
        return {QStringLiteral("Spec"), {}, QStringLiteral("合計1"), {}, QStringLiteral("入金額")};
    case 4:
        return {QStringLiteral("RptName"),
                QStringLiteral("RptCode"),
                QStringLiteral("合計"),
                {},
                QStringLiteral("入金合計")};
    case 5:
        return {QStringLiteral("FL2"), QStringLiteral("FL1"), QStringLiteral("合計"), {}, QStringLiteral("人数計")};
    case 6:
        return {QStringLiteral("税率"), {}, QStringLiteral("対象額"), {}, QStringLiteral("対象額")};
    case 8:
        return {QStringLiteral("日付"), {}, QStringLiteral("客室稼働率"), {}, QStringLiteral("客室稼働率(%)"), true};
    default:
        return {QStringLiteral("日付"), {}, QStringLiteral("税額"), QStringLiteral("税目"), QStringLiteral("税額")};
    }
}

} // namespace tallyapp::Aggregation
