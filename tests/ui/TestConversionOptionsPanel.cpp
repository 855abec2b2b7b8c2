#include "AccessibleAction.h"
#include "ConversionOptionsPanel.h"
#include "ProductGolden.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QTest>

using namespace ornvale;
using namespace Qt::StringLiterals;

namespace {

const QStringList kBoxNames = {u"Check1"_s,  u"Check2"_s,  u"Check3"_s,  u"Check4"_s,  u"Check5"_s,
                               u"Check7"_s,  u"Check8"_s,  u"Check10"_s, u"Check11"_s, u"Check12"_s,
                               u"Check13"_s, u"Check14"_s, u"Check15"_s, u"Check16"_s, u"Check17"_s,
                               u"Check18"_s, u"Check19"_s, u"Check20"_s};

template <typename T> T* control(QWidget& panel, const QString& name) {
    T* found = panel.findChild<T*>(name);
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

QString tickedBoxes(QWidget& panel) {
    QStringList on;
    for (const QString& name : kBoxNames) {
        if (control<QCheckBox>(panel, name)->isChecked())
            on.append(name);
    }
    return on.join(u' ');
}

QString visibleButtons(QWidget& panel, const QString& group) {
    QString visible;
    for (int i = 0; i < 4; ++i) {
        if (control<QRadioButton>(panel, u"%1_%2"_s.arg(group).arg(i))->isVisibleTo(&panel))
            visible += QString::number(i);
    }
    return visible;
}

} // namespace

class TestConversionOptionsPanel : public QObject {
    Q_OBJECT
private slots:
    void captionsTooltipsAndDefaults_data();
    void captionsTooltipsAndDefaults();
    void groups();
    void clickInterlocks_data();
    void clickInterlocks();
    void everyWayOfChangingReachesTheModel();
    void releaseButtonsFollowProductAndFormat_data();
    void releaseButtonsFollowProductAndFormat();
    void purgeItemsShownByProduct_data();
    void purgeItemsShownByProduct();
    void optionsSnapshot();
};

void TestConversionOptionsPanel::captionsTooltipsAndDefaults_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("tooltip");
    QTest::addColumn<bool>("checked");
    const auto row = [](const QString& name, const QString& caption, bool checked = false,
                        const QString& tooltip = QString()) {
        QTest::newRow(qPrintable(name)) << name << caption << tooltip << checked;
    };
    row(u"Check1"_s, u"DXF"_s, true);
    row(u"Check2"_s, u"DWG"_s);
    row(u"Check18"_s, u"図面 監査を実施"_s, false, u"図面の完全性を評価します"_s);
    row(u"Check20"_s, u"ｴﾗｰ検出時 監査レポートを作成"_s, false,
        u"エラー検出時にレポートを作成します(図面と同じディレクトリに「***.adt」が作成されます)"_s);
    row(u"Check19"_s, u"ｴﾗｰ検出時 修正する"_s);
    row(u"Check3"_s, u"すべて"_s);
    row(u"Check4"_s, u"ﾌﾞﾛｯｸ"_s);
    row(u"Check7"_s, u"画層"_s);
    row(u"Check8"_s, u"線種"_s);
    row(u"Check11"_s, u"ｼｪｲﾌﾟ"_s);
    row(u"Check10"_s, u"印刷ｽﾀｲﾙ"_s);
    row(u"Check5"_s, u"寸法ｽﾀｲﾙ"_s);
    row(u"Check12"_s, u"文字ｽﾀｲﾙ"_s);
    row(u"Check13"_s, u"ﾏﾙﾁﾗｲﾝ ｽﾀｲﾙ"_s);
    row(u"Check14"_s, u"表ｽﾀｲﾙ"_s);
    row(u"Check15"_s, u"登録ｱﾌﾟﾘｹｰｼｮﾝ"_s);
    row(u"Check16"_s, u"ﾏﾃﾘｱﾙ"_s);
    row(u"Check17"_s, u"表示ｽﾀｲﾙ"_s);
    row(u"Option3_0"_s, u"変更なし"_s, true);
    row(u"Option3_1"_s, u"図面全体"_s);
    row(u"Option3_2"_s, u"ｵﾌﾞｼﾞｪｸﾄ範囲"_s);
    row(u"Option1_0"_s, QString(), true);
    row(u"Option1_3"_s, QString());
    row(u"Option2_0"_s, QString(), true);
    row(u"Option2_2"_s, QString());
}

