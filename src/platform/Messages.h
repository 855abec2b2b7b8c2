#pragma once

#include <QString>

namespace ornvale {

// The title of every message box except the two start-up folder errors.
inline QString confirmTitle() {
    return QStringLiteral("確認");
}

// The start buttons' message for an empty list.
inline QString noFilesMessage() {
    return QStringLiteral("ファイルを選択して下さい。");
}

// A message about one file: its full path, " は、 ", two CR LF line breaks, then the reason.
inline QString perFileMessage(const QString& path, const QString& reason) {
    return path + QStringLiteral(" は、 \r\n\r\n") + reason;
}

} // namespace ornvale
