#pragma once

#include <QList>
#include <QString>
#include <QStringView>

namespace ornvale {

// The program's own half-width / full-width tables for the alphabet, the digits and katakana
// (AFZTEXT, AFHTEXT, SSZTEXT, SSHTEXT, KTZTEXT, KTHTEXT).
//
// Each table is defined as an ordered list of rows applied as replace-all passes. apply() gets the
// same result in one scan: within a table no row's target feeds another row, and the only
// two-character sources (KTZTEXT's voiced letters) start with a letter and end with a mark, so
// they cannot overlap. Tests hold apply() against the row-by-row passes.
class CharacterTables {
public:
    enum class Table { AFZTEXT, AFHTEXT, SSZTEXT, SSHTEXT, KTZTEXT, KTHTEXT };

    struct Row {
        QString from;
        QString to;
    };

    // The rows in the order they are applied; `optionalRows` adds the rows behind
    // widthDashPeriod (digit tables) or widthKanaMarks (katakana tables).
    static QList<Row> rows(Table table, bool optionalRows);

    // Appends `in` converted by the table to `out`.
    static void apply(Table table, QStringView in, QString& out, bool optionalRows);
    // Writes `in` converted at `out`, which has room for 2 * in.size() characters; returns the end.
    static char16_t* apply(Table table, QStringView in, char16_t* out, bool optionalRows);
    static QString apply(Table table, QStringView in, bool optionalRows);

    // False only when no row of the table can match anything in `in` (a quick pre-test).
    static bool touches(Table table, QStringView in, bool optionalRows);

    static QString ktzText(const QString& v, bool kanaMarks) {
        return apply(Table::KTZTEXT, v, kanaMarks);
    }
    static QString kthText(const QString& v, bool kanaMarks) {
        return apply(Table::KTHTEXT, v, kanaMarks);
    }
};

} // namespace ornvale
