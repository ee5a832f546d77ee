#pragma once
// Whole-file reads and writes by system path (see HostPath.h). The system's text files are
// small and read in one go; nothing here throws.

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace duv {

// The bytes of a regular file, or nothing when the path is missing, is not a regular file
// (a folder, a device, a pipe) or cannot be read. Files larger than kMaxReadBytes are read
// only that far: no settings, language or form file comes near it.
inline constexpr std::size_t kMaxReadBytes = 64u << 20;
std::optional<std::string> ReadFileBytes(std::string_view systemPath);

// Creates the file empty when it does not exist; leaves an existing one untouched. False when
// the file neither exists nor can be created (a missing folder, a read-only installation).
bool EnsureFileExists(std::string_view systemPath);

bool RemoveFile(std::string_view systemPath);

// A file written from the start, replacing what was there. A file that cannot be created
// leaves the object closed, and writes to a closed file are dropped.
class OutputFile {
 public:
  OutputFile() = default;
  bool Create(std::string_view systemPath);
  bool IsOpen() const { return file_ != nullptr; }
  bool Write(std::string_view bytes);
  // Closes the file; false when anything written was lost.
  bool Close();

 private:
  struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, Closer> file_;
  bool failed_ = false;
};

}  // namespace duv
