#include "TextOptionsPanel.h"

#include "ControlSyncGuard.h"
#include "PointerOnlyChoice.h"
#include "TextWindowOptions.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace ornvale {

namespace {

const QStringList kConditionModes{u"を含む"_s, u"を含まない"_s};
constexpr int kMustContainItem = 0;
constexpr int kMustNotContainItem = 1;

// The blank in the caption leaves room for the AND and OR buttons, placed over it.
const QString kConditionTitle = u"文字条件(最大3条件の                    )"_s;
const QString kConditionTitleStart = u"文字条件(最大3条件の"_s;

} // namespace

TextOptionsPanel::TextOptionsPanel(TextWindowOptions& model, QWidget* counters, QWidget* parent)
    : QWidget(parent), m_model(model) {
    auto* lower = new QVBoxLayout;
    lower->addWidget(buildComboGroup(
        u"文字置換条件"_s, makeCombo(6, {u"「検索文字列」を「置換文字列」に変換"_s,
                                         u"「検索文字列」と等しいTEXTを「置換文字列」に変換"_s,
                                         u"変換条件に一致するTEXTを「置換文字列」に変換"_s})));
    lower->addWidget(buildComboGroup(
        u"対象TEXT条件"_s, makeCombo(5, {u" ﾀﾞｲﾅﾐｯｸTEXT & ﾏﾙﾁTEXT "_s, u" ダイナミックTEXTのみ"_s,
                                         u" マルチTEXTのみ"_s})));
    lower->addWidget(buildComboGroup(
        u"文字列条件 "_s,
        makeCombo(4, {u"  条件なし"_s, u" 「日付のみの文字列」"_s, u" 「日付のみの文字列」以外"_s,
                      u" 「数値のみの文字列」"_s, u" 「数値のみの文字列」以外"_s,
                      u" 「日付のみ.・数値のみの文字列」以外"_s})));
    lower->addWidget(buildConditionGroup());

    auto* lowerRow = new QHBoxLayout;
    lowerRow->addLayout(lower, 1);
    if (counters)
        lowerRow->addWidget(counters, 0, Qt::AlignTop);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(buildSearchRow());
    layout->addWidget(buildWidthGroup());
    layout->addWidget(buildCaseKanaRow());
    layout->addLayout(lowerRow);

    connect(&m_model, &TextWindowOptions::changed, this, &TextOptionsPanel::refresh);
    refresh();
}

QComboBox* TextOptionsPanel::makeCombo(int number, const QStringList& items) {
    auto* combo = new QComboBox(this);
    combo->setObjectName(u"Combo%1"_s.arg(number));
    combo->addItems(items);
    PointerOnlyChoice::apply(combo);
    m_combos.at(size_t(number - 1)) = combo;
    // The items are listed in the order of the enum each list chooses from.
    connect(combo, &QComboBox::currentIndexChanged, this, [this, number](int index) {
        if (index < 0)
            return;
        switch (number) {
        case 4:
            m_model.setValueCondition(ValueCondition(index));
            break;
        case 5:
            m_model.setTarget(TargetEntities(index));
            break;
        case 6:
            m_model.setReplaceMode(ReplaceMode(index));
            break;
        default:
            m_model.setConditionMustContain(number - 1, index == kMustContainItem);
            break;
        }
    });
    return combo;
}

QLineEdit* TextOptionsPanel::makeEdit(const QString& name) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    return edit;
}

QListWidget* TextOptionsPanel::makeList(const QString& name, const QStringList& items) {
    auto* list = new QListWidget(this);
    list->setObjectName(name);
    list->addItems(items);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setFixedHeight(list->sizeHintForRow(0) * int(items.size()) + 2 * list->frameWidth());
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return list;
}

