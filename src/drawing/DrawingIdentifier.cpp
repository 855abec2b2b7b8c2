#include "DrawingIdentifier.h"

#include "HeadLines.h"
#include "Messages.h"
#include "ProductTable.h"
#include "Prompter.h"

#include <QFile>
#include <QFileInfo>

namespace ornvale {

namespace {

constexpr int kDxfVersionLine = 8;
constexpr qsizetype kCodeLength = 6;

// A DWG's code is the start of its first line, so six bytes are all that is ever needed; the
// rest of the line may be binary of any length without a CR.
std::optional<QByteArray> readDwgCode(const QString& path) {
    // Only regular files are opened: a FIFO or device named *.dwg would block or never end.
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray head = file.read(kCodeLength);
    if (head.isEmpty())
        return std::nullopt;
    const qsizetype cr = head.indexOf('\r');
    return cr < 0 ? head : head.left(cr);
}

} // namespace

DrawingFormat DrawingIdentifier::classify(const QString& path) {
    const QStringView tail = QStringView(path).right(3);
    if (tail == u"dwg" || tail == u"DWG")
        return DrawingFormat::Dwg;
    if (tail == u"dxf" || tail == u"DXF")
        return DrawingFormat::Dxf;
    return DrawingFormat::NotDrawing;
}

std::optional<QByteArray> DrawingIdentifier::readVersionCode(const QString& path,
                                                             DrawingFormat format) {
    switch (format) {
    case DrawingFormat::Dwg:
        return readDwgCode(path);
    case DrawingFormat::Dxf: {
        const HeadLines head = HeadLines::read(path, kDxfVersionLine);
        if (!head.ok())
            return std::nullopt;
        return head.lines.at(kDxfVersionLine - 1);
    }
    case DrawingFormat::NotDrawing:
        break;
    }
    return std::nullopt;
}

QList<QByteArray> DrawingIdentifier::openableVersions(quint8 selection) {
    const ProductRow* product = productRow(selection);
    return product ? product->openableVersions : QList<QByteArray>();
}

bool DrawingIdentifier::isOpenable(quint8 selection, const std::optional<QByteArray>& code) {
    if (selection == 0)
        return true;
    return code && openableVersions(selection).contains(*code);
}

QString DrawingIdentifier::incompatibleReason() {
    return QStringLiteral("互換性のないバージョンで作成されています。");
}

QString DrawingIdentifier::incompatibleMessage(const QString& path) {
    return perFileMessage(path, incompatibleReason());
}

} // namespace ornvale
