#include "SaveAsCommand.h"

#include "ScriptInput.h"
#include "SimDocument.h"
#include "SimProduct.h"
#include "SimSettings.h"
#include "Transcript.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace ornvale::acadsim {

namespace {

QList<Keyword> keywordsOf(const QList<Release>& releases) {
    QList<Keyword> keywords;
    for (const Release& release : releases)
        keywords.append({release.keyword, release.keyword});
    return keywords;
}

QString choices(const QList<Release>& releases) {
    QStringList words;
    for (const Release& release : releases)
        words.append(release.keyword);
    return words.join(u'/');
}

// "N%" of the source's size, or N bytes.
qint64 sizeFor(QString spec, qint64 sourceSize) {
    if (spec.endsWith(u'%')) {
        spec.chop(1);
        return qRound64(static_cast<double>(sourceSize) * spec.toDouble() / 100.0);
    }
    return spec.toLongLong();
}

} // namespace

void SaveAsCommand::run(SimDocument& document) {
    const Choice choice = chooseFormat();
    const QString target = chooseTarget(document, choice.format);
    const QByteArray content = faultyContent(document, choice, contentFor(document, choice));
    writeOut(document, target, content);
    document.path = target;
    document.named = true;
    document.format = choice.format;
    document.versionCode = choice.versionCode;
    document.content = content;
    document.modified = false;
}

void SaveAsCommand::saveAgain(SimDocument& document) {
    if (!document.named)
        m_input.refuse(u"saving a drawing that has no file name yet is not simulated"_s);
    if (DrawingFile::isWriteProtected(document.path) && QFileInfo::exists(document.path))
        m_input.refuse(u"%1 is write-protected"_s.arg(document.path));
    writeOut(document, document.path, document.content);
    document.modified = false;
}

SaveAsCommand::Choice SaveAsCommand::chooseFormat() {
    const QList<Release>& releases = m_product.dwgReleases();
    const QString prompt =
        u"Current file format: %1 Drawing. Enter file format [%2/DXF] <%3>:"_s.arg(
            m_product.name(), choices(releases), m_product.ownRelease().keyword);
    QList<Keyword> keywords = keywordsOf(releases);
    keywords.append({u"DXF"_s, u"DXF"_s});
    const qsizetype chosen = m_input.choose(prompt, keywords, releases.size() - 1);
    if (chosen < releases.size())
        return {DrawingFormat::Dwg, releases.at(chosen).versionCode};
    return {DrawingFormat::Dxf, dxfVersion()};
}

// The precision prompt, with the version prompt behind its Version option; it comes back
// after a version is chosen.
QString SaveAsCommand::dxfVersion() {
    const QList<Release>& releases = m_product.dxfReleases();
    QString version = releases.last().versionCode;
    const QString precision =
        u"Enter decimal places of accuracy (0 to 16) or [Objects/Binary/Version] <16>:"_s;
    for (;;) {
        const QString text = m_input.next(precision);
        bool isNumber = false;
        const int places = text.toInt(&isNumber);
        if (text.isEmpty() || (isNumber && places >= 0 && places <= 16))
            return version;
        if (Keyword{u"V"_s, u"Version"_s}.matches(text)) {
            const QString prompt = u"Enter version to save [%1] <%2>:"_s.arg(
                choices(releases), releases.last().keyword);
            version = releases.at(m_input.choose(prompt, keywordsOf(releases), releases.size() - 1))
                          .versionCode;
            continue;
        }
        if (Keyword{u"O"_s, u"Objects"_s}.matches(text) ||
            Keyword{u"B"_s, u"Binary"_s}.matches(text))
            m_input.reject(precision, u"object and binary DXF are not simulated"_s);
        m_input.reject(precision, u"it is neither 0 to 16 nor Objects/Binary/Version"_s);
    }
}

QString SaveAsCommand::chooseTarget(const SimDocument& document, DrawingFormat format) {
    const QString extension = DrawingFile::extensionOf(format);
    for (;;) {
        const QString prompt = u"Save drawing as <%1>:"_s.arg(document.path);
        QString target = m_input.path(prompt, document.path);
        const QString suffix = QFileInfo(target).suffix();
        if (suffix.isEmpty())
            target += extension;
        else if (u'.' + suffix.toLower() != extension)
            m_input.reject(prompt,
                           u"a %1 file is saved under a name ending in %2"_s.arg(
                               format == DrawingFormat::Dxf ? u"DXF"_s : u"DWG"_s, extension));
        if (!QFileInfo::exists(target))
            return target;
        if (DrawingFile::isWriteProtected(target))
            m_input.refuse(u"%1 is write-protected and cannot be replaced"_s.arg(target));
        if (m_input.yesNo(u"A drawing with this name already exists. Do you want to replace "
                          u"it? <N>:"_s,
                          false))
            return target;
    }
}

QByteArray SaveAsCommand::contentFor(const SimDocument& document, const Choice& choice) const {
    if (choice.format != document.format)
        return DrawingFile::newDrawing(choice.format, choice.versionCode);
    QByteArray content =
        DrawingFile::withVersion(document.content, choice.format, choice.versionCode);
    if (!document.sourcePath.isEmpty()) {
        if (const auto spec = m_settings.sizes.valueFor(document.sourcePath))
            content =
                DrawingFile::resized(content, choice.format, sizeFor(*spec, document.sourceSize));
    }
    return content;
}

QByteArray SaveAsCommand::faultyContent(const SimDocument& document, const Choice& choice,
                                        QByteArray content) {
    if (document.sourcePath.isEmpty())
        return content;
    if (const auto code = m_settings.wrongRelease.valueFor(document.sourcePath)) {
        m_transcript.note(
            u"writes %1 in place of %2 (ACADSIM_WRONG_RELEASE)"_s.arg(*code, choice.versionCode));
        content = DrawingFile::withVersion(content, choice.format, *code);
    }
    if (m_settings.truncated.matches(document.sourcePath)) {
        content = DrawingFile::truncated(content, choice.format);
        m_transcript.note(u"cuts the output to %1 bytes (ACADSIM_TRUNCATE)"_s.arg(content.size()));
    }
    return content;
}

void SaveAsCommand::writeOut(const SimDocument& document, const QString& path,
                             const QByteArray& content) {
    if (!document.sourcePath.isEmpty() && m_settings.noOutput.matches(document.sourcePath)) {
        m_transcript.note(u"leaves %1 unwritten (ACADSIM_NO_OUTPUT)"_s.arg(path));
        return;
    }
    QString error;
    if (!DrawingFile::write(path, content, &error))
        m_input.refuse(u"cannot write %1: %2"_s.arg(path, error));
    m_transcript.note(u"wrote %1 (%2 bytes)"_s.arg(path, QString::number(content.size())));
}

} // namespace ornvale::acadsim
