// A file written whole or not at all: the text goes into a temporary file
// beside it, which takes the file's name only once it is complete. Made
// before the unit is asked, so that a folder that takes no file is found out
// before anything else happens.
#pragma once

#include <string>

class OutputFile {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    // Removes a temporary file that was never committed.
    ~OutputFile();

    // Creates the temporary file; false and `error` (the system's reason) when it cannot.
    bool Create(const std::string& target, std::string& error);
    // Writes the text and gives the file its name.
    bool Commit(const std::string& text, std::string& error);

private:
    std::string path;
    std::string temporary;
};
