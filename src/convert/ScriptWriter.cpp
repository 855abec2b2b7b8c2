#include "ScriptWriter.h"

#include "BatchFiles.h"
#include "Cp932Codec.h"
#include "DrawingIntake.h"
#include "FileSystemProbe.h"
#include "Messages.h"
#include "ProductTable.h"
#include "Prompter.h"
#include "ReleaseTokens.h"

#include <QDir>
#include <QSaveFile>

#include <optional>

namespace ornvale {

namespace {

// A read-only file that still carries the archive bit; AutoCAD asks before opening such a
// drawing and cannot overwrite it as a target.
constexpr int kReadOnlyArchive = FileAttribute::ReadOnly | FileAttribute::Archive;

// Only an exact "dwg" or "DWG" ending is a DWG source; ".Dwg" counts as DXF.
bool isDwgSource(const QString& path) {
    return path.endsWith(QLatin1String("dwg")) || path.endsWith(QLatin1String("DWG"));
}

bool isDxfEnding(const QString& path) {
    return path.endsWith(QLatin1String("dxf")) || path.endsWith(QLatin1String("DXF"));
}

bool closeBlankFor(quint8 selectionCode) {
    const ProductRow* product = productRow(selectionCode);
    return product && product->blankAfterClose;
}

QString outputIsInputReason(const QString& target) {
    return QStringLiteral("出力ファイル %1 は変換するファイルの一つのため、上書きできません。"
                          "保存場所を変更して下さい。")
        .arg(target);
}

QString joinPath(const QString& folder, const QString& name) {
    return folder + QDir::separator() + name;
}

BatchFiles sourcesOf(const ScriptInputs& inputs) {
    QStringList paths;
    for (const FileEntry& entry : inputs.files)
        paths.append(entry.sourcePath);
    return BatchFiles(paths);
}

// Writing the script over a drawing of the batch would destroy it, or have AutoCAD save a
// drawing over the script it is reading. Names are compared as the file system knows them.
std::optional<QString> scriptPathClash(const ScriptInputs& inputs,
                                       const QList<ScriptTarget>& targets) {
    if (const std::optional<QString> source = sourcesOf(inputs).replacedBy(inputs.scriptPath))
        return perFileMessage(
            inputs.scriptPath,
            QStringLiteral("変換する図面 %1 と同じファイルのため、スクリプトを書き込めません。")
                .arg(*source));
    QStringList targetPaths;
    for (const ScriptTarget& target : targets)
        targetPaths.append(target.targetPath);
    if (const std::optional<QString> target = BatchFiles(targetPaths).replacedBy(inputs.scriptPath))
        return perFileMessage(
            inputs.scriptPath,
            QStringLiteral("図面の保存先 %1 と同じファイルのため、スクリプトを書き込めません。")
                .arg(*target));
    return std::nullopt;
}

} // namespace

class ScriptWriter::Composer {
public:
    Composer(const ScriptInputs& inputs, FileSystemProbe& probe) : m_in(inputs), m_probe(probe) {}

    ScriptText run() {
        if (m_in.files.isEmpty()) {
            m_out.error = noFilesMessage();
            return m_out;
        }
        m_sources = sourcesOf(m_in);
        line(u"SDI");
        line(u"0");
        for (const FileEntry& entry : m_in.files) {
            fileBlock(entry);
            if (!m_out.ok())
                return m_out;
        }
        trailer();
        return m_out;
    }

private:
    void line(QStringView text) { m_out.lines.append(text.toString()); }

    // Paths are quoted; one that no script line can carry stops the script.
    void quoted(const QString& path) {
        if (!DrawingIntake::isScriptSafe(path) && m_out.ok())
            m_out.error = perFileMessage(path, DrawingIntake::unsafePathReason());
        m_out.lines.append(QLatin1Char('"') + path + QLatin1Char('"'));
    }

    bool isReadOnly(const QString& path) const {
        return m_probe.attributeValue(path) == kReadOnlyArchive;
    }

    void fileBlock(const FileEntry& entry) {
        if (entry.listName.size() < 4) {
            m_out.error = perFileMessage(entry.sourcePath,
                                         QStringLiteral("出力ファイル名を決められません。"));
            return;
        }
        line(u"open");
        quoted(entry.sourcePath);
        if (isReadOnly(entry.sourcePath))
            line(u"y");
        viewLines();
        auditLines();
        purgeLines();
        saveBlock(entry);
    }

    void viewLines() {
        if (m_in.options.viewMode == 1) {
            line(u"zoom");
            line(u"A");
        } else if (m_in.options.viewMode == 2) {
            line(u"zoom");
            line(u"E");
        }
    }

    void auditLines() {
        if (!m_in.options.audit)
            return;
        line(u"AUDITCTL");
        line(u"1");
        line(u"AUDIT");
        line(m_in.options.auditFix ? u"y" : u"n");
    }

    // One block per set item in the fixed order, "all" included beside single items.
    void purgeLines() {
        for (PurgeItem item : allPurgeItems()) {
            if (!m_in.options.hasPurgeItem(item))
                continue;
            line(u"-purge");
            line(purgeItemCode(item));
            line(u"*");
            line(u"N");
        }
    }

