#pragma once

#include <QString>

#include <array>

namespace ornvale {

enum class TextEntityKind { TextEntity, MTextEntity };

enum class ValueCondition {
    NoCondition = 0,
    DateOnly = 1,
    NotDateOnly = 2,
    NumericOnly = 3,
    NotNumericOnly = 4,
    NeitherDateNorNumeric = 5,
};
enum class TargetEntities { TextAndMText = 0, TextOnly = 1, MTextOnly = 2 };
enum class ConditionJoin { And, Or };
enum class ReplaceMode { ReplaceOccurrences = 0, ReplaceEqualText = 1, ReplaceMatchingText = 2 };
enum class WidthConversion { NoWidthConversion, ToFullWidth, ToHalfWidth };
enum class CaseConversion { NoCaseConversion = 0, ToUpper = 1, ToLower = 2 };
enum class KanaConversion { NoKanaConversion = 0, HiraganaToKatakana = 1, KatakanaToHiragana = 2 };

struct TextCondition {
    QString pattern; // empty: the condition is off
    bool mustContain = true;
};

// The text window's options as one record; a run takes one snapshot of it.
struct TextOptions {
    ValueCondition valueCondition = ValueCondition::NoCondition;
    TargetEntities targetEntities = TargetEntities::TextAndMText;
    ConditionJoin conditionJoin = ConditionJoin::Or;
    std::array<TextCondition, 3> conditions;
    ReplaceMode replaceMode = ReplaceMode::ReplaceOccurrences;
    QString searchText;
    QString replaceText;
    WidthConversion widthConversion = WidthConversion::NoWidthConversion;
    bool widthAll = false;
    bool widthAlphabet = false;
    bool widthDigits = false;
    bool widthKatakana = false;
    bool widthDashPeriod = false;
    bool widthKanaMarks = false;
    CaseConversion caseConversion = CaseConversion::NoCaseConversion;
    KanaConversion kanaConversion = KanaConversion::NoKanaConversion;
};

// Six counts of changed values, kept for a whole run.
struct TextCounters {
    double replacedCount = 0;
    double toFullWidthCount = 0;
    double toHalfWidthCount = 0;
    double caseChangedCount = 0;
    double toKatakanaCount = 0;
    double toHiraganaCount = 0;
};

} // namespace ornvale
