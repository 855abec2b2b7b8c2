#include "ConversionOptionsModel.h"
#include "ProductGolden.h"

#include <QSignalSpy>
#include <QTest>

using namespace ornvale;
using ornvale::test::GoldenProduct;
using ornvale::test::goldenProducts;
using namespace Qt::StringLiterals;
using Box = ConversionOptionsModel::Box;
using ReleaseGroup = ConversionOptionsModel::ReleaseGroup;

namespace {

const QHash<QString, Box>& boxNames() {
    static const QHash<QString, Box> names = {
        {u"Dxf"_s, Box::Dxf},
        {u"Dwg"_s, Box::Dwg},
        {u"Audit"_s, Box::Audit},
        {u"Fix"_s, Box::AuditFix},
        {u"Report"_s, Box::KeepAuditReport},
        {u"All"_s, Box::PurgeAll},
        {u"Blocks"_s, Box::PurgeBlocks},
        {u"Layers"_s, Box::PurgeLayers},
        {u"Linetypes"_s, Box::PurgeLinetypes},
        {u"Shapes"_s, Box::PurgeShapes},
        {u"PlotStyles"_s, Box::PurgePlotStyles},
        {u"DimStyles"_s, Box::PurgeDimStyles},
        {u"TextStyles"_s, Box::PurgeTextStyles},
        {u"MlineStyles"_s, Box::PurgeMlineStyles},
        {u"TableStyles"_s, Box::PurgeTableStyles},
        {u"RegApps"_s, Box::PurgeRegApps},
        {u"Materials"_s, Box::PurgeMaterials},
        {u"VisualStyles"_s, Box::PurgeVisualStyles},
    };
    return names;
}

const QString kEight = u"+Blocks +Layers +Linetypes +Shapes +PlotStyles +DimStyles +TextStyles"_s;

// The names of the ticked boxes, in Box order.
QString ticked(const ConversionOptionsModel& model) {
    QStringList on;
    for (int i = 0; i < ConversionOptionsModel::kBoxCount; ++i) {
        if (model.isChecked(static_cast<Box>(i)))
            on.append(boxNames().key(static_cast<Box>(i)));
    }
    return on.join(u' ');
}

QString visibleButtons(const ConversionOptionsModel& model, ReleaseGroup group) {
    QString visible;
    for (int i = 0; i < ConversionOptionsModel::kReleaseButtons; ++i) {
        if (model.isReleaseButtonVisible(group, i))
            visible += QString::number(i);
    }
    return visible;
}

} // namespace

class TestConversionOptionsModel : public QObject {
    Q_OBJECT
private slots:
    void interlocks_data();
    void interlocks();
    void releaseButtons_data();
    void releaseButtons();
    void noProductHidesTheDesignStateForGood();
    void purgeItemVisibility_data();
    void purgeItemVisibility();
    void snapshotReadsValuesNotVisibility();
    void changedOnlyWhenSomethingChanges();
};

