#pragma once

#include "RunValues.h"

#include <QString>
#include <QtGlobal>

#include <optional>

namespace ornvale {

class Prompter;

// Start-up for the command line: the run values from the real folders and settings file,
// settled exactly as the window's start-up settles them, without windows and without the
// single-instance test. A selection given takes the place of the stored or detected one.
RunValues settleRunValues(Prompter& prompter, std::optional<quint8> selection = std::nullopt);

// The settings file of this user (reziz.ini in the Windows directory role folder).
QString settingsFilePath();

} // namespace ornvale
