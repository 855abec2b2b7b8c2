#pragma once

#include <QWidget>

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;

namespace ornvale {

class TextWindowOptions;

// The text window's option area: search and replace, width classes, case and kana lists,
// replace mode, target entities, value condition and the three substring conditions. The
// controls carry no rules of their own: every change, however made, goes to the option model
// and the controls are refreshed from it, visibility included.
class TextOptionsPanel : public QWidget {
    Q_OBJECT
public:
    // `counters` stands at the right of the lower groups.
    TextOptionsPanel(TextWindowOptions& model, QWidget* counters, QWidget* parent = nullptr);

private:
    QWidget* buildSearchRow();
    QWidget* buildWidthGroup();
    QWidget* buildCaseKanaRow();
    QGroupBox* buildComboGroup(const QString& title, QComboBox* combo);
    QGroupBox* buildConditionGroup();
    QComboBox* makeCombo(int number, const QStringList& items);
    QLineEdit* makeEdit(const QString& name);
    QListWidget* makeList(const QString& name, const QStringList& items);
    void refresh();
    static void showText(QLineEdit* edit, const QString& text);
    static int selectedRow(const QListWidget* list);
    void keepOneSelected(QListWidget* list);

    TextWindowOptions& m_model;
    std::array<QComboBox*, 6> m_combos{};     // Combo1..Combo6
    std::array<QLineEdit*, 3> m_patterns{};   // condition rows: Text3, Text2, Text4
    std::array<QCheckBox*, 6> m_classes{};    // Check1(0..5)
    std::array<QCheckBox*, 2> m_directions{}; // Check2(0..1)
    std::array<QRadioButton*, 2> m_andOr{};   // Option1(0..1)
    QLineEdit* m_search = nullptr;            // Text1(0)
    QLineEdit* m_replace = nullptr;           // Text1(1)
    QLabel* m_searchLabel = nullptr;          // Label6
    QListWidget* m_case = nullptr;            // List2(0)
    QListWidget* m_kana = nullptr;            // List4(0)
    QGroupBox* m_caseGroup = nullptr;
    QGroupBox* m_kanaGroup = nullptr;
};

} // namespace ornvale
