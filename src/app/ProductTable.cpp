#include "ProductTable.h"

#include <QList>

namespace ornvale {

namespace {

using Captions = std::array<std::optional<QString>, 4>;

Captions captions(std::optional<QString> a, std::optional<QString> b, std::optional<QString> c,
                  std::optional<QString> d) {
    return {std::move(a), std::move(b), std::move(c), std::move(d)};
}

const auto kHidden = std::nullopt;

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

    return {
        {41, QStringLiteral("C:\\Program Files\\AutoCAD 2007\\acad.exe"),
         QStringLiteral("AutoCAD 2007"), 9, QStringLiteral("AutoCAD 2007"), dxf2007, dwg2007},
        {21, QStringLiteral("C:\\Program Files\\AutoCAD LT 2007\\acadlt.exe"),
         QStringLiteral("AutoCAD LT 2007"), 7, QStringLiteral("AutoCAD LT2007"), dxfLt2007,
         dwgLt2007},
        {18, QStringLiteral("C:\\Program Files\\Autodesk\\Acadm 2006\\acad.exe"),
         QStringLiteral("AutoCAD Mechanical 2006"), 10, QStringLiteral("AutoCAD Mechanical 2006"),
         dxf2004, dwg2004},
        {17, QStringLiteral("C:\\Program Files\\AutoCAD 2006\\acad.exe"),
         QStringLiteral("AutoCAD 2006"), 0, QStringLiteral("AutoCAD 2006"), dxf2004, dwg2004},
        {7, QStringLiteral("C:\\Program Files\\AutoCAD LT 2006\\aclt.exe"),
         QStringLiteral("AutoCAD LT 2006"), 1, QStringLiteral("AutoCAD LT2006"), dxfLt2004,
         dwgLt2004},
        {16, QStringLiteral("C:\\Program Files\\AutoCAD 2005\\acad.exe"),
         QStringLiteral("AutoCAD 2005"), 8, QStringLiteral("AutoCAD 2005"), dxf2004, dwg2004},
        {6, QStringLiteral("C:\\Program Files\\AutoCAD LT 2005\\aclt.exe"),
         QStringLiteral("AutoCAD LT 2005"), 2, QStringLiteral("AutoCAD LT2005"), dxfLt2004,
         dwgLt2004},
        {5, QStringLiteral("C:\\Program Files\\AutoCAD LT 2004\\aclt.exe"),
         QStringLiteral("AutoCAD LT 2004"), 3, QStringLiteral("AutoCAD LT2004"), dxfLt2004,
         dwgLt2004},
        {4, QStringLiteral("C:\\Program Files\\AutoCAD LT 2002\\aclt.exe"),
         QStringLiteral("AutoCAD LT2002"), 4, QStringLiteral("AutoCAD LT2002"), dxfLt2002,
         dwgLt2002},
        {3, QStringLiteral("C:\\Program Files\\AutoCAD LT 2000i\\aclt.exe"),
         QStringLiteral("AutoCAD LT 2000i"), 5, QStringLiteral("AutoCAD LT2000i"), dxfLt2000,
         dwgLt2000},
    };
}

QList<SettingsOption> buildSettingsOptions() {
    return {
        {0, QStringLiteral("AutoCAD 2006"), 17},
        {1, QStringLiteral("AutoCAD LT2006"), 7},
        {2, QStringLiteral("AutoCAD LT2005"), 6},
        {3, QStringLiteral("AutoCAD LT2004"), 5},
        {4, QStringLiteral("AutoCAD LT2002"), 4},
        {5, QStringLiteral("AutoCAD LT2000i"), 3},
        {6, QStringLiteral("AutoCADなし"), 0},
        {7, QStringLiteral("AutoCAD LT2007"), 21},
        {8, QStringLiteral("AutoCAD 2005"), 16},
        {9, QStringLiteral("AutoCAD 2007"), 41},
        {10, QStringLiteral("AutoCAD Mechanical 2006"), 18},
    };
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

std::span<const SettingsOption> settingsOptions() {
    static const QList<SettingsOption> options = buildSettingsOptions();
    return {options.constData(), static_cast<size_t>(options.size())};
}

int settingsOptionIndexFor(quint8 selectionCode) {
    for (const SettingsOption& option : settingsOptions()) {
        if (option.selectionCode == selectionCode)
            return option.index;
    }
    return 6;
}

} // namespace ornvale
