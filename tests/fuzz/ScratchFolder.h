#pragma once

#include <QString>
#include <QTemporaryDir>

namespace ornvale::test {

// One temporary folder for the whole fuzzing process, removed when it ends.
inline const QTemporaryDir& scratchDir() {
    static QTemporaryDir dir;
    return dir;
}

inline const QString& scratchFolder() {
    static const QString path = scratchDir().path();
    return path;
}

} // namespace ornvale::test
