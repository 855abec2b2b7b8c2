#include "TextPipeline.h"

#include "CaseKanaConversion.h"
#include "CharacterTables.h"
#include "DateNumberRecognizer.h"
#include "SpecialCodeProtection.h"
#include "WidthMapping.h"

#include <utility>

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

// Runs one step into the scratch buffer and takes the result when it differs from the value.
// The value before a step is always the value after the last counted change, so "changed
// since the previous value" is "changed by this step".
template <class Step> void TextPipeline::runStep(QString& v, double& counter, Step&& step) {
    if (!m_scratch.isDetached())
        m_scratch = QString(); // shared with a value handed out: start a buffer of our own
    step(std::as_const(v), m_scratch);
    if (QStringView(m_scratch) != QStringView(v)) {
        counter += 1;
        std::swap(v, m_scratch);
    }
}

QString TextPipeline::transform(const QString& value, TextEntityKind kind) {
    const TextOptions& o = m_options;
    if (m_changesNothing)
        return value;
    if (!passesValueCondition(o.valueCondition, value) ||
        !passesEntityKind(o.targetEntities, kind) || !passesContainsConditions(o, value))
        return value;

    QString v = value;
    runStep(v, m_counters.replacedCount,
            [this](const QString& in, QString& out) { out = replaced(in); });
    if (o.widthConversion != WidthConversion::NoWidthConversion)
        convertWidth(v, kind);
    if (o.caseConversion != CaseConversion::NoCaseConversion) {
        const bool upper = o.caseConversion == CaseConversion::ToUpper;
        runStep(v, m_counters.caseChangedCount, [&](const QString& in, QString& out) {
            SpecialCodeProtection::convert(in, kind, Scope::Case, out,
                                           [upper](QStringView text, QString& converted) {
                                               upper ? CaseKanaConversion::toUpper(text, converted)
                                                     : CaseKanaConversion::toLower(text, converted);
                                           });
        });
    }
    if (o.kanaConversion != KanaConversion::NoKanaConversion) {
        const bool toKatakana = o.kanaConversion == KanaConversion::HiraganaToKatakana;
        double& counter = toKatakana ? m_counters.toKatakanaCount : m_counters.toHiraganaCount;
        runStep(v, counter, [toKatakana](const QString& in, QString& out) {
            out.resize(0);
            toKatakana ? CaseKanaConversion::hiraganaToKatakana(in, out)
                       : CaseKanaConversion::katakanaToHiragana(in, out);
        });
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

void TextPipeline::convertWidth(QString& v, TextEntityKind kind) {
    const TextOptions& o = m_options;
    const bool full = o.widthConversion == WidthConversion::ToFullWidth;
    double& counter = full ? m_counters.toFullWidthCount : m_counters.toHalfWidthCount;
    if (o.widthAll) {
        runStep(v, counter, [&](const QString& in, QString& out) {
            SpecialCodeProtection::convert(in, kind, Scope::Width, out,
                                           [full](QStringView text, QString& converted) {
                                               full ? WidthMapping::toFullWidth(text, converted)
                                                    : WidthMapping::toHalfWidth(text, converted);
                                           });
        });
        return;
    }
    // A fresh protection for each table, and a count for each.
    for (Table table : widthTables(o)) {
        const bool optionalRows = table == Table::SSZTEXT || table == Table::SSHTEXT
                                      ? o.widthDashPeriod
                                      : o.widthKanaMarks;
        // Nothing to protect and nothing the table converts: the value stays as it is.
        if (SpecialCodeProtection::shape(v, kind, Scope::Width) ==
                SpecialCodeProtection::Shape::Plain &&
            !CharacterTables::touches(table, v, optionalRows))
            continue;
        runStep(v, counter, [&](const QString& in, QString& out) {
            SpecialCodeProtection::convert(
                in, kind, Scope::Width, out, [&](QStringView text, QString& converted) {
                    CharacterTables::apply(table, text, converted, optionalRows);
                });
        });
    }
}

} // namespace ornvale
