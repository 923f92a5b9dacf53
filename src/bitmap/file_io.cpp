// Scatter/gather file transfer that survives short reads and writes and interruptions.
#include "bitmap/file_io.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstddef>

namespace pixamorph {

namespace {

using Transfer = ssize_t (*)(int, const iovec*, int);

// Moves all bytes of `buffers`, resuming after partial transfers by trimming the done part.
bool transferAll(int fd, std::span<iovec> buffers, Transfer transfer) {
  std::size_t next = 0;
  while (next < buffers.size()) {
    if (buffers[next].iov_len == 0) {
      ++next;
      continue;
    }
    std::size_t batch = std::min<std::size_t>(buffers.size() - next, IOV_MAX);
    ssize_t done = transfer(fd, buffers.data() + next, static_cast<int>(batch));
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    auto left = static_cast<std::size_t>(done);
    while (left > 0 && left >= buffers[next].iov_len) {
      left -= buffers[next].iov_len;
      ++next;
    }
    if (left > 0) {
      buffers[next].iov_base = static_cast<char*>(buffers[next].iov_base) + left;
      buffers[next].iov_len -= left;
    }
  }
  return true;
}

}  // namespace

bool readAll(int fd, std::span<iovec> buffers) { return transferAll(fd, buffers, ::readv); }

bool writeAll(int fd, std::span<iovec> buffers) { return transferAll(fd, buffers, ::writev); }

}  // namespace pixamorph
