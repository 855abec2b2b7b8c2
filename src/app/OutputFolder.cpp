#include "OutputFolder.h"

#include <QDir>

namespace ornvale {

QString defaultOutputFolder(const QString& desktopFolder) {
    return QDir::toNativeSeparators(desktopFolder + QStringLiteral("/Ornvale"));
}

} // namespace ornvale
