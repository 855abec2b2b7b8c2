#include "TextPipeline.h"

#include "CaseKanaConversion.h"
#include "CharacterTables.h"
#include "DateNumberRecognizer.h"
#include "SpecialCodeProtection.h"
#include "TableWidthConversion.h"
#include "WidthMapping.h"

#include <algorithm>
#include <cstring>

namespace ornvale {

namespace {

using Table = CharacterTables::Table;
using Scope = SpecialCodeProtection::Scope;

// Exact search for `needle` (not empty) from `from`. Short patterns, the usual ones, are found
// by looking for their first character and comparing the rest, which costs far less on drawing
// texts than setting up Qt's general search for every value.
qsizetype findText(QStringView haystack, QStringView needle, qsizetype from = 0) {
    if (needle.size() > 16)
        return haystack.indexOf(needle, from);
    const qsizetype last = haystack.size() - needle.size();
    const auto begin = haystack.begin();
    for (; from <= last; ++from) {
        from = std::find(begin + from, begin + last + 1, needle.front()) - begin;
        if (from > last)
            return -1;
        if (std::equal(needle.begin() + 1, needle.end(), begin + from + 1))
            return from;
    }
    return -1;
}

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
        const bool holds = (findText(v, condition.pattern) >= 0) == condition.mustContain;
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

// Runs one step from the current value into the free buffer and makes the result current when
// it differs. The value before a step is always the value after the last counted change, so
// "changed since the previous value" is "changed by this step".
template <class Step> void TextPipeline::runStep(Current& v, double& counter, Step&& step) {
    QString& out = m_buffers[m_nextBuffer];
    step(v.text, out); // replaces the contents of `out`
    const bool same = out.size() == v.text.size() &&
                      std::memcmp(out.utf16(), v.text.utf16(), 2 * out.size()) == 0;
    if (!same) {
        counter += 1;
        v = {out, nullptr};
        m_nextBuffer ^= 1;
    }
}

QString TextPipeline::transform(const QString& value, TextEntityKind kind) {
    const Current v = run(value, kind);
    return v.whole ? *v.whole : v.text.toString();
}

QStringView TextPipeline::transformView(const QString& value, TextEntityKind kind) {
    return run(value, kind).text;
}

TextPipeline::Current TextPipeline::run(const QString& value, TextEntityKind kind) {
    const TextOptions& o = m_options;
    Current v{value, &value};
    if (m_changesNothing)
        return v;
    if (!passesValueCondition(o.valueCondition, value) ||
        !passesEntityKind(o.targetEntities, kind) || !passesContainsConditions(o, value))
        return v;

    replace(v);
    if (o.widthConversion != WidthConversion::NoWidthConversion)
        convertWidth(v, kind);
    if (o.caseConversion != CaseConversion::NoCaseConversion) {
        const bool upper = o.caseConversion == CaseConversion::ToUpper;
        runStep(v, m_counters.caseChangedCount, [&](QStringView in, QString& out) {
            SpecialCodeProtection::convert(
                in, kind, Scope::Case, out, [upper](QStringView text, char16_t* converted) {
                    return upper ? CaseKanaConversion::toUpper(text, converted)
                                 : CaseKanaConversion::toLower(text, converted);
                });
        });
    }
    if (o.kanaConversion != KanaConversion::NoKanaConversion) {
        const bool toKatakana = o.kanaConversion == KanaConversion::HiraganaToKatakana;
        double& counter = toKatakana ? m_counters.toKatakanaCount : m_counters.toHiraganaCount;
        runStep(v, counter, [toKatakana](QStringView in, QString& out) {
            out.resize(0);
            toKatakana ? CaseKanaConversion::hiraganaToKatakana(in, out)
                       : CaseKanaConversion::katakanaToHiragana(in, out);
        });
    }
    return v;
}

void TextPipeline::replace(Current& v) {
    const TextOptions& o = m_options;
    auto becomeReplaceText = [&] {
        if (v.text != o.replaceText) {
            m_counters.replacedCount += 1;
            v = {o.replaceText, &o.replaceText};
        }
    };
    switch (o.replaceMode) {
    case ReplaceMode::ReplaceOccurrences:
        if (o.searchText.isEmpty() || findText(v.text, o.searchText) < 0)
            return;
        runStep(v, m_counters.replacedCount, [&o](QStringView in, QString& out) {
            out.resize(0);
            // Every occurrence, left to right, continuing after each one.
            qsizetype from = 0;
            for (qsizetype at; (at = findText(in, o.searchText, from)) >= 0;
                 from = at + o.searchText.size()) {
                out.append(in.mid(from, at - from));
                out.append(o.replaceText);
            }
            out.append(in.mid(from));
        });
        return;
    case ReplaceMode::ReplaceEqualText:
        if (v.text == o.searchText)
            becomeReplaceText();
        return;
    case ReplaceMode::ReplaceMatchingText:
        becomeReplaceText();
        return;
    }
}

void TextPipeline::convertWidth(Current& v, TextEntityKind kind) {
    const TextOptions& o = m_options;
    const bool full = o.widthConversion == WidthConversion::ToFullWidth;
    double& counter = full ? m_counters.toFullWidthCount : m_counters.toHalfWidthCount;
    if (o.widthAll) {
        runStep(v, counter, [&](QStringView in, QString& out) {
            SpecialCodeProtection::convert(
                in, kind, Scope::Width, out, [full](QStringView text, char16_t* converted) {
                    return full ? WidthMapping::toFullWidth(text, converted)
                                : WidthMapping::toHalfWidth(text, converted);
                });
        });
        return;
    }
    // A fresh protection for each table, and a count for each.
    TableWidthConversion::Steps steps;
    for (Table table : widthTables(o)) {
        const bool digits = table == Table::SSZTEXT || table == Table::SSHTEXT;
        steps.append({table, digits ? o.widthDashPeriod : o.widthKanaMarks});
    }
    if (steps.isEmpty())
        return;
    QString& out = m_buffers[m_nextBuffer];
    TableWidthConversion::Changes changed;
    TableWidthConversion::convert(v.text, kind, steps, out, changed);
    for (qsizetype k = 0; k < steps.size(); ++k)
        counter += changed[k] ? 1 : 0;
    if (std::find(changed.begin(), changed.end(), true) != changed.end()) {
        v = {out, nullptr};
        m_nextBuffer ^= 1;
    }
}

} // namespace ornvale
