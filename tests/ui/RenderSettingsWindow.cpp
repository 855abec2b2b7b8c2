// Renders the settings window as it opens with AutoCAD 2007 in effect, a custom executable
// path in use and a stall limit of 10 minutes, and saves it as a PNG: `xvfb-run -a
// RenderSettingsWindow docs/settings-window.png`. Not a test; kept beside the window tests so the
// picture in the documentation can be made again.
#include "FolderPicker.h"
#include "JobSettingsFile.h"
#include "SettingsFile.h"
#include "SettingsWindow.h"
#include "Startup.h"
#include "mock/FakeFileSystemProbe.h"
#include "mock/FakeFolderRoles.h"
#include "mock/RecordingPrompter.h"

#include <QApplication>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: RenderSettingsWindow OUTPUT.png\n", stderr);
        return 2;
    }
    QTemporaryDir dir;
    ornvale::test::FakeFolderRoles folders;
    folders.windows = dir.path();
    folders.appData = dir.filePath(u"AppData"_s);
    folders.desktop = u"/home/user/Desktop"_s;
    ornvale::SettingsRecord record;
    record.savedSelection = 41;
    record.customPathFlag = 1;
    record.customExePath = u"/opt/autocad/acad.exe"_s;
    if (!ornvale::SettingsFile::write(dir.path(), record) ||
        !ornvale::JobSettingsFile::write(dir.path(), 10))
        return 1;
    ornvale::test::FakeFileSystemProbe files;
    ornvale::test::RecordingPrompter prompter;
    ornvale::StartupResult settled = ornvale::runStartup(folders, files, prompter);

    ornvale::FolderPicker picker;
    ornvale::SettingsWindow window(settled.runValues, files, prompter, picker);
    window.restore(settled.settingsWindow);
    window.open();
    int status = 1;
    QTimer::singleShot(500, &window, [&] {
        status = window.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
        QCoreApplication::exit(status);
    });
    QApplication::exec();
    return status;
}