QWidget* TextOptionsPanel::buildSearchRow() {
    auto* row = new QWidget(this);
    m_searchLabel = new QLabel(u"検索文字列"_s, row);
    m_searchLabel->setObjectName(u"Label6"_s);
    auto* replaceLabel = new QLabel(u"置換文字列"_s, row);
    replaceLabel->setObjectName(u"Label8"_s);
    m_search = makeEdit(u"Text1_0"_s);
    m_replace = makeEdit(u"Text1_1"_s);
    // Every edit goes through the model, which keeps one line; the box then shows what it kept.
    connect(m_search, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_model.setSearchText(text); });
    connect(m_replace, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_model.setReplaceText(text); });
    auto* grid = new QGridLayout(row);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(m_searchLabel, 0, 0);
    grid->addWidget(replaceLabel, 0, 1);
    grid->addWidget(m_search, 1, 0);
    grid->addWidget(m_replace, 1, 1);
    return row;
}

QWidget* TextOptionsPanel::buildWidthGroup() {
    auto* group = new QGroupBox(this);
    const std::array<QString, 2> directions{u"半角⇒全角 変換"_s, u"全角⇒半角 変換"_s};
    const std::array<QString, 6> classes{u"すべて"_s,   u"アルファベット"_s, u"数字"_s,
                                         u"カタカナ"_s, u"「－．」"_s,       u"「ー、。」"_s};
    auto* grid = new QGridLayout(group);
    for (int i = 0; i < 2; ++i) {
        auto* box = new QCheckBox(directions.at(size_t(i)), group);
        box->setObjectName(u"Check2_%1"_s.arg(i));
        connect(box, &QCheckBox::toggled, this,
                [this, i](bool on) { m_model.setDirection(i, on); });
        m_directions.at(size_t(i)) = box;
        grid->addWidget(box, 0, 2 * i, 1, 2);
    }
    for (int i = 0; i < TextWindowOptions::ClassBoxCount; ++i) {
        auto* box = new QCheckBox(classes.at(size_t(i)), group);
        box->setObjectName(u"Check1_%1"_s.arg(i));
        connect(box, &QCheckBox::toggled, this, [this, i](bool on) { m_model.setClassBox(i, on); });
        m_classes.at(size_t(i)) = box;
        grid->addWidget(box, 1 + i / 4, i % 4);
    }
    return group;
}

QWidget* TextOptionsPanel::buildCaseKanaRow() {
    auto* row = new QWidget(this);
    m_caseGroup = new QGroupBox(u"アルファベット"_s, row);
    m_case = makeList(u"List2_0"_s, {u" 　 無変換"_s, u" 大文字変換"_s, u" 小文字変換"_s});
    (new QVBoxLayout(m_caseGroup))->addWidget(m_case);
    m_kanaGroup = new QGroupBox(u"ひらがな・カタカナ"_s, row);
    m_kana = makeList(u"List4_0"_s, {u" 　 無変換"_s, u" ひらがな⇒全角カタカナ  変換"_s,
                                     u" 全角カタカナ ⇒ひらがな 変換"_s});
    (new QVBoxLayout(m_kanaGroup))->addWidget(m_kana);
    // The selection is the list's value: a screen reader selects a row without making it the
    // current one.
    connect(m_case, &QListWidget::itemSelectionChanged, this, [this] {
        if (const int index = selectedRow(m_case); index >= 0)
            m_model.setCaseConversion(CaseConversion(index));
        else
            keepOneSelected(m_case);
    });
    connect(m_kana, &QListWidget::itemSelectionChanged, this, [this] {
        if (const int index = selectedRow(m_kana); index >= 0)
            m_model.setKanaConversion(KanaConversion(index));
        else
            keepOneSelected(m_kana);
    });
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_caseGroup);
    layout->addWidget(m_kanaGroup, 1);
    return row;
}

QGroupBox* TextOptionsPanel::buildComboGroup(const QString& title, QComboBox* combo) {
    auto* group = new QGroupBox(title, this);
    combo->setParent(group);
    (new QVBoxLayout(group))->addWidget(combo);
    return group;
}

