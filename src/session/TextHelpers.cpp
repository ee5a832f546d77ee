#include "session/TextHelpers.h"

#include <array>
#include <cstdlib>

namespace duv {
namespace {

// Both folding tables cover the codes 64 to 237, indexed by code - 64.
constexpr unsigned char kFirstFolded = 64;
constexpr unsigned char kLastFolded = 237;

// Lower-case letter and its capital in code page 850.
struct CasePair {
  unsigned char lower;
  unsigned char upper;
};
constexpr CasePair kAccentedCase[] = {
    {0x81, 0x9A},  // ü Ü
    {0x82, 0x90},  // é É
    {0x83, 0xB6},  // â Â
    {0x84, 0x8E},  // ä Ä
    {0x85, 0xB7},  // à À
    {0x86, 0x8F},  // å Å
    {0x87, 0x80},  // ç Ç
    {0x88, 0xD2},  // ê Ê
    {0x89, 0xD3},  // ë Ë
    {0x8A, 0xD4},  // è È
    {0x8B, 0xD8},  // ï Ï
    {0x8C, 0xD7},  // î Î
    {0x8D, 0xDE},  // ì Ì
    {0x91, 0x92},  // æ Æ
    {0x93, 0xE2},  // ô Ô
    {0x94, 0x99},  // ö Ö
    {0x95, 0xE3},  // ò Ò
    {0x96, 0xEA},  // û Û
    {0x97, 0xEB},  // ù Ù
    {0xA0, 0xB5},  // á Á
    {0xA1, 0xD6},  // í Í
    {0xA2, 0xE0},  // ó Ó
    {0xA3, 0xE9},  // ú Ú
    {0xA4, 0xA5},  // ñ Ñ
    {0xC6, 0xC7},  // ã Ã
    {0xD0, 0xD1},  // ð Ð
    {0xE4, 0xE5},  // õ Õ
    {0xEC, 0xED},  // ý Ý
};

// Plain capital for each accented letter when folding for a search; every other code from 64
// to 237 that is not an ASCII letter becomes a blank.
struct SearchFold {
  char plain;
  std::string_view codes;
};
constexpr SearchFold kSearchFolds[] = {
    {'A', "\x83\x84\x85\x86\x8E\x8F\x91\x92\xA0\xA6\xB5\xB6\xB7\xC6\xC7"},
    {'C', "\x80\x87"},
    {'D', "\xD0\xD1"},
    {'E', "\x82\x88\x89\x8A\x90\xD2\xD3\xD4\xD5"},
    {'I', "\x8B\x8C\x8D\xA1\xD6\xD7\xD8\xDE"},
    {'N', "\xA4\xA5"},
    {'O', "\x93\x94\x95\x99\x9B\x9D\xA2\xA7\xE0\xE2\xE3\xE4\xE5"},
    {'S', "\xE1"},
    {'T', "\xE7\xE8"},
    {'U', "\x81\x96\x97\x9A\xA3\xE9\xEA\xEB"},
    {'Y', "\x98\xEC\xED"},
};

using FoldTable = std::array<unsigned char, 256>;

constexpr FoldTable MakeUpperTable() {
  FoldTable table{};
  for (int c = 0; c < 256; ++c) table[c] = static_cast<unsigned char>(c);
  for (int c = 'a'; c <= 'z'; ++c) table[c] = static_cast<unsigned char>(c - 32);
  for (const CasePair& pair : kAccentedCase) table[pair.lower] = pair.upper;
  return table;
}

constexpr FoldTable MakeSearchTable() {
  FoldTable table{};
  for (int c = 0; c < 256; ++c) {
    table[c] = c >= kFirstFolded && c <= kLastFolded ? ' ' : static_cast<unsigned char>(c);
  }
  for (int c = 'A'; c <= 'Z'; ++c) {
    table[c] = static_cast<unsigned char>(c);
    table[c + 32] = static_cast<unsigned char>(c);
  }
  for (const SearchFold& fold : kSearchFolds) {
    for (char code : fold.codes) table[static_cast<unsigned char>(code)] = static_cast<unsigned char>(fold.plain);
  }
  return table;
}

constexpr FoldTable kUpperTable = MakeUpperTable();
constexpr FoldTable kSearchTable = MakeSearchTable();

bool IsPrintable(unsigned char c) { return c > ' '; }
bool IsControl(unsigned char c) { return c < ' '; }

}  // namespace

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string_view TrimTrailingBlanks(std::string_view text) {
  const std::size_t last = text.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

std::int16_t IsAllChar(std::string_view text, std::int16_t code) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) != code) return 0;
  }
  return -1;
}

