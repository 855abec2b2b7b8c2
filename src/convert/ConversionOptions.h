#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace ornvale {

enum class OutputFormat { Dxf, Dwg };

// Purge items in the fixed order the script writes them.
enum class PurgeItem {
    All,
    Blocks,
    Layers,
    Linetypes,
    Shapes,
    PlotStyles,
    DimStyles,
    TextStyles,
    MlineStyles,
    TableStyles,
    RegApps,
    Materials,
    VisualStyles
};
inline constexpr int kPurgeItemCount = 13;

// Every purge item in script order.
QList<PurgeItem> allPurgeItems();
// The item code AutoCAD's -purge takes ("A", "B", "LA", ...).
QString purgeItemCode(PurgeItem item);
// The item of an item code, compared exactly; nullopt for anything else.
std::optional<PurgeItem> purgeItemFromCode(QStringView code);

// The main window's options of one conversion job, taken once when the job starts.
struct ConversionOptions {
    OutputFormat outputFormat = OutputFormat::Dxf;
    int dxfVersionIndex = 0;
    int dwgVersionIndex = 0;
    int viewMode = 0; // 0 no change, 1 zoom all, 2 zoom extents
    bool audit = false;
    bool auditFix = false;
    bool keepAuditReport = false;
    QList<PurgeItem> purgeItems; // the set items; the script writes them in PurgeItem order

    bool hasPurgeItem(PurgeItem item) const { return purgeItems.contains(item); }
};

} // namespace ornvale
