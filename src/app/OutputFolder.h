#pragma once

#include <QString>

namespace ornvale {

// The output folder when the settings name none: the desktop's "Ornvale" folder, with native
// separators. Start-up, the settings file and the job's confirmation all mean this one folder,
// also when no desktop folder could be found (then "Ornvale" at the root).
QString defaultOutputFolder(const QString& desktopFolder);

} // namespace ornvale
