#pragma once
// The session: where the module runs and for whom, read once at start-up from the environment
// and the settings files, plus the currency selector and the user's date and number
// conventions, which are read at their first use and then held for the whole run.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/Environment.h"

namespace duv {

struct ColourPair {
  std::int16_t foreground = 0;
  std::int16_t background = 0;
};

struct SessionSettings {
  std::string rootDir;      // DUVROOT, unchanged: file names are appended to it directly
  std::string exeDir;       // DUVEXE, the prefix of the print program
  std::string workDir;      // DUVTMP or the terminal directory, ending in "\" or ":"
  std::string terminalDir;  // Sessio.ini [Terminal] Dir, else TERM
  std::string menuTitle;    // " " + [Menu] Titol + " "
  std::string menuName;     // [Menu] NomMenu, the help topic
  std::string menu;         // [Menu] Menu
  std::string chnMenu;      // [Menu] ChnMenu
  std::string operatorName; // [Menu] Operador
  std::int16_t duvTipOper = 0;
  std::array<ColourPair, 5> colourTable{};
  std::string workDate;      // packed YYYYMMDD (4 bytes) or empty
  std::string outputDevice;  // ZuliTerm.ini [Sistema] Sortida
  std::string languageCode = "   ";  // exactly three characters
  std::string systemMode;            // "CGI", "WIN" or "DOS"
};

struct CurrencyState {
  std::string currencyA;
  std::string currencyP;
  std::string activeCurrency;
};

// The colour value used when ZuliTerm.ini gives none: slot 0 white on black, slot 1 grey on
// black, slots 2 to 4 black on grey.
inline constexpr const char* kDefaultColours = "15000700000700070007";

// Fills the five colour slots from a text of five groups of four digits (foreground, background).
std::array<ColourPair, 5> ParseColourTable(const std::string& value);

// The user conventions of Zuli.ini [Usuari]. Each pair is read at its first use and held.
class UserConventions {
 public:
  explicit UserConventions(const SessionSettings& settings) : settings_(settings) {}
  char DateSeparator();        // DatCaracter, default "/"
  std::string DateOrder();     // DatOrdre, a permutation of "DMA", default "DMA"
  char DecimalCharacter();     // DecCaracter, default "'"
  char ThousandsCharacter();   // MilCaracter, default "."

 private:
  void LoadDateConventions();
  void LoadNumberConventions();
  std::string UserSetting(const char* key) const;

  const SessionSettings& settings_;
  std::optional<char> dateSeparator_;
  std::string dateOrder_;
  std::optional<char> decimalCharacter_;
  char thousandsCharacter_ = '.';
};

class Session {
 public:
  explicit Session(const Environment& environment)
      : environment_(environment), conventions_(settings_) {}
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  void StartSession();
  void SelectCurrency(const std::string& command);

  const SessionSettings& Settings() const { return settings_; }
  // For tests and tools that build a session without settings files.
  SessionSettings& MutableSettings() { return settings_; }
  const CurrencyState& Currency() const { return currency_; }
  UserConventions& Conventions() { return conventions_; }

 private:
  const Environment& environment_;
  SessionSettings settings_;
  CurrencyState currency_;
  UserConventions conventions_;
};

// Cut after the third character or padded with blanks to three.
std::string FitToThree(const std::string& text);

}  // namespace duv
