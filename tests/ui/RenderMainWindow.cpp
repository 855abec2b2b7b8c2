// Renders the main window as it looks after start-up with AutoCAD 2007 in effect and saves it
// as a PNG: `xvfb-run -a RenderMainWindow docs/main-window.png`. Not a test; kept beside the
// window tests so the picture in the documentation can be made again.
#include "MainWindow.h"
#include "SettingsFile.h"
#include "Startup.h"
#include "mock/FakeFileSystemProbe.h"
#include "mock/FakeFolderRoles.h"
#include "mock/RecordingPrompter.h"

#include <QApplication>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: RenderMainWindow OUTPUT.png\n", stderr);
        return 2;
    }
    QTemporaryDir dir;
    ornvale::test::FakeFolderRoles folders;
    folders.windows = dir.path();
    folders.appData = dir.filePath(QStringLiteral("AppData"));
    folders.desktop = QStringLiteral("/home/user/Desktop");
    ornvale::test::FakeFileSystemProbe files;
    files.addFile(QStringLiteral("C:\\Program Files\\AutoCAD 2007\\acad.exe"));
    ornvale::test::RecordingPrompter prompter;

    ornvale::MainWindow window(prompter);
    window.setFolderRoles(&folders);
    window.applyStartup(ornvale::runStartup(folders, files, prompter));
    window.show();
    int status = 1;
    QTimer::singleShot(500, &window, [&] {
        status = window.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
        QCoreApplication::exit(status);
    });
    QApplication::exec();
    return status;
}
