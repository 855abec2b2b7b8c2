#pragma once

#include "BatchFiles.h"
#include "DxfRewriteObserver.h"
#include "DxfValueCodec.h"

#include <QHash>
#include <QList>
#include <QStringList>

class QFile;
class QIODevice;
class QSaveFile;

namespace ornvale {

class DxfChangeObserver;
class ThreadedByteWriter;
class Prompter;
class ValueTransform;

// ScriptAD: rewrites each DXF file of a batch into "<name less its last 4 characters>-T.dxf"
// beside it. Every output is written to a temporary file and renamed into place when complete,
// so a file that fails leaves no partial output and an earlier output untouched. A failing
// file is reported by name and the batch goes on with the next one. No output of a batch
// overwrites one of its inputs or the output of another of its inputs.
class DxfRewriter {
public:
    DxfRewriter(ValueTransform& transform, Prompter& prompter,
                DxfRewriteObserver* observer = nullptr);

    // Every changed value of the files rewritten from now on is reported to `observer`.
    void setChangeObserver(DxfChangeObserver* observer) { m_changes = observer; }
    // A dry run reads, converts and reports as usual, but writes no file at all: not even a
    // temporary one. A file that would be converted is reported as converted.
    void setDryRun(bool dryRun) { m_dryRun = dryRun; }

    QList<DxfRewriteResult> run(const QStringList& inputPaths);
    DxfRewriteResult rewriteFile(const QString& inputPath);

    // Empty when the name is too short to lose its last four characters inside its folder.
    static QString outputPathFor(const QString& inputPath);
    // The eighth line, the drawing version code, chooses the encoding.
    static DxfEncoding encodingFor(const QByteArray& versionCode);

private:
    QString failureReason(const QString& inputPath, const QString& outputPath,
                          DxfEncoding& encoding) const;
    QString overwriteReason(const QString& inputPath, const QString& outputPath) const;
    QString copyFile(const QString& inputPath, const QString& outputPath, DxfEncoding encoding,
                     QStringList& notes);
    // The rewrite into `output`; `saveFile` is the same device when it is a file on disk.
    QString rewriteInto(QFile& input, QIODevice& output, QSaveFile* saveFile,
                        const QString& outputPath, DxfEncoding encoding, QStringList& notes);

    ValueTransform& m_transform;
    Prompter& m_prompter;
    DxfRewriteObserver* m_observer;
    DxfChangeObserver* m_changes = nullptr;
    bool m_dryRun = false;
    // By the name the file system knows them by: an output must never overwrite an input, nor
    // the output of an earlier, different input (listed with the input it was written for).
    BatchFiles m_batchInputs;
    QHash<QString, QString> m_writtenOutputs;
};

} // namespace ornvale
