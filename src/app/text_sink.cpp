#include "app/text_sink.h"

namespace vantrel {

bool StdioSink::write(std::string_view text)
{
    const bool written = std::fwrite(text.data(), 1, text.size(), stream_) == text.size();
    return std::fflush(stream_) == 0 && written;
}

} // namespace vantrel
