#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace vantrel {

// Where the command line's answers and start-up's complaints go: standard
// output or error, or a text kept for a program that has no console of its
// own. Plain text rather than iostreams, which would carry the C++ library's
// whole locale machinery into vantrel.exe for a handful of lines.
class TextSink {
public:
    virtual ~TextSink() = default;
    // False when the text did not reach its place (a closed or full output).
    virtual bool write(std::string_view text) = 0;
};

// A C stream, flushed after every text so that a failed write is seen at once.
class StdioSink final : public TextSink {
public:
    explicit StdioSink(std::FILE *stream) : stream_(stream) {}
    bool write(std::string_view text) override;

private:
    std::FILE *stream_;
};

// The texts written, kept to be handed on.
class KeptText final : public TextSink {
public:
    bool write(std::string_view text) override
    {
        text_ += text;
        return true;
    }
    const std::string &text() const { return text_; }
    void clear() { text_.clear(); }

private:
    std::string text_;
};

} // namespace vantrel
