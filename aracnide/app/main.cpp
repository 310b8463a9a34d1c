// The link checker's program: the command line mode for scripts, or the dialog.

#include "cli.h"
#include "version.h"

#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

namespace aracnide {
int WinMain(int argc, char** argv, const std::string& commandLine);
}  // namespace aracnide

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    // The command line mode needs no display: it runs before any Qt application object exists.
    if (aracnide::WantsCommandLine(args))
        return aracnide::RunCommandLine(args, aracnide::kVersion, std::cout, std::cerr, isatty(STDERR_FILENO) != 0);

    std::string commandLine;
    for (const auto& a : args)
        commandLine += (commandLine.empty() ? "" : " ") + a;
    return aracnide::WinMain(argc, argv, commandLine);
}
