// The program's own version: shown by the window title and the About box and
// written into every settings file as "AppVersion".
#pragma once

inline constexpr const char* kAppVersion = "26.08";
inline constexpr int kAppBuild = 1;
