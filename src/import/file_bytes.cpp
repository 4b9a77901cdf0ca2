#include "import/file_bytes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace kelvaris {

FileBytes ReadFileBytes(const std::string& path) {
  FileBytes out;
  errno = 0;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    if (errno != 0) out.error = std::strerror(errno);
    return out;
  }
  struct stat st {};
  if (fstat(fileno(f), &st) == 0 && S_ISDIR(st.st_mode)) {
    out.error = std::strerror(EISDIR);
    std::fclose(f);
    return out;
  }
  out.opened = true;
  // Read straight into a buffer of the file's size; a file that grows while
  // it is read is taken in further pieces.
  std::size_t size = st.st_size > 0 ? static_cast<std::size_t>(st.st_size) : 0;
  out.bytes.resize(size);
  std::size_t got = size > 0 ? std::fread(out.bytes.data(), 1, size, f) : 0;
  out.bytes.resize(got);
  char chunk[1 << 16];
  std::size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) out.bytes.append(chunk, n);
  std::fclose(f);
  return out;
}

std::string FolderOf(const std::string& path) {
  const std::size_t k = path.find_last_of("/\\:");
  return k == std::string::npos ? std::string() : path.substr(0, k + 1);
}

std::string FileNameOf(const std::string& path) {
  const std::size_t k = path.find_last_of("/\\:");
  return k == std::string::npos ? path : path.substr(k + 1);
}

std::string BaseNameOf(const std::string& path) {
  std::string name = FileNameOf(path);
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace kelvaris
