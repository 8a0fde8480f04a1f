#include "convert/Convert.h"
#include "convert/Csv.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>

using namespace desk;

class TestConvert : public QObject {
    Q_OBJECT

private slots:
    void csvField_data();
    void csvField();
    void leadingNumber_data();
    void leadingNumber();
    void typedNumber_data();
    void typedNumber();
    void fieldNumberRefusal_data();
    void fieldNumberRefusal();
    void thousandsSeparators_data();
    void thousandsSeparators();
    void roundHalfEven_data();
    void roundHalfEven();
    void int16Range_data();
    void int16Range();
    void int32Range();
    void strictDate_data();
    void strictDate();
    void dateTexts();
    void dateOfDayText_data();
    void dateOfDayText();
    void sameCode_data();
    void sameCode();
    void formatValue_data();
    void formatValue();
    void formatNumber_data();
    void formatNumber();
    void dataPath_data();
    void dataPath();
    void dataPathMissingFile();
};

void TestConvert::leadingNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("digits then letters") << QStringLiteral("12abc") << 12.0;
    QTest::newRow("leading blank and decimals") << QStringLiteral(" 3.5") << 3.5;
    QTest::newRow("empty") << QString() << 0.0;
    QTest::newRow("letters only") << QStringLiteral("abc") << 0.0;
    QTest::newRow("negative") << QStringLiteral("-4人") << -4.0;
    QTest::newRow("second point ends the number") << QStringLiteral("1.2.3") << 1.2;
    QTest::newRow("sign alone") << QStringLiteral("-") << 0.0;
    QTest::newRow("blank inside ends it") << QStringLiteral("1 2") << 1.0;
    QTest::newRow("full-width digits") << QStringLiteral("１２") << 12.0;
    QTest::newRow("full-width guests") << QStringLiteral("２人") << 2.0;
    QTest::newRow("full-width minus and point") << QStringLiteral("－１．５") << -1.5;
    QTest::newRow("ideographic blank before") << QStringLiteral("\u3000１２０００円") << 12000.0;
    QTest::newRow("thousands") << QStringLiteral("1,000円") << 1000.0;
    QTest::newRow("full-width thousands") << QStringLiteral("１２，３４５") << 12345.0;
    QTest::newRow("comma after the point ends it") << QStringLiteral("1.5,3") << 1.5;
    QTest::newRow("beyond a double") << QStringLiteral("9").repeated(400) << std::numeric_limits<double>::infinity();
}

void TestConvert::typedNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<double>("expected");
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("full-width comma") << QStringLiteral("１，０００") << true << 1000.0;
    QTest::newRow("full-width five digits") << QStringLiteral("１２，３４５") << true << 12345.0;
    QTest::newRow("ascii comma, blanks") << QStringLiteral(" 1,234.5 ") << true << 1234.5;
    QTest::newRow("negative") << QStringLiteral("－３") << true << -3.0;
    QTest::newRow("point first") << QStringLiteral(".5") << true << 0.5;
    QTest::newRow("three hundred digits") << QStringLiteral("9").repeated(300) << true << 1e300;
    QTest::newRow("beyond a double") << QStringLiteral("9").repeated(400) << true << inf;
    QTest::newRow("negative beyond a double")
        << QStringLiteral("-") + QStringLiteral("9").repeated(400) << true << -inf;
    QTest::newRow("minus alone") << QStringLiteral("-") << false << 0.0;
    QTest::newRow("point alone") << QStringLiteral(".") << false << 0.0;
    QTest::newRow("minus point") << QStringLiteral("-.") << false << 0.0;
    QTest::newRow("comma alone") << QStringLiteral("，") << false << 0.0;
    QTest::newRow("minus inside") << QStringLiteral("1-2") << false << 0.0;
    QTest::newRow("empty") << QString() << false << 0.0;
}

