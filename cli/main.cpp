// main.cpp: quenlo-cli, the command-line companion of Quenlo.
#include <iostream>

#include "cli/CliCommands.h"

int main(int argc, char **argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    return RunCli(args, std::cout, std::cerr);
}
