#pragma once
// Starting other programs: by path, with the arguments as given (no shell, no splitting), and
// waiting for them to end.

#include <string>
#include <vector>

namespace duv {

// The exit status of the program, or -1 when it could not be started. A name without a "/"
// is looked up on PATH.
int RunProgram(const std::string& program, const std::vector<std::string>& arguments);

// The path of an executable found on PATH, or empty.
std::string FindOnPath(const std::string& name);

bool IsExecutableFile(const std::string& path);

class ProgramLauncher {
 public:
  virtual ~ProgramLauncher() = default;
  virtual int Run(const std::string& program, const std::vector<std::string>& arguments) = 0;
};

class SystemLauncher : public ProgramLauncher {
 public:
  int Run(const std::string& program, const std::vector<std::string>& arguments) override {
    return RunProgram(program, arguments);
  }
};

}  // namespace duv
