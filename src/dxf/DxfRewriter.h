#pragma once

#include "DxfRewriteObserver.h"
#include "DxfValueCodec.h"

#include <QHash>
#include <QList>
#include <QStringList>

class QSaveFile;

namespace ornvale {

class DxfLineWriter;
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

    QList<DxfRewriteResult> run(const QStringList& inputPaths);
    DxfRewriteResult rewriteFile(const QString& inputPath);

    static QString outputPathFor(const QString& inputPath);
    // The eighth line, the drawing version code, chooses the encoding.
    static DxfEncoding encodingFor(const QByteArray& versionCode);

private:
    QString failureReason(const QString& inputPath, const QString& outputPath,
                          DxfEncoding& encoding) const;
    QString overwriteReason(const QString& inputPath, const QString& outputPath) const;
    static void startWritebackEarly(DxfLineWriter& writer, QSaveFile& output);
    QString copyFile(const QString& inputPath, const QString& outputPath, DxfEncoding encoding);

    ValueTransform& m_transform;
    Prompter& m_prompter;
    DxfRewriteObserver* m_observer;
    // By the name the file system knows them by: an output must never overwrite an input, nor
    // the output of an earlier, different input (listed with the input it was written for).
    QHash<QString, QString> m_batchInputs;
    QHash<QString, QString> m_writtenOutputs;
};

} // namespace ornvale
