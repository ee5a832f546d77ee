#include "session/Session.h"

#include <algorithm>
#include <limits>

#include "session/PackedDigits.h"
#include "session/SettingsFile.h"
#include "session/TextHelpers.h"

namespace duv {
namespace {

std::int16_t ToInt16(std::int64_t value) {
  return static_cast<std::int16_t>(std::clamp<std::int64_t>(
      value, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()));
}

// A directory prefix ends in "\" (or is a bare drive, "C:"), so that names append directly.
void NormaliseDirectory(std::string& dir) {
  if (!dir.empty() && dir.back() != ':' && dir.back() != '\\') dir += '\\';
}

std::string UpperFirstLetter(const std::string& text) {
  return text.empty() ? std::string() : std::string(1, static_cast<char>(UpperCaseCp850(static_cast<unsigned char>(text[0]))));
}

// The first character of a convention; a value that is empty or starts with a blank is missing.
std::optional<char> FirstCharacter(const std::string& value) {
  if (value.empty() || value[0] == ' ') return std::nullopt;
  return value[0];
}

}  // namespace

std::string FitToThree(const std::string& text) {
  std::string fitted = text.substr(0, std::min<std::size_t>(3, text.size()));
  fitted.resize(3, ' ');
  return fitted;
}

std::array<ColourPair, 5> ParseColourTable(const std::string& value) {
  std::array<ColourPair, 5> table{};
  auto twoDigits = [&](std::size_t from) {
    return from < value.size() ? ToInt16(NumericValue(value.substr(from, 2))) : std::int16_t{0};
  };
  for (std::size_t slot = 0; slot < table.size(); ++slot) {
    table[slot].foreground = twoDigits(4 * slot);
    table[slot].background = twoDigits(4 * slot + 2);
  }
  return table;
}

void Session::StartSession() {
  SessionSettings& s = settings_;
  s.rootDir = environment_.Get("DUVROOT");
  s.exeDir = environment_.Get("DUVEXE");
  s.workDir = environment_.Get("DUVTMP");
  NormaliseDirectory(s.workDir);

  const std::string sessionFile = s.workDir + "Sessio.ini";
  s.menuTitle = " " + ReadSetting(sessionFile, "Menu", "Titol") + " ";
  s.menuName = ReadSetting(sessionFile, "Menu", "NomMenu");
  s.menu = ReadSetting(sessionFile, "Menu", "Menu");
  s.chnMenu = ReadSetting(sessionFile, "Menu", "ChnMenu");
  s.operatorName = ReadSetting(sessionFile, "Menu", "Operador");
  s.duvTipOper = ToInt16(NumericValue(ReadSetting(sessionFile, "Menu", "DuvTipOper")));

  s.terminalDir = ReadSetting(sessionFile, "Terminal", "Dir");
  if (s.terminalDir.empty()) s.terminalDir = environment_.Get("TERM");
  NormaliseDirectory(s.terminalDir);
  if (s.workDir.empty()) s.workDir = s.terminalDir;

  SelectCurrency("a,E");

  const std::string terminalFile = s.workDir + "ZuliTerm.ini";
  const std::int16_t selection = ToInt16(NumericValue(ReadSetting(terminalFile, "Pantalla", "Seleccio")));
  std::string colours = ReadSetting(terminalFile, "Pantalla", "Col" + std::to_string(selection));
  if (colours.empty()) colours = kDefaultColours;
  s.colourTable = ParseColourTable(colours);

  s.workDate = PackDigits(ReadSetting(terminalFile, "Sistema", "Data"));
  s.outputDevice = ReadSetting(terminalFile, "Sistema", "Sortida");
  s.languageCode = FitToThree(ReadSetting(terminalFile, "Sistema", "Idioma"));
  if (s.languageCode == "   ") {
    s.languageCode = FitToThree(ReadSetting(s.rootDir + "Zuli.ini", "Usuari", "Idioma"));
  }

  if (!environment_.Get("HTTP_USER_AGENT").empty() || !environment_.Get("HTTP_ACCEPT").empty()) {
    s.systemMode = "CGI";
  } else if (!environment_.Get("WINDIR").empty() || !environment_.Get("SYSTEMROOT").empty()) {
    s.systemMode = "WIN";
  } else {
    s.systemMode = "DOS";
  }
}

void Session::SelectCurrency(const std::string& command) {
  const std::size_t comma = command.find(',');
  const std::string kind = UpperFirstLetter(command);
  if (comma == std::string::npos) {
    if (kind == "P") {
      currency_.activeCurrency = currency_.currencyP.empty() ? currency_.currencyA : currency_.currencyP;
    } else {
      currency_.activeCurrency = currency_.currencyA;
    }
    return;
  }
  const std::string letter = UpperFirstLetter(std::string(TrimBlanks(std::string_view(command).substr(comma + 1))));
  if (kind == "A") {
    currency_.currencyA = letter.empty() ? "E" : letter;
    currency_.activeCurrency = currency_.currencyA;
  } else {
    currency_.currencyP = letter.empty() ? currency_.currencyA : letter;
  }
}

std::string UserConventions::UserSetting(const char* key) const {
  return ReadSetting(settings_.rootDir + "Zuli.ini", "Usuari", key);
}

void UserConventions::LoadDateConventions() {
  if (dateSeparator_) return;
  dateSeparator_ = FirstCharacter(UserSetting("DatCaracter")).value_or('/');
  // Only an order that names day, month and year once each is taken; anything else would drop
  // or repeat a part of every date shown, so it falls back to the default.
  std::string order = UserSetting("DatOrdre");
  if (order.empty() || order[0] == ' ') order = "DMA";
  order = order.substr(0, 3);
  for (char& c : order) c = static_cast<char>(UpperCaseCp850(static_cast<unsigned char>(c)));
  std::string sorted = order;
  std::sort(sorted.begin(), sorted.end());
  dateOrder_ = sorted == "ADM" ? order : "DMA";
}

void UserConventions::LoadNumberConventions() {
  if (decimalCharacter_) return;
  decimalCharacter_ = FirstCharacter(UserSetting("DecCaracter")).value_or('\'');
  thousandsCharacter_ = FirstCharacter(UserSetting("MilCaracter")).value_or('.');
}

char UserConventions::DateSeparator() {
  LoadDateConventions();
  return *dateSeparator_;
}

std::string UserConventions::DateOrder() {
  LoadDateConventions();
  return dateOrder_;
}

char UserConventions::DecimalCharacter() {
  LoadNumberConventions();
  return *decimalCharacter_;
}

char UserConventions::ThousandsCharacter() {
  LoadNumberConventions();
  return thousandsCharacter_;
}

}  // namespace duv
