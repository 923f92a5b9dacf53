// Whole-block reads and writes on file descriptors, gathering rows straight from the planes.
#pragma once

#include <sys/uio.h>

#include <span>

namespace pixamorph {

// Reads until every buffer is full; false on an error or an early end of the file.
bool readAll(int fd, std::span<iovec> buffers);
// Writes every buffer whole; false on any error (a full disk, a file-size limit).
bool writeAll(int fd, std::span<iovec> buffers);

}  // namespace pixamorph