void TestConversionOptionsPanel::captionsTooltipsAndDefaults() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, tooltip);
    QFETCH(bool, checked);
    ConversionOptionsPanel panel(nullptr);
    auto* button = control<QAbstractButton>(panel, name);
    QCOMPARE(button->text(), caption);
    QCOMPARE(button->toolTip(), tooltip);
    QCOMPARE(button->isChecked(), checked);
}

void TestConversionOptionsPanel::groups() {
    ConversionOptionsPanel panel(nullptr);
    QGroupBox* purge = nullptr;
    QGroupBox* view = nullptr;
    for (QGroupBox* group : panel.findChildren<QGroupBox*>()) {
        if (group->title() == u" 未使用オブジェクトの名前削除 "_s)
            purge = group;
        if (group->title() == u"　画面表示　"_s)
            view = group;
    }
    QVERIFY(purge && view);
    QCOMPARE(purge->toolTip(),
             u"ブロック定義や画層など、使用されていない名前の付いた項目を図面から削除します。"_s);
    for (int number : {3, 4, 5, 7, 8, 10, 11, 12, 13, 14, 15, 16, 17})
        QVERIFY(purge->isAncestorOf(control<QCheckBox>(panel, u"Check%1"_s.arg(number))));
    for (int i = 0; i < 3; ++i)
        QVERIFY(view->isAncestorOf(control<QRadioButton>(panel, u"Option3_%1"_s.arg(i))));
}

// The interlocks themselves are the model's (its tests go through every case); a mouse click
// on each kind of box reaches the model, and the boxes show what the model made of it.
void TestConversionOptionsPanel::clickInterlocks_data() {
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<QString>("expected");
    QTest::newRow("output format") << u"Check2"_s << u"Check2"_s;
    QTest::newRow("audit and its fix") << u"Check19"_s << u"Check1 Check18 Check19"_s;
    QTest::newRow("audit and its report") << u"Check20 Check18"_s << u"Check1"_s;
    QTest::newRow("purge all and an item") << u"Check4 Check3"_s << u"Check1 Check3"_s;
}

void TestConversionOptionsPanel::clickInterlocks() {
    QFETCH(QString, clicks);
    QFETCH(QString, expected);
    ConversionOptionsPanel panel(nullptr);
    panel.applyProduct(41);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    // On the box itself: a short caption leaves the middle of the control outside what a
    // click hits.
    for (const QString& name : clicks.split(u' ')) {
        QCheckBox* box = control<QCheckBox>(panel, name);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->height() / 2, box->height() / 2));
    }
    QCOMPARE(tickedBoxes(panel), expected);
}

// A screen reader's toggle and a change from code emit no click; the job must see them all the
// same, and the interlocks run once, in the model.
void TestConversionOptionsPanel::everyWayOfChangingReachesTheModel() {
    ConversionOptionsPanel panel(nullptr);
    panel.applyProduct(41);
    QVERIFY(test::toggleAccessibly(control<QCheckBox>(panel, u"Check18"_s)));
    QVERIFY(panel.options().audit);
    control<QCheckBox>(panel, u"Check20"_s)->setChecked(true);
    QVERIFY(panel.options().keepAuditReport);
    QVERIFY(test::toggleAccessibly(control<QCheckBox>(panel, u"Check18"_s)));
    QCOMPARE(tickedBoxes(panel), u"Check1"_s); // audit off clears the report box again
    QVERIFY(!panel.options().keepAuditReport);

    control<QCheckBox>(panel, u"Check19"_s)->setChecked(true); // fix implies audit
    QCOMPARE(tickedBoxes(panel), u"Check1 Check18 Check19"_s);
    QVERIFY(panel.options().audit && panel.options().auditFix);
    QVERIFY(test::toggleAccessibly(control<QCheckBox>(panel, u"Check2"_s)));
    QCOMPARE(panel.options().outputFormat, OutputFormat::Dwg);
    QCOMPARE(visibleButtons(panel, u"Option2"_s), u"0123"_s);

    QVERIFY(test::toggleAccessibly(control<QRadioButton>(panel, u"Option2_2"_s)));
    control<QRadioButton>(panel, u"Option1_3"_s)->setChecked(true);
    QVERIFY(test::toggleAccessibly(control<QRadioButton>(panel, u"Option3_2"_s)));
    const ConversionOptions options = panel.options();
    QCOMPARE(options.dwgVersionIndex, 2);
    QCOMPARE(options.dxfVersionIndex, 3);
    QCOMPARE(options.viewMode, 2);
}

