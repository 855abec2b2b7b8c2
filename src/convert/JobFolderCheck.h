#pragma once

#include "ScriptWriter.h"

#include <QString>

#include <optional>

namespace ornvale {

// The folders AutoCAD writes into, checked before it is started: one it cannot write would
// otherwise show only as missing outputs, or as a marker that never comes and a job that blames
// the drawings. The message names the folder.
std::optional<QString> jobFolderProblem(const ScriptInputs& inputs);

} // namespace ornvale
