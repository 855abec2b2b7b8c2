#include "TextWindowOptions.h"

#include "Messages.h"
#include "Prompter.h"

namespace ornvale {

TextWindowOptions::TextWindowOptions(Prompter& prompter, QObject* parent)
    : QObject(parent), m_prompter(prompter) {
    // The window's start-up order; the value condition and the replace mode run their rules,
    // so every control starts shown.
    setCaseConversion(CaseConversion::NoCaseConversion);
    setTarget(TargetEntities::TextAndMText);
    setKanaConversion(KanaConversion::NoKanaConversion);
    for (int row = 0; row < 3; ++row)
        setConditionMustContain(row, true);
    setValueCondition(ValueCondition::NoCondition);
    setReplaceMode(ReplaceMode::ReplaceOccurrences);
}

QString TextWindowOptions::singleLine(const QString& text) {
    QString line = text;
    line.remove(u'\r');
    line.remove(u'\n');
    return line;
}

void TextWindowOptions::setTarget(TargetEntities target) {
    m_target = target;
    emit changed();
}

void TextWindowOptions::setConditionPattern(int row, const QString& text) {
    m_patterns.at(size_t(row)) = singleLine(text);
    emit changed();
}

void TextWindowOptions::setConditionMustContain(int row, bool mustContain) {
    m_mustContain.at(size_t(row)) = mustContain;
    emit changed();
}

void TextWindowOptions::selectAnd(bool andSelected) {
    m_and = andSelected; // the two buttons are exclusive: one value holds both
    emit changed();
}

void TextWindowOptions::setReplaceMode(ReplaceMode mode) {
    m_replaceMode = mode; // the search box is hidden in the third mode and keeps its text
    emit changed();
}

void TextWindowOptions::setSearchText(const QString& text) {
    m_search = singleLine(text);
    emit changed();
}

void TextWindowOptions::setReplaceText(const QString& text) {
    m_replace = singleLine(text);
    emit changed();
}

void TextWindowOptions::setCaseConversion(CaseConversion conversion) {
    m_case = conversion;
    emit changed();
}

void TextWindowOptions::setClassBox(int box, bool ticked) {
    if (m_classes.at(size_t(box)) != ticked) {
        m_classes.at(size_t(box)) = ticked;
        if (ticked)
            applyClassRule(box);
    }
    emit changed();
}

// "すべて" and the single classes exclude each other; "「－．」" brings the digits and
// "「ー、。」" the katakana with it. Unticking has no side effect.
void TextWindowOptions::applyClassRule(int box) {
    auto tick = [this](int other, bool ticked) {
        if (m_classes.at(size_t(other)) == ticked)
            return;
        m_classes.at(size_t(other)) = ticked;
        if (ticked)
            applyClassRule(other);
    };
    if (box == All) {
        for (int other = Alphabet; other < ClassBoxCount; ++other)
            tick(other, false);
    }
    if (box == DashPeriod)
        tick(Digits, true);
    if (box == KanaMarks)
        tick(Katakana, true);
    if (box > All && m_classes.at(size_t(box)))
        tick(All, false);
}

bool TextWindowOptions::setDirection(int box, bool ticked) {
    bool accepted = true;
    if (m_directions.at(size_t(box)) != ticked) {
        m_directions.at(size_t(box)) = ticked;
        if (ticked)
            accepted = applyDirectionRule(box);
    }
    emit changed();
    return accepted;
}

bool TextWindowOptions::applyDirectionRule(int box) {
    if (box == ToHalf) {
        if (m_kana == KanaConversion::KatakanaToHiragana) {
            m_directions[ToHalf] = false;
            m_prompter.inform(hiraganaBlocksHalfWidthMessage(), confirmTitle());
            return false;
        }
        m_directions[ToFull] = false;
    } else {
        m_directions[ToHalf] = false;
    }
    // A direction with no class chosen converts all characters.
    if (!m_classes[All] && !m_classes[Alphabet] && !m_classes[Digits] && !m_classes[Katakana]) {
        m_classes[All] = true;
        applyClassRule(All);
    }
    return true;
}

bool TextWindowOptions::setKanaConversion(KanaConversion conversion) {
    m_kana = conversion;
    const bool accepted = applyKanaRule();
    emit changed();
    return accepted;
}

bool TextWindowOptions::applyKanaRule() {
    if (m_directions[ToHalf] && m_kana == KanaConversion::KatakanaToHiragana) {
        m_prompter.inform(halfWidthBlocksHiraganaMessage(), confirmTitle());
        m_kana = KanaConversion::NoKanaConversion;
        return false;
    }
    return true;
}

void TextWindowOptions::setValueCondition(ValueCondition condition) {
    m_valueCondition = condition;
    applyValueConditionRule();
    emit changed();
}

// A date has no case or kana to convert; a number has only digits to widen.
void TextWindowOptions::applyValueConditionRule() {
    m_caseVisible = true;
    m_kanaVisible = true;
    m_classVisible = {true, true, true};
    if (m_valueCondition == ValueCondition::DateOnly) {
        m_kana = KanaConversion::NoKanaConversion;
        applyKanaRule();
        m_kanaVisible = false;
    } else if (m_valueCondition == ValueCondition::NumericOnly) {
        m_case = CaseConversion::NoCaseConversion;
        m_caseVisible = false;
        m_kana = KanaConversion::NoKanaConversion;
        applyKanaRule();
        m_kanaVisible = false;
        m_classes[All] = false;
        m_classVisible[All] = false;
        m_classes[Alphabet] = false;
        m_classVisible[Alphabet] = false;
        if (!m_classes[Digits]) {
            m_classes[Digits] = true;
            applyClassRule(Digits);
        }
    }
}

TextOptions TextWindowOptions::options() const {
    TextOptions o;
    o.valueCondition = m_valueCondition;
    o.targetEntities = m_target;
    o.conditionJoin = m_and ? ConditionJoin::And : ConditionJoin::Or;
    for (size_t row = 0; row < 3; ++row)
        o.conditions[row] = TextCondition{m_patterns[row], m_mustContain[row]};
    o.replaceMode = m_replaceMode;
    o.searchText = m_search;
    o.replaceText = m_replace;
    o.widthConversion = m_directions[ToFull]   ? WidthConversion::ToFullWidth
                        : m_directions[ToHalf] ? WidthConversion::ToHalfWidth
                                               : WidthConversion::NoWidthConversion;
    o.widthAll = m_classes[All];
    o.widthAlphabet = m_classes[Alphabet];
    o.widthDigits = m_classes[Digits];
    o.widthKatakana = m_classes[Katakana];
    o.widthDashPeriod = m_classes[DashPeriod];
    o.widthKanaMarks = m_classes[KanaMarks];
    o.caseConversion = m_case;
    o.kanaConversion = m_kana;
    return o;
}

TextWindowOptions::StartCheck TextWindowOptions::checkStart(qsizetype fileCount) const {
    if (fileCount == 0) {
        m_prompter.inform(noFilesMessage(), confirmTitle());
        return StartCheck::NoFiles;
    }
    if (searchTextMissing()) {
        m_prompter.inform(searchTextMissingMessage(), confirmTitle());
        return StartCheck::SearchTextMissing;
    }
    return StartCheck::Ready;
}

bool TextWindowOptions::searchTextMissing() const {
    return m_replaceMode == ReplaceMode::ReplaceOccurrences && !m_replace.isEmpty() &&
           m_search.isEmpty();
}

QString TextWindowOptions::searchTextMissingMessage() {
    return QStringLiteral("検索文字列を入力して下さい。");
}

QString TextWindowOptions::halfWidthBlocksHiraganaMessage() {
    return QStringLiteral("「全角⇒半角 変換」にチェックが入っているため選択できません。　");
}

QString TextWindowOptions::hiraganaBlocksHalfWidthMessage() {
    return QStringLiteral(
        "「全角カタカナ ⇒ひらがな 変換」にチェックが入っているため選択できません。　");
}

} // namespace ornvale
