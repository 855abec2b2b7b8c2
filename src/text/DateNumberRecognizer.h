#pragma once

#include <QStringView>

namespace ornvale {

// The date and number tests of the value conditions. The whole value must match; an empty or
// blank value is neither. Full-width digits, signs and blanks (U+FF01 - U+FF5E, U+3000) count
// as their ASCII forms, so "１２０" is a number and "２００６／１０／０１" a date. Blanks are
// U+0020 (or U+3000); they may surround the value.
//
// Dates (y: 4 digits, or 2 digits read as 1930 - 2029; m, d: 1 or 2 digits; a valid day of the
// Gregorian calendar, leap years included):
//   y/m/d   y-m-d   yyyy年m月d日
//   m/d   m月d日                     (without a year; 2/29 is accepted)
//   令和|平成|昭和 n年m月d日           (n ≥ 1 or 元; the day must lie within the era:
//                                    昭和 1926-12-25 - 1989-01-07, 平成 1989-01-08 - 2019-04-30,
//                                    令和 from 2019-05-01)
// Times: h:mm or h:mm:ss (h 0 - 23 with 1 or 2 digits, mm and ss 00 - 59 with 2 digits),
// optionally preceded by 午前 or 午後 and one optional blank (then h is 0 - 12).
// A date, one or more blanks, and a time.
//
// Numbers: optional sign (+ or -), then digits, either plain or with "," separating groups of
// three from the second group on (1,000 and 12,345,678; not 1,00 or ,100), then an optional
// decimal point with digits (".5" and "5." are numbers; "." is not), then an optional exponent
// (e or E, optional sign, at least one digit).
class DateNumberRecognizer {
public:
    static bool isDate(QStringView value);
    static bool isNumber(QStringView value);
};

} // namespace ornvale
