#pragma once

#include "ConversionOptionsPanel.h"
#include "FileListPanel.h"
#include "MainWindow.h"
#include "convert/JobFixture.h"

#include <QByteArray>
#include <QDir>

#include <memory>

namespace ornvale::test {

// A main window whose AutoCAD is the stand-in for the given product, with its desktop, AppData
// and Windows directory inside `folder`; shown, as a person would see it.
inline std::unique_ptr<MainWindow> simulatorMainWindow(Prompter& prompter, const QString& folder,
                                                       int selection) {
    const auto path = [&](const QString& name) {
        return QDir::toNativeSeparators(QDir(folder).filePath(name));
    };
    qputenv("ACADSIM_SELECTION", QByteArray::number(selection));
    auto window = std::make_unique<MainWindow>(prompter);
    RunValues& run = window->runValues();
    run.autocadSelection = static_cast<quint8>(selection);
    run.autocadExePath = simulatorExecutable();
    run.desktopFolder = path(QStringLiteral("desktop"));
    run.outputFolder = path(QStringLiteral("desktop/Ornvale"));
    run.appDataFolder = path(QStringLiteral("appdata"));
    run.windowsDirectory = path(QStringLiteral("windows"));
    run.scriptPath = path(QStringLiteral("windows/scriptC.scr"));
    QDir().mkpath(run.windowsDirectory);
    window->fileListPanel()->setAutocadSelection(run.autocadSelection);
    window->optionsPanel()->applyProduct(run.autocadSelection);
    window->show();
    return window;
}

} // namespace ornvale::test
