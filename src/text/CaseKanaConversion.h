#pragma once

#include <QString>
#include <QStringView>

namespace ornvale {

// The case and the hiragana / katakana conversions of the text pipeline.
//
// Case: every letter that has the other case is mapped by its simple (one-to-one) Unicode case
// mapping, independent of the locale: ASCII, full-width Latin, Greek, Cyrillic and the rest alike.
// Letters whose case mapping is longer than one character (ß -> SS, ŉ -> ʼN, ǰ, the Greek letters
// with iota subscript) stay as they are, so ß stays ß under ToUpper; title-case letters such as
// ǅ go to Ǆ / ǆ; İ lowers to a plain i (no Turkish rules).
// Keeping the length keeps protected codes and their placeholders where they are.
//
// Kana: the hiragana letters ぁ ... ん and the iteration marks ゝ ゞ map to katakana ァ ... ン, ヽ
// ヾ and back. ゔ ゕ ゖ become ヴ ヵ ヶ; the other way round ヴ ヵ ヶ stay katakana, because their
// hiragana forms are not in code page 932 and would not survive being saved. Half-width katakana
// is not touched.
class CaseKanaConversion {
public:
    // Append to `out`.
    static void toUpper(QStringView in, QString& out);
    static void toLower(QStringView in, QString& out);
    // Write at `out`, which has room for 2 * in.size() characters; return the end.
    static char16_t* toUpper(QStringView in, char16_t* out);
    static char16_t* toLower(QStringView in, char16_t* out);
    static void hiraganaToKatakana(QStringView in, QString& out);
    static void katakanaToHiragana(QStringView in, QString& out);

    static QString toUpper(QStringView in);
    static QString toLower(QStringView in);
    static QString hiraganaToKatakana(QStringView in);
    static QString katakanaToHiragana(QStringView in);
};

} // namespace ornvale