unsigned char UpperCaseCp850(unsigned char byte) { return kUpperTable[byte]; }

std::string TextFolder::FoldText(std::string_view text) const {
  const FoldTable& table = foldForSearch ? kSearchTable : kUpperTable;
  std::string folded(text);
  for (char& c : folded) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
  return folded;
}

std::int16_t IsInvalidNumberText(std::string_view text, std::string_view picture) {
  bool pointAllowed = picture.find('.') != std::string_view::npos;
  bool signAllowed = picture.find_first_of("-+") != std::string_view::npos;
  for (char c : text) {
    if (c == '+' || c == '-') {
      if (!signAllowed) return -1;
      signAllowed = false;
    } else if (c == '.') {
      if (!pointAllowed) return -1;
      pointAllowed = false;
      signAllowed = false;
    } else if (c >= '0' && c <= '9') {
      signAllowed = false;
    } else if (c != ' ') {
      return -1;
    }
  }
  return 0;
}

namespace {

// Widens a line to its target length by inserting blanks into its gaps, left to right, one per
// gap per pass. `skip` characters at the start (the indent) are left alone.
void Justify(std::string& line, std::size_t target, std::size_t skip) {
  std::size_t p = skip;
  std::size_t step = 2;
  while (line.size() < target) {
    std::size_t blank = line.find(' ', p + step);
    if (blank == std::string::npos) blank = line.find(' ', skip);
    if (blank == std::string::npos) return;
    line.insert(blank, 1, ' ');
    p = blank;
    step = line.find_first_not_of(' ', p);
    step = (step == std::string::npos ? line.size() : step) - p;
  }
}

}  // namespace

void WrapText(std::string& text, std::int16_t indent, std::int16_t width, std::string_view mode) {
  const std::string source = text;
  const std::size_t n = source.size();
  const char modeLetter = mode.empty() ? ' ' : static_cast<char>(UpperCaseCp850(static_cast<unsigned char>(mode[0])));
  const std::size_t hanging = static_cast<std::size_t>(std::abs(int{indent}));
  auto at = [&](std::size_t i) { return static_cast<unsigned char>(source[i]); };

  std::string result;
  std::size_t c = 0;
  bool firstLine = true;
  while (c < n) {
    const int b = firstLine ? (indent > 0 ? indent : 0) : (indent < 0 ? -int{indent} : 0);
    firstLine = false;
    // A width not above the indent leaves no room; one character per line still ends the loop.
    std::size_t room = static_cast<std::size_t>(std::max(1, int{width} - b));

    // Take characters up to the room; control characters take none.
    std::size_t taken = 0;
    while (taken < room && c + taken < n) {
      if (IsControl(at(c + taken))) ++room;
      ++taken;
    }
    // Control characters right after a word belong to it.
    if (taken > 0 && IsPrintable(at(c + taken - 1))) {
      while (c + taken < n && IsControl(at(c + taken))) {
        ++room;
        ++taken;
      }
    }

    std::size_t k = std::min(room, n - c);
    // Do not split a word: go back to the blank or control character before it, giving back
    // the room of any control character left for the next line.
    if (c + k < n && IsPrintable(at(c + k))) {
      while (k > 0 && IsPrintable(at(c + k))) {
        --k;
        if (IsControl(at(c + k))) --room;
      }
    }
    if ((c + k >= n || IsControl(at(c + k))) && k > 0) {
      while (k > 0 && at(c + k - 1) == ' ') --k;
    }
    if (k < 1) k = std::min(room, n - c);  // a word longer than the room is cut

    std::string line(static_cast<std::size_t>(b), ' ');
    line.append(source, c, k);
    const std::size_t target = room + static_cast<std::size_t>(b);
    const std::size_t missing = line.size() < target ? target - line.size() : 0;
    switch (modeLetter) {
      case 'D':
      case 'R':
        line.insert(0, missing, ' ');
        break;
      case 'C':
        line.insert(0, missing / 2, ' ');
        line.append(missing - missing / 2, ' ');
        break;
      case 'N':
        line.append(missing, '-');
        break;
      case 'A':
      case 'B': {
        const bool hasGap = line.find(' ', std::min(hanging, line.size())) != std::string::npos;
        if (hasGap && n - (c + k) > 1) Justify(line, target, std::min(hanging, line.size()));
        if (line.size() < target) line.append(target - line.size(), ' ');
        break;
      }
      default:  // E, L, I and any letter the formatter does not know
        line.append(missing, ' ');
        break;
    }
    result += line;

    c += k;
    while (c < n && at(c) == ' ') ++c;
  }
  text = result;
}

}  // namespace duv
