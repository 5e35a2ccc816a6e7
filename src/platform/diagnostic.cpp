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
}

} // namespace vantrel
