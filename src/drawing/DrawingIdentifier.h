#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <optional>

namespace ornvale {

enum class DrawingFormat { NotDrawing, Dwg, Dxf };

// Tells a dropped file's drawing format, reads its drawing version code and decides whether
// the AutoCAD selection of this run can open it.
class DrawingIdentifier {
public:
    // The last three characters of the full path decide, in exact case: "dwg"/"DWG" or
    // "dxf"/"DXF". A mixed-case ending such as "Dwg" is no drawing.
    static DrawingFormat classify(const QString& path);

    // The version code candidate: a DWG's first line cut to six characters, a DXF's eighth line
    // whole. Empty when the file holds no such line (cannot be opened, is no regular file, is
    // empty, ends before its eighth line, or a line runs past the bounded read).
    static std::optional<QByteArray> readVersionCode(const QString& path, DrawingFormat format);

    // The codes a product can open; empty for selection 0 (no test) and unknown codes.
    static QList<QByteArray> openableVersions(quint8 selection);
    // Selection 0 accepts everything; otherwise the code must equal one of the row's codes.
    static bool isOpenable(quint8 selection, const std::optional<QByteArray>& code);

    // The reason of the per-file message for a drawing the selection cannot open.
    static QString incompatibleReason();
    static QString incompatibleMessage(const QString& path);
};

} // namespace ornvale