void TestConvert::typedNumber() {
    QFETCH(QString, text);
    QFETCH(bool, isNumber);
    QFETCH(double, expected);
    const std::optional<double> number = convert::typedNumber(text);
    QCOMPARE(number.has_value(), isNumber);
    if (isNumber && std::isfinite(expected))
        QVERIFY(qFuzzyCompare(*number, expected));
    else if (isNumber)
        QCOMPARE(*number, expected);
}

void TestConvert::fieldNumberRefusal_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("sixteenBits");
    QTest::addColumn<QString>("message"); // empty: taken
    QTest::newRow("count at its limit") << QStringLiteral("32767") << true << QString();
    QTest::newRow("count over") << QStringLiteral("40000") << true << QStringLiteral("人数は 32767 までです。");
    QTest::newRow("count under") << QStringLiteral("-40000") << true
                                 << QStringLiteral("人数は -32768 から 32767 までの数です。");
    QTest::newRow("full-width count over")
        << QStringLiteral("４０，０００人") << true << QStringLiteral("人数は 32767 までです。");
    QTest::newRow("amount at its limit") << QStringLiteral("2,147,483,647") << false << QString();
    QTest::newRow("amount over") << QStringLiteral("2147483648") << false
                                 << QStringLiteral("人数は 2147483647 までです。");
    QTest::newRow("twenty digits") << QStringLiteral("12345678901234567890") << false
                                   << QStringLiteral("人数は 2147483647 までです。");
    QTest::newRow("four hundred digits") << QStringLiteral("9").repeated(400) << false
                                         << QStringLiteral("人数は 2147483647 までです。");
}

void TestConvert::fieldNumberRefusal() {
    QFETCH(QString, text);
    QFETCH(bool, sixteenBits);
    QFETCH(QString, message);
    const QString field = QStringLiteral("人数");
    try {
        const double value = sixteenBits ? double(convert::fieldInt16(text, field)) : convert::fieldInt32(text, field);
        QVERIFY2(message.isEmpty(), "taken");
        QCOMPARE(value, convert::leadingNumber(text));
    } catch (const ConversionError& e) {
        QCOMPARE(e.kind(), ConversionError::Kind::Refused);
        QCOMPARE(e.message(), message);
    }
}

// A comma (either width) separates thousands only between groups of three digits after a
// first group of one to three. Read as the leading digits elsewhere, no number in a cell,
// and refused in a box that takes a whole number.
void TestConvert::thousandsSeparators_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("leading");
    QTest::addColumn<bool>("cellTakesIt"); // typedNumber gives the leading number
    QTest::addColumn<bool>("boxTakesIt");  // fieldInt32 gives the leading number
    QTest::newRow("1,5") << QStringLiteral("1,5") << 1.0 << false << false;
    QTest::newRow("12,000") << QStringLiteral("12,000") << 12000.0 << true << true;
    QTest::newRow("1,2345") << QStringLiteral("1,2345") << 1.0 << false << false;
    QTest::newRow(",5") << QStringLiteral(",5") << 0.0 << false << false;
    QTest::newRow("1,234,567") << QStringLiteral("1,234,567") << 1234567.0 << true << true;
    QTest::newRow("full-width 12,000") << QStringLiteral("１２，０００") << 12000.0 << true << true;
    QTest::newRow("full-width 1,5") << QStringLiteral("１，５") << 1.0 << false << false;
    QTest::newRow("first group of four") << QStringLiteral("1234,567") << 1234.0 << false << false;
    QTest::newRow("short last group") << QStringLiteral("1,000,00") << 1000.0 << false << false;
    QTest::newRow("with decimals") << QStringLiteral("12,000.5") << 12000.5 << true << true;
    QTest::newRow("comma at the end") << QStringLiteral("12,") << 12.0 << false << true;
}