    ScriptTarget targetFor(const FileEntry& entry, bool dxfOutput) const {
        const QString base = entry.nameKey();
        const QString extension = dxfOutput ? QStringLiteral(".dxf") : QStringLiteral(".dwg");
        ScriptTarget target;
        target.outputName = base + extension;
        target.targetPath = joinPath(m_in.outputFolder, target.outputName);
        // AutoCAD cannot replace a read-only target: save beside it instead.
        if (isReadOnly(target.targetPath)) {
            target.outputName = base + QStringLiteral("-COPY") + extension;
            target.targetPath = joinPath(m_in.outputFolder, target.outputName);
        }
        return target;
    }

    void saveBlock(const FileEntry& entry) {
        const bool dxfOutput = m_in.options.outputFormat == OutputFormat::Dxf;
        const bool dwgSource = isDwgSource(entry.sourcePath);
        ScriptTarget target = targetFor(entry, dxfOutput);
        target.resultRow = dwgSource != dxfOutput;
        // AutoCAD would be told to save over a drawing of the batch (the output folder is the
        // drawings' own folder): no input is ever replaced.
        if (m_sources.replacedBy(target.targetPath)) {
            m_out.error = perFileMessage(entry.sourcePath, outputIsInputReason(target.targetPath));
            return;
        }
        const QString dxfToken = dxfReleaseToken(m_in.selectionCode, m_in.options.dxfVersionIndex);
        const QString dwgToken = dwgReleaseToken(m_in.selectionCode, m_in.options.dwgVersionIndex);

        line(u"saveas");
        if (dxfOutput) {
            line(u"dxf");
            if (!dwgSource)
                line(u"V");
            if (!dxfToken.isEmpty()) {
                if (dwgSource)
                    line(u"v");
                line(dxfToken);
            }
            line(u"16");
        } else if (!dwgToken.isEmpty()) {
            line(dwgToken);
        }
        quoted(target.targetPath);
        // Decided now: a target that only appears while AutoCAD runs gets no answer.
        if (m_probe.exists(target.targetPath))
            line(u"y");
        closeLines(dwgSource, dxfOutput, entry.sourcePath);
        m_out.targets.append(target);
    }

    void closeLines(bool dwgSource, bool dxfOutput, const QString& sourcePath) {
        if (dwgSource != dxfOutput) {
            line(u"close");
        } else {
            // Saved in the other format: zoom to the extents, then answer the question on close.
            line(u"zoom");
            line(u"e");
            line(u"close");
            if (dwgSource)
                line(u"y");
            else
                line(isDxfEnding(sourcePath) ? u"N" : u"y");
        }
        if (closeBlankFor(m_in.selectionCode))
            line(u"");
    }

    void trailer() {
        line(u"_new");
        quoted(m_in.markerPath);
        line(u"saveas");
        line(u"dxf");
        line(u"v");
        line(u"2000");
        line(u"16");
        quoted(m_in.markerPath);
        if (m_probe.exists(m_in.markerPath))
            line(u"y");
        if (m_in.singleDocumentMode == 1) {
            line(u"SDI");
            line(u"1");
        }
        line(u"quit");
        line(isDxfEnding(m_in.files.back().sourcePath) ? u"Y" : u"y");
    }

    const ScriptInputs& m_in;
    FileSystemProbe& m_probe;
    ScriptText m_out;
    BatchFiles m_sources;
};

ScriptText ScriptWriter::compose(const ScriptInputs& inputs) const {
    return Composer(inputs, m_probe).run();
}

QByteArray ScriptWriter::encode(const QStringList& lines, QString* error) {
    QString text = lines.join(QStringLiteral("\r\n"));
    text += QStringLiteral("\r\n");
    const Cp932Codec::Encoded encoded = Cp932Codec::encode(text);
    if (!encoded.ok()) {
        if (error)
            *error = DrawingIntake::unsafePathReason();
        return {};
    }
    return encoded.bytes;
}

QString ScriptWriter::markerPathIn(const QString& appDataFolder) {
    return joinPath(appDataFolder, QStringLiteral("10000.dxf"));
}

ScriptWriteResult ScriptWriter::write(const ScriptInputs& inputs) const {
    ScriptWriteResult result;
    const ScriptText text = compose(inputs);
    if (!text.ok()) {
        result.error = text.error;
        return result;
    }
    if (const std::optional<QString> clash = scriptPathClash(inputs, text.targets)) {
        result.error = *clash;
        return result;
    }
    if (!QDir().mkpath(inputs.outputFolder)) {
        result.error =
            perFileMessage(inputs.outputFolder, QStringLiteral("出力フォルダを作成できません。"));
        return result;
    }
    QString encodeError;
    const QByteArray bytes = encode(text.lines, &encodeError);
    if (!encodeError.isEmpty()) {
        result.error = perFileMessage(inputs.scriptPath, encodeError);
        return result;
    }
    // Unbuffered: a write that fails (a full disk) must fail here, where it is seen, and not in
    // the flush on commit, which would rename the cut script into place.
    QSaveFile file(inputs.scriptPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        file.write(bytes) != bytes.size() || !file.commit()) {
        result.error = perFileMessage(
            inputs.scriptPath, QStringLiteral("スクリプトファイルを書き込めません。") +
                                   QStringLiteral(" (") + file.errorString() + QLatin1Char(')'));
        return result;
    }
    result.targets = text.targets;
    return result;
}

} // namespace ornvale
