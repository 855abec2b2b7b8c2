#include "DxfRewriter.h"

#include "DxfLineReader.h"
#include "DxfNullDevice.h"
#include "DxfStreamRewriter.h"
#include "FileIdentity.h"
#include "FileReadability.h"
#include "HeadLines.h"
#include "Messages.h"
#include "Prompter.h"
#include "ThreadedByteWriter.h"
#include "ValueTransform.h"
#include "WritebackHook.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace ornvale {

namespace {

QString cannotOpenReason() {
    return QStringLiteral("ファイルを開けません。");
}
QString tooFewLinesReason() {
    return QStringLiteral("行数が8行未満のため、DXFファイルとして変換できません。");
}
QString noEntitiesReason() {
    return QStringLiteral("ENTITIES セクションが見つからないため、変換できません。");
}
QString readFailedReason() {
    return QStringLiteral("ファイルの読み込み中にエラーが発生しました。");
}
QString cannotCreateReason(const QString& output) {
    return QStringLiteral(
               "出力ファイル %1 を作成できません。フォルダに書き込めるか確認して下さい。")
        .arg(output);
}
QString writeFailedReason(const QString& output) {
    return QStringLiteral("出力ファイル %1 を書き込めません。ディスクの空き容量を確認して下さい。")
        .arg(output);
}
QString outputIsInputReason(const QString& output, const QString& input) {
    if (output == input)
        return QStringLiteral("出力ファイル %1 は変換するファイルの一つのため、上書きできません。")
            .arg(output);
    return QStringLiteral(
               "出力ファイル %1 は変換するファイル %2 と同じファイルのため、上書きできません。")
        .arg(output, input);
}
QString shortNameReason() {
    return QStringLiteral("ファイル名が短いため、同じフォルダに出力ファイル名を決められません。");
}
QString outputIsLinkReason(const QString& output) {
    return QStringLiteral("出力ファイル %1 はシンボリックリンクのため、上書きできません。")
        .arg(output);
}
QString longValuesNote(int count) {
    return QStringLiteral(
               "1 MiB を超えるため変換しなかった値が %1 個あります（そのまま出力しました）。")
        .arg(count);
}
QString endedInEntityNote() {
    return QStringLiteral("図形の途中でファイルが終わっています（最後の EOF がありません）。"
                          "読めたところまでを出力しました。");
}
QString noEndOfFileNote() {
    return QStringLiteral("ファイルの最後に EOF がなく、途中で切れている可能性があります。"
                          "読めたところまでを出力しました。");
}

// A file that comes out converted may still lack something the user asked for.
QStringList notesOf(const DxfStreamRewriter::Notes& notes) {
    QStringList texts;
    if (notes.longValuesLeft > 0)
        texts.append(longValuesNote(notes.longValuesLeft));
    if (notes.endedInEntity)
        texts.append(endedInEntityNote());
    else if (!notes.endOfFileSeen)
        texts.append(noEndOfFileNote());
    return texts;
}

QString outputTakenReason(const QString& output, const QString& input) {
    return QStringLiteral("出力ファイル %1 は先に変換した %2 の出力のため、上書きできません。")
        .arg(output, input);
}

} // namespace

DxfRewriter::DxfRewriter(ValueTransform& transform, Prompter& prompter,
                         DxfRewriteObserver* observer)
    : m_transform(transform), m_prompter(prompter), m_observer(observer) {}

// Cutting four characters off a name of four or fewer ("dxf", ".dxf", "adxf") would cut into
// the folder part of the path and put the output elsewhere: such a name has no output.
QString DxfRewriter::outputPathFor(const QString& inputPath) {
    if (QFileInfo(inputPath).fileName().size() <= 4)
        return {};
    return inputPath.chopped(4) + QStringLiteral("-T.dxf");
}

DxfEncoding DxfRewriter::encodingFor(const QByteArray& versionCode) {
    return versionCode == "AC1021" ? DxfEncoding::Utf8 : DxfEncoding::Cp932;
}

QList<DxfRewriteResult> DxfRewriter::run(const QStringList& inputPaths) {
    m_batchInputs = BatchFiles(inputPaths);
    m_writtenOutputs.clear();
    QList<DxfRewriteResult> results;
    for (qsizetype i = 0; i < inputPaths.size(); ++i) {
        if (m_observer)
            m_observer->fileStarted(int(i), int(inputPaths.size()), inputPaths[i]);
        results.append(rewriteFile(inputPaths[i]));
        if (results.last().converted)
            m_writtenOutputs.insert(fileIdentityKey(results.last().outputPath), inputPaths[i]);
        if (m_observer)
            m_observer->fileFinished(int(i + 1), results.last());
    }
    m_batchInputs = BatchFiles();
    m_writtenOutputs.clear();
    return results;
}

