#pragma once

#include "RunValues.h"

#include <QString>

namespace ornvale {

class Prompter;

// Start-up for the command line: the run values from the real folders and settings file,
// settled exactly as the window's start-up settles them, without windows and without the
// single-instance test.
RunValues settleRunValues(Prompter& prompter);

// The settings file of this user (reziz.ini in the Windows directory role folder).
QString settingsFilePath();

} // namespace ornvale
