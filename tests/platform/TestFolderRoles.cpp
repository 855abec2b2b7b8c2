#include "FolderRoles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

using namespace ornvale;
using namespace Qt::StringLiterals;

// The folders of the machine for each role: the XDG folders on Linux (the tests point them at
// a temporary home), the Windows directory and the shell folders on Windows (the tests run
// under Wine, whose user is the Unix user).
class TestFolderRoles : public QObject {
    Q_OBJECT

private slots:
#ifdef Q_OS_WIN
    void japaneseSystem();
    void windowsAndShellFolders();
#else
    void folderRolesFollowXdg();
    void desktopFromUserDirs();
#endif
};

#ifdef Q_OS_WIN

// The users' systems are Japanese Windows; so is the one the tests run on.
void TestFolderRoles::japaneseSystem() {
    QCOMPARE(GetACP(), 932u);
}

// A Windows directory this user may write to is used itself (Wine's is); AppData and Desktop
// are the shell's folders of the user.
void TestFolderRoles::windowsAndShellFolders() {
    SystemFolderRoles roles;
    const QString profile = qEnvironmentVariable("USERPROFILE");
    QVERIFY(!profile.isEmpty());
    QCOMPARE(roles.windowsDirectory().toLower(), qEnvironmentVariable("SystemRoot").toLower());
    QCOMPARE(roles.appDataFolder(),
             std::optional(QDir::toNativeSeparators(QDir(profile).filePath(u"AppData/Roaming"_s))));
    QCOMPARE(roles.desktopFolder(),
             std::optional(QDir::toNativeSeparators(QDir(profile).filePath(u"Desktop"_s))));
    QVERIFY(QFileInfo(*roles.appDataFolder()).isDir());
}

#else

void TestFolderRoles::folderRolesFollowXdg() {
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(u"cfg"_s)));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(u"data"_s)));
    SystemFolderRoles roles;
    const QString windows = roles.windowsDirectory();
    QCOMPARE(windows, home.filePath(u"cfg/ornvale"_s));
    QVERIFY(QFileInfo(windows).isDir()); // created on demand
    QCOMPARE(roles.appDataFolder(), std::optional(home.filePath(u"data/ornvale"_s)));
    QCOMPARE(roles.desktopFolder(), std::optional(home.filePath(u"Desktop"_s)));

    qunsetenv("XDG_CONFIG_HOME");
    QCOMPARE(roles.windowsDirectory(), home.filePath(u".config/ornvale"_s));
}

void TestFolderRoles::desktopFromUserDirs() {
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(u"cfg"_s)));
    QVERIFY(QDir().mkpath(home.filePath(u"cfg"_s)));
    QFile dirs(home.filePath(u"cfg/user-dirs.dirs"_s));
    QVERIFY(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_DESKTOP_DIR=\"$HOME/デスクトップ\"\n");
    dirs.close();
    SystemFolderRoles roles;
    QCOMPARE(roles.desktopFolder(), std::optional(home.filePath(u"デスクトップ"_s)));
}

#endif

QTEST_GUILESS_MAIN(TestFolderRoles)
#include "TestFolderRoles.moc"
