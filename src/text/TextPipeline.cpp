#include "TextPipeline.h"

#include "CaseKanaConversion.h"
#include "CharacterTables.h"
#include "DateNumberRecognizer.h"
#include "SpecialCodeProtection.h"
#include "WidthMapping.h"

namespace ornvale {

namespace {

using Table = CharacterTables::Table;
using Scope = SpecialCodeProtection::Scope;

bool passesValueCondition(ValueCondition condition, const QString& v) {
    switch (condition) {
    case ValueCondition::NoCondition:
        return true;
    case ValueCondition::DateOnly:
        return DateNumberRecognizer::isDate(v);
    case ValueCondition::NotDateOnly:
        return !DateNumberRecognizer::isDate(v);
    case ValueCondition::NumericOnly:
        return DateNumberRecognizer::isNumber(v);
    case ValueCondition::NotNumericOnly:
        return !DateNumberRecognizer::isNumber(v);
    case ValueCondition::NeitherDateNorNumeric:
        return !DateNumberRecognizer::isDate(v) && !DateNumberRecognizer::isNumber(v);
    }
    return true;
}

bool passesEntityKind(TargetEntities target, TextEntityKind kind) {
    if (target == TargetEntities::MTextOnly)
        return kind == TextEntityKind::MTextEntity;
    if (target == TargetEntities::TextOnly)
        return kind == TextEntityKind::TextEntity;
    return true;
}

bool passesContainsConditions(const TextOptions& o, const QString& v) {
    bool anyUsed = false;
    for (const TextCondition& condition : o.conditions) {
        if (condition.pattern.isEmpty())
            continue;
        anyUsed = true;
        const bool holds = v.contains(condition.pattern) == condition.mustContain;
        if (o.conditionJoin == ConditionJoin::And && !holds)
            return false;
        if (o.conditionJoin == ConditionJoin::Or && holds)
            return true;
    }
    return !anyUsed || o.conditionJoin == ConditionJoin::And;
}

bool replacementChangesNothing(const TextOptions& o) {
    switch (o.replaceMode) {
    case ReplaceMode::ReplaceOccurrences:
        return o.searchText.isEmpty() || o.searchText == o.replaceText;
    case ReplaceMode::ReplaceEqualText:
        return o.searchText == o.replaceText;
    case ReplaceMode::ReplaceMatchingText:
        return false;
    }
    return false;
}

// The table sub-steps of the width step, in the order they run.
QVarLengthArray<Table, 3> widthTables(const TextOptions& o) {
    QVarLengthArray<Table, 3> tables;
    if (o.widthConversion == WidthConversion::NoWidthConversion || o.widthAll)
        return tables;
    const bool full = o.widthConversion == WidthConversion::ToFullWidth;
    if (o.widthAlphabet)
        tables.append(full ? Table::AFZTEXT : Table::AFHTEXT);
    if (o.widthDigits)
        tables.append(full ? Table::SSZTEXT : Table::SSHTEXT);
    if (o.widthKatakana)
        tables.append(full ? Table::KTZTEXT : Table::KTHTEXT);
    return tables;
}

} // namespace

TextPipeline::TextPipeline(const TextOptions& options)
    : m_options(options), m_changesNothing(changesNothing()) {}

bool TextPipeline::changesNothing() const {
    const TextOptions& o = m_options;
    const bool widthIdle = o.widthConversion == WidthConversion::NoWidthConversion ||
                           (!o.widthAll && widthTables(o).isEmpty());
    return replacementChangesNothing(o) && widthIdle &&
           o.caseConversion == CaseConversion::NoCaseConversion &&
           o.kanaConversion == KanaConversion::NoKanaConversion;
}

// Counts a step when it changed the value and makes the value the new reference.
void TextPipeline::countIfChanged(const QString& v, QString& previous, double& counter) {
    if (QStringView(v) != QStringView(previous)) {
        counter += 1;
        previous = v;
    }
}

QString TextPipeline::transform(const QString& value, TextEntityKind kind) {
    const TextOptions& o = m_options;
    if (m_changesNothing)
        return value;
    if (!passesValueCondition(o.valueCondition, value) ||
        !passesEntityKind(o.targetEntities, kind) || !passesContainsConditions(o, value))
        return value;

    QString previous = value;
    QString v = replaced(value);
    countIfChanged(v, previous, m_counters.replacedCount);

    if (o.widthConversion != WidthConversion::NoWidthConversion)
        v = convertWidth(v, kind, previous);

    if (o.caseConversion != CaseConversion::NoCaseConversion) {
        const bool upper = o.caseConversion == CaseConversion::ToUpper;
        v = SpecialCodeProtection::convert(
            v, kind, Scope::Case, [upper](QStringView in, QString& out) {
                upper ? CaseKanaConversion::toUpper(in, out) : CaseKanaConversion::toLower(in, out);
            });
        countIfChanged(v, previous, m_counters.caseChangedCount);
    }

    if (o.kanaConversion == KanaConversion::HiraganaToKatakana) {
        v = CaseKanaConversion::hiraganaToKatakana(v);
        countIfChanged(v, previous, m_counters.toKatakanaCount);
    } else if (o.kanaConversion == KanaConversion::KatakanaToHiragana) {
        v = CaseKanaConversion::katakanaToHiragana(v);
        countIfChanged(v, previous, m_counters.toHiraganaCount);
    }
    return v;
}

QString TextPipeline::replaced(const QString& v) const {
    const TextOptions& o = m_options;
    switch (o.replaceMode) {
    case ReplaceMode::ReplaceOccurrences:
        if (o.searchText.isEmpty() || !v.contains(o.searchText))
            return v;
        return QString(v).replace(o.searchText, o.replaceText);
    case ReplaceMode::ReplaceEqualText:
        return v == o.searchText ? o.replaceText : v;
    case ReplaceMode::ReplaceMatchingText:
        return o.replaceText;
    }
    return v;
}

QString TextPipeline::convertWidth(QString v, TextEntityKind kind, QString& previous) {
    const TextOptions& o = m_options;
    const bool full = o.widthConversion == WidthConversion::ToFullWidth;
    double& counter = full ? m_counters.toFullWidthCount : m_counters.toHalfWidthCount;
    if (o.widthAll) {
        v = SpecialCodeProtection::convert(
            v, kind, Scope::Width, [full](QStringView in, QString& out) {
                full ? WidthMapping::toFullWidth(in, out) : WidthMapping::toHalfWidth(in, out);
            });
        countIfChanged(v, previous, counter);
        return v;
    }
    // A fresh protection for each table, and a count for each.
    for (Table table : widthTables(o)) {
        const bool optionalRows = table == Table::SSZTEXT || table == Table::SSHTEXT
                                      ? o.widthDashPeriod
                                      : o.widthKanaMarks;
        v = SpecialCodeProtection::convert(v, kind, Scope::Width,
                                           [&](QStringView in, QString& out) {
                                               CharacterTables::apply(table, in, out, optionalRows);
                                           });
        countIfChanged(v, previous, counter);
    }
    return v;
}

} // namespace ornvale
