// CommandLine.cpp: ParseCommandLine and the texts of --help and --version.
#include "app/CommandLine.h"

#include "QuenloVersion.h"

TCommandLine ParseCommandLine(const QStringList &arguments)
{
    TCommandLine result;
    QStringList files;
    bool optionsEnded = false;
    for (const QString &argument : arguments) {
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            files << argument;
        } else if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            return {caHelp, {}, {}};
        } else if (argument == QLatin1String("--version") || argument == QLatin1String("-v")) {
            result.action = caVersion; // --help still wins when it comes later
        } else if (result.error.isEmpty()) {
            result.error = QStringLiteral("unknown option '%1'").arg(argument);
        }
    }
    if (result.action == caVersion)
        return {caVersion, {}, {}};
    if (result.error.isEmpty() && files.size() > 1)
        result.error = QStringLiteral("only one file can be opened, %1 were given").arg(files.size());
    if (!result.error.isEmpty())
        return {caBadUsage, {}, result.error};
    if (!files.isEmpty())
        result.file = files.constFirst();
    return result;
}

QString CommandLineHelp()
{
    return QStringLiteral("usage: quenlo [FILE]\n"
                          "       quenlo --help | --version\n"
                          "Starts the editor of Tavrix scripts with a new script, or with FILE:\n"
                          "a script file (.tvs), or a plain VBScript file (.vbs), which opens as\n"
                          "a new, unsaved script as File > Open does.\n"
                          "  -h, --help     this text\n"
                          "  -v, --version  the version\n"
                          "  --             the next argument is the file, even when it starts with '-'\n"
                          "Qt's own options (-platform NAME, -style NAME, ...) are taken as well.\n"
                          "exit status: 0, or 2 for a bad command line\n");
}

QString VersionText()
{
    return QStringLiteral("quenlo %1\n").arg(QLatin1String(kQuenloVersion));
}
