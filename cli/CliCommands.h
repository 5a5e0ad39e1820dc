// CliCommands.h: the commands of quenlo-cli (info, cat, pack, check, procedures).
// RunCli takes the arguments after the program name and returns the exit
// status: 0 success, 1 a script with a syntax error, 2 bad usage, 3 a file
// that cannot be read or written.
#ifndef QUENLO_CLI_CLICOMMANDS_H
#define QUENLO_CLI_CLICOMMANDS_H

#include <ostream>
#include <string>
#include <vector>

enum TCliStatus { csOk = 0, csSyntaxError = 1, csBadUsage = 2, csBadFile = 3 };

int RunCli(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

// The usage text printed for bad usage and for "help".
std::string CliUsage();

#endif
