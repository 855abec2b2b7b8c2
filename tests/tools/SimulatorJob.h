#pragma once

#include "Cp932Codec.h"
#include "FileSystemProbe.h"
#include "ScriptWriter.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace ornvale::test {

inline QString simulatorPath() {
    return QStringLiteral(ORNVALE_BINARY_DIR "/tools/acad-sim/ornvale-acad-sim" ORNVALE_EXE_SUFFIX);
}

struct SimResult {
    int exitCode = -1; // -1: did not finish in time, -2: crashed
    QString err;
};

// The simulator's environment: the selection it plays and the given ACADSIM_* variables only.
inline QProcessEnvironment simulatorEnvironment(int selectionCode,
                                                const QMap<QString, QString>& variables) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& key : env.keys()) {
        if (key.startsWith(QLatin1String("ACADSIM_")))
            env.remove(key);
    }
    env.insert(QStringLiteral("ACADSIM_SELECTION"), QString::number(selectionCode));
    for (auto it = variables.begin(); it != variables.end(); ++it)
        env.insert(it.key(), it.value());
    return env;
}

inline SimResult runSimulator(const QStringList& arguments, const QProcessEnvironment& env) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(simulatorPath(), arguments);
    SimResult result;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

inline void makeReadOnly(const QString& path) {
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
}

// One conversion job in a temporary folder: drawings in src/, outputs in out/, the marker in
// appdata/, the script written by the program's own ScriptWriter.
class SimulatorJob {
public:
    SimulatorJob() {
        QDir(m_dir.path()).mkpath(QStringLiteral("src"));
        QDir(m_dir.path()).mkpath(QStringLiteral("appdata"));
        inputs.outputFolder = native(QStringLiteral("out"));
        inputs.markerPath = ScriptWriter::markerPathIn(native(QStringLiteral("appdata")));
        inputs.scriptPath = native(QStringLiteral("scriptC.scr"));
    }

    QString native(const QString& relative) const {
        return QDir::toNativeSeparators(m_dir.filePath(relative));
    }
    QString source(const QString& name) const { return native(QStringLiteral("src/") + name); }
    QString output(const QString& name) const { return native(QStringLiteral("out/") + name); }

    // A copy of a DXF fixture of tests/data/drawing, listed under name.
    QString addDxf(const QString& fixture, const QString& name) {
        const QString path = source(name);
        QFile::copy(QStringLiteral(ORNVALE_TEST_DATA "/drawing/") + fixture, path);
        return list(path);
    }
    // A DWG: its version code, then filler up to size bytes.
    QString addDwg(const QString& name, const QByteArray& version, qsizetype size) {
        const QString path = source(name);
        QByteArray bytes = version + QByteArray(size - version.size(), 'x');
        writeBytes(path, bytes);
        return list(path);
    }

    // Writes the script for the selection code; the targets in list order.
    QList<ScriptTarget> writeScript(quint8 selectionCode) {
        inputs.selectionCode = selectionCode;
        SystemFileSystemProbe probe;
        const ScriptWriteResult result = ScriptWriter(probe).write(inputs);
        if (!result.ok())
            qWarning("%s", qPrintable(result.error));
        return result.targets;
    }

    // The script's lines as AutoCAD reads them.
    QStringList scriptLines() const {
        QString text = Cp932Codec::decode(readBytes(inputs.scriptPath)).text;
        text.chop(2);
        return text.split(QStringLiteral("\r\n"));
    }

    SimResult run(int selectionCode, const QMap<QString, QString>& variables = {}) const {
        return runSimulator({QStringLiteral("/b"), inputs.scriptPath},
                            simulatorEnvironment(selectionCode, variables));
    }

    bool markerExists() const { return QFile::exists(inputs.markerPath); }

    ScriptInputs inputs;

private:
    QString list(const QString& path) {
        inputs.files.append({QLatin1Char(' ') + QFileInfo(path).fileName(), path});
        return path;
    }

    QTemporaryDir m_dir;
};

} // namespace ornvale::test
