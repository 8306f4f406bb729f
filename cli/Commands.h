// The commands of vantrel. Each takes its parsed invocation and the console
// and gives the exit status (cli/ExitStatus.h).
#pragma once

#include "cli/Arguments.h"
#include "cli/Console.h"

int ListCommand(const Invocation& invocation, const Console& console);
int InfoCommand(const Invocation& invocation, const Console& console);
int ReadCommand(const Invocation& invocation, const Console& console);
int WriteCommand(const Invocation& invocation, const Console& console);
int DiffCommand(const Invocation& invocation, const Console& console);
int LockCommand(const Invocation& invocation, const Console& console);
int UpdateCommand(const Invocation& invocation, const Console& console);
int LogCommand(const Invocation& invocation, const Console& console);
int HistoryCommand(const Invocation& invocation, const Console& console);
