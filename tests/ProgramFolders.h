#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#ifdef Q_OS_WIN
#include "FolderRoles.h"
#endif

namespace ornvale::test {

// The folders of the roles that the real programs use when a test starts them with HOME and the
// XDG variables inside `home` (cli/CliProcess.h does). Those variables place them inside `home`
// on Linux. On Windows the folders are the machine's own (the tests run under Wine, in a prefix
// of their own per test program), so clearProgramFolders() removes what an earlier test of the
// same program left there. Paths use the platform's separators, as the programs print them.
struct ProgramFolders {
    QString windowsDirectory; // reziz.ini, scriptC.scr, the locks
    QString appData;          // the completion marker
    QString desktop;

    QString settingsFile() const { return in(windowsDirectory, "reziz.ini"); }
    QString jobSettingsFile() const { return in(windowsDirectory, "ornvale-job.ini"); }
    QString scriptFile() const { return in(windowsDirectory, "scriptC.scr"); }
    QString markerFile() const { return in(appData, "10000.dxf"); }
    QString defaultOutputFolder() const { return in(desktop, "Ornvale"); }

    static QString in(const QString& folder, const char* name) {
        return QDir::toNativeSeparators(QDir(folder).filePath(QLatin1String(name)));
    }
};

inline ProgramFolders programFolders(const QTemporaryDir& home) {
#ifdef Q_OS_WIN
    Q_UNUSED(home)
    SystemFolderRoles roles;
    return {QDir::toNativeSeparators(roles.windowsDirectory()),
            QDir::toNativeSeparators(roles.appDataFolder().value_or(QString())),
            QDir::toNativeSeparators(roles.desktopFolder().value_or(QString()))};
#else
    return {home.filePath(QStringLiteral("config/ornvale")),
            home.filePath(QStringLiteral("data/ornvale")),
            home.filePath(QStringLiteral("Desktop"))};
#endif
}

inline void clearProgramFolders(const ProgramFolders& folders) {
#ifdef Q_OS_WIN
    // A test may have put a folder where a file goes.
    auto remove = [](const QString& path) {
        if (!QFile::remove(path))
            QDir(path).removeRecursively();
    };
    for (const char* name :
         {"reziz.ini", "ornvale-job.ini", "scriptC.scr", "conversion.lock", "ornvale.lock"})
        remove(ProgramFolders::in(folders.windowsDirectory, name));
    remove(folders.markerFile());
    remove(folders.defaultOutputFolder());
#else
    Q_UNUSED(folders)
#endif
}

} // namespace ornvale::test
