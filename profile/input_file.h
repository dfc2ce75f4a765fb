// Reading a file that the operator names: a regular file (or, as "-", standard input), never
// opened in a way that can hang. A FIFO opened for reading waits for a writer, and a device may
// never end; both are refused before a byte is read.
#pragma once

#include <cstddef>
#include <string>

namespace linkmate {

// Reads at most `limit` + 1 bytes of `path` into `bytes` (so that a caller sees a file that is too
// large). False with the reason, starting with the path, when the path is not a regular file or
// cannot be read.
bool ReadInputFile(const std::string& path, size_t limit, std::string& bytes, std::string* error);

}  // namespace linkmate
