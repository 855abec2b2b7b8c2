#pragma once

#include <QString>

#include <optional>

namespace ornvale {

// The folders the program works in, by their role. On Windows these are the Windows directory
// and the shell folders; elsewhere the XDG folders stand in for them.
class FolderRoles {
public:
    virtual ~FolderRoles() = default;

    // Holds reziz.ini and scriptC.scr; empty when it cannot be found.
    virtual QString windowsDirectory() = 0;
    // The shell folder "AppData" (holds the completion marker); nullopt when unavailable.
    virtual std::optional<QString> appDataFolder() = 0;
    // The shell folder "Desktop"; nullopt when unavailable.
    virtual std::optional<QString> desktopFolder() = 0;
};

// The folders of the machine the program runs on.
class SystemFolderRoles : public FolderRoles {
public:
    QString windowsDirectory() override;
    std::optional<QString> appDataFolder() override;
    std::optional<QString> desktopFolder() override;
};

} // namespace ornvale
