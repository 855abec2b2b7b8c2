#include "FileSystemProbe.h"
#include "FolderPicker.h"
#include "FolderRoles.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "SettingsWindow.h"
#include "SingleInstance.h"
#include "Startup.h"
#include "WindowSwitcher.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

// The standard buttons of the message boxes speak Japanese like the rest of the program.
void installJapaneseTranslations(QApplication& app, QTranslator& translator) {
    if (translator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                        QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&translator);
}

} // namespace

// The program takes no arguments. A second start ends silently and brings the running
// instance's window to the front.
int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ornvale"));
    QTranslator translator;
    installJapaneseTranslations(app, translator);

    ornvale::SystemFolderRoles folders;
    ornvale::SingleInstance instance(folders.windowsDirectory());
    if (!instance.acquire()) {
        instance.requestRaise();
        return 0;
    }

    ornvale::MessageBox prompter;
    ornvale::SystemFileSystemProbe files;
    ornvale::MainWindow window(prompter);
    const ornvale::StartupResult settled = ornvale::runStartup(folders, files, prompter);
    window.applyStartup(settled);
    prompter.setOwner(&window);
    // The settings window is loaded hidden with the controls start-up set; its messages and
    // folder browser belong to it.
    ornvale::MessageBox settingsPrompter;
    ornvale::FolderPicker picker;
    ornvale::SettingsWindow settings(window.runValues(), files, settingsPrompter, picker);
    settingsPrompter.setOwner(&settings);
    settings.restore(settled.settingsWindow);
    window.attachSettingsWindow(&settings);
    QObject::connect(&instance, &ornvale::SingleInstance::raiseRequested, &window,
                     &ornvale::MainWindow::bringToFront);
    ornvale::WindowSwitcher switcher(window, prompter);
    window.show();
    return QApplication::exec();
}
