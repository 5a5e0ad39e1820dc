// CommandLine.h: the command line of quenlo: --help, --version and at most
// one file to open. ParseCommandLine is a pure function over the arguments.
#ifndef QUENLO_APP_COMMANDLINE_H
#define QUENLO_APP_COMMANDLINE_H

#include <QString>
#include <QStringList>

enum TCommandAction { caRun, caHelp, caVersion, caBadUsage };

struct TCommandLine {
    TCommandAction action = caRun;
    QString file;  // caRun: the file to open; empty for a new script
    QString error; // caBadUsage: what was wrong
};

// The exit status of a bad command line.
constexpr int kBadUsageStatus = 2;

// arguments: those after the program name. --help and --version win over
// anything else on the line, so that they work before the window system is
// reached; "--" makes the next argument the file whatever it looks like.
TCommandLine ParseCommandLine(const QStringList &arguments);

// What --help prints and what follows a bad command line on standard error.
QString CommandLineHelp();
// What --version prints: "quenlo VERSION".
QString VersionText();

#endif
