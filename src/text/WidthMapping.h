#pragma once

#include <QString>
#include <QStringView>

namespace ornvale {

// Width conversion of all characters: every character that code page 932 stores in one byte
// and its double-byte counterpart.
//
//   blank U+0020                   <-> ideographic space U+3000
//   U+0021 - U+007E                <-> U+FF01 - U+FF5E (the backslash included; callers protect it)
//   half-width katakana and marks  <-> full-width forms (｡｢｣､･ｰ and ﾞ ﾟ <-> 。「」、・ー and ゛ ゜)
//   letter + ﾞ / ﾟ                  <-> the voiced letter (ｶﾞ <-> ガ, ﾊﾟ <-> パ, ｳﾞ <-> ヴ)
//
// Only voiced letters that code page 932 has are combined: ﾜﾞ and ｦﾞ stay two full-width
// characters (ワ゛), as a letter like ヷ would not survive being saved. A voiced mark that follows
// no letter with a voiced form becomes ゛ / ゜, never a combining mark. The yen sign U+00A5,
// ヰ ヱ ヮ ヵ ヶ and everything else without a one-byte counterpart stay as they are.
class WidthMapping {
public:
    // Append to `out`.
    static void toFullWidth(QStringView in, QString& out);
    static void toHalfWidth(QStringView in, QString& out);
    // Write at `out`, which has room for 2 * in.size() characters; return the end.
    static char16_t* toFullWidth(QStringView in, char16_t* out);
    static char16_t* toHalfWidth(QStringView in, char16_t* out);
    static QString toFullWidth(QStringView in);
    static QString toHalfWidth(QStringView in);
};

} // namespace ornvale
