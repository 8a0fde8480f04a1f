#include "ReferenceRows.h"

#include "Connection.h"

namespace desk::Schema {

namespace {

QVariantList row(std::initializer_list<QVariant> values) {
    return QVariantList(values);
}

} // namespace

// Japan's consumption-tax rates since 1997: 5 %, 8 % from 2014-04-01, and since 2019-10-01
// 10 % with the reduced rate of 8 %.
Rows taxRateRows() {
    return {QStringLiteral("INSERT INTO TaxRates (EffectiveDate, StandardRate, ReducedRate) VALUES (?, ?, ?)"),
            {row({QStringLiteral("1997-04-01"), 5, QVariant()}), row({QStringLiteral("2014-04-01"), 8, QVariant()}),
             row({QStringLiteral("2019-10-01"), 10, 8})}};
}

// The reference rows a new installation starts with.
Rows roomTypeRows() {
    return {QStringLiteral("INSERT INTO RoomTypes (RoomTypeCode, RoomTypeName) VALUES (?, ?)"),
            {row({QStringLiteral("01"), QStringLiteral("和室")}), row({QStringLiteral("02"), QStringLiteral("洋室")}),
             row({QStringLiteral("03"), QStringLiteral("和洋室")}),
             row({QStringLiteral("04"), QStringLiteral("離れ")})}};
}

QList<Rows> referenceRows(const QString& fileName) {
    QList<Rows> rows;
    if (fileName == QLatin1String(DbFile::DaySalesCliants)) {
        rows.append(
            {QStringLiteral("INSERT INTO AgeClass (yearclass, YCode) VALUES (?, ?)"),
             {row({QStringLiteral("未分類"), QStringLiteral("A0")}),
              row({QStringLiteral("20歳未満"), QStringLiteral("A1")}),
              row({QStringLiteral("20代"), QStringLiteral("A2")}), row({QStringLiteral("30代"), QStringLiteral("A3")}),
              row({QStringLiteral("40代"), QStringLiteral("A4")}), row({QStringLiteral("50代"), QStringLiteral("A5")}),
              row({QStringLiteral("60歳以上"), QStringLiteral("A6")})}});
        rows.append(
            {QStringLiteral("INSERT INTO GroupeClass (GCode, Groupename) VALUES (?, ?)"),
             {row({QStringLiteral("G0"), QStringLiteral("未分類")}),
              row({QStringLiteral("G1"), QStringLiteral("個人")}), row({QStringLiteral("G2"), QStringLiteral("家族")}),
              row({QStringLiteral("G3"), QStringLiteral("友人")}), row({QStringLiteral("G4"), QStringLiteral("団体")}),
              row({QStringLiteral("G5"), QStringLiteral("社用")})}});
        rows.append({QStringLiteral("INSERT INTO UserClass (UCode, UclassName) VALUES (?, ?)"),
                     {row({QStringLiteral("U0"), QStringLiteral("未分類")}),
                      row({QStringLiteral("U1"), QStringLiteral("観光")}),
                      row({QStringLiteral("U2"), QStringLiteral("ビジネス")}),
                      row({QStringLiteral("U3"), QStringLiteral("湯治")}),
                      row({QStringLiteral("U4"), QStringLiteral("法事・慶事")})}});
        rows.append({QStringLiteral("INSERT INTO PaymentClass (PCode, PaymentName) VALUES (?, ?)"),
                     {row({QStringLiteral("P0"), QStringLiteral("未分類")}),
                      row({QStringLiteral("P1"), QStringLiteral("現金")}),
                      row({QStringLiteral("P2"), QStringLiteral("クレジットカード")}),
                      row({QStringLiteral("P3"), QStringLiteral("旅行会社精算")}),
                      row({QStringLiteral("P4"), QStringLiteral("請求書払い")})}});
        rows.append(
            {QStringLiteral("INSERT INTO ChoiceClass (ChCode, ChoiceName) VALUES (?, ?)"),
             {row({QStringLiteral("C1"), QStringLiteral("温泉")}), row({QStringLiteral("C2"), QStringLiteral("料理")}),
              row({QStringLiteral("C3"), QStringLiteral("立地・交通")}),
              row({QStringLiteral("C4"), QStringLiteral("料金")}), row({QStringLiteral("C5"), QStringLiteral("再訪")}),
              row({QStringLiteral("C6"), QStringLiteral("口コミ・紹介")})}});
    } else if (fileName == QLatin1String(DbFile::Sales)) {
        rows.append(
            {QStringLiteral("INSERT INTO CommodityClasify (CClassCode, CClassName) VALUES (?, ?)"),
             {row({QStringLiteral("01"), QStringLiteral("宿泊")}), row({QStringLiteral("02"), QStringLiteral("料理")}),
              row({QStringLiteral("03"), QStringLiteral("飲物")}),
              row({QStringLiteral("04"), QStringLiteral("サービス")}),
              row({QStringLiteral("05"), QStringLiteral("売店")})}});
        struct Goods {
            const char* code;
            const char* name;
            const char* cls;
            const char* unit;
            const char* remarks;
            int price;
            int taxClass; // 0 standard, 1 reduced
            int service;
            int roomShare = 0;   // percent of the price that is the room
            bool dinner = false; // the meals a stay plan includes per guest and night
            bool breakfast = false;
        };
        static const Goods goods[] = {
            {"101", "宿泊料金（1泊2食）", "01", "人", "大人1名様", 12000, 0, 1, 60, true, true},
            {"102", "宿泊料金（1泊朝食）", "01", "人", "大人1名様", 8500, 0, 1, 80, false, true},
            {"103", "宿泊料金（素泊まり）", "01", "人", "", 6500, 0, 1, 100},
            {"104", "宿泊料金（小人）", "01", "人", "小学生", 7000, 0, 1, 60, true, true},
            {"201", "夕食（会席）", "02", "人", "", 5000, 0, 1, 0, true},
            {"202", "朝食", "02", "人", "", 1500, 0, 1, 0, false, true},
            {"203", "昼食", "02", "人", "", 1800, 0, 1},
            {"204", "お子様膳", "02", "人", "", 2500, 0, 1, 0, true},
            {"301", "ビール（中瓶）", "03", "本", "", 650, 0, 1},
            {"302", "日本酒（1合）", "03", "合", "地酒", 700, 0, 1},
            {"303", "焼酎（グラス）", "03", "杯", "", 550, 0, 1},
            {"304", "ソフトドリンク", "03", "本", "", 300, 0, 1},
            {"305", "ワイン（ボトル）", "03", "本", "", 3500, 0, 1},
            {"401", "マッサージ（60分）", "04", "回", "", 4500, 0, 1},
            {"402", "貸切風呂", "04", "回", "50分", 2000, 0, 1},
            {"403", "宅配便取次", "04", "個", "", 1000, 0, 1},
            {"501", "温泉まんじゅう", "05", "箱", "", 1000, 1, 0},
            {"502", "地酒おみやげ", "05", "本", "", 1800, 0, 0},
        };
        Rows commodities{QStringLiteral("INSERT INTO Commodities (Ccode, cname, Cclasify, Cunit, Cremarks1, "
                                        "CTaxClass, CService, CRoomShare, CMealDinner, CMealBreakfast) "
                                        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                         {}};
        Rows prices{QStringLiteral("INSERT INTO CmPrice (Ccode, CMprice0, CMprice1, CMprice2, CMprice3, CMprice4) "
                                   "VALUES (?, ?, ?, ?, ?, ?)"),
                    {}};
        for (const Goods& g : goods) {
            commodities.values.append(
                row({QString::fromUtf8(g.code), QString::fromUtf8(g.name), QString::fromUtf8(g.cls),
                     QString::fromUtf8(g.unit), QString::fromUtf8(g.remarks), g.taxClass, g.service, g.roomShare,
                     int(g.dinner), int(g.breakfast)}));
            prices.values.append(row({QString::fromUtf8(g.code), g.price, g.price, g.price, g.price, g.price}));
        }
        rows.append(commodities);
        rows.append(prices);
    } else if (fileName == QLatin1String(DbFile::Recipt)) {
        rows.append(
            {QStringLiteral("INSERT INTO ReciptClass (RptClassCode, RptClassName) VALUES (?, ?)"),
             {row({QStringLiteral("1"), QStringLiteral("現金")}), row({QStringLiteral("2"), QStringLiteral("カード")}),
              row({QStringLiteral("3"), QStringLiteral("振込・売掛")}),
              row({QStringLiteral("4"), QStringLiteral("金券")})}});
        rows.append(
            {QStringLiteral("INSERT INTO ReciptCode (RptCode, RptName, RptClass, RptRemarks1, RptRemarks2) "
                            "VALUES (?, ?, ?, ?, ?)"),
             {row({QStringLiteral("01"), QStringLiteral("現金"), 1, QString(), QString()}),
              row({QStringLiteral("02"), QStringLiteral("予約金"), 1, QStringLiteral("前受金"), QString()}),
              row({QStringLiteral("03"), QStringLiteral("クレジットカード"), 2, QString(), QString()}),
              row({QStringLiteral("04"), QStringLiteral("デビットカード"), 2, QString(), QString()}),
              row({QStringLiteral("05"), QStringLiteral("銀行振込"), 3, QString(), QString()}),
              row({QStringLiteral("06"), QStringLiteral("旅行会社売掛"), 3, QStringLiteral("月末精算"), QString()}),
              row({QStringLiteral("07"), QStringLiteral("宿泊券"), 4, QString(), QString()}),
              row({QStringLiteral("08"), QStringLiteral("クーポン券"), 4, QString(), QString()})}});
    } else if (fileName == QLatin1String(DbFile::Option)) {
        rows.append(taxRateRows());
        rows.append(roomTypeRows());
        rows.append({QStringLiteral("INSERT INTO CompanyProfile (CompanyName, CpZipCode, CpAddress, CpTelNo, "
                                    "CpFaxno, CpURL, CpEmail, CpComment, ServiceFee) "
                                    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                     {row({QStringLiteral("湯の里温泉 旅館さくら荘"), QStringLiteral("399-8301"),
                           QStringLiteral("長野県安曇野市穂高有明1234-5"), QStringLiteral("0263-00-1234"),
                           QStringLiteral("0263-00-1235"), QStringLiteral("https://sakurasou.example.jp/"),
                           QStringLiteral("info@sakurasou.example.jp"),
                           QStringLiteral("ご利用ありがとうございました。またのお越しをお待ちしております。"), 10})}});
    }
    return rows;
}

} // namespace desk::Schema
