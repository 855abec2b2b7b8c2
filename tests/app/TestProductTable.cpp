// The product table against its golden copy (tests/data/products.tsv), and what is derived
// from it: the known codes, the settings window's options, the purge generations.
#include "ProductGolden.h"
#include "ProductTable.h"

#include <QTest>

using namespace ornvale;
using namespace ornvale::test;
using namespace Qt::StringLiterals;

namespace {

QStringList captionsOf(const std::array<std::optional<QString>, 4>& captions) {
    QStringList out;
    for (const std::optional<QString>& caption : captions)
        out.append(caption.value_or(QString()));
    return out;
}

QStringList tokensOf(const std::array<QString, 4>& tokens) {
    return QStringList(tokens.begin(), tokens.end());
}

} // namespace

class TestProductTable : public QObject {
    Q_OBJECT
private slots:
    void everyRowAsTheGoldenCopy();
    void knownCodes();
    void settingsOptions();
};

void TestProductTable::everyRowAsTheGoldenCopy() {
    const std::span<const ProductRow> table = productTable();
    const QList<GoldenProduct>& golden = goldenProducts();
    QCOMPARE(qsizetype(table.size()), golden.size());
    for (qsizetype i = 0; i < golden.size(); ++i) {
        const ProductRow& row = table[size_t(i)];
        const GoldenProduct& expected = golden[i];
        const QByteArray where = "product " + QByteArray::number(expected.code);
        QVERIFY2(row.selectionCode == expected.code, where.constData()); // and in this order
        QCOMPARE(row.defaultExePath, expected.executable);
        QCOMPARE(row.productLabel, expected.label);
        QCOMPARE(row.settingsOption, expected.settingsOption);
        QCOMPARE(row.settingsCaption, expected.settingsCaption);
        QCOMPARE(captionsOf(row.dxfReleaseCaptions), expected.dxfCaptions);
        QCOMPARE(captionsOf(row.dwgReleaseCaptions), expected.dwgCaptions);
        QCOMPARE(tokensOf(row.dxfReleaseTokens), expected.dxfTokens);
        QCOMPARE(tokensOf(row.dwgReleaseTokens), expected.dwgTokens);
        QCOMPARE(row.openableVersions, expected.versions);
        QCOMPARE(row.blankAfterClose, expected.blankAfterClose);
        QCOMPARE(row.auditSummaryOffset, expected.auditSummaryOffset);
        QCOMPARE(row.hasTableStylesAndRegApps, expected.tableStylesAndRegApps);
        QCOMPARE(row.hasMaterialsAndVisualStyles, expected.materialsAndVisualStyles);
        QCOMPARE(is2005OrLater(quint8(expected.code)), expected.tableStylesAndRegApps);
        QCOMPARE(is2007Generation(quint8(expected.code)), expected.materialsAndVisualStyles);
        QCOMPARE(productRow(quint8(expected.code)), &row);
    }
}

void TestProductTable::knownCodes() {
    const QList<int> codes = everySelectionCode();
    for (qint64 code = -1; code <= 256; ++code)
        QCOMPARE(isKnownSelectionCode(code), code == 0 || codes.contains(int(code)));
    QCOMPARE(productRow(0), nullptr);
    QCOMPARE(productRow(20), nullptr);
}

// Index 6 is "AutoCADなし"; every other index is the product's own option.
void TestProductTable::settingsOptions() {
    const std::span<const SettingsOption> options = ornvale::settingsOptions();
    QCOMPARE(qsizetype(options.size()), goldenProducts().size() + 1);
    for (size_t i = 0; i < options.size(); ++i) {
        const SettingsOption& option = options[i];
        QCOMPARE(option.index, int(i));
        if (option.index == 6) {
            QCOMPARE(option.caption, u"AutoCADなし"_s);
            QCOMPARE(option.selectionCode, 0);
            continue;
        }
        const GoldenProduct& product = goldenProduct(option.selectionCode);
        QCOMPARE(option.caption, product.settingsCaption);
        QCOMPARE(option.index, product.settingsOption);
        QCOMPARE(settingsOptionIndexFor(option.selectionCode), option.index);
    }
    QCOMPARE(settingsOptionIndexFor(0), 6);
    QCOMPARE(settingsOptionIndexFor(20), 6);
}

QTEST_GUILESS_MAIN(TestProductTable)
#include "TestProductTable.moc"
