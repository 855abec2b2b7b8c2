#pragma once

#include <QByteArray>
#include <QString>

namespace ornvale::acadsim {

enum class DrawingFormat { Dwg, Dxf };

// The simulator's idea of drawing contents: a DWG is its six-character version code followed
// by anything; a DXF carries the code as the value of $ACADVER. Nothing else is read.
class DrawingFile {
public:
    // DXF for a ".dxf" ending in any letter case, DWG otherwise.
    static DrawingFormat formatOf(const QString& path);
    static QString extensionOf(DrawingFormat format);

    // The version code a drawing carries; "AC1009" for a DXF without $ACADVER (such a file
    // is an R12 drawing), an empty text for a DWG shorter than six bytes.
    static QString versionOf(const QByteArray& content, DrawingFormat format);

    // The same drawing with another version code: the code's bytes replaced, everything else
    // as it was. A DXF without $ACADVER becomes a new drawing of that release.
    static QByteArray withVersion(const QByteArray& content, DrawingFormat format,
                                  const QString& versionCode);
    // A small new drawing of the format and release (a DXF: a header with $ACADVER and EOF).
    static QByteArray newDrawing(DrawingFormat format, const QString& versionCode);

    // The drawing cut or padded to size bytes (DWG: zero bytes; DXF: blanks after its end),
    // never cut into the part that holds the version code.
    static QByteArray resized(const QByteArray& content, DrawingFormat format, qint64 size);

    // What an AutoCAD stopped in the middle of writing leaves: an empty DWG, a DXF that ends
    // after its $ACADVER value line (no EOF).
    static QByteArray truncated(const QByteArray& content, DrawingFormat format);

    // A file nobody may write to (Windows: the read-only attribute).
    static bool isWriteProtected(const QString& path);
    // Writes the file whole or not at all; false with the reason.
    static bool write(const QString& path, const QByteArray& content, QString* error);

private:
    struct Span {
        qsizetype start = -1;
        qsizetype end = -1; // the line's text, its line end excluded
    };
    // The line holding the $ACADVER value.
    static Span dxfVersionLine(const QByteArray& content);
};

} // namespace ornvale::acadsim
