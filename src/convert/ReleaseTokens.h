#pragma once

#include <QString>
#include <QtGlobal>

namespace ornvale {

// The release token a save block writes for the selected release button of a product; an empty
// text when none applies (nothing is written then). Index 3 of the DWG group has no token for
// LT 2000i and LT 2002, whose window hides that button.
QString dxfReleaseToken(quint8 selectionCode, int index);
QString dwgReleaseToken(quint8 selectionCode, int index);

} // namespace ornvale
