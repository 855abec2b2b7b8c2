#include "TextWindowOptions.h"

#include "Messages.h"
#include "Prompter.h"

namespace ornvale {

namespace {
constexpr int kDateOnly = 1;
constexpr int kNumericOnly = 3;
constexpr int kKatakanaToHiragana = 2;
} // namespace

TextWindowOptions::TextWindowOptions(Prompter& prompter, QObject* parent)
    : QObject(parent), m_prompter(prompter) {
    // The window's start-up order; the value condition and the replace mode run their rules,
    // so every control starts shown.
    setCaseIndex(0);
    setTargetIndex(0);
    setKanaIndex(0);
    for (int row = 0; row < 3; ++row)
        setConditionModeIndex(row, 0);
    setValueConditionIndex(0);
    setReplaceModeIndex(0);
}

QString TextWindowOptions::singleLine(const QString& text) {
    QString line = text;
    line.remove(u'\r');
    line.remove(u'\n');
    return line;
}

void TextWindowOptions::setTargetIndex(int index) {
    m_target = index;
    emit changed();
}

void TextWindowOptions::setConditionPattern(int row, const QString& text) {
    m_patterns.at(size_t(row)) = singleLine(text);
    emit changed();
}

void TextWindowOptions::setConditionModeIndex(int row, int index) {
    m_modes.at(size_t(row)) = index;
    emit changed();
}

void TextWindowOptions::selectAnd(bool andSelected) {
    m_and = andSelected; // the two buttons are exclusive: one value holds both
    emit changed();
}

void TextWindowOptions::setReplaceModeIndex(int index) {
    m_replaceMode = index; // the search box is hidden in mode 2 and keeps its text
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

void TextWindowOptions::setCaseIndex(int index) {
    m_case = index;
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
        if (m_kana == kKatakanaToHiragana) {
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

bool TextWindowOptions::setKanaIndex(int index) {
    m_kana = index;
    const bool accepted = applyKanaRule();
    emit changed();
    return accepted;
}

bool TextWindowOptions::applyKanaRule() {
    if (m_directions[ToHalf] && m_kana == kKatakanaToHiragana) {
        m_prompter.inform(halfWidthBlocksHiraganaMessage(), confirmTitle());
        m_kana = 0;
        return false;
    }
    return true;
}

void TextWindowOptions::setValueConditionIndex(int index) {
    m_valueCondition = index;
    applyValueConditionRule();
    emit changed();
}

// A date has no case or kana to convert; a number has only digits to widen.
void TextWindowOptions::applyValueConditionRule() {
    m_caseVisible = true;
    m_kanaVisible = true;
    m_classVisible = {true, true, true};
    if (m_valueCondition == kDateOnly) {
        m_kana = 0;
        applyKanaRule();
        m_kanaVisible = false;
    } else if (m_valueCondition == kNumericOnly) {
        m_case = 0;
        m_caseVisible = false;
        m_kana = 0;
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
    o.valueCondition = static_cast<ValueCondition>(m_valueCondition);
    o.targetEntities = static_cast<TargetEntities>(m_target);
    o.conditionJoin = m_and ? ConditionJoin::And : ConditionJoin::Or;
    for (size_t row = 0; row < 3; ++row)
        o.conditions[row] = TextCondition{m_patterns[row], m_modes[row] == 0};
    o.replaceMode = static_cast<ReplaceMode>(m_replaceMode);
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
    o.caseConversion = static_cast<CaseConversion>(m_case);
    o.kanaConversion = static_cast<KanaConversion>(m_kana);
    return o;
}

bool TextWindowOptions::searchTextMissing() const {
    return m_replaceMode == 0 && !m_replace.isEmpty() && m_search.isEmpty();
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
