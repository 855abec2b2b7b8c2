#pragma once

#include "ConversionOptions.h"
#include "FileEntry.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace ornvale {

class FileSystemProbe;

// Everything one conversion script is made of, taken once when the job starts.
struct ScriptInputs {
    ConversionOptions options;
    QList<FileEntry> files; // list order
    QString outputFolder;
    quint8 selectionCode = 0;
    quint8 singleDocumentMode = 0; // 1: SDI is set back to 1 at the end
    QString markerPath;            // the completion marker AutoCAD saves last
    QString scriptPath;            // where write() puts the script
};

// Where one drawing is saved, for the result windows.
struct ScriptTarget {
    QString outputName;     // file name of the saved drawing, "-COPY" form included
    QString targetPath;     // output folder, native separator, outputName
    bool resultRow = false; // source and output formats agree: a row in the size comparison
};

// The script's lines without line ends, and the drawings' targets in list order.
struct ScriptText {
    QStringList lines;
    QList<ScriptTarget> targets;
    QString error; // the message of the first problem; nothing must be written then
    bool ok() const { return error.isEmpty(); }
};

struct ScriptWriteResult {
    QList<ScriptTarget> targets;
    QString error; // a message for the user, empty when the script was written
    bool ok() const { return error.isEmpty(); }
};

// Writes scriptC.scr: AutoCAD opens, zooms, audits, purges and saves every listed drawing, then
// saves the completion marker and quits. The answers to AutoCAD's overwrite and read-only
// questions depend on the files present while the script is written, so they are decided here.
class ScriptWriter {
public:
    explicit ScriptWriter(FileSystemProbe& probe) : m_probe(probe) {}

    // The lines of the script as the file system stands now; writes nothing.
    ScriptText compose(const ScriptInputs& inputs) const;
    // Creates the output folder when missing and writes the script in code page 932 with CR LF
    // line ends. The file is replaced only when complete: a failure leaves no half script.
    ScriptWriteResult write(const ScriptInputs& inputs) const;

    // The script's bytes for its lines; empty with an error message when a line has no
    // code page 932 form.
    static QByteArray encode(const QStringList& lines, QString* error);
    // The completion marker in the application-data folder.
    static QString markerPathIn(const QString& appDataFolder);

private:
    class Composer;
    FileSystemProbe& m_probe;
};

} // namespace ornvale
