// The vantrel program without its process: the command line in, the exit
// status out. The caller has started wx base and the USB library.
#pragma once

#include <string>
#include <vector>

#include "cli/Console.h"

// `args` without the program name.
int RunVantrel(const std::vector<std::string>& args, const Console& console);
