#include "FileSizeLimit.h"
#include "FileSystemProbe.h"
#include "FolderPicker.h"
#include "FolderRoles.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "SettingsWindow.h"
#include "SingleInstance.h"
#include "StandardStreams.h"
#include "Startup.h"
#include "WindowSwitcher.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <cstring>

namespace {

// The standard buttons of the message boxes speak Japanese like the rest of the program.
void installJapaneseTranslations(QApplication& app, QTranslator& translator) {
    if (translator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                        QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&translator);
}

// Answered before QApplication exists, so it works without a display.
bool printVersionIfAsked(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            ornvale::useUtf8StandardStreams();
            std::printf("ornvale %d.%d.%d\n", ORNVALE_VERSION_MAJOR, ORNVALE_VERSION_MINOR,
                        ORNVALE_VERSION_PATCH);
            return true;
        }
    }
    return false;
}

} // namespace

// The program takes no arguments apart from --version; any other is ignored. A second start
// shows nothing and ends at once.
int main(int argc, char* argv[]) {
    if (printVersionIfAsked(argc, argv))
        return 0;
    ornvale::failWritesPastFileSizeLimit();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ornvale"));
    // Lets the desktop match the windows to the installed desktop entry and its icon.
    QApplication::setDesktopFileName(QStringLiteral("org.ornvale.Ornvale"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.ornvale.Ornvale")));
    QTranslator translator;
    installJapaneseTranslations(app, translator);

    ornvale::SystemFolderRoles folders;
    ornvale::SingleInstance instance(folders.windowsDirectory());
    if (!instance.acquire())
        return 0;

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
    ornvale::WindowSwitcher switcher(window, prompter);
    window.show();
    return QApplication::exec();
}
