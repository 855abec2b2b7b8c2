#pragma once

#include <QList>
#include <QString>

namespace ornvale {

enum class OutputFormat { Dxf, Dwg };

// Purge items in the fixed order the script writes them; the value is the item code's index.
enum class PurgeItem { All, Blocks, Layers, Linetypes, Shapes, PlotStyles, DimStyles, TextStyles,
                       MlineStyles, TableStyles, RegApps, Materials, VisualStyles };

// The main window's options of one conversion job, taken once when the job starts.
struct ConversionOptions {
    OutputFormat outputFormat = OutputFormat::Dxf;
    int dxfVersionIndex = 0;
    int dwgVersionIndex = 0;
    int viewMode = 0; // 0 no change, 1 zoom all, 2 zoom extents
    bool audit = false;
    bool auditFix = false;
    bool keepAuditReport = false;
    QList<PurgeItem> purgeItems; // set items; the script writes them in PurgeItem order
};

} // namespace ornvale
