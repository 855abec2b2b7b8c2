#pragma once

#include "dxf/DxfFixtures.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace ornvale::test {

// The real ornvale-cli under `sh -c`, so a test can set limits before it starts: `prelude`
// runs first (for example "trap '' XFSZ; ulimit -f 2048"), then the command is exec'd with the
// same HOME and XDG folders as runCli gives it.
inline void startCliUnder(QProcess& process, const QTemporaryDir& home, const QString& prelude,
                          const QString& command, const QStringList& args) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral("cache")));
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(home.path());
    const QString cli =
        QStringLiteral(ORNVALE_BINARY_DIR "/src/cli/ornvale-cli" ORNVALE_EXE_SUFFIX);
#ifdef Q_OS_WIN
    // No shell to set limits with there: tests that need a prelude other than ":" skip.
    Q_ASSERT(prelude == QLatin1String(":"));
    process.start(cli, QStringList{command} + args);
#else
    const QString script = prelude + QStringLiteral("; exec \"$0\" \"$@\"");
    process.start(QStringLiteral("/bin/sh"),
                  QStringList{QStringLiteral("-c"), script, cli, command} + args);
#endif
}

// A drawing without blocks whose ENTITIES hold `count` TEXT entities of the same value, written
// in pieces so that drawings of hundreds of MB cost little memory.
inline bool writeRepeatedDrawing(const QString& path, const QByteArray& value, qint64 count) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray entity = joinLines(textEntity(value));
    QByteArray chunk;
    for (int i = 0; i < 4096; ++i)
        chunk += entity;
    bool ok = file.write(joinLines(headerLines("AC1018") + entitiesStart())) > 0;
    for (qint64 left = count; ok && left > 0; left -= 4096) {
        const QByteArray piece = left >= 4096 ? chunk : entity.repeated(left);
        ok = file.write(piece) == piece.size();
    }
    return ok && file.write(joinLines(fileEnd())) > 0;
}

// The names in a folder, sorted.
inline QStringList namesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

} // namespace ornvale::test
