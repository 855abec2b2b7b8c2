#pragma once

#include <QString>
#include <QStringList>

namespace ornvale {

// What is wrong with the settings file as it stands, one reason per problem in the order of the
// record, for a warning naming the file: no regular file under the name, a record cut short, a
// selection code no product has, a flag other than 0 or 1, a text field that is no text. Empty
// for a missing or empty file and for any record the program writes.
QStringList settingsFileProblems(const QString& windowsDirectory);

} // namespace ornvale
