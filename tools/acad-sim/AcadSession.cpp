#include "AcadSession.h"

#include "AuditReport.h"
#include "SaveAsCommand.h"
#include "ScriptInput.h"
#include "SimProduct.h"
#include "SimSettings.h"
#include "SimStop.h"
#include "Transcript.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace ornvale::acadsim {

namespace {

const QString kCommandPrompt = u"Command:"_s;

// "_open" is the English name in any language version; "." asks for the built-in command.
QString commandName(QString word) {
    while (word.startsWith(u'_') || word.startsWith(u'.'))
        word.remove(0, 1);
    return word.toLower();
}

void printNow(const QString& text) {
    std::fputs((u"ornvale-acad-sim: "_s + text + u'\n').toUtf8().constData(), stderr);
    std::fflush(stderr);
}

} // namespace

void AcadSession::run() {
    for (;;) {
        const QString line = m_input.next(kCommandPrompt);
        if (line.isEmpty())
            m_input.reject(kCommandPrompt,
                           u"Enter at the command prompt repeats the last command"_s);
        if (!perform(commandName(line)))
            return;
    }
}

bool AcadSession::perform(const QString& command) {
    if (command == u"open"_s)
        open();
    else if (command == u"zoom"_s || command == u"z"_s)
        zoom(command);
    else if (command == u"sdi"_s)
        setVariable(u"SDI"_s, m_sdi);
    else if (command == u"auditctl"_s)
        setVariable(u"AUDITCTL"_s, m_auditCtl);
    else if (command == u"audit"_s)
        audit(command);
    else if (command == u"-purge"_s)
        purge(command);
    else if (command == u"saveas"_s)
        SaveAsCommand(m_product, m_settings, m_input, m_transcript).run(current(command));
    else if (command == u"close"_s)
        close(command);
    else if (command == u"new"_s)
        newDrawing();
    else if (command == u"quit"_s || command == u"exit"_s)
        return !quit();
    else if (command == u"purge"_s)
        m_input.reject(kCommandPrompt, u"PURGE opens a dialog box; a script uses -PURGE"_s);
    else
        m_input.reject(kCommandPrompt, u"unknown command"_s);
    return true;
}

SimDocument& AcadSession::current(const QString& command) {
    if (m_documents.isEmpty())
        m_input.reject(kCommandPrompt,
                       u"%1 needs an open drawing and none is open"_s.arg(command.toUpper()));
    return m_documents.last();
}

void AcadSession::open() {
    QString path = m_input.path(u"Enter name of drawing to open:"_s);
    if (QFileInfo(path).suffix().isEmpty())
        path += u".dwg"_s;
    if (m_settings.delayMs > 0) {
        m_transcript.note(u"waits %1 ms (ACADSIM_DELAY_MS)"_s.arg(m_settings.delayMs));
        QThread::msleep(static_cast<unsigned long>(m_settings.delayMs));
    }
    faultsAt(false, path);
    QFile file(path);
    if (!QFileInfo(path).isFile())
        m_input.refuse(u"cannot find the drawing %1"_s.arg(path));
    if (m_settings.failOpen.matches(path))
        m_input.refuse(u"%1 is not a valid drawing (ACADSIM_FAIL_OPEN)"_s.arg(path));
    if (!file.open(QIODevice::ReadOnly))
        m_input.refuse(u"cannot read %1: %2"_s.arg(path, file.errorString()));
    SimDocument document;
    document.sourcePath = path;
    document.path = path;
    document.named = true;
    document.format = DrawingFile::formatOf(path);
    document.content = file.readAll();
    document.sourceSize = document.content.size();
    document.versionCode = DrawingFile::versionOf(document.content, document.format);
    if (!m_product.canOpen(document.versionCode))
        m_input.refuse(u"%1 cannot open %2, a drawing of version \"%3\""_s.arg(
            m_product.name(), path, document.versionCode));
    if (DrawingFile::isWriteProtected(path) &&
        !m_input.yesNo(u"%1 is write-protected. Open it read-only? <Y>:"_s.arg(path), true))
        m_input.refuse(u"the write-protected drawing was not opened"_s);
    m_documents.append(document);
}

void AcadSession::zoom(const QString& command) {
    SimDocument& document = current(command);
    const QString prompt = u"Specify corner of window, enter a scale factor (nX or nXP), or "
                           u"[All/Center/Dynamic/Extents/Previous/Scale/Window/Object] "
                           u"<real time>:"_s;
    const QString text = m_input.next(prompt);
    if (!Keyword{u"A"_s, u"All"_s}.matches(text) && !Keyword{u"E"_s, u"Extents"_s}.matches(text))
        m_input.reject(prompt, u"only All and Extents are simulated"_s);
    document.modified = true;
}