// Which buttons a product shows and their captions are the model's (checked there against the
// golden product table); the panel shows them, for either format and without a product.
void TestConversionOptionsPanel::releaseButtonsFollowProductAndFormat_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("dwg");
    QTest::addColumn<QString>("visibleDxf");
    QTest::addColumn<QString>("visibleDwg");
    QTest::addColumn<QString>("captions"); // of the visible group's buttons 0-3
    const test::GoldenProduct& product = test::goldenProduct(17);
    QTest::newRow("2006 DXF") << 17 << false << test::GoldenProduct::shown(product.dxfCaptions)
                              << QString() << product.dxfCaptions.join(u'|');
    QTest::newRow("2006 DWG") << 17 << true << QString()
                              << test::GoldenProduct::shown(product.dwgCaptions)
                              << product.dwgCaptions.join(u'|');
    // No product: the DXF buttons keep their design state until DXF is unticked.
    QTest::newRow("none DXF") << 0 << false << u"0123"_s << QString() << u"|||"_s;
    QTest::newRow("none DWG") << 0 << true << QString() << QString() << u"|||"_s;
}

void TestConversionOptionsPanel::releaseButtonsFollowProductAndFormat() {
    QFETCH(int, code);
    QFETCH(bool, dwg);
    QFETCH(QString, visibleDxf);
    QFETCH(QString, visibleDwg);
    QFETCH(QString, captions);
    ConversionOptionsPanel panel(nullptr);
    panel.applyProduct(static_cast<quint8>(code));
    if (dwg)
        control<QCheckBox>(panel, u"Check2"_s)->click();
    QCOMPARE(visibleButtons(panel, u"Option1"_s), visibleDxf);
    QCOMPARE(visibleButtons(panel, u"Option2"_s), visibleDwg);
    QStringList texts;
    for (int i = 0; i < 4; ++i)
        texts.append(
            control<QRadioButton>(panel, u"Option%1_%2"_s.arg(dwg ? 2 : 1).arg(i))->text());
    QCOMPARE(texts.join(u'|'), captions);
}

// Which purge items a product offers is the model's; the panel hides the boxes it does not.
void TestConversionOptionsPanel::purgeItemsShownByProduct_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("hidden");
    QTest::newRow("none") << 0 << u"Check14 Check15 Check16 Check17"_s;
    QTest::newRow("Mechanical 2006") << 18 << u"Check16 Check17"_s;
    QTest::newRow("LT 2007") << 21 << QString();
}

void TestConversionOptionsPanel::purgeItemsShownByProduct() {
    QFETCH(int, code);
    QFETCH(QString, hidden);
    ConversionOptionsPanel panel(nullptr);
    panel.applyProduct(static_cast<quint8>(code));
    QStringList notShown;
    for (const QString& name : kBoxNames) {
        if (!control<QCheckBox>(panel, name)->isVisibleTo(&panel))
            notShown.append(name);
    }
    QCOMPARE(notShown.join(u' '), hidden);
}

void TestConversionOptionsPanel::optionsSnapshot() {
    ConversionOptionsPanel panel(nullptr);
    panel.applyProduct(17);
    control<QRadioButton>(panel, u"Option1_2"_s)->click();
    control<QCheckBox>(panel, u"Check2"_s)->click();
    control<QRadioButton>(panel, u"Option2_1"_s)->click();
    control<QRadioButton>(panel, u"Option3_1"_s)->click();
    control<QCheckBox>(panel, u"Check19"_s)->click();
    control<QCheckBox>(panel, u"Check7"_s)->click();
    control<QCheckBox>(panel, u"Check4"_s)->click();

    const ConversionOptions options = panel.options();
    QCOMPARE(options.outputFormat, OutputFormat::Dwg);
    QCOMPARE(options.dxfVersionIndex, 2);
    QCOMPARE(options.dwgVersionIndex, 1);
    QCOMPARE(options.viewMode, 1);
    QVERIFY(options.audit && options.auditFix && !options.keepAuditReport);
    QCOMPARE(options.purgeItems, (QList<PurgeItem>{PurgeItem::Blocks, PurgeItem::Layers}));
    // The window shows what the model holds.
    QVERIFY(control<QRadioButton>(panel, u"Option2_1"_s)->isChecked());
    QVERIFY(!control<QRadioButton>(panel, u"Option2_0"_s)->isChecked());
    QVERIFY(control<QRadioButton>(panel, u"Option1_2"_s)->isChecked());
}

QTEST_MAIN(TestConversionOptionsPanel)
#include "TestConversionOptionsPanel.moc"
