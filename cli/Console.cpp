#include "cli/Console.h"

#include <algorithm>
#include <cctype>
#include <istream>
#include <ostream>

void Console::Say(const std::string& text) const
{
    err << "vantrel: " << text << '\n' << std::flush;
}

bool Confirmed(const Console& console, bool yes, const std::string& question)
{
    if (yes)
        return true;
    if (!console.inIsTerminal) {
        console.Say(
            "Not confirmed: standard input is not a terminal; give --yes to go ahead without a question.");
        return false;
    }
    console.err << question << " [y/N] " << std::flush;
    std::string answer;
    std::getline(console.in, answer);
    std::transform(answer.begin(), answer.end(), answer.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (answer == "y" || answer == "yes")
        return true;
    console.Say("Not confirmed; nothing was changed.");
    return false;
}