DxfRewriteResult DxfRewriter::rewriteFile(const QString& inputPath) {
    DxfRewriteResult result;
    result.inputPath = inputPath;
    result.outputPath = outputPathFor(inputPath);
    DxfEncoding encoding = DxfEncoding::Cp932;
    result.reason = failureReason(inputPath, result.outputPath, encoding);
    QStringList notes;
    if (result.reason.isEmpty())
        result.reason = copyFile(inputPath, result.outputPath, encoding, notes);
    result.converted = result.reason.isEmpty();
    if (!result.converted)
        m_prompter.inform(perFileMessage(inputPath, result.reason), confirmTitle());
    else if (!notes.isEmpty())
        m_prompter.inform(perFileMessage(inputPath, notes.join(QStringLiteral("\r\n"))),
                          confirmTitle());
    if (result.converted)
        result.notes = notes;
    return result;
}

// The checks before anything is written; also settles the encoding from the version line.
QString DxfRewriter::failureReason(const QString& inputPath, const QString& outputPath,
                                   DxfEncoding& encoding) const {
    const QString unreadable = unreadableFileReason(inputPath);
    if (!unreadable.isEmpty())
        return unreadable;
    if (outputPath.isEmpty())
        return shortNameReason();
    const QString reason = overwriteReason(inputPath, outputPath);
    if (!reason.isEmpty())
        return reason;
    // The save would replace the file the link points at, which may be anything.
    if (QFileInfo(outputPath).isSymLink())
        return outputIsLinkReason(outputPath);
    const HeadLines head = HeadLines::read(inputPath, 8);
    switch (head.failure) {
    case HeadLines::Failure::CannotOpen:
        return cannotOpenReason();
    case HeadLines::Failure::TooFewLines:
        return tooFewLinesReason();
    case HeadLines::Failure::LineTooLong: // no version line within reach: not "AC1021"
        break;
    case HeadLines::Failure::None:
        encoding = encodingFor(head.lines.at(7));
        break;
    }
    return {};
}

// Why writing the output would destroy a file of this batch: an input, or the output of an
// earlier, different input. The same input listed twice may overwrite its own output.
QString DxfRewriter::overwriteReason(const QString& inputPath, const QString& outputPath) const {
    if (const std::optional<QString> input = m_batchInputs.replacedBy(outputPath))
        return outputIsInputReason(outputPath, *input);
    const QString outputKey = fileIdentityKey(outputPath);
    const auto written = m_writtenOutputs.constFind(outputKey);
    if (written != m_writtenOutputs.cend() &&
        fileIdentityKey(written.value()) != fileIdentityKey(inputPath))
        return outputTakenReason(outputPath, written.value());
    return {};
}

QString DxfRewriter::copyFile(const QString& inputPath, const QString& outputPath,
                              DxfEncoding encoding, QStringList& notes) {
    QFile input(inputPath);
    if (!QFileInfo(inputPath).isFile() || !input.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return cannotOpenReason();
    if (m_dryRun) {
        // What creating the output would find out, without creating it.
        if (!QFileInfo(QFileInfo(outputPath).absolutePath()).isWritable())
            return cannotCreateReason(outputPath);
        DxfNullDevice sink;
        sink.open(QIODevice::WriteOnly);
        return rewriteInto(input, sink, nullptr, outputPath, encoding, notes);
    }
    QSaveFile output(outputPath);
    if (!output.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return cannotCreateReason(outputPath);
    QString reason = rewriteInto(input, output, &output, outputPath, encoding, notes);
    if (reason.isEmpty() && !output.commit())
        reason = writeFailedReason(outputPath);
    if (!reason.isEmpty())
        output.cancelWriting();
    return reason;
}

QString DxfRewriter::rewriteInto(QFile& input, QIODevice& output, QSaveFile* saveFile,
                                 const QString& outputPath, DxfEncoding encoding,
                                 QStringList& notes) {
    const qint64 total = input.size();
    DxfLineReader reader(input);
    if (m_observer) {
        m_observer->fileProgress(0, total);
        reader.setBlockHook([this, total](qint64 read) { m_observer->fileProgress(read, total); });
    }
    ThreadedByteWriter writer(output);
    // The output is synced to disk before it replaces an earlier one; the sync waits only for
    // what the writeback has not started yet.
    if (saveFile)
        writer.setWriteHook(writebackHook(*saveFile));
    DxfStreamRewriter rewriter(m_transform, encoding);
    rewriter.setChangeObserver(m_changes, input.fileName());
    const DxfStreamRewriter::Outcome outcome = rewriter.rewrite(reader, writer);
    notes = notesOf(rewriter.notes());
    switch (outcome) {
    case DxfStreamRewriter::Outcome::Done:
        return {};
    case DxfStreamRewriter::Outcome::NoEntities:
        return noEntitiesReason();
    case DxfStreamRewriter::Outcome::ReadFailed:
        return readFailedReason();
    case DxfStreamRewriter::Outcome::WriteFailed:
        break;
    }
    return writeFailedReason(outputPath);
}

} // namespace ornvale
