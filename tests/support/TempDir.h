#pragma once
// A fresh directory under the system's temporary folder, removed with everything in it when the
// test ends, and small helpers to lay files out in it.

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

namespace duv::testing {

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "duvtest-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // The directory as the system writes a directory prefix: ending in a separator.
  std::string Prefix() const { return path_.string() + "/"; }

  // Writes a file (creating its folders) with the exact bytes given.
  void Write(const std::string& relative, const std::string& bytes) const {
    const auto file = path_ / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out << bytes;
  }

  std::string Read(const std::string& relative) const {
    std::ifstream in(path_ / relative, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  bool Exists(const std::string& relative) const { return std::filesystem::exists(path_ / relative); }

 private:
  std::filesystem::path path_;
};

}  // namespace duv::testing