void AcadSession::setVariable(const QString& name, int& value) {
    const QString prompt = u"Enter new value for %1 <%2>:"_s.arg(name).arg(value);
    const QString text = m_input.next(prompt);
    if (text.isEmpty())
        return;
    if (text != u"0"_s && text != u"1"_s)
        m_input.reject(prompt, u"%1 takes 0 or 1 here"_s.arg(name));
    value = text.toInt();
}

void AcadSession::audit(const QString& command) {
    SimDocument& document = current(command);
    AuditReport::Findings findings;
    findings.fix = m_input.yesNo(u"Fix any errors detected? [Yes/No] <N>:"_s, false);
    if (!document.sourcePath.isEmpty()) {
        findings.found =
            m_settings.auditErrors.valueFor(document.sourcePath).value_or(u"0"_s).toInt();
        findings.shortReport = m_settings.shortReport.matches(document.sourcePath);
    }
    if (findings.fix && findings.found > 0)
        document.modified = true;
    if (m_auditCtl != 1)
        return;
    const QString reportPath = AuditReport::pathFor(document.path);
    if (!document.sourcePath.isEmpty() && m_settings.noReport.matches(document.sourcePath)) {
        m_transcript.note(u"leaves %1 unwritten (ACADSIM_NO_REPORT)"_s.arg(reportPath));
        return;
    }
    QString error;
    if (!AuditReport::write(reportPath, AuditReport::text(m_product, document.path, findings),
                            &error))
        m_input.refuse(u"cannot write the audit report %1: %2"_s.arg(reportPath, error));
    m_transcript.note(u"wrote %1"_s.arg(reportPath));
}

void AcadSession::purge(const QString& command) {
    current(command);
    QStringList words;
    for (const Keyword& item : m_product.purgeItems())
        words.append(item.word);
    m_input.choose(u"Enter type of unused objects to purge [%1]:"_s.arg(words.join(u'/')),
                   m_product.purgeItems());
    m_input.next(u"Enter name(s) to purge <*>:"_s);
    m_input.yesNo(u"Verify each name to be purged? [Yes/No] <Y>:"_s, true);
}

void AcadSession::close(const QString& command) {
    SimDocument& document = current(command);
    if (document.modified &&
        m_input.yesNo(u"Save changes to %1? [Yes/No] <Y>:"_s.arg(document.path), true))
        SaveAsCommand(m_product, m_settings, m_input, m_transcript).saveAgain(document);
    m_documents.removeLast();
    if (m_product.asksEnterAfterClose()) {
        const QString prompt = u"Press ENTER to continue:"_s;
        if (!m_input.next(prompt).isEmpty())
            m_input.reject(prompt, u"only Enter (an empty line) continues"_s);
    }
}

void AcadSession::newDrawing() {
    faultsAt(true, QString());
    m_input.path(u"Enter template file name or [. (for none)] <acad.dwt>:"_s, u"acad.dwt"_s);
    // A template that does not exist gives an empty drawing, as "." does.
    SimDocument document;
    document.path = u"Drawing%1.dwg"_s.arg(++m_untitled);
    document.versionCode = m_product.ownRelease().versionCode;
    document.content = DrawingFile::newDrawing(DrawingFormat::Dwg, document.versionCode);
    m_documents.append(document);
}

bool AcadSession::quit() {
    return m_input.yesNo(
        u"Quit %1 and discard unsaved changes? [Yes/No] <N>:"_s.arg(m_product.name()), false);
}

void AcadSession::faultsAt(bool atMarker, const QString& drawingPath) {
    const QString where = atMarker ? u"before the completion marker"_s : drawingPath;
    if (atMarker ? m_settings.crash.atMarker : m_settings.crash.atOpen.matches(drawingPath))
        crash(where);
    if (atMarker ? m_settings.hang.atMarker : m_settings.hang.atOpen.matches(drawingPath))
        hang(where);
}

void AcadSession::crash(const QString& where) {
    const QString text = u"crashes at %1 (%2, ACADSIM_CRASH)"_s.arg(m_input.where(), where);
    m_transcript.note(text);
    printNow(text);
    std::_Exit(ExitCrashed);
}

void AcadSession::hang(const QString& where) {
    const QString text = u"hangs at %1 (%2, ACADSIM_HANG)"_s.arg(m_input.where(), where);
    m_transcript.note(text);
    printNow(text);
    for (;;)
        QThread::sleep(3600);
}

} // namespace ornvale::acadsim
