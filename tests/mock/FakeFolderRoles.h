#pragma once

#include "FolderRoles.h"

namespace ornvale::test {

// Folder roles set by the test; nullopt makes a shell folder unavailable.
class FakeFolderRoles : public FolderRoles {
public:
    QString windows;
    std::optional<QString> appData;
    std::optional<QString> desktop;

    QString windowsDirectory() override { return windows; }
    std::optional<QString> appDataFolder() override { return appData; }
    std::optional<QString> desktopFolder() override { return desktop; }
};

} // namespace ornvale::test
