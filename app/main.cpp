// main.cpp: starts Quenlo with an optional script file to open.
#include <cstdio>

#include "QuenloVersion.h"
#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/QtDialogs.h"
#include "app/uMain.h"

int main(int argc, char **argv)
{
    // Help and the version need no window system: answered before the
    // application object connects to one. Qt's own options are still in
    // argv here, which only --help and --version are looked for among.
    QStringList raw;
    for (int i = 1; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    if (const TCommandLine early = ParseCommandLine(raw); early.action == caHelp || early.action == caVersion) {
        std::fputs((early.action == caHelp ? CommandLineHelp() : VersionText()).toLocal8Bit().constData(), stdout);
        return 0;
    }
    TApplication app(argc, argv);
    // The application title; window captions are the main window's own.
    TApplication::setApplicationName(QStringLiteral("Quenlo"));
    TApplication::setApplicationVersion(QLatin1String(kQuenloVersion));
    TApplication::setOrganizationName(QStringLiteral("Tavrix"));
    TApplication::setDesktopFileName(QLatin1String(kQuenloAppId));
    QStringList arguments = TApplication::arguments(); // without Qt's options
    arguments.removeFirst();
    const TCommandLine command = ParseCommandLine(arguments);
    if (command.action == caBadUsage) {
        std::fputs(("quenlo: " + command.error + "\n" + CommandLineHelp()).toLocal8Bit().constData(), stderr);
        return kBadUsageStatus;
    }
    TQtDialogs dialogs;
    SetExceptionDialogs(&dialogs);
    TfmScript fmScript(command.file.isEmpty() ? QStringList() : QStringList{command.file}, dialogs);
    dialogs.SetParent(&fmScript);
    fmScript.show();
    // Work that a Quenlo which died left unsaved, asked about once the window is up.
    QMetaObject::invokeMethod(&fmScript, &TfmScript::OfferRecovery, Qt::QueuedConnection);
    return TApplication::exec();
}
