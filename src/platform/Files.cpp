#include "platform/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/HostPath.h"

namespace duv {

std::optional<std::string> ReadFileBytes(std::string_view systemPath) {
  const std::string host = ResolveHostPath(systemPath);
  const int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return std::nullopt;
  }
  std::string bytes;
  char buffer[16384];
  while (bytes.size() < kMaxReadBytes) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  if (bytes.size() > kMaxReadBytes) bytes.resize(kMaxReadBytes);
  return bytes;
}

bool EnsureFileExists(std::string_view systemPath) {
  const std::string host = ResolveHostPath(systemPath);
  const int fd = ::open(host.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd >= 0) {
    ::close(fd);
    return true;
  }
  // A read-only installation still has its existing files.
  struct stat info {};
  return ::stat(host.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool RemoveFile(std::string_view systemPath) {
  return ::unlink(ResolveHostPath(systemPath).c_str()) == 0;
}

bool OutputFile::Create(std::string_view systemPath) {
  file_.reset();
  failed_ = false;
  const std::string host = ResolveHostPath(systemPath);
  // Opened without blocking, so that a pipe in the file's place fails instead of hanging.
  const int fd = ::open(host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd < 0) return false;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) {
    ::close(fd);
    return false;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  file_.reset(::fdopen(fd, "wb"));
  if (!file_) ::close(fd);
  return file_ != nullptr;
}

bool OutputFile::Write(std::string_view bytes) {
  if (!file_) return false;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) != bytes.size()) failed_ = true;
  return !failed_;
}

bool OutputFile::Close() {
  if (!file_) return false;
  const bool flushed = std::fflush(file_.get()) == 0;
  const bool closed = std::fclose(file_.release()) == 0;
  return flushed && closed && !failed_;
}

}  // namespace duv
