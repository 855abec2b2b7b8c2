#include "ConvertArguments.h"

#include "ConversionOptionsModel.h"
#include "JobSettingsFile.h"
#include "ProductTable.h"

#include <QHash>

#include <functional>

namespace ornvale::cli {

namespace {

using Box = ConversionOptionsModel::Box;
using ValueSetter = std::function<QString(ConvertArguments&, const QString&)>;

QString invalid(const QString& option, const QString& value, const QString& expected) {
    return QStringLiteral("invalid value '%1' for %2 (expected %3)").arg(value, option, expected);
}

std::optional<int> integerIn(const QString& text, int low, int high) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

QString setChoice(std::optional<int>& field, const QString& option, const QString& value,
                  const QStringList& choices) {
    const qsizetype at = choices.indexOf(value);
    if (at < 0)
        return invalid(option, value, choices.join(u'|'));
    field = static_cast<int>(at);
    return {};
}

const QHash<QString, ValueSetter>& valueOptions() {
    static const QHash<QString, ValueSetter> options = {
        {QStringLiteral("--format"),
         [](ConvertArguments& a, const QString& v) {
             if (v != QLatin1String("dxf") && v != QLatin1String("dwg"))
                 return invalid(QStringLiteral("--format"), v, QStringLiteral("dxf|dwg"));
             a.format = v;
             return QString();
         }},
        {QStringLiteral("--release"),
         [](ConvertArguments& a, const QString& v) {
             a.release = integerIn(v, 0, 3);
             return a.release ? QString()
                              : invalid(QStringLiteral("--release"), v, QStringLiteral("0-3"));
         }},
        {QStringLiteral("--view"),
         [](ConvertArguments& a, const QString& v) {
             return setChoice(
                 a.view, QStringLiteral("--view"), v,
                 {QStringLiteral("none"), QStringLiteral("all"), QStringLiteral("extents")});
         }},
        {QStringLiteral("--purge"),
         [](ConvertArguments& a, const QString& v) {
             for (const QString& code : v.split(u',', Qt::SkipEmptyParts)) {
                 if (!purgeItemFromCode(code.trimmed()))
                     return invalid(QStringLiteral("--purge"), code,
                                    QStringLiteral("A,B,LA,LT,SH,P,D,ST,M,T,R,MA,V"));
                 a.purge.append(code.trimmed());
             }
             return QString();
         }},
        {QStringLiteral("--selection"),
         [](ConvertArguments& a, const QString& v) {
             const std::optional<int> code = integerIn(v, 0, 255);
             if (!code || !isKnownSelectionCode(*code))
                 return invalid(QStringLiteral("--selection"), v,
                                QStringLiteral("0, 3, 4, 5, 6, 7, 16, 17, 18, 21 or 41"));
             a.selection = static_cast<quint8>(*code);
             return QString();
         }},
        {QStringLiteral("--acad"),
         [](ConvertArguments& a, const QString& v) {
             a.acad = v;
             return QString();
         }},
        {QStringLiteral("--output"),
         [](ConvertArguments& a, const QString& v) {
             a.output = v;
             return QString();
         }},
        {QStringLiteral("--single-document"),
         [](ConvertArguments& a, const QString& v) {
             const std::optional<int> flag = integerIn(v, 0, 1);
             if (!flag)
                 return invalid(QStringLiteral("--single-document"), v, QStringLiteral("0|1"));
             a.singleDocument = static_cast<quint8>(*flag);
             return QString();
         }},
        {QStringLiteral("--script-out"),
         [](ConvertArguments& a, const QString& v) {
             a.scriptOut = v;
             return QString();
         }},
        {QStringLiteral("--timeout"),
         [](ConvertArguments& a, const QString& v) {
             bool ok = false;
             const double seconds = v.toDouble(&ok);
             if (!ok || !(seconds > 0))
                 return invalid(QStringLiteral("--timeout"), v,
                                QStringLiteral("a number of seconds"));
             a.timeout = seconds;
             return QString();
         }},
        {QStringLiteral("--stall-timeout"),
         [](ConvertArguments& a, const QString& v) {
             a.stallTimeout = integerIn(v, 0, JobSettingsFile::kMaxStallMinutes);
             return a.stallTimeout ? QString()
                                   : invalid(QStringLiteral("--stall-timeout"), v,
                                             QStringLiteral("whole minutes 0-%1")
                                                 .arg(JobSettingsFile::kMaxStallMinutes));
         }},
    };
    return options;
}

bool setFlag(ConvertArguments& a, const QString& name) {
    const QHash<QString, bool ConvertArguments::*> flags = {
        {QStringLiteral("--audit"), &ConvertArguments::audit},
        {QStringLiteral("--fix"), &ConvertArguments::fix},
        {QStringLiteral("--keep-report"), &ConvertArguments::keepReport},
        {QStringLiteral("--json"), &ConvertArguments::json},
        {QStringLiteral("--help"), &ConvertArguments::help},
        {QStringLiteral("-h"), &ConvertArguments::help},
    };
    const auto it = flags.constFind(name);
    if (it == flags.cend())
        return false;
    a.*(it.value()) = true;
    return true;
}

} // namespace

ParsedConvertArguments parseConvertArguments(const QStringList& args) {
    ParsedConvertArguments parsed;
    ConvertArguments& a = parsed.arguments;
    for (qsizetype i = 0; i < args.size() && parsed.error.isEmpty(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--")) {
            a.files += args.mid(i + 1);
            break;
        }
        if (!arg.startsWith(u'-') || arg == QLatin1String("-")) {
            a.files.append(arg);
            continue;
        }
        const qsizetype equals = arg.indexOf(u'=');
        const QString name = equals < 0 ? arg : arg.left(equals);
        const auto setter = valueOptions().constFind(name);
        if (setter == valueOptions().cend()) {
            if (equals >= 0 || !setFlag(a, name))
                parsed.error = QStringLiteral("unknown option '%1'").arg(arg);
            continue;
        }
        if (equals < 0 && i + 1 >= args.size()) {
            parsed.error = QStringLiteral("missing value after %1").arg(name);
            continue;
        }
        parsed.error = setter.value()(a, equals < 0 ? args[++i] : arg.mid(equals + 1));
    }
    return parsed;
}

QString replayConvertOptions(const ConvertArguments& a, ConversionOptionsModel& model) {
    if (a.format)
        model.setChecked(*a.format == QLatin1String("dxf") ? Box::Dxf : Box::Dwg, true);
    if (a.release) {
        const auto group = model.isChecked(Box::Dxf) ? ConversionOptionsModel::ReleaseGroup::Dxf
                                                     : ConversionOptionsModel::ReleaseGroup::Dwg;
        // Choosing the button that is already chosen needs no visible button.
        if (*a.release != model.releaseIndex(group) &&
            !model.isReleaseButtonVisible(group, *a.release))
            return QStringLiteral("--release %1: that release button is hidden for AutoCAD "
                                  "selection %2")
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
            return QStringLiteral("--purge %1: that item is hidden for AutoCAD selection %2")
                .arg(code)
                .arg(model.selectionCode());
        model.setChecked(ConversionOptionsModel::purgeBox(item), true);
    }
    return {};
}

QString convertUsage() {
    return QStringLiteral(
        "usage: ornvale-cli convert [OPTIONS] FILE...\n"
        "\n"
        "Lists the drawings as the main window does, writes the AutoCAD conversion script, starts\n"
        "AutoCAD on it, waits for it to finish and shows the sizes and audit summaries.\n"
        "A FILE that is a folder stands for the DWG and DXF files in it and its subfolders, in\n"
        "path order (links to folders inside it are not followed), as a folder dropped on the\n"
        "window's list; its other files are left out.\n"
        "One conversion runs at a time: a second one, from here or from the window, is\n"
        "refused while another runs.\n"
        "\n"
        "  --format dxf|dwg         output format (default dxf)\n"
        "  --release 0-3            release button of the chosen format (default 0)\n"
        "  --view none|all|extents  view before saving (default none)\n"
        "  --audit                  audit each drawing\n"
        "  --fix                    fix audit errors (implies --audit)\n"
        "  --keep-report            keep the audit report of drawings with errors (implies "
        "--audit)\n"
        "  --purge A,B,LA,...       purge items A B LA LT SH P D ST M T R MA V, ticked in order\n"
        "  --selection CODE         AutoCAD selection code (default: settled as at start-up)\n"
        "  --acad PATH              AutoCAD executable (default: settled as at start-up)\n"
        "  --output DIR             output folder (default: from the settings)\n"
        "  --single-document 0|1    restore AutoCAD's single-document mode at the end\n"
        "  --script-out FILE        write the script to FILE and stop\n"
        "  --timeout SECONDS        give up waiting for AutoCAD after SECONDS and end it with\n"
        "                           every process it started; so does Ctrl-C\n"
        "  --stall-timeout MINUTES  end AutoCAD when no new output appears for MINUTES (0: wait\n"
        "                           for ever; default: the settings window's\n"
        "                           \"1図面の待ち時間(分)\"); the drawings written so far are\n"
        "                           listed and the message names the one it was waiting for\n"
        "  --json                   print the result as JSON on stdout; with --script-out:\n"
        "                           the script, each file, and \"message\" (empty unless\n"
        "                           the script could not be written)\n"
        "  --help                   show this help\n");
}

} // namespace ornvale::cli
