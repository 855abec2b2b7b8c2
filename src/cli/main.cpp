#include "Commands.h"
#include "FileSizeLimit.h"
#include "StandardStreams.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

const char* const kUsage = "usage: ornvale-cli <command> [options]\n"
                           "\n"
                           "commands:\n"
                           "  settings   show or change the stored settings\n"
                           "  convert    convert drawings to another format and release\n"
                           "  text       rewrite the TEXT and MTEXT values of DXF files\n"
                           "\n"
                           "ornvale-cli <command> --help shows the options of a command.\n"
                           "ornvale-cli --version shows the version.\n";

} // namespace

int main(int argc, char* argv[]) {
    ornvale::failWritesPastFileSizeLimit();
    ornvale::useUtf8StandardStreams();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ornvale"));
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args.front() == QLatin1String("--help") ||
        args.front() == QLatin1String("-h")) {
        std::fputs(kUsage, args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? 2 : 0;
    }
    if (args.front() == QLatin1String("--version")) {
        std::printf("ornvale-cli %d.%d.%d\n", ORNVALE_VERSION_MAJOR, ORNVALE_VERSION_MINOR,
                    ORNVALE_VERSION_PATCH);
        return 0;
    }
    const QString command = args.takeFirst();
    if (command == QLatin1String("settings"))
        return ornvale::cli::runSettingsCommand(args);
    if (command == QLatin1String("convert"))
        return ornvale::cli::runConvertCommand(args);
    if (command == QLatin1String("text"))
        return ornvale::cli::runTextCommand(args);
    std::fprintf(stderr, "ornvale-cli: unknown command '%s'\n\n%s", qPrintable(command), kUsage);
    return 2;
}
