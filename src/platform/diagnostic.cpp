#include "platform/diagnostic.h"

#include <cstdio>
#include <string>

namespace vantrel {

void printDiagnostic(std::string_view line)
{
    std::string whole;
    whole.reserve(line.size() + 1);
    whole.append(line);
    whole.push_back('\n');
    std::fwrite(whole.data(), 1, whole.size(), stderr);
    // The Windows C runtime buffers standard error when it is a file or a
    // pipe, so a resident program's line would wait there until its end.
    std::fflush(stderr);
}

} // namespace vantrel
