#include "SimProduct.h"

using namespace Qt::StringLiterals;

namespace ornvale::acadsim {

namespace {

struct ProductName {
    int code;
    int generation;
    const char16_t* name;
};

constexpr ProductName kProducts[] = {
    {41, 2007, u"AutoCAD 2007"},
    {21, 2007, u"AutoCAD LT 2007"},
    {18, 2004, u"AutoCAD Mechanical 2006"},
    {17, 2004, u"AutoCAD 2006"},
    {16, 2004, u"AutoCAD 2005"},
    {7, 2004, u"AutoCAD LT 2006"},
    {6, 2004, u"AutoCAD LT 2005"},
    {5, 2004, u"AutoCAD LT 2004"},
    {4, 2000, u"AutoCAD LT 2002"},
    {3, 2000, u"AutoCAD LT 2000i"},
};

const Release kR12{u"R12"_s, u"AC1009"_s};
const Release kR13{u"R13"_s, u"AC1012"_s};
const Release kR14{u"R14"_s, u"AC1014"_s};
const Release k2000{u"2000"_s, u"AC1015"_s};
const Release k2004{u"2004"_s, u"AC1018"_s};
const Release k2007{u"2007"_s, u"AC1021"_s};

QList<Keyword> purgeItemsOf(int code) {
    QList<Keyword> items{{u"B"_s, u"Blocks"_s},      {u"D"_s, u"Dimstyles"_s},
                         {u"LA"_s, u"LAyers"_s},     {u"LT"_s, u"LTypes"_s},
                         {u"P"_s, u"Plotstyles"_s},  {u"SH"_s, u"SHapes"_s},
                         {u"ST"_s, u"textSTyles"_s}, {u"M"_s, u"Mlinestyles"_s}};
    // Table styles and registered applications came with 2005, materials and visual styles
    // with 2007.
    if (code > 5)
        items += {{u"T"_s, u"Tablestyles"_s}, {u"R"_s, u"Regapps"_s}};
    if (code > 20)
        items += {{u"MA"_s, u"MAterials"_s}, {u"V"_s, u"Visualstyles"_s}};
    items.append({u"A"_s, u"All"_s});
    return items;
}

} // namespace

std::optional<SimProduct> SimProduct::forSelection(int selectionCode) {
    for (const ProductName& row : kProducts) {
        if (row.code != selectionCode)
            continue;
        SimProduct product;
        product.m_code = row.code;
        product.m_generation = row.generation;
        product.m_name = QString::fromUtf16(row.name);
        product.m_openable = {u"AC1006"_s, u"AC1009"_s, u"AC1012"_s, u"AC1014"_s, u"AC1015"_s};
        if (row.generation == 2000) {
            product.m_dwg = {kR13, kR14, k2000};
            product.m_dxf = {kR12, kR13, kR14, k2000};
        } else if (row.generation == 2004) {
            product.m_openable.append(u"AC1018"_s);
            product.m_dwg = {kR14, k2000, k2004};
            product.m_dxf = {kR12, k2000, k2004};
        } else {
            product.m_openable += {u"AC1018"_s, u"AC1021"_s};
            product.m_dwg = {kR14, k2000, k2004, k2007};
            product.m_dxf = {kR12, k2000, k2004, k2007};
        }
        product.m_purge = purgeItemsOf(row.code);
        return product;
    }
    return std::nullopt;
}

QString SimProduct::auditSummary(int found, int fixed) const {
    const bool halfWidth = m_name.contains(u"LT"_s) && m_generation < 2007;
    const QString errors = halfWidth ? u"検出ｴﾗｰ総数"_s : u"検出エラー総数"_s;
    return u"%1 %2 修復数 %3"_s.arg(errors).arg(found).arg(fixed);
}

} // namespace ornvale::acadsim
