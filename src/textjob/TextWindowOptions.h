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

    // Combo5, Combo4, Combo6, List2(0), List4(0): indexes of the selected items.
    int targetIndex() const { return m_target; }
    int valueConditionIndex() const { return m_valueCondition; }
    int replaceModeIndex() const { return m_replaceMode; }
    int caseIndex() const { return m_case; }
    int kanaIndex() const { return m_kana; }
    // Rows 0..2 of the substring conditions: Text3/Combo1, Text2/Combo2, Text4/Combo3.
    QString conditionPattern(int row) const { return m_patterns.at(size_t(row)); }
    int conditionModeIndex(int row) const { return m_modes.at(size_t(row)); }
    bool andSelected() const { return m_and; }        // Option1(0); Option1(1) "OR" otherwise
    QString searchText() const { return m_search; }   // Text1(0)
    QString replaceText() const { return m_replace; } // Text1(1)
    bool direction(int box) const { return m_directions.at(size_t(box)); }
    bool classBox(int box) const { return m_classes.at(size_t(box)); }

    bool caseGroupVisible() const { return m_caseVisible; }
    bool kanaGroupVisible() const { return m_kanaVisible; }
    bool classBoxVisible(int box) const { return box > Digits || m_classVisible.at(size_t(box)); }
    bool searchBoxVisible() const { return m_replaceMode != 2; }

    void setTargetIndex(int index);
    void setValueConditionIndex(int index);
    void setConditionPattern(int row, const QString& text);
    void setConditionModeIndex(int row, int index);
    void selectAnd(bool andSelected);
    void setReplaceModeIndex(int index);
    void setSearchText(const QString& text);
    void setReplaceText(const QString& text);
    // False when the interlock refused the tick (its message has been shown).
    bool setDirection(int box, bool ticked);
    void setClassBox(int box, bool ticked);
    void setCaseIndex(int index);
    // False when the interlock refused the item (its message has been shown).
    bool setKanaIndex(int index);

    // The record the text pipeline works with; hidden controls deliver their values too.
    TextOptions options() const;

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
    int m_target = 0;
    int m_valueCondition = 0;
    std::array<QString, 3> m_patterns;
    std::array<int, 3> m_modes{};
    bool m_and = false;
    int m_replaceMode = 0;
    QString m_search;
    QString m_replace;
    std::array<bool, 2> m_directions{};
    std::array<bool, ClassBoxCount> m_classes{};
    int m_case = 0;
    int m_kana = 0;
    bool m_caseVisible = true;
    bool m_kanaVisible = true;
    std::array<bool, 3> m_classVisible{true, true, true};
};

} // namespace ornvale