void TestConvert::thousandsSeparators() {
    QFETCH(QString, text);
    QFETCH(double, leading);
    QFETCH(bool, cellTakesIt);
    QFETCH(bool, boxTakesIt);
    QCOMPARE(convert::leadingNumber(text), leading);
    const std::optional<double> typed = convert::typedNumber(text);
    QCOMPARE(typed.has_value(), cellTakesIt);
    if (typed)
        QCOMPARE(*typed, leading);
    try {
        QCOMPARE(double(convert::fieldInt32(text, QStringLiteral("単価"))), convert::roundHalfEven(leading));
        QVERIFY(boxTakesIt);
    } catch (const ConversionError& e) {
        QVERIFY2(!boxTakesIt, qPrintable(e.message()));
        QCOMPARE(e.kind(), ConversionError::Kind::Refused);
        QCOMPARE(e.message(),
                 QStringLiteral("単価の「%1」は数として読めません。カンマは 3 桁ごとに入れてください。").arg(text));
    }
}

void TestConvert::leadingNumber() {
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(convert::leadingNumber(text), expected);
}

void TestConvert::roundHalfEven_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("expected");
    QTest::newRow("2.5") << 2.5 << 2.0;
    QTest::newRow("3.5") << 3.5 << 4.0;
    QTest::newRow("-2.5") << -2.5 << -2.0;
    QTest::newRow("0.5") << 0.5 << 0.0;
    QTest::newRow("1.5") << 1.5 << 2.0;
    QTest::newRow("2.4999") << 2.4999 << 2.0;
    QTest::newRow("2.5001") << 2.5001 << 3.0;
    QTest::newRow("-3.5") << -3.5 << -4.0;
}

void TestConvert::roundHalfEven() {
    QFETCH(double, value);
    QFETCH(double, expected);
    QCOMPARE(convert::roundHalfEven(value), expected);
}

void TestConvert::int16Range_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("overflows");
    QTest::addColumn<int>("expected");
    QTest::newRow("max") << 32767.0 << false << 32767;
    QTest::newRow("min") << -32768.0 << false << -32768;
    QTest::newRow("rounds into range") << 32767.4 << false << 32767;
    QTest::newRow("rounds out of range") << 32767.5 << true << 0;
    QTest::newRow("quantity 40000") << 40000.0 << true << 0;
    QTest::newRow("below min") << -32769.0 << true << 0;
    QTest::newRow("half to even") << 2.5 << false << 2;
}

void TestConvert::int16Range() {
    QFETCH(double, value);
    QFETCH(bool, overflows);
    QFETCH(int, expected);
    if (overflows) {
        try {
            convert::toInt16(value);
            QFAIL("no overflow error");
        } catch (const ConversionError& e) {
            QCOMPARE(e.kind(), ConversionError::Kind::Overflow);
        }
    } else {
        QCOMPARE(int(convert::toInt16(value)), expected);
    }
}

void TestConvert::int32Range() {
    QCOMPARE(convert::toInt32(2147483647.0), 2147483647);
    QVERIFY_THROWS_EXCEPTION(ConversionError, convert::toInt32(2147483648.0));
    QCOMPARE(convert::addInt32(2147483000, 647), 2147483647);
    QVERIFY_THROWS_EXCEPTION(ConversionError, convert::addInt32(2147483647, 1));
    QVERIFY_THROWS_EXCEPTION(ConversionError, convert::addInt32(-2147483647 - 1, -1));
}