void TestConversionOptionsModel::interlocks_data() {
    QTest::addColumn<QString>("clicks"); // +Name ticks, -Name unticks
    QTest::addColumn<QString>("expected");
    QTest::newRow("start-up") << QString() << u"Dxf"_s;
    QTest::newRow("unticking DXF ticks DWG") << u"-Dxf"_s << u"Dwg"_s;
    QTest::newRow("ticking DWG unticks DXF") << u"+Dwg"_s << u"Dwg"_s;
    QTest::newRow("unticking DWG ticks DXF") << u"+Dwg -Dwg"_s << u"Dxf"_s;
    QTest::newRow("ticking DXF unticks DWG") << u"+Dwg +Dxf"_s << u"Dxf"_s;
    QTest::newRow("fix implies audit") << u"+Fix"_s << u"Dxf Audit Fix"_s;
    QTest::newRow("report implies audit") << u"+Report"_s << u"Dxf Audit Report"_s;
    QTest::newRow("unticking audit clears both") << u"+Fix +Report -Audit"_s << u"Dxf"_s;
    QTest::newRow("unticking fix keeps audit") << u"+Fix -Fix"_s << u"Dxf Audit"_s;
    QTest::newRow("all clears the eight") << u"+Blocks +Layers +All"_s << u"Dxf All"_s;
    QTest::newRow("an item clears all") << u"+All +Blocks"_s << u"Dxf Blocks"_s;
    QTest::newRow("unticking an item leaves all alone")
        << u"+Blocks +All -Blocks"_s << u"Dxf All"_s;
    QTest::newRow("seven items stay items")
        << kEight << u"Dxf Blocks Layers Linetypes Shapes PlotStyles DimStyles TextStyles"_s;
    QTest::newRow("the last missing item turns into all")
        << kEight + u" +MlineStyles"_s << u"Dxf All"_s;
    QTest::newRow("the missing item may change before the last click")
        << kEight + u" -Layers +MlineStyles +Layers"_s << u"Dxf All"_s;
    QTest::newRow("all leaves the four later items alone")
        << u"+TableStyles +RegApps +Materials +VisualStyles +All"_s
        << u"Dxf All TableStyles RegApps Materials VisualStyles"_s;
    QTest::newRow("turning into all leaves them too")
        << u"+TableStyles "_s + kEight + u" +MlineStyles"_s << u"Dxf All TableStyles"_s;
    QTest::newRow("unticking all") << u"+All -All"_s << u"Dxf"_s;
}

void TestConversionOptionsModel::interlocks() {
    QFETCH(QString, clicks);
    QFETCH(QString, expected);
    ConversionOptionsModel model;
    for (const QString& click : clicks.split(u' ', Qt::SkipEmptyParts)) {
        QVERIFY2(boxNames().contains(click.mid(1)), qPrintable(click));
        model.setChecked(boxNames().value(click.mid(1)), click.startsWith(u'+'));
        QVERIFY(model.isChecked(Box::Dxf) != model.isChecked(Box::Dwg));
    }
    QCOMPARE(ticked(model), expected);
}

void TestConversionOptionsModel::releaseButtons_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("dxf");
    QTest::addColumn<QString>("visibleDxf");
    QTest::addColumn<QString>("visibleDwg");
    QTest::addColumn<QString>("captions"); // of the visible group, hidden ones empty
    // Every product shows the captions of its golden row, and only its buttons with a caption.
    for (const GoldenProduct& product : goldenProducts()) {
        QTest::addRow("%s, DXF", qPrintable(product.label))
            << product.code << true << GoldenProduct::shown(product.dxfCaptions) << QString()
            << product.dxfCaptions.join(u'|');
        QTest::addRow("%s, DWG", qPrintable(product.label))
            << product.code << false << QString() << GoldenProduct::shown(product.dwgCaptions)
            << product.dwgCaptions.join(u'|');
    }
    // No product: the DXF buttons keep their design state until DXF is unticked.
    QTest::newRow("none, DXF") << 0 << true << u"0123"_s << QString() << u"|||"_s;
    QTest::newRow("none, DWG") << 0 << false << QString() << QString() << u"|||"_s;
}

void TestConversionOptionsModel::releaseButtons() {
    QFETCH(int, code);
    QFETCH(bool, dxf);
    QFETCH(QString, visibleDxf);
    QFETCH(QString, visibleDwg);
    QFETCH(QString, captions);
    ConversionOptionsModel model;
    model.setSelectionCode(static_cast<quint8>(code));
    model.setChecked(Box::Dxf, dxf);
    QCOMPARE(visibleButtons(model, ReleaseGroup::Dxf), visibleDxf);
    QCOMPARE(visibleButtons(model, ReleaseGroup::Dwg), visibleDwg);
    const ReleaseGroup group = dxf ? ReleaseGroup::Dxf : ReleaseGroup::Dwg;
    QStringList shown;
    for (int i = 0; i < ConversionOptionsModel::kReleaseButtons; ++i)
        shown.append(model.releaseCaption(group, i));
    QCOMPARE(shown.join(u'|'), captions);
}

