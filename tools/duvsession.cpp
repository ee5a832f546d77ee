// duvsession: shows what the module reads at start-up from the environment and the settings
// files, so that an installation can be checked before the module is started on it.

#include <cstdio>
#include <string>

#include "platform/CodePage850.h"
#include "platform/Environment.h"
#include "platform/HostPath.h"
#include "session/PackedDigits.h"
#include "session/Session.h"

namespace {

void Show(const char* name, const std::string& value) {
  std::printf("%-18s \"%s\"\n", name, duv::Cp850ToUtf8(value).c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) {
    std::fprintf(stderr, "usage: %s\n  shows the session read from DUVROOT, DUVTMP, DUVTERM and the settings files\n",
                 argv[0]);
    return 2;
  }
  duv::ProcessEnvironment environment;
  duv::Session session(environment);
  session.StartSession();
  const duv::SessionSettings& s = session.Settings();

  Show("rootDir", s.rootDir);
  Show("exeDir", s.exeDir);
  Show("workDir", s.workDir);
  Show("terminalDir", s.terminalDir);
  Show("Sessio.ini", duv::ResolveHostPath(s.workDir + "Sessio.ini"));
  Show("ZuliTerm.ini", duv::ResolveHostPath(s.workDir + "ZuliTerm.ini"));
  Show("Zuli.ini", duv::ResolveHostPath(s.rootDir + "Zuli.ini"));
  Show("menuTitle", s.menuTitle);
  Show("menuName", s.menuName);
  Show("workDate", duv::UnpackDigits(s.workDate));
  Show("outputDevice", s.outputDevice);
  Show("languageCode", s.languageCode);
  Show("systemMode", s.systemMode);
  std::printf("%-18s", "colourTable");
  for (const duv::ColourPair& pair : s.colourTable) std::printf(" %d/%d", pair.foreground, pair.background);
  std::printf("\n");
  duv::UserConventions& c = session.Conventions();
  Show("dateSeparator", std::string(1, c.DateSeparator()));
  Show("dateOrder", c.DateOrder());
  Show("decimalCharacter", std::string(1, c.DecimalCharacter()));
  Show("thousandsCharacter", std::string(1, c.ThousandsCharacter()));
  return 0;
}
