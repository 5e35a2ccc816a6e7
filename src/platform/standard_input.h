#pragma once

#include <cstddef>
#include <span>

namespace vantrel::platform {

// Whether another program feeds this process's standard input through a pipe.
bool standardInputIsPipe();

// Waits until standard input has something and reads it, at most
// buffer.size() bytes, without waiting for the buffer to fill. Returns the
// count read; 0 at the end of the input or once it cannot be read at all.
std::size_t readStandardInput(std::span<char> buffer);

} // namespace vantrel::platform