void TestConvert::strictDate_data() {
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("month");
    QTest::addColumn<QString>("day");
    QTest::addColumn<QDate>("expected"); // invalid: refused
    QTest::newRow("plain") << QStringLiteral("2027") << QStringLiteral("3") << QStringLiteral("1") << QDate(2027, 3, 1);
    QTest::newRow("leading zero month") << QStringLiteral("2027") << QStringLiteral("04") << QStringLiteral("30")
                                        << QDate(2027, 4, 30);
    QTest::newRow("full-width") << QStringLiteral("２０２７") << QStringLiteral("０４") << QStringLiteral("３０")
                                << QDate(2027, 4, 30);
    QTest::newRow("leap day") << QStringLiteral("2028") << QStringLiteral("2") << QStringLiteral("29")
                              << QDate(2028, 2, 29);
    QTest::newRow("April 31") << QStringLiteral("2027") << QStringLiteral("04") << QStringLiteral("31") << QDate();
    QTest::newRow("day 0") << QStringLiteral("2027") << QStringLiteral("3") << QStringLiteral("0") << QDate();
    QTest::newRow("2/29 common year") << QStringLiteral("2027") << QStringLiteral("2") << QStringLiteral("29")
                                      << QDate();
    QTest::newRow("2/30 leap year") << QStringLiteral("2028") << QStringLiteral("2") << QStringLiteral("30") << QDate();
    QTest::newRow("month 13") << QStringLiteral("2027") << QStringLiteral("13") << QStringLiteral("1") << QDate();
    QTest::newRow("year 0") << QStringLiteral("0") << QStringLiteral("1") << QStringLiteral("1") << QDate();
    QTest::newRow("year 10000") << QStringLiteral("10000") << QStringLiteral("1") << QStringLiteral("1") << QDate();
    QTest::newRow("empty day") << QStringLiteral("2027") << QStringLiteral("3") << QStringLiteral("") << QDate();
    QTest::newRow("letters") << QStringLiteral("2027") << QStringLiteral("3") << QStringLiteral("1a") << QDate();
    QTest::newRow("negative") << QStringLiteral("2027") << QStringLiteral("-3") << QStringLiteral("1") << QDate();
}

void TestConvert::strictDate() {
    QFETCH(QString, year);
    QFETCH(QString, month);
    QFETCH(QString, day);
    QFETCH(QDate, expected);
    const auto date = convert::strictDate(year, month, day);
    QCOMPARE(date.has_value(), expected.isValid());
    if (date)
        QCOMPARE(*date, expected);
}

void TestConvert::dateTexts() {
    QCOMPARE(convert::dayText(QDate(2002, 3, 1)), QStringLiteral("2002/3/1"));
    QCOMPARE(convert::dayText(QDate(2002, 11, 21)), QStringLiteral("2002/11/21"));
    QCOMPARE(convert::shortDateText(QDate(2002, 3, 1)), QStringLiteral("2002/03/01"));
    QCOMPARE(convert::dayText(QDate()), QString());
}

void TestConvert::dateOfDayText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("expected"); // invalid: refused
    QTest::newRow("day text") << QStringLiteral("2002/3/1") << QDate(2002, 3, 1);
    QTest::newRow("stored form, blanks") << QStringLiteral(" 2024-04-30 ") << QDate(2024, 4, 30);
    QTest::newRow("no such day") << QStringLiteral("2027/2/29") << QDate();
    QTest::newRow("no year") << QStringLiteral("3/1") << QDate();
    QTest::newRow("empty") << QString() << QDate();
}

void TestConvert::dateOfDayText() {
    QFETCH(QString, text);
    QFETCH(QDate, expected);
    if (expected.isValid()) {
        QCOMPARE(convert::dateOfDayText(text), expected);
        return;
    }
    try {
        convert::dateOfDayText(text);
        QFAIL("a text that names no day was taken");
    } catch (const ConversionError& e) {
        QCOMPARE(e.kind(), ConversionError::Kind::TypeMismatch);
    }
}

void TestConvert::sameCode_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("same");
    QTest::newRow("ASCII case") << QStringLiteral("ab1Z") << QStringLiteral("AB1z") << true;
    QTest::newRow("full-width letters keep their case") << QStringLiteral("ａ1") << QStringLiteral("Ａ1") << false;
    QTest::newRow("full-width is not ASCII") << QStringLiteral("Ａ1") << QStringLiteral("A1") << false;
    QTest::newRow("accented letters keep their case") << QStringLiteral("é") << QStringLiteral("É") << false;
    QTest::newRow("longer") << QStringLiteral("A1") << QStringLiteral("a1 ") << false;
    QTest::newRow("neighbours of the letters") << QStringLiteral("@[") << QStringLiteral("`{") << false;
}

