// ornvale-acad-sim: plays an AutoCAD product started as `<executable> /b <script>`, for tests
// and for trying the program where no AutoCAD is installed. tools/README.md describes it.

#include "AcadSession.h"
#include "ScriptInput.h"
#include "SimProduct.h"
#include "SimSettings.h"
#include "SimStop.h"
#include "StandardStreams.h"
#include "Transcript.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <cstdio>

using namespace ornvale::acadsim;
using namespace Qt::StringLiterals;

namespace {

int fail(ExitCode code, const QString& message) {
    std::fputs((u"ornvale-acad-sim: "_s + message + u'\n').toUtf8().constData(), stderr);
    return code;
}

// The arguments exactly as they arrived, one JSON string each.
bool logArguments(const QString& path, const QStringList& arguments) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray json =
        QJsonDocument(QJsonArray::fromStringList(arguments)).toJson(QJsonDocument::Compact);
    return file.write(json + '\n') == json.size() + 1;
}

} // namespace

int main(int argc, char* argv[]) {
    ornvale::useUtf8StandardStreams();
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);

    QString error;
    const std::optional<SimSettings> settings =
        SimSettings::fromEnvironment(QProcessEnvironment::systemEnvironment(), &error);
    if (!settings)
        return fail(ExitUsage, error);
    if (!settings->argumentsLog.isEmpty() && !logArguments(settings->argumentsLog, arguments))
        return fail(ExitUsage, u"cannot write ACADSIM_ARGS_LOG "_s + settings->argumentsLog);
    if (arguments.size() != 2 || arguments.at(0).compare(u"/b"_s, Qt::CaseInsensitive) != 0) {
        return fail(ExitUsage,
                    u"usage: ornvale-acad-sim /b SCRIPT (the switch and the script "
                    u"path as two arguments); got %1 argument(s): %2"_s.arg(arguments.size())
                        .arg(arguments.join(u" | "_s)));
    }
    const std::optional<SimProduct> product = SimProduct::forSelection(settings->selectionCode);
    if (!product)
        return fail(ExitUsage, u"ACADSIM_SELECTION: %1 is no product's selection code"_s.arg(
                                   settings->selectionCode));
    Transcript transcript;
    if (!transcript.open(settings->transcriptPath))
        return fail(ExitUsage, u"cannot write ACADSIM_TRANSCRIPT "_s + settings->transcriptPath);

    try {
        ScriptInput input(ScriptInput::read(arguments.at(1)), product->name(), transcript);
        AcadSession(*product, *settings, input, transcript).run();
    } catch (const SimStop& stop) {
        transcript.note(stop.message());
        return fail(stop.exitCode(), stop.message());
    }
    return ExitQuit;
}
