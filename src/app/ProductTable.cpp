#include "ProductTable.h"

#include <QList>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace ornvale {

namespace {

using Captions = std::array<std::optional<QString>, 4>;

Captions captions(std::optional<QString> a, std::optional<QString> b, std::optional<QString> c,
                  std::optional<QString> d) {
    return {std::move(a), std::move(b), std::move(c), std::move(d)};
}

const auto kHidden = std::nullopt;

using Tokens = std::array<QString, 4>;

// What the products of one release generation share: release tokens, openable versions, the
// audit report layout and the purge items.
struct Generation {
    Tokens dxfTokens;
    Tokens dwgTokens;
    QList<QByteArray> versions;
    int auditSummaryOffset;
    bool tableStylesAndRegApps;
    bool materialsAndVisualStyles;
};

const QList<QByteArray> kUpTo2000{"AC1006", "AC1009", "AC1012", "AC1014", "AC1015"};

Generation lt2000Generation() {
    return {{u"2000"_s, u"R14"_s, u"R13"_s, u"R12"_s},
            {u"2000"_s, u"R14"_s, u"R13"_s, {}},
            kUpTo2000,
            2,
            false,
            false};
}

Generation r2004Generation(bool tableStylesAndRegApps) {
    return {{u"2004"_s, u"2000"_s, u"R12"_s, {}},
            {u"2004"_s, u"2000"_s, {}, {}},
            kUpTo2000 + QList<QByteArray>{"AC1018"},
            2,
            tableStylesAndRegApps,
            false};
}

Generation r2007Generation() {
    return {{u"2007"_s, u"2004"_s, u"2000"_s, u"R12"_s},
            {u"2007"_s, u"2004"_s, u"2000"_s, u"R14"_s},
            kUpTo2000 + QList<QByteArray>{"AC1018", "AC1021"},
            4,
            true,
            true};
}

ProductRow row(quint8 code, const QString& exe, const QString& label, int option,
               const QString& settingsCaption, const Captions& dxf, const Captions& dwg,
               const Generation& generation, bool blankAfterClose) {
    return {code,
            exe,
            label,
            option,
            settingsCaption,
            dxf,
            dwg,
            generation.dxfTokens,
            generation.dwgTokens,
            generation.versions,
            blankAfterClose,
            generation.auditSummaryOffset,
            generation.tableStylesAndRegApps,
            generation.materialsAndVisualStyles};
}

QList<ProductRow> buildTable() {
    const QString r12 = QStringLiteral("R12/LT2");
    const QString r14 = QStringLiteral("R14/LT98/LT97");
    const QString r13 = QStringLiteral("R13/LT95");
    const QString v2004 = QStringLiteral("2004/LT2004");
    const QString v2000 = QStringLiteral("2000/LT2000");

    const Captions dxf2007 = captions(QStringLiteral("2007"), v2004, v2000, r12);
    const Captions dwg2007 = captions(QStringLiteral("2007"), v2004, v2000, r14);
    const Captions dxfLt2007 = captions(QStringLiteral("LT2007"), v2004, v2000, r12);
    const Captions dwgLt2007 = captions(QStringLiteral("2007/LT2007"), v2004, v2000, r14);
    const Captions dxf2004 = captions(QStringLiteral("2004"), v2000, r12, kHidden);
    const Captions dwg2004 = captions(QStringLiteral("2004"), v2000, kHidden, kHidden);
    const Captions dxfLt2004 = captions(QStringLiteral("LT2004"), v2000, r12, kHidden);
    const Captions dwgLt2004 = captions(v2004, v2000, kHidden, kHidden);
    const Captions dxfLt2002 = captions(QStringLiteral("LT2000"), r14, r13, r12);
    const Captions dwgLt2002 = captions(QStringLiteral("LT2000"), r14, r13, kHidden);
    const Captions dxfLt2000 = captions(QStringLiteral("LT 2000"), r14, r13, r12);
    const Captions dwgLt2000 = captions(QStringLiteral("LT 2000"), r14, r13, kHidden);

    const Generation g2007 = r2007Generation();
    const Generation g2005 = r2004Generation(true);
    const Generation gLt2004 = r2004Generation(false);
    const Generation gLt2000 = lt2000Generation();

    return {
        row(41, QStringLiteral("C:\\Program Files\\AutoCAD 2007\\acad.exe"),
            QStringLiteral("AutoCAD 2007"), 9, QStringLiteral("AutoCAD 2007"), dxf2007, dwg2007,
            g2007, false),
        row(21, QStringLiteral("C:\\Program Files\\AutoCAD LT 2007\\acadlt.exe"),
            QStringLiteral("AutoCAD LT 2007"), 7, QStringLiteral("AutoCAD LT2007"), dxfLt2007,
            dwgLt2007, g2007, false),
        row(18, QStringLiteral("C:\\Program Files\\Autodesk\\Acadm 2006\\acad.exe"),
            QStringLiteral("AutoCAD Mechanical 2006"), 10,
            QStringLiteral("AutoCAD Mechanical 2006"), dxf2004, dwg2004, g2005, true),
        row(17, QStringLiteral("C:\\Program Files\\AutoCAD 2006\\acad.exe"),
            QStringLiteral("AutoCAD 2006"), 0, QStringLiteral("AutoCAD 2006"), dxf2004, dwg2004,
            g2005, true),
        row(7, QStringLiteral("C:\\Program Files\\AutoCAD LT 2006\\aclt.exe"),
            QStringLiteral("AutoCAD LT 2006"), 1, QStringLiteral("AutoCAD LT2006"), dxfLt2004,
            dwgLt2004, g2005, true),
        row(16, QStringLiteral("C:\\Program Files\\AutoCAD 2005\\acad.exe"),
            QStringLiteral("AutoCAD 2005"), 8, QStringLiteral("AutoCAD 2005"), dxf2004, dwg2004,
            g2005, false),
        row(6, QStringLiteral("C:\\Program Files\\AutoCAD LT 2005\\aclt.exe"),
            QStringLiteral("AutoCAD LT 2005"), 2, QStringLiteral("AutoCAD LT2005"), dxfLt2004,
            dwgLt2004, g2005, false),
        row(5, QStringLiteral("C:\\Program Files\\AutoCAD LT 2004\\aclt.exe"),
            QStringLiteral("AutoCAD LT 2004"), 3, QStringLiteral("AutoCAD LT2004"), dxfLt2004,
            dwgLt2004, gLt2004, false),
        row(4, QStringLiteral("C:\\Program Files\\AutoCAD LT 2002\\aclt.exe"),
            QStringLiteral("AutoCAD LT2002"), 4, QStringLiteral("AutoCAD LT2002"), dxfLt2002,
            dwgLt2002, gLt2000, false),
        row(3, QStringLiteral("C:\\Program Files\\AutoCAD LT 2000i\\aclt.exe"),
            QStringLiteral("AutoCAD LT 2000i"), 5, QStringLiteral("AutoCAD LT2000i"), dxfLt2000,
            dwgLt2000, gLt2000, false),
    };
}

// The settings window lists the products by their option index, with "AutoCADなし" at index 6.
QList<SettingsOption> buildSettingsOptions(std::span<const ProductRow> rows) {
    QList<SettingsOption> options{{6, QStringLiteral("AutoCADなし"), 0}};
    for (const ProductRow& product : rows)
        options.append({product.settingsOption, product.settingsCaption, product.selectionCode});
    std::sort(options.begin(), options.end(),
              [](const SettingsOption& a, const SettingsOption& b) { return a.index < b.index; });
    return options;
}

} // namespace

std::span<const ProductRow> productTable() {
    static const QList<ProductRow> table = buildTable();
    return {table.constData(), static_cast<size_t>(table.size())};
}

const ProductRow* productRow(quint8 selectionCode) {
    for (const ProductRow& row : productTable()) {
        if (row.selectionCode == selectionCode)
            return &row;
    }
    return nullptr;
}

bool isKnownSelectionCode(qint64 code) {
    return code == 0 || (code > 0 && code <= 255 && productRow(quint8(code)));
}

std::span<const SettingsOption> settingsOptions() {
    static const QList<SettingsOption> options = buildSettingsOptions(productTable());
    return {options.constData(), static_cast<size_t>(options.size())};
}

bool is2007Generation(quint8 selectionCode) {
    const ProductRow* product = productRow(selectionCode);
    return product && product->hasMaterialsAndVisualStyles;
}

bool is2005OrLater(quint8 selectionCode) {
    const ProductRow* product = productRow(selectionCode);
    return product && product->hasTableStylesAndRegApps;
}

int settingsOptionIndexFor(quint8 selectionCode) {
    for (const SettingsOption& option : settingsOptions()) {
        if (option.selectionCode == selectionCode)
            return option.index;
    }
    return 6;
}

} // namespace ornvale