void TestConvert::sameCode() {
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, same);
    QCOMPARE(convert::sameCode(a, b), same);
    QCOMPARE(convert::sameCode(b, a), same);
}

void TestConvert::formatValue_data() {
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("expected");
    const QString thousands = QStringLiteral("#,##0");
    const QString bill = QStringLiteral("##,###,###");
    QTest::newRow("amount") << QVariant(1234567.0) << thousands << QStringLiteral("1,234,567");
    QTest::newRow("integer amount") << QVariant(qint64(-2500)) << thousands << QStringLiteral("-2,500");
    QTest::newRow("text holding a number")
        << QVariant(QStringLiteral("10000")) << thousands << QStringLiteral("10,000");
    QTest::newRow("text that is no number") << QVariant(QStringLiteral("abc")) << thousands << QStringLiteral("abc");
    QTest::newRow("bill zero is empty") << QVariant(0.0) << bill << QString();
    QTest::newRow("no value") << QVariant() << thousands << QString();
    QTest::newRow("half yen shown rounded") << QVariant(10.5) << thousands << QStringLiteral("11");
    QTest::newRow("unformatted fraction") << QVariant(10.5) << QString() << QStringLiteral("10.5");
    QTest::newRow("date as shown") << QVariant(QDate(2002, 3, 1)) << QString() << QStringLiteral("2002/03/01");
    QTest::newRow("day text") << QVariant(QDate(2002, 3, 1)) << QStringLiteral("yyyy/M/d")
                              << QStringLiteral("2002/3/1");
}

void TestConvert::formatValue() {
    QFETCH(QVariant, value);
    QFETCH(QString, format);
    QFETCH(QString, expected);
    QCOMPARE(convert::formatValue(value, format), expected);
}

void TestConvert::formatNumber_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("expected");
    const QString plain = QStringLiteral("#,##0");
    const QString blankZero = QStringLiteral("##,###,###");
    QTest::newRow("millions") << 1234567.0 << plain << QStringLiteral("1,234,567");
    QTest::newRow("zero plain") << 0.0 << plain << QStringLiteral("0");
    QTest::newRow("zero blank") << 0.0 << blankZero << QString();
    QTest::newRow("millions blank-zero") << 1234567.0 << blankZero << QStringLiteral("1,234,567");
    QTest::newRow("negative") << -8980.0 << plain << QStringLiteral("-8,980");
    QTest::newRow("negative blank-zero") << -1000.0 << blankZero << QStringLiteral("-1,000");
    QTest::newRow("three digits") << 999.0 << plain << QStringLiteral("999");
    QTest::newRow("exactly a thousand") << 1000.0 << plain << QStringLiteral("1,000");
    QTest::newRow("fraction rounds") << 2309.6 << plain << QStringLiteral("2,310");
}

void TestConvert::formatNumber() {
    QFETCH(double, value);
    QFETCH(QString, format);
    QFETCH(QString, expected);
    QCOMPARE(convert::formatNumber(value, format), expected);
}

