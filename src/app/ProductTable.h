#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>
#include <span>

namespace ornvale {

// One AutoCAD product the program can work with. The order of productTable() is the order in
// which start-up looks for an installed product.
struct ProductRow {
    quint8 selectionCode;
    QString defaultExePath;
    QString productLabel; // main window's Label4
    int settingsOption;   // index of the product's button in the settings window
    QString settingsCaption;
    // Captions of the four DXF and the four DWG release buttons; nullopt = the button is hidden.
    std::array<std::optional<QString>, 4> dxfReleaseCaptions;
    std::array<std::optional<QString>, 4> dwgReleaseCaptions;
    // The release token a save block writes for each DXF and DWG release button; an empty text
    // means nothing is written for that button.
    std::array<QString, 4> dxfReleaseTokens;
    std::array<QString, 4> dwgReleaseTokens;
    // Drawing version codes ("AC1015") the product opens.
    QList<QByteArray> openableVersions;
    // The product's close prompt wants one more Enter after "close".
    bool blankAfterClose = false;
    // The audit report's summary line, counted from the end (line count - offset lines are read).
    int auditSummaryOffset = 2;
    // Purge items the product knows beyond the common ones.
    bool hasTableStylesAndRegApps = false;
    bool hasMaterialsAndVisualStyles = false;
};

std::span<const ProductRow> productTable();

// The row of a selection code, or nullptr for 0 and unknown codes.
const ProductRow* productRow(quint8 selectionCode);
// A code a run can work with: 0 (no product) or a product's. Anything else is a typing error.
bool isKnownSelectionCode(qint64 code);

// The 2007 products (materials and visual styles can be purged).
bool is2007Generation(quint8 selectionCode);
// 2005 or later (table styles and registered applications can be purged).
bool is2005OrLater(quint8 selectionCode);

// The settings window's product options: index -> selection code (index 6 "AutoCADなし" is 0).
struct SettingsOption {
    int index;
    QString caption;
    quint8 selectionCode;
};
std::span<const SettingsOption> settingsOptions();
// The option index showing a selection code (6 for 0 and unknown codes).
int settingsOptionIndexFor(quint8 selectionCode);

} // namespace ornvale