QGroupBox* TextOptionsPanel::buildConditionGroup() {
    auto* group = new QGroupBox(kConditionTitle, this);
    auto* grid = new QGridLayout(group);
    const std::array<QString, 3> names{u"Text3"_s, u"Text2"_s, u"Text4"_s};
    for (int row = 0; row < 3; ++row) {
        QLineEdit* edit = makeEdit(names.at(size_t(row)));
        edit->setParent(group);
        connect(edit, &QLineEdit::textChanged, this,
                [this, row](const QString& text) { m_model.setConditionPattern(row, text); });
        m_patterns.at(size_t(row)) = edit;
        QComboBox* combo = makeCombo(row + 1, kConditionModes);
        combo->setParent(group);
        grid->addWidget(edit, row, 0);
        grid->addWidget(combo, row, 1);
    }
    grid->setColumnStretch(0, 1);
    // AND and OR sit in the caption's gap, after "最大3条件の".
    auto* buttons = new QButtonGroup(group);
    int x = group->fontMetrics().horizontalAdvance(kConditionTitleStart) + 14;
    for (int i = 0; i < 2; ++i) {
        auto* button = new QRadioButton(i == 0 ? u"AND"_s : u"OR"_s, group);
        button->setObjectName(u"Option1_%1"_s.arg(i));
        buttons->addButton(button, i);
        button->adjustSize();
        button->move(x, 0);
        x += button->width() + 6;
        m_andOr.at(size_t(i)) = button;
        connect(button, &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                m_model.selectAnd(i == 0);
        });
    }
    return group;
}

void TextOptionsPanel::showText(QLineEdit* edit, const QString& text) {
    if (edit->text() == text)
        return;
    const int cursor = edit->cursorPosition();
    edit->setText(text);
    edit->setCursorPosition(qMin(cursor, int(text.size())));
}

int TextOptionsPanel::selectedRow(const QListWidget* list) {
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.first());
}

// A selection is cleared on the way to the next one, and a list left with nothing selected
// shows the model's item again once the change is over.
void TextOptionsPanel::keepOneSelected(QListWidget* list) {
    QMetaObject::invokeMethod(
        this,
        [this, list] {
            if (selectedRow(list) < 0)
                refresh();
        },
        Qt::QueuedConnection);
}

void TextOptionsPanel::refresh() {
    const ControlSyncGuard quiet(*this);

    for (int row = 0; row < 3; ++row)
        m_combos.at(size_t(row))
            ->setCurrentIndex(m_model.conditionMustContain(row) ? kMustContainItem
                                                                : kMustNotContainItem);
    m_combos[3]->setCurrentIndex(int(m_model.valueCondition()));
    m_combos[4]->setCurrentIndex(int(m_model.target()));
    m_combos[5]->setCurrentIndex(int(m_model.replaceMode()));
    for (int row = 0; row < 3; ++row)
        showText(m_patterns.at(size_t(row)), m_model.conditionPattern(row));
    showText(m_search, m_model.searchText());
    showText(m_replace, m_model.replaceText());
    m_andOr[0]->setChecked(m_model.andSelected());
    m_andOr[1]->setChecked(!m_model.andSelected());
    for (int i = 0; i < 2; ++i)
        m_directions.at(size_t(i))->setChecked(m_model.direction(i));
    for (int i = 0; i < TextWindowOptions::ClassBoxCount; ++i) {
        m_classes.at(size_t(i))->setChecked(m_model.classBox(i));
        m_classes.at(size_t(i))->setVisible(m_model.classBoxVisible(i));
    }
    m_case->setCurrentRow(int(m_model.caseConversion()));
    m_kana->setCurrentRow(int(m_model.kanaConversion()));
    m_caseGroup->setVisible(m_model.caseGroupVisible());
    m_kanaGroup->setVisible(m_model.kanaGroupVisible());
    m_search->setVisible(m_model.searchBoxVisible());
    m_searchLabel->setVisible(m_model.searchBoxVisible());
}

} // namespace ornvale