// The design state does not come back: with no product nothing offers a button.
void TestConversionOptionsModel::noProductHidesTheDesignStateForGood() {
    ConversionOptionsModel model;
    model.setChecked(Box::Dxf, false);
    model.setChecked(Box::Dxf, true);
    QCOMPARE(visibleButtons(model, ReleaseGroup::Dxf), QString());
    QCOMPARE(visibleButtons(model, ReleaseGroup::Dwg), QString());
    // With a product the format alone decides.
    model.setSelectionCode(41);
    QCOMPARE(visibleButtons(model, ReleaseGroup::Dxf), u"0123"_s);
}

void TestConversionOptionsModel::purgeItemVisibility_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("tableAndRegApps");
    QTest::addColumn<bool>("materialsAndVisual");
    QTest::newRow("none") << 0 << false << false;
    for (const GoldenProduct& product : goldenProducts())
        QTest::addRow("%s", qPrintable(product.label))
            << product.code << product.tableStylesAndRegApps << product.materialsAndVisualStyles;
}

void TestConversionOptionsModel::purgeItemVisibility() {
    QFETCH(int, code);
    QFETCH(bool, tableAndRegApps);
    QFETCH(bool, materialsAndVisual);
    ConversionOptionsModel model;
    model.setSelectionCode(static_cast<quint8>(code));
    QCOMPARE(model.isPurgeItemVisible(PurgeItem::TableStyles), tableAndRegApps);
    QCOMPARE(model.isPurgeItemVisible(PurgeItem::RegApps), tableAndRegApps);
    QCOMPARE(model.isPurgeItemVisible(PurgeItem::Materials), materialsAndVisual);
    QCOMPARE(model.isPurgeItemVisible(PurgeItem::VisualStyles), materialsAndVisual);
    QVERIFY(model.isPurgeItemVisible(PurgeItem::All));
    QVERIFY(model.isPurgeItemVisible(PurgeItem::MlineStyles));
}

void TestConversionOptionsModel::snapshotReadsValuesNotVisibility() {
    ConversionOptionsModel model;
    model.setSelectionCode(17);
    model.setChecked(Box::PurgeVisualStyles, true); // hidden for 2006, keeps its value
    model.setChecked(Box::PurgeLayers, true);
    model.setChecked(Box::PurgeAll, true);
    model.setChecked(Box::PurgeTableStyles, true);
    model.setChecked(Box::Dwg, true);
    model.setReleaseIndex(ReleaseGroup::Dwg, 1);
    model.setReleaseIndex(ReleaseGroup::Dxf, 2);
    model.setReleaseIndex(ReleaseGroup::Dxf, 4); // no such button: ignored
    model.setViewMode(2);
    model.setChecked(Box::KeepAuditReport, true);

    const ConversionOptions options = model.options();
    QCOMPARE(options.outputFormat, OutputFormat::Dwg);
    QCOMPARE(options.dxfVersionIndex, 2);
    QCOMPARE(options.dwgVersionIndex, 1);
    QCOMPARE(options.viewMode, 2);
    QVERIFY(options.audit);
    QVERIFY(!options.auditFix);
    QVERIFY(options.keepAuditReport);
    QCOMPARE(options.purgeItems,
             (QList<PurgeItem>{PurgeItem::All, PurgeItem::TableStyles, PurgeItem::VisualStyles}));
}

void TestConversionOptionsModel::changedOnlyWhenSomethingChanges() {
    ConversionOptionsModel model;
    QSignalSpy spy(&model, &ConversionOptionsModel::changed);
    model.setChecked(Box::Dxf, true);
    model.setReleaseIndex(ReleaseGroup::Dxf, 0);
    model.setViewMode(0);
    QCOMPARE(spy.count(), 0);
    // One click with a cascade behind it is one change.
    model.setChecked(Box::AuditFix, true);
    QCOMPARE(spy.count(), 1);
    model.setViewMode(1);
    QCOMPARE(spy.count(), 2);
}

QTEST_GUILESS_MAIN(TestConversionOptionsModel)
#include "TestConversionOptionsModel.moc"
