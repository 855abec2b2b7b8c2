#pragma once

#include <QMap>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace ornvale::test {

struct CliRun {
    int exitCode = -1; // -1: did not finish in time, -2: crashed
    QByteArray outBytes;
    QString out;
    QString err;
};

// Runs the real `ornvale-cli <command> <args>` with HOME and the XDG folders inside `home`
// (config, data and cache below it), from `home` as working folder.
// `extra` adds variables (and replaces inherited ones of the same name).
inline CliRun runCli(const QTemporaryDir& home, const QString& command, const QStringList& args,
                     const QMap<QString, QString>& extra = {}) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (auto it = extra.begin(); it != extra.end(); ++it)
        env.insert(it.key(), it.value());
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral("cache")));
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(home.path());
    process.start(QStringLiteral(ORNVALE_BINARY_DIR "/src/cli/ornvale-cli" ORNVALE_EXE_SUFFIX),
                  QStringList{command} + args);
    CliRun result;
    if (!process.waitForFinished(60000))
        return result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    result.outBytes = process.readAllStandardOutput();
    result.out = QString::fromUtf8(result.outBytes);
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

} // namespace ornvale::test
