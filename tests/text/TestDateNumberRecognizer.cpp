#include "DateNumberRecognizer.h"

#include <QTest>

using namespace ornvale;
using namespace Qt::StringLiterals;

class TestDateNumberRecognizer : public QObject {
    Q_OBJECT
private slots:
    void dates_data();
    void dates();
    void numbers_data();
    void numbers();
};

void TestDateNumberRecognizer::dates_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("isDate");
    const QList<QPair<const char*, QPair<QString, bool>>> rows = {
        {"y/m/d", {u"2006/10/01"_s, true}},
        {"y/m/d short fields", {u"2006/1/1"_s, true}},
        {"y-m-d", {u"2006-10-01"_s, true}},
        {"two-digit year", {u"06/10/01"_s, true}},
        {"two-digit year leap day 2000", {u"00/2/29"_s, true}},
        {"two-digit year 1930s no leap", {u"31/2/29"_s, false}},
        {"30 February", {u"2006/02/30"_s, false}},
        {"leap day", {u"2004/02/29"_s, true}},
        {"no leap day", {u"2005/02/29"_s, false}},
        {"century not leap", {u"1900/02/29"_s, false}},
        {"400 years leap", {u"2000/02/29"_s, true}},
        {"month 13", {u"2006/13/01"_s, false}},
        {"day 0", {u"2006/10/00"_s, false}},
        {"31 April", {u"2006/04/31"_s, false}},
        {"three-digit year", {u"206/10/01"_s, false}},
        {"mixed separators", {u"2006/10-01"_s, false}},
        {"trailing separator", {u"2006/10/01/"_s, false}},
        {"three-digit day", {u"2006/10/001"_s, false}},
        {"kanji date", {u"2006年10月1日"_s, true}},
        {"kanji date invalid", {u"2006年2月30日"_s, false}},
        {"kanji date missing day mark", {u"2006年10月1"_s, false}},
        {"month/day", {u"10/01"_s, true}},
        {"month/day leap day", {u"2/29"_s, true}},
        {"month/day invalid", {u"13/01"_s, false}},
        {"month/day 31 June", {u"6/31"_s, false}},
        {"kanji month day", {u"10月1日"_s, true}},
        {"kanji month day invalid", {u"2月30日"_s, false}},
        {"Reiwa", {u"令和2年3月4日"_s, true}},
        {"Reiwa first year", {u"令和元年5月1日"_s, true}},
        {"before Reiwa", {u"令和元年4月30日"_s, false}},
        {"Heisei", {u"平成18年10月1日"_s, true}},
        {"Heisei first day", {u"平成元年1月8日"_s, true}},
        {"before Heisei", {u"平成元年1月7日"_s, false}},
        {"after Heisei", {u"平成31年5月1日"_s, false}},
        {"Showa last day", {u"昭和64年1月7日"_s, true}},
        {"after Showa", {u"昭和64年1月8日"_s, false}},
        {"era year zero", {u"平成0年1月8日"_s, false}},
        {"era leap day", {u"平成4年2月29日"_s, true}},
        {"era not a leap year", {u"平成5年2月29日"_s, false}},
        {"unknown era", {u"大正5年1月1日"_s, false}},
        {"h:mm", {u"12:30"_s, true}},
        {"single-digit hour", {u"9:05"_s, true}},
        {"h:mm:ss", {u"23:59:59"_s, true}},
        {"hour 24", {u"24:00"_s, false}},
        {"minute 60", {u"12:60"_s, false}},
        {"one-digit minute", {u"12:3"_s, false}},
        {"second 60", {u"12:00:60"_s, false}},
        {"morning", {u"午前9:30"_s, true}},
        {"afternoon with blank", {u"午後 3:30:15"_s, true}},
        {"afternoon hour 13", {u"午後13:00"_s, false}},
        {"date and time", {u"2006/10/01 12:30"_s, true}},
        {"kanji date and afternoon", {u"2006年10月1日 午後3:00"_s, true}},
        {"date and bad time", {u"2006/10/01 25:00"_s, false}},
        {"date glued to time", {u"2006/10/0112:30"_s, false}},
        {"surrounding blanks", {u" 2006/10/01 "_s, true}},
        {"full-width digits", {u"２００６／１０／０１"_s, true}},
        {"ideographic blank before an era date", {u"\u3000令和2年3月4日"_s, true}},
        {"ideographic blanks around a time", {u"\u3000午後3:00\u3000"_s, true}},
        {"kanji before the date", {u"約2006/10/01"_s, false}},
        {"empty", {u""_s, false}},
        {"blanks only", {u"   "_s, false}},
        {"number", {u"120"_s, false}},
        {"text", {u"abc"_s, false}},
    };
    for (const auto& [name, row] : rows)
        QTest::newRow(name) << row.first << row.second;
}

void TestDateNumberRecognizer::dates() {
    QFETCH(QString, value);
    QFETCH(bool, isDate);
    QCOMPARE(DateNumberRecognizer::isDate(value), isDate);
}

void TestDateNumberRecognizer::numbers_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("isNumber");
    const QList<QPair<const char*, QPair<QString, bool>>> rows = {
        {"integer", {u"120"_s, true}},
        {"negative decimal", {u"-3.5"_s, true}},
        {"plus sign", {u"+7"_s, true}},
        {"thousands", {u"1,000"_s, true}},
        {"millions with decimals", {u"12,345,678.25"_s, true}},
        {"group of two", {u"1,00"_s, false}},
        {"group of four", {u"1,0000"_s, false}},
        {"first group of four", {u"1000,000"_s, false}},
        {"leading comma", {u",100"_s, false}},
        {"double comma", {u"1,,000"_s, false}},
        {"comma after point", {u"1.000,5"_s, false}},
        {"leading point", {u".5"_s, true}},
        {"trailing point", {u"5."_s, true}},
        {"point alone", {u"."_s, false}},
        {"sign alone", {u"-"_s, false}},
        {"exponent", {u"1.5E+10"_s, true}},
        {"small exponent", {u"2e-3"_s, true}},
        {"exponent without digits", {u"1e"_s, false}},
        {"exponent without mantissa", {u"e5"_s, false}},
        {"surrounding blanks", {u"  42  "_s, true}},
        {"blank inside", {u"4 2"_s, false}},
        {"blank after sign", {u"- 4"_s, false}},
        {"two signs", {u"+-4"_s, false}},
        {"trailing sign", {u"4-"_s, false}},
        {"full-width digits", {u"１２０"_s, true}},
        {"full-width sign and point", {u"－３．５"_s, true}},
        {"full-width plus after ideographic blank", {u"\u3000＋７"_s, true}},
        {"full-width leading point", {u"．５"_s, true}},
        {"kanji before the digits", {u"約120"_s, false}},
        {"letters", {u"12a"_s, false}},
        {"hex", {u"0x1F"_s, false}},
        {"date", {u"2006/10/01"_s, false}},
        {"empty", {u""_s, false}},
        {"blanks only", {u"  "_s, false}},
    };
    for (const auto& [name, row] : rows)
        QTest::newRow(name) << row.first << row.second;
}

void TestDateNumberRecognizer::numbers() {
    QFETCH(QString, value);
    QFETCH(bool, isNumber);
    QCOMPARE(DateNumberRecognizer::isNumber(value), isNumber);
}

QTEST_GUILESS_MAIN(TestDateNumberRecognizer)
#include "TestDateNumberRecognizer.moc"
