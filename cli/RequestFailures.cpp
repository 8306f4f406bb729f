#include "cli/RequestFailures.h"

#include <utility>

RequestFailures::RequestFailures()
{
    previous = SetRequestLogSink([this](const std::string& line) {
        lines.push_back(line);
        if (previous)
            previous(line);
    });
}

RequestFailures::~RequestFailures()
{
    SetRequestLogSink(std::move(previous));
}
