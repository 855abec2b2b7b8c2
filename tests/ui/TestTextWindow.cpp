// The text window's option area: start-up state and the interlocks as the user meets them
// through the controls.
#include "AccessibleAction.h"
#include "TextWindowHarness.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace ornvale;
using namespace ornvale::test;
using namespace Qt::StringLiterals;

namespace {

QStringList items(const QComboBox* combo) {
    QStringList out;
    for (int i = 0; i < combo->count(); ++i)
        out.append(combo->itemText(i));
    return out;
}

} // namespace

class TestTextWindow : public QObject {
    Q_OBJECT
    RecordingPrompter m_prompter;
    std::unique_ptr<TextWindow> m_window;

    QCheckBox* box(const QString& name) const { return control<QCheckBox>(*m_window, name); }
    QComboBox* combo(int n) const { return control<QComboBox>(*m_window, u"Combo%1"_s.arg(n)); }
    QListWidget* list(const QString& name) const { return control<QListWidget>(*m_window, name); }
    QLineEdit* edit(const QString& name) const { return control<QLineEdit>(*m_window, name); }
    // Ticks as 0/1 in the order Check1_0..5, then "|", then Check2_0..1.
    QString ticks() const {
        QString out;
        for (int i = 0; i < 6; ++i)
            out += box(u"Check1_%1"_s.arg(i))->isChecked() ? u'1' : u'0';
        out += u'|';
        for (int i = 0; i < 2; ++i)
            out += box(u"Check2_%1"_s.arg(i))->isChecked() ? u'1' : u'0';
        return out;
    }
    bool shown(const QString& name) const {
        return m_window->findChild<QWidget*>(name)->isVisibleTo(m_window.get());
    }
    bool groupShown(const QString& title) const {
        for (const QGroupBox* group : m_window->findChildren<QGroupBox*>()) {
            if (group->title() == title)
                return group->isVisibleTo(m_window.get());
        }
        qFatal("group %s missing", qPrintable(title));
    }

private slots:
    void init();
    void cleanup() { m_window.reset(); }
    void startsWithItsStartupValues();
    void classAndDirectionBoxes_data();
    void classAndDirectionBoxes();
    void halfWidthAndHiraganaRefuseEachOther();
    void valueConditionHidesWhatCannotApply();
    void replaceModeAndJoin();
    void everyWayOfChangingReachesTheModel();
    void dropDownListsTakeNoKeys();
    void openDropDownListsTakeNoKeys();
    void textBoxesKeepOneLine();
};

