#include "cli/OutputFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

OutputFile::~OutputFile()
{
    if (!temporary.empty())
        std::remove(temporary.c_str());
}

bool OutputFile::Create(const std::string& target, std::string& error)
{
    path = target;
    temporary = target + ".part";
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (!file) {
        error = std::strerror(errno);
        temporary.clear();
        return false;
    }
    return true;
}

bool OutputFile::Commit(const std::string& text, std::string& error)
{
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file || std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = std::strerror(errno);
        return false;
    }
    temporary.clear();
    return true;
}
