#pragma once

#include "TextOptions.h"

#include <QObject>
#include <QString>

#include <array>

namespace ornvale {

class Prompter;

// The text window's option controls as a model: their values, which of them are shown, and the
// interlocks that run when one changes (a change a rule makes to another control runs that
// control's rule at once). The window binds its widgets to this; the command line replays its
// options through it, so both obey the same rules.
class TextWindowOptions : public QObject {
    Q_OBJECT

public:
    // Check1(i): the character classes of the width conversion.
    enum ClassBox { All = 0, Alphabet, Digits, Katakana, DashPeriod, KanaMarks, ClassBoxCount };
    // Check2(i): the width directions.
    enum DirectionBox { ToFull = 0, ToHalf = 1 };

    explicit TextWindowOptions(Prompter& prompter, QObject* parent = nullptr);

    // Combo5, Combo4, Combo6, List2(0), List4(0): the items of each list are in the order of
    // the enum they choose from.
    TargetEntities target() const { return m_target; }
    ValueCondition valueCondition() const { return m_valueCondition; }
    ReplaceMode replaceMode() const { return m_replaceMode; }
    CaseConversion caseConversion() const { return m_case; }
    KanaConversion kanaConversion() const { return m_kana; }
    // Rows 0..2 of the substring conditions: Text3/Combo1, Text2/Combo2, Text4/Combo3; the
    // combo's "を含む" is mustContain, "を含まない" its opposite.
    QString conditionPattern(int row) const { return m_patterns.at(size_t(row)); }
    bool conditionMustContain(int row) const { return m_mustContain.at(size_t(row)); }
    bool andSelected() const { return m_and; }        // Option1(0); Option1(1) "OR" otherwise
    QString searchText() const { return m_search; }   // Text1(0)
    QString replaceText() const { return m_replace; } // Text1(1)
    bool direction(int box) const { return m_directions.at(size_t(box)); }
    bool classBox(int box) const { return m_classes.at(size_t(box)); }

    bool caseGroupVisible() const { return m_caseVisible; }
    bool kanaGroupVisible() const { return m_kanaVisible; }
    bool classBoxVisible(int box) const { return box > Digits || m_classVisible.at(size_t(box)); }
    bool searchBoxVisible() const { return m_replaceMode != ReplaceMode::ReplaceMatchingText; }

    void setTarget(TargetEntities target);
    void setValueCondition(ValueCondition condition);
    void setConditionPattern(int row, const QString& text);
    void setConditionMustContain(int row, bool mustContain);
    void selectAnd(bool andSelected);
    void setReplaceMode(ReplaceMode mode);
    void setSearchText(const QString& text);
    void setReplaceText(const QString& text);
    // False when the interlock refused the tick (its message has been shown).
    bool setDirection(int box, bool ticked);
    void setClassBox(int box, bool ticked);
    void setCaseConversion(CaseConversion conversion);
    // False when the interlock refused the item (its message has been shown).
    bool setKanaConversion(KanaConversion conversion);

    // The record the text pipeline works with; hidden controls deliver their values too.
    TextOptions options() const;

    // The start button's checks before it asks, in its order: files in the list, then a search
    // string where the first replace mode needs one. The refusing check's message is shown.
    enum class StartCheck { Ready, NoFiles, SearchTextMissing };
    StartCheck checkStart(qsizetype fileCount) const;
    // The start button refuses a replacement without a search string in the first mode.
    bool searchTextMissing() const;
    static QString searchTextMissingMessage();
    static QString halfWidthBlocksHiraganaMessage(); // shown by the kana list
    static QString hiraganaBlocksHalfWidthMessage(); // shown by the half-width box

signals:
    void changed();

private:
    static QString singleLine(const QString& text);
    bool applyDirectionRule(int box);
    void applyClassRule(int box);
    bool applyKanaRule();
    void applyValueConditionRule();

    Prompter& m_prompter;
    TargetEntities m_target = TargetEntities::TextAndMText;
    ValueCondition m_valueCondition = ValueCondition::NoCondition;
    std::array<QString, 3> m_patterns;
    std::array<bool, 3> m_mustContain{true, true, true};
    bool m_and = false;
    ReplaceMode m_replaceMode = ReplaceMode::ReplaceOccurrences;
    QString m_search;
    QString m_replace;
    std::array<bool, 2> m_directions{};
    std::array<bool, ClassBoxCount> m_classes{};
    CaseConversion m_case = CaseConversion::NoCaseConversion;
    KanaConversion m_kana = KanaConversion::NoKanaConversion;
    bool m_caseVisible = true;
    bool m_kanaVisible = true;
    std::array<bool, 3> m_classVisible{true, true, true};
};

} // namespace ornvale