void TestTextWindow::init() {
    m_prompter.clear();
    m_window = std::make_unique<TextWindow>(m_prompter, quint8(41));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestTextWindow::startsWithItsStartupValues() {
    QCOMPARE(m_window->windowTitle(), u"  Verdanth"_s);
    const QList<std::pair<QString, QString>> buttons{{u"STARTProg"_s, u"変換"_s},
                                                     {u"ProgEND"_s, u"END"_s},
                                                     {u"Command1"_s, u"Ver"_s},
                                                     {u"Command2"_s, u"DXF/DWG変換"_s},
                                                     {u"LISTClear"_s, u"Clear"_s},
                                                     {u"Check6"_s, u"ファイル名で ソート"_s},
                                                     {u"Check9"_s, u"パス表示"_s},
                                                     {u"Option1_0"_s, u"AND"_s},
                                                     {u"Option1_1"_s, u"OR"_s},
                                                     {u"Check2_0"_s, u"半角⇒全角 変換"_s},
                                                     {u"Check2_1"_s, u"全角⇒半角 変換"_s},
                                                     {u"Check1_0"_s, u"すべて"_s},
                                                     {u"Check1_1"_s, u"アルファベット"_s},
                                                     {u"Check1_2"_s, u"数字"_s},
                                                     {u"Check1_3"_s, u"カタカナ"_s},
                                                     {u"Check1_4"_s, u"「－．」"_s},
                                                     {u"Check1_5"_s, u"「ー、。」"_s}};
    for (const auto& [name, caption] : buttons)
        QCOMPARE(control<QAbstractButton>(*m_window, name)->text(), caption);
    QCOMPARE(control<QLabel>(*m_window, u"Label6"_s)->text(), u"検索文字列"_s);
    QCOMPARE(control<QLabel>(*m_window, u"Label8"_s)->text(), u"置換文字列"_s);
    const QStringList modes{u"を含む"_s, u"を含まない"_s};
    QCOMPARE(items(combo(1)), modes);
    QCOMPARE(items(combo(3)), modes);
    QCOMPARE(items(combo(4)).at(5), u" 「日付のみ.・数値のみの文字列」以外"_s);
    QCOMPARE(items(combo(5)).at(0), u" ﾀﾞｲﾅﾐｯｸTEXT & ﾏﾙﾁTEXT "_s);
    QCOMPARE(items(combo(6)).at(2), u"変換条件に一致するTEXTを「置換文字列」に変換"_s);
    QCOMPARE(rows(list(u"List2_0"_s)),
             (QStringList{u" 　 無変換"_s, u" 大文字変換"_s, u" 小文字変換"_s}));
    QCOMPARE(rows(list(u"List4_0"_s)).at(2), u" 全角カタカナ ⇒ひらがな 変換"_s);
    QVERIFY(groupShown(u"文字条件(最大3条件の                    )"_s));
    QVERIFY(groupShown(u"文字列条件 "_s));

    for (int n = 1; n <= 6; ++n)
        QCOMPARE(combo(n)->currentIndex(), 0);
    QCOMPARE(list(u"List2_0"_s)->currentRow(), 0);
    QCOMPARE(list(u"List4_0"_s)->currentRow(), 0);
    QCOMPARE(ticks(), u"000000|00"_s);
    QVERIFY(control<QRadioButton>(*m_window, u"Option1_1"_s)->isChecked());
    QVERIFY(!control<QRadioButton>(*m_window, u"Option1_0"_s)->isChecked());
    for (const QString& name : {u"Text1_0"_s, u"Text1_1"_s, u"Text2"_s, u"Text3"_s, u"Text4"_s})
        QCOMPARE(edit(name)->text(), QString());
    // Every option control starts shown; the run controls start idle.
    for (const QString& name : {u"Check1_0"_s, u"Check1_1"_s, u"Check1_2"_s, u"Text1_0"_s,
                                u"Label6"_s, u"List2_0"_s, u"List4_0"_s, u"List1"_s})
        QVERIFY2(shown(name), qPrintable(name));
    QVERIFY(!shown(u"List3"_s));
    QVERIFY(!shown(u"ProgressBar1"_s));
    QCOMPARE(control<QLabel>(*m_window, u"DATACount"_s)->text(), QString());
    for (const QString& name : {u"Label3"_s, u"Label5"_s, u"Label13"_s, u"Label9"_s, u"Label11"_s,
                                u"Label15"_s, u"Label16"_s})
        QCOMPARE(control<QLabel>(*m_window, name)->text(), u"0"_s);
    QVERIFY(m_prompter.messages().isEmpty());
}

// The class and direction interlocks are the options model's (its tests go through every
// case); a click on each kind of box reaches it, and the boxes show what it made of the click.
void TestTextWindow::classAndDirectionBoxes_data() {
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("expected");
    QTest::newRow("a class that brings another") << QStringList{u"Check1_4"_s} << u"001010|00"_s;
    QTest::newRow("all against the single classes")
        << QStringList{u"Check1_2"_s, u"Check1_4"_s, u"Check1_0"_s} << u"100000|00"_s;
    QTest::newRow("a direction with no class ticks all")
        << QStringList{u"Check2_1"_s} << u"100000|01"_s;
    QTest::newRow("one direction unticks the other")
        << QStringList{u"Check2_0"_s, u"Check2_1"_s} << u"100000|01"_s;
}

void TestTextWindow::classAndDirectionBoxes() {
    QFETCH(QStringList, clicks);
    QFETCH(QString, expected);
    for (const QString& name : clicks)
        box(name)->click();
    QCOMPARE(ticks(), expected);
    QVERIFY(m_prompter.messages().isEmpty());
}

void TestTextWindow::halfWidthAndHiraganaRefuseEachOther() {
    // Kana list first: ticking "全角⇒半角 変換" is undone; "半角⇒全角 変換" stays as it was.
    list(u"List4_0"_s)->setCurrentRow(2);
    box(u"Check2_0"_s)->click();
    box(u"Check2_1"_s)->click();
    QCOMPARE(m_prompter.texts(),
             QStringList{
                 u"「全角カタカナ ⇒ひらがな 変換」にチェックが入っているため選択できません。　"_s});
    QCOMPARE(m_prompter.messages().at(0).title, u"確認"_s);
    QCOMPARE(ticks(), u"100000|10"_s);
    QCOMPARE(list(u"List4_0"_s)->currentRow(), 2);

    // Half width first: choosing hiragana is refused and the list falls back to no change,
    // not to its previous item.
    m_prompter.clear();
    list(u"List4_0"_s)->setCurrentRow(1);
    box(u"Check2_1"_s)->click();
    list(u"List4_0"_s)->setCurrentRow(2);
    QCOMPARE(m_prompter.texts(),
             QStringList{u"「全角⇒半角 変換」にチェックが入っているため選択できません。　"_s});
    QCOMPARE(list(u"List4_0"_s)->currentRow(), 0);
    QCOMPARE(m_window->options().options().kanaConversion, KanaConversion::NoKanaConversion);
    QCOMPARE(m_window->options().options().widthConversion, WidthConversion::ToHalfWidth);
}

void TestTextWindow::valueConditionHidesWhatCannotApply() {
    list(u"List2_0"_s)->setCurrentRow(1);
    list(u"List4_0"_s)->setCurrentRow(1);
    box(u"Check1_1"_s)->click();

    // Dates: only the kana list is reset and hidden.
    combo(4)->setCurrentIndex(1);
    QVERIFY(!groupShown(u"ひらがな・カタカナ"_s));
    QVERIFY(groupShown(u"アルファベット"_s));
    QCOMPARE(list(u"List4_0"_s)->currentRow(), 0);
    QCOMPARE(list(u"List2_0"_s)->currentRow(), 1);
    QCOMPARE(ticks(), u"010000|00"_s);

    // Numbers: both lists reset and hidden, "すべて" and "アルファベット" unticked and hidden,
    // "数字" ticked.
    combo(4)->setCurrentIndex(3);
    QVERIFY(!groupShown(u"ひらがな・カタカナ"_s));
    QVERIFY(!groupShown(u"アルファベット"_s));
    QVERIFY(!shown(u"Check1_0"_s));
    QVERIFY(!shown(u"Check1_1"_s));
    QVERIFY(shown(u"Check1_2"_s));
    QVERIFY(shown(u"Check1_3"_s));
    QCOMPARE(ticks(), u"001000|00"_s);
    QCOMPARE(list(u"List2_0"_s)->currentRow(), 0);

    // No condition shows everything again and changes no value.
    combo(4)->setCurrentIndex(0);
    QVERIFY(groupShown(u"ひらがな・カタカナ"_s));
    QVERIFY(groupShown(u"アルファベット"_s));
    QVERIFY(shown(u"Check1_0"_s));
    QVERIFY(shown(u"Check1_1"_s));
    QCOMPARE(ticks(), u"001000|00"_s);
    QCOMPARE(list(u"List2_0"_s)->currentRow(), 0);
    QCOMPARE(list(u"List4_0"_s)->currentRow(), 0);
}

void TestTextWindow::replaceModeAndJoin() {
    edit(u"Text1_0"_s)->setText(u"abc"_s);
    combo(6)->setCurrentIndex(2);
    QVERIFY(!shown(u"Text1_0"_s));
    QVERIFY(!shown(u"Label6"_s));
    QCOMPARE(m_window->options().options().searchText, u"abc"_s); // hidden, still delivered
    combo(6)->setCurrentIndex(1);
    QVERIFY(shown(u"Text1_0"_s));
    QVERIFY(shown(u"Label6"_s));
    QCOMPARE(edit(u"Text1_0"_s)->text(), u"abc"_s);
    QCOMPARE(m_window->options().options().replaceMode, ReplaceMode::ReplaceEqualText);

    auto* andButton = control<QRadioButton>(*m_window, u"Option1_0"_s);
    auto* orButton = control<QRadioButton>(*m_window, u"Option1_1"_s);
    andButton->click();
    QVERIFY(andButton->isChecked() && !orButton->isChecked());
    QCOMPARE(m_window->options().options().conditionJoin, ConditionJoin::And);
    orButton->click();
    QVERIFY(!andButton->isChecked() && orButton->isChecked());
    QCOMPARE(m_window->options().options().conditionJoin, ConditionJoin::Or);
}

// A screen reader's toggle or selection and a change from code reach the options the run
// takes, and what the model refuses does not stay on screen.
void TestTextWindow::everyWayOfChangingReachesTheModel() {
    QVERIFY(toggleAccessibly(box(u"Check1_4"_s)));
    QCOMPARE(ticks(), u"001010|00"_s);
    QVERIFY(toggleAccessibly(control<QRadioButton>(*m_window, u"Option1_0"_s)));
    QVERIFY(toggleRowAccessibly(list(u"List2_0"_s), 2));
    QVERIFY(toggleRowAccessibly(list(u"List4_0"_s), 1));
    combo(5)->setCurrentIndex(2);
    TextOptions options = m_window->options().options();
    QVERIFY(options.widthDashPeriod && options.widthDigits);
    QCOMPARE(options.conditionJoin, ConditionJoin::And);
    QCOMPARE(options.caseConversion, CaseConversion::ToLower);
    QCOMPARE(options.kanaConversion, KanaConversion::HiraganaToKatakana);
    QCOMPARE(options.targetEntities, TargetEntities::MTextOnly);
    // A list box always shows its item: unselected, it comes back.
    QVERIFY(toggleRowAccessibly(list(u"List2_0"_s), 2));
    QTRY_COMPARE(list(u"List2_0"_s)->selectedItems(),
                 QList<QListWidgetItem*>{list(u"List2_0"_s)->item(2)});
    QCOMPARE(m_window->options().options().caseConversion, CaseConversion::ToLower);

    box(u"Check2_1"_s)->setChecked(true);
    QVERIFY(toggleRowAccessibly(list(u"List4_0"_s), 2)); // refused beside half width
    QCOMPARE(m_prompter.texts(),
             QStringList{u"「全角⇒半角 変換」にチェックが入っているため選択できません。　"_s});
    QCOMPARE(list(u"List4_0"_s)->selectedItems(),
             QList<QListWidgetItem*>{list(u"List4_0"_s)->item(0)});
    options = m_window->options().options();
    QCOMPARE(options.kanaConversion, KanaConversion::NoKanaConversion);
    QCOMPARE(options.widthConversion, WidthConversion::ToHalfWidth);
}

void TestTextWindow::dropDownListsTakeNoKeys() {
    for (int n = 1; n <= 6; ++n) {
        QComboBox* list = combo(n);
        list->setFocus();
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_End, Qt::Key_PageDown, Qt::Key_Up, Qt::Key_Space})
            QTest::keyClick(list, key);
        // Typing the start of an item would select it by keyboard search.
        QKeyEvent typed(QEvent::KeyPress, 0, Qt::NoModifier, u"を"_s);
        QCoreApplication::sendEvent(list, &typed);
        QTest::keyClick(list, Qt::Key_Down, Qt::AltModifier); // would open the list
        QCOMPARE(list->currentIndex(), 0);
        QVERIFY(!list->view()->isVisible());
    }
    combo(4)->setCurrentIndex(3); // a pick from the list still works, with its rule
    QCOMPARE(ticks(), u"001000|00"_s);
}