void TestConvert::dataPath_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("expected"); // "<prog>" stands for the program folder
    using S = convert::DataPath::Status;
    QTest::newRow("plain path") << QByteArray("/srv/inn/data/\n") << int(S::Ok) << QStringLiteral("/srv/inn/data/");
    QTest::newRow("separator added") << QByteArray("/srv/inn/data") << int(S::Ok) << QStringLiteral("/srv/inn/data/");
    QTest::newRow("App.Path") << QByteArray("App.Path\r\n") << int(S::Ok) << QStringLiteral("<prog>/");
    QTest::newRow("app.path is a relative path") << QByteArray("app.path") << int(S::Ok) << QStringLiteral("app.path/");
    QTest::newRow("comma ends the field")
        << QByteArray("/srv/data/,more text\n") << int(S::Ok) << QStringLiteral("/srv/data/");
    QTest::newRow("quoted keeps blanks") << QByteArray("  \"/srv/my inn/data/\",x") << int(S::Ok)
                                         << QStringLiteral("/srv/my inn/data/");
    QTest::newRow("quoted keeps commas") << QByteArray("\"/srv/a,b/\"") << int(S::Ok) << QStringLiteral("/srv/a,b/");
    QTest::newRow("only the first line") << QByteArray("/first/\n/second/\n") << int(S::Ok)
                                         << QStringLiteral("/first/");
    QTest::newRow("Japanese folder") << QByteArray("/srv/旅館/") << int(S::Ok) << QStringLiteral("/srv/旅館/");
    QTest::newRow("empty file") << QByteArray() << int(S::Empty) << QString();
    QTest::newRow("blank line") << QByteArray("   \r\n/srv/\n") << int(S::Empty) << QString();
    QTest::newRow("first field empty") << QByteArray(",/srv/data/") << int(S::Empty) << QString();
    QTest::newRow("empty quotes") << QByteArray("\"\"") << int(S::Empty) << QString();
}

void TestConvert::dataPath() {
    QFETCH(QByteArray, content);
    QFETCH(int, status);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    QFile file(dir.path() + QStringLiteral("/DPath.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    const auto result = convert::readDataPath(dir.path());
    QCOMPARE(int(result.status), status);
    expected.replace(QStringLiteral("<prog>"), dir.path());
    QCOMPARE(result.directory, expected);
}

void TestConvert::dataPathMissingFile() {
    QTemporaryDir dir;
    const auto result = convert::readDataPath(dir.path());
    QCOMPARE(result.status, convert::DataPath::Status::Missing);
    QVERIFY(result.directory.isEmpty());
}

void TestConvert::csvField_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("guarded");
    QTest::addColumn<QString>("written");
    QTest::newRow("plain") << QStringLiteral("山田 太郎") << true << QStringLiteral("山田 太郎");
    QTest::newRow("comma and quote") << QStringLiteral("Smith, \"Jr\"") << false
                                     << QStringLiteral("\"Smith, \"\"Jr\"\"\"");
    QTest::newRow("line end") << QStringLiteral("a\r\nb") << false << QStringLiteral("\"a\r\nb\"");
    QTest::newRow("edge spaces") << QStringLiteral(" a ") << false << QStringLiteral("\" a \"");
    QTest::newRow("formula guarded") << QStringLiteral("=1+1") << true << QStringLiteral("'=1+1");
    QTest::newRow("phone guarded") << QStringLiteral("+44-20") << true << QStringLiteral("'+44-20");
    QTest::newRow("quote mark guarded") << QStringLiteral("'a") << true << QStringLiteral("''a");
    QTest::newRow("negative amount unguarded") << QStringLiteral("-500") << false << QStringLiteral("-500");
    QTest::newRow("guarded and quoted") << QStringLiteral("=a,b") << true << QStringLiteral("\"'=a,b\"");
}

// A field is written as a spreadsheet must read it, and a file of such fields reads back as
// the texts written, whatever they held.
void TestConvert::csvField() {
    QFETCH(QString, text);
    QFETCH(bool, guarded);
    QFETCH(QString, written);
    const QString field = desk::csv::field(text, guarded ? desk::csv::Guard::Formula : desk::csv::Guard::None);
    QCOMPARE(field, written);
    if (guarded) {
        const QByteArray bytes = desk::csv::document({{field, QStringLiteral("x")}, {QString(), field}});
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF") && bytes.endsWith("\r\n"));
        QCOMPARE(desk::csv::read(bytes), (QList<QStringList>{{text, QStringLiteral("x")}, {QString(), text}}));
    }
}

QTEST_GUILESS_MAIN(TestConvert)
#include "tst_convert.moc"
