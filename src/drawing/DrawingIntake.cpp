#include "DrawingIntake.h"

#include "Cp932Codec.h"
#include "DrawingIdentifier.h"
#include "FileReadability.h"
#include "Messages.h"
#include "Prompter.h"

#include <QFileInfo>

namespace ornvale {

DropIntake::Verdict DrawingIntake::examine(const QString& path, Prompter& prompter) const {
    const DrawingFormat format = DrawingIdentifier::classify(path);
    if (format == DrawingFormat::NotDrawing || QFileInfo(path).isDir())
        return Verdict::Skip;
    // What cannot be read is no drawing of an unknown version: the message says what is wrong.
    if (const QString unreadable = unreadableFileReason(path); !unreadable.isEmpty()) {
        prompter.inform(perFileMessage(path, unreadable), confirmTitle());
        return Verdict::Refuse;
    }
    // With no product selected nothing is tested, so the file need not be read at all.
    if (m_selection != 0) {
        const auto code = DrawingIdentifier::readVersionCode(path, format);
        if (!DrawingIdentifier::isOpenable(m_selection, code)) {
            prompter.inform(DrawingIdentifier::incompatibleMessage(path), confirmTitle());
            return Verdict::Refuse;
        }
    }
    if (!isScriptSafe(path)) {
        prompter.inform(perFileMessage(path, unsafePathReason()), confirmTitle());
        return Verdict::Refuse;
    }
    return Verdict::Accept;
}

bool DrawingIntake::takesFromFolder(const QString& path) const {
    return DrawingIdentifier::classify(path) != DrawingFormat::NotDrawing;
}

QString DrawingIntake::emptyFolderReason() const {
    return QStringLiteral("DWG・DXFファイルが含まれていません。");
}

bool DrawingIntake::isScriptSafe(const QString& path) {
    for (const QChar c : path) {
        if (c == u'\r' || c == u'\n' || c == u'"')
            return false;
    }
    return Cp932Codec::canEncode(path);
}

QString DrawingIntake::unsafePathReason() {
    return QStringLiteral("スクリプトに使用できない文字がファイル名に含まれています。");
}

} // namespace ornvale