// With its list open a drop-down still takes no keys: arrows, Enter and typing change nothing;
// Escape only closes the list.
void TestTextWindow::openDropDownListsTakeNoKeys() {
    for (int n = 1; n <= 6; ++n) {
        QComboBox* list = combo(n);
        list->showPopup();
        QAbstractItemView* items = list->view();
        QTRY_VERIFY(items->isVisible());
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_End, Qt::Key_Enter, Qt::Key_Return})
            QTest::keyClick(items, key);
        QKeyEvent typed(QEvent::KeyPress, 0, Qt::NoModifier, u"を"_s);
        QCoreApplication::sendEvent(items, &typed);
        QVERIFY(items->isVisible());
        QCOMPARE(list->currentIndex(), 0);
        QTest::keyClick(items, Qt::Key_Escape);
        QTRY_VERIFY(!items->isVisible());
        QCOMPARE(list->currentIndex(), 0);
    }
    QCOMPARE(m_window->options().options().replaceMode, ReplaceMode::ReplaceOccurrences);
    QCOMPARE(m_window->options().options().valueCondition, ValueCondition::NoCondition);
}

void TestTextWindow::textBoxesKeepOneLine() {
    const QList<std::pair<QString, std::function<QString()>>> boxes{
        {u"Text1_0"_s, [this] { return m_window->options().searchText(); }},
        {u"Text1_1"_s, [this] { return m_window->options().replaceText(); }},
        {u"Text3"_s, [this] { return m_window->options().conditionPattern(0); }},
        {u"Text2"_s, [this] { return m_window->options().conditionPattern(1); }},
        {u"Text4"_s, [this] { return m_window->options().conditionPattern(2); }}};
    for (const auto& [name, modelText] : boxes) {
        QLineEdit* line = edit(name);
        line->setFocus();
        QTest::keyClicks(line, u"x y"_s);
        line->insert(u"\r\n1\n"_s);
        QCOMPARE(line->text(), u"x y1"_s);
        QApplication::clipboard()->setText(u"ab\r\ncd\rz"_s);
        line->paste();
        QCOMPARE(line->text(), u"x y1abcdz"_s);
        QCOMPARE(modelText(), u"x y1abcdz"_s);
    }
}

QTEST_MAIN(TestTextWindow)
#include "TestTextWindow.moc"
