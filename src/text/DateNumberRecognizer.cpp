#include "DateNumberRecognizer.h"

#include <QString>
#include <QVarLengthArray>

#include <optional>

namespace ornvale {

namespace {

constexpr char16_t kIdeographicSpace = 0x3000;

// The ASCII form of a full-width ASCII character (U+FF01 - U+FF5E) or ideographic space.
char16_t asciiForm(char16_t u) {
    if (u >= 0xFF01 && u <= 0xFF5E)
        return char16_t(u - 0xFEE0);
    return u == kIdeographicSpace ? u' ' : u;
}

// The value with full-width ASCII forms and the ideographic space read as their ASCII forms,
// blanks trimmed. Kept on the stack: the tests run on every value of a drawing.
using Normalized = QVarLengthArray<char16_t, 64>;
QStringView normalized(QStringView value, Normalized& text) {
    text.resize(value.size());
    for (qsizetype i = 0; i < value.size(); ++i)
        text[i] = asciiForm(value[i].unicode());
    qsizetype first = 0, last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return QStringView(text.constData() + first, last - first);
}

// The first character after leading blanks, in its ASCII form; 0 for a blank value. Every form
// of a date or number starts with one of a few characters, so most texts are turned away here.
char16_t firstCharacter(QStringView value) {
    for (QChar c : value) {
        if (const char16_t u = asciiForm(c.unicode()); u != u' ')
            return u;
    }
    return 0;
}

bool isAsciiDigit(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

// A cursor over the text with the few readers the grammars need.
struct Cursor {
    QStringView s;
    qsizetype pos = 0;

    bool atEnd() const { return pos >= s.size(); }
    bool eat(QStringView literal) {
        if (!s.mid(pos).startsWith(literal))
            return false;
        pos += literal.size();
        return true;
    }
    // A whole run of digits whose length lies in [minCount, maxCount].
    std::optional<int> number(qsizetype minCount, qsizetype maxCount) {
        qsizetype end = pos;
        while (end < s.size() && isAsciiDigit(s[end]))
            ++end;
        const qsizetype count = end - pos;
        if (count < minCount || count > maxCount)
            return std::nullopt;
        const int value = s.mid(pos, count).toInt();
        pos = end;
        return value;
    }
    qsizetype digitRun() {
        const qsizetype start = pos;
        while (!atEnd() && isAsciiDigit(s[pos]))
            ++pos;
        return pos - start;
    }
};

bool isLeapYear(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

bool isValidDay(int y, int m, int d) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m < 1 || m > 12 || d < 1)
        return false;
    return d <= days[m - 1] + (m == 2 && isLeapYear(y) ? 1 : 0);
}

int twoDigitYear(int yy) {
    return yy < 30 ? 2000 + yy : 1900 + yy;
}

// y/m/d or y-m-d
bool numericDate(Cursor& c) {
    const qsizetype start = c.pos;
    const qsizetype yearDigits = c.digitRun();
    c.pos = start;
    auto y = c.number(2, 4);
    if (!y || yearDigits == 3)
        return false;
    const QStringView sep = c.s.mid(c.pos, 1);
    if (sep != u"/" && sep != u"-")
        return false;
    c.pos += 1;
    auto m = c.number(1, 2);
    if (!m || !c.eat(sep))
        return false;
    auto d = c.number(1, 2);
    return d && isValidDay(yearDigits == 2 ? twoDigitYear(*y) : *y, *m, *d);
}

// m/d, with the year left open
bool monthDaySlash(Cursor& c) {
    auto m = c.number(1, 2);
    if (!m || !c.eat(u"/"))
        return false;
    auto d = c.number(1, 2);
    return d && isValidDay(2000, *m, *d);
}

// m月d日 (year given by the caller, 0 for none)
bool kanjiMonthDay(Cursor& c, int year, int& month, int& day) {
    auto m = c.number(1, 2);
    if (!m || !c.eat(u"月"))
        return false;
    auto d = c.number(1, 2);
    if (!d || !c.eat(u"日"))
        return false;
    month = *m;
    day = *d;
    return isValidDay(year ? year : 2000, month, day);
}

bool kanjiDate(Cursor& c) {
    auto y = c.number(4, 4);
    int m = 0, d = 0;
    return y && c.eat(u"年") && kanjiMonthDay(c, *y, m, d);
}

bool kanjiMonthDayOnly(Cursor& c) {
    int m = 0, d = 0;
    return kanjiMonthDay(c, 0, m, d);
}

bool eraDate(Cursor& c) {
    struct Era {
        QStringView name;
        int firstYear, first, last; // first and last day as yyyymmdd
    };
    static const Era eras[] = {{u"昭和", 1926, 19261225, 19890107},
                               {u"平成", 1989, 19890108, 20190430},
                               {u"令和", 2019, 20190501, 99991231}};
    for (const Era& era : eras) {
        if (!c.eat(era.name))
            continue;
        std::optional<int> n = c.eat(u"元") ? std::optional<int>(1) : c.number(1, 2);
        if (!n || *n < 1 || !c.eat(u"年"))
            return false;
        const int year = era.firstYear + *n - 1;
        int m = 0, d = 0;
        if (!kanjiMonthDay(c, year, m, d))
            return false;
        const int ymd = year * 10000 + m * 100 + d;
        return ymd >= era.first && ymd <= era.last;
    }
    return false;
}

bool time(Cursor& c) {
    const bool halfDay = c.eat(u"午前") || c.eat(u"午後");
    if (halfDay)
        c.eat(u" ");
    auto h = c.number(1, 2);
    if (!h || *h > (halfDay ? 12 : 23) || !c.eat(u":"))
        return false;
    auto mm = c.number(2, 2);
    if (!mm || *mm > 59)
        return false;
    if (c.eat(u":")) {
        auto ss = c.number(2, 2);
        return ss && *ss <= 59;
    }
    return true;
}

} // namespace

bool DateNumberRecognizer::isDate(QStringView value) {
    const char16_t first = firstCharacter(value);
    if (!(first >= u'0' && first <= u'9') && first != u'午' && first != u'昭' && first != u'平' &&
        first != u'令')
        return false; // no time, date or era date starts otherwise; also the blank value
    Normalized buffer;
    const QStringView text = normalized(value, buffer);
    {
        Cursor c{text};
        if (time(c) && c.atEnd())
            return true;
    }
    for (auto date : {numericDate, monthDaySlash, kanjiDate, kanjiMonthDayOnly, eraDate}) {
        Cursor c{text};
        if (!date(c))
            continue;
        if (c.atEnd())
            return true;
        if (!c.eat(u" "))
            continue;
        while (c.eat(u" ")) {
        }
        if (time(c) && c.atEnd())
            return true;
    }
    return false;
}

bool DateNumberRecognizer::isNumber(QStringView value) {
    const char16_t first = firstCharacter(value);
    if (!(first >= u'0' && first <= u'9') && first != u'+' && first != u'-' && first != u'.')
        return false; // a sign, a digit or the decimal point comes first; also the blank value
    Normalized buffer;
    const QStringView text = normalized(value, buffer);
    Cursor c{text};
    if (!c.eat(u"+"))
        c.eat(u"-");
    qsizetype digits = c.digitRun();
    if (digits > 0 && !c.atEnd() && c.s[c.pos] == u',') {
        if (digits > 3)
            return false;
        while (c.eat(u",")) {
            if (c.digitRun() != 3)
                return false;
        }
    }
    if (c.eat(u"."))
        digits += c.digitRun();
    if (digits == 0)
        return false;
    if (c.eat(u"e") || c.eat(u"E")) {
        if (!c.eat(u"+"))
            c.eat(u"-");
        if (c.digitRun() == 0)
            return false;
    }
    return c.atEnd();
}

} // namespace ornvale
