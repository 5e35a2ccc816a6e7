#pragma once

#include <memory>
#include <string_view>

namespace vantrel::test {

// The process's standard input replaced, for the object's lifetime, by the
// read end of a pipe that the test writes, or by the null device.
class RedirectedStandardInput {
public:
    enum class Source { pipe, nullDevice };

    explicit RedirectedStandardInput(Source source);
    ~RedirectedStandardInput();
    RedirectedStandardInput(const RedirectedStandardInput &) = delete;
    RedirectedStandardInput &operator=(const RedirectedStandardInput &) = delete;

    // Pipe only: what the reader gets, then the end of its input.
    void write(std::string_view text);
    void closeWriteEnd();

private:
    struct Handles;
    std::unique_ptr<Handles> handles_;
};

} // namespace vantrel::test
