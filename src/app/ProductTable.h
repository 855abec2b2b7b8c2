#pragma once

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
};

std::span<const ProductRow> productTable();

// The row of a selection code, or nullptr for 0 and unknown codes.
const ProductRow* productRow(quint8 selectionCode);

// Selection codes above 20 are the 2007 products; above 5 are 2005 or later (not LT 2004).
inline bool is2007Generation(quint8 selectionCode) {
    return selectionCode > 20;
}
inline bool is2005OrLater(quint8 selectionCode) {
    return selectionCode > 5;
}

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
