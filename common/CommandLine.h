// Command lines as Windows programs read them (no Windows call, so it is
// tested natively too): arguments split at blanks, double quotes group,
// backslashes before a quote escape it.
#pragma once

#include <string>
#include <vector>

// The arguments of a whole command line, the program's name first.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

// The argument text of a full command line: what follows the program's file
// name (quoted or not), without the blanks before it.
std::string ArgumentsOf(const std::string& fullCommandLine);

// One argument quoted so that SplitCommandLine gives it back unchanged.
std::string QuoteArgument(const std::string& argument);
