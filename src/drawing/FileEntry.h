#pragma once

#include <QString>

namespace ornvale {

// One drawing of a file list pair: the list name shown in List1 and the source path in List3.
struct FileEntry {
    QString listName;   // " " + file name with extension
    QString sourcePath; // full path as dropped

    // The list name without its last four characters, leading blanks removed ("plan" for
    // " plan.dwg"). Output files are named after it.
    QString nameKey() const {
        QString key = listName.left(qMax<qsizetype>(0, listName.size() - 4));
        qsizetype start = 0;
        while (start < key.size() && key[start] == QLatin1Char(' '))
            ++start;
        return key.mid(start);
    }
};

} // namespace ornvale
