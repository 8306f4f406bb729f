// The exit statuses of vantrel, as its manual page lists them.
#pragma once

enum ExitStatus : int {
    kExitSuccess = 0,
    kExitDifferent = 1,   // diff only: the two configurations differ
    kExitUsage = 2,       // the command line is wrong
    kExitNoUnit = 3,      // no unit, not the one asked for, or several and none chosen
    kExitRefused = 4,     // not confirmed, an invalid file or configuration, a locked unit, stand-in firmware
    kExitUnitFailed = 5,  // a request to the unit failed; whatever went before it is not reported as done
};
