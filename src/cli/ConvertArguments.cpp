#include "ConvertArguments.h"

#include "ConversionOptionsModel.h"
#include "JobSettingsFile.h"
#include "ProductTable.h"

namespace ornvale::cli {

namespace {

using namespace Qt::StringLiterals;
using Box = ConversionOptionsModel::Box;
using Option = CommandOption<ConvertArguments>;

const Choice<OutputFormat> kFormats[] = {{"dxf", OutputFormat::Dxf}, {"dwg", OutputFormat::Dwg}};
const Choice<int> kReleases[] = {{"0", 0}, {"1", 1}, {"2", 2}, {"3", 3}};
const Choice<int> kViews[] = {{"none", 0}, {"all", 1}, {"extents", 2}};
const Choice<quint8> kZeroOne[] = {{"0", 0}, {"1", 1}};

QString purgeCodes(const QString& separator) {
    QStringList codes;
    for (const PurgeItem item : allPurgeItems())
        codes.append(purgeItemCode(item));
    return codes.join(separator);
}

Option purgeOption() {
    return {{u"purge"_s, u"A,B,LA,..."_s,
             u"purge items, ticked in the order given:\n"_s + purgeCodes(u" "_s), true},
            [](ConvertArguments& a, const QString& value) {
                for (const QString& code : value.split(u',', Qt::SkipEmptyParts)) {
                    if (!purgeItemFromCode(code.trimmed()))
                        return invalidValue(u"--purge"_s, code, purgeCodes(u","_s));
                    a.purge.append(code.trimmed());
                }
                return QString();
            }};
}

Option timeoutOption() {
    return {{u"timeout"_s, u"SECONDS"_s,
             u"give up waiting for AutoCAD after SECONDS and end it with\n"
             "every process it started; so does Ctrl-C"_s},
            [](ConvertArguments& a, const QString& value) {
                bool ok = false;
                const double seconds = value.toDouble(&ok);
                if (!ok || !(seconds > 0))
                    return invalidValue(u"--timeout"_s, value, u"a number of seconds"_s);
                a.timeout = seconds;
                return QString();
            }};
}

Option stallTimeoutOption() {
    return {{u"stall-timeout"_s, u"MINUTES"_s,
             u"end AutoCAD when no new output appears for MINUTES (0: wait\n"
             "for ever; default: the settings window's\n"
             "\"1図面の待ち時間(分)\"); the drawings written so far are\n"
             "listed and the message names the one it was waiting for"_s},
            [](ConvertArguments& a, const QString& value) {
                bool ok = false;
                const int minutes = value.toInt(&ok);
                if (!ok || minutes < 0 || minutes > JobSettingsFile::kMaxStallMinutes)
                    return invalidValue(
                        u"--stall-timeout"_s, value,
                        u"whole minutes 0-%1"_s.arg(JobSettingsFile::kMaxStallMinutes));
                a.stallTimeout = minutes;
                return QString();
            }};
}

QList<Option> options() {
    using A = ConvertArguments;
    return {
        choiceOption<A, OutputFormat>(u"format"_s, kFormats, u"output format (default dxf)"_s,
                                      &A::format),
        choiceOption<A, int>(u"release"_s, kReleases,
                             u"release button of the chosen format (default 0)"_s, &A::release),
        choiceOption<A, int>(u"view"_s, kViews, u"view before saving (default none)"_s, &A::view),
        flagOption<A>(u"audit"_s, u"audit each drawing"_s, &A::audit),
        flagOption<A>(u"fix"_s, u"fix audit errors (implies --audit)"_s, &A::fix),
        flagOption<A>(u"keep-report"_s,
                      u"keep the audit report of drawings with errors (implies\n--audit)"_s,
                      &A::keepReport),
        purgeOption(),
        selectionOption<A>(u"selection"_s,
                           u"AutoCAD selection code (default: settled as at start-up)"_s,
                           &A::selection),
        textOption<A>(u"acad"_s, u"PATH"_s,
                      u"AutoCAD executable (default: settled as at start-up)"_s, &A::acad),
        textOption<A>(u"output"_s, u"DIR"_s, u"output folder (default: from the settings)"_s,
                      &A::output),
        choiceOption<A, quint8>(u"single-document"_s, kZeroOne,
                                u"restore AutoCAD's single-document mode at the end"_s,
                                &A::singleDocument),
        textOption<A>(u"script-out"_s, u"FILE"_s, u"write the script to FILE and stop"_s,
                      &A::scriptOut),
        timeoutOption(),
        stallTimeoutOption(),
        flagOption<A>(u"resume"_s,
                      u"convert only the drawings whose output is missing, older\n"
                      "than the drawing, of another release or cut short"_s,
                      &A::resume),
        flagOption<A>(u"json"_s,
                      u"print the result as JSON on stdout; with --script-out:\n"
                      "the script, each file, and \"message\" (empty unless\n"
                      "the script could not be written)"_s,
                      &A::json),
    };
}

} // namespace

const CommandLine<ConvertArguments>& convertCommandLine() {
    static const CommandLine<ConvertArguments> line(
        {u"convert"_s, u"[OPTIONS] FILE..."_s,
         u"Lists the drawings as the main window does, writes the AutoCAD conversion script, "
         "starts\nAutoCAD on it, waits for it to finish and shows the sizes and audit "
         "summaries.\nA FILE that is a folder stands for the DWG and DXF files in it and its "
         "subfolders, in\npath order (links to folders inside it are not followed), as a folder "
         "dropped on the\nwindow's list; its other files are left out.\nOne conversion runs at a "
         "time: a second one, from here or from the "
         "window, is\nrefused while another runs."_s,
         u"Options are applied as in the main window, with its interlocks; a control the\n"
         "window hides for the AutoCAD selection is a usage error.\n"
         "After the job every output is read back: it must carry the version code of the\n"
         "chosen release and be a whole drawing (a DXF ends with EOF, a DWG is not empty).\n"
         "With --json each conversion row has \"version\" and \"versionOk\", and \"outputs\"\n"
         "lists every drawing's output (number, name, source, output, version, versionOk,\n"
         "finding, kept). An output that fails the check makes the exit code 1.\n"
         "Exit status: 0 the job completed, 1 aborted or failed (or some drawing refused),\n"
         "2 usage error."_s},
        options());
    return line;
}

QString replayConvertOptions(const ConvertArguments& a, ConversionOptionsModel& model) {
    if (a.format)
        model.setChecked(*a.format == OutputFormat::Dxf ? Box::Dxf : Box::Dwg, true);
    if (a.release) {
        const auto group = model.isChecked(Box::Dxf) ? ConversionOptionsModel::ReleaseGroup::Dxf
                                                     : ConversionOptionsModel::ReleaseGroup::Dwg;
        // Choosing the button that is already chosen needs no visible button.
        if (*a.release != model.releaseIndex(group) &&
            !model.isReleaseButtonVisible(group, *a.release))
            return QStringLiteral("Option '--release %1' chooses a release button hidden for "
                                  "AutoCAD selection %2.")
                .arg(*a.release)
                .arg(model.selectionCode());
        model.setReleaseIndex(group, *a.release);
    }
    if (a.view)
        model.setViewMode(*a.view);
    if (a.audit)
        model.setChecked(Box::Audit, true);
    if (a.fix)
        model.setChecked(Box::AuditFix, true);
    if (a.keepReport)
        model.setChecked(Box::KeepAuditReport, true);
    for (const QString& code : a.purge) {
        const PurgeItem item = *purgeItemFromCode(code);
        if (!model.isPurgeItemVisible(item))
            return QStringLiteral("Option '--purge %1' ticks an item hidden for AutoCAD "
                                  "selection %2.")
                .arg(code)
                .arg(model.selectionCode());
        model.setChecked(ConversionOptionsModel::purgeBox(item), true);
    }
    return {};
}

} // namespace ornvale::cli
