#pragma once

#include "CharacterTables.h"
#include "TextOptions.h"

#include <QString>
#include <QStringView>
#include <QVarLengthArray>

#include <array>

namespace ornvale {

// The width conversion by the program's tables (alphabet, digits, katakana): each selected
// table is a sub-step of its own, with a fresh special-code protection around it and its own
// "changed" flag (the pipeline counts each).
//
// convert() splits the value into codes and text once and runs all tables over the text pieces,
// which gives the same result as the sub-steps one by one whenever no table can turn text into a
// code: the tables never write "\", "%", "￥", "{" or "}", but text right behind a lone
// protected backslash can become a code ("\Ｐ" turns into "\P", "\ｕ+００ｂ０" into "\u+00b0",
// which the next sub-step would restore as "\U+00B0"), and text holding "%" might complete a
// "%%" code (kept out to be safe). Those values, and values holding placeholder characters, take
// the sub-steps one by one. Every piece keeps or grows its length (to half width) or keeps or
// shrinks it (to full width), so a sub-step changed the value exactly when it changed a piece.
class TableWidthConversion {
public:
    struct Step {
        CharacterTables::Table table;
        bool optionalRows;
    };
    using Steps = QVarLengthArray<Step, 3>;
    using Changes = std::array<bool, 3>;

    // Runs the steps (at most three) over `value`; the result replaces the contents of `out`,
    // and changed[k] tells whether step k changed the value it was given.
    static void convert(QStringView value, TextEntityKind kind, const Steps& steps, QString& out,
                        Changes& changed);
    // The definition: each step protects, converts and restores on its own.
    static void convertStepByStep(QStringView value, TextEntityKind kind, const Steps& steps,
                                  QString& out, Changes& changed);

private:
    static bool convertShared(QStringView value, TextEntityKind kind, const Steps& steps,
                              QString& out, Changes& changed);
};

} // namespace ornvale
