#include "platform/InputDecoder.h"

#include <gtest/gtest.h>

namespace duv {
namespace {

using E = ConsoleEvent;

std::string Printable(std::string_view bytes) {
  std::string out;
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b == 0x1b) {
      out += "\\e";
    } else if (b < 0x20 || b >= 0x7f) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", b);
      out += hex;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string Describe(const std::vector<ConsoleEvent>& events) {
  std::string out;
  for (const auto& e : events) {
    char text[96];
    if (e.IsMouse()) {
      std::snprintf(text, sizeof text, "[mouse kind %d button %d at %d,%d mods %u] ", e.mouseKind, e.button,
                    e.row, e.column, e.modifiers);
    } else {
      std::snprintf(text, sizeof text, "[key %04x mods %u] ", static_cast<unsigned>(static_cast<std::uint16_t>(e.KeyCode())),
                    e.modifiers);
    }
    out += text;
  }
  return out;
}

// Everything the bytes give, read well after the Esc delay.
std::vector<ConsoleEvent> DecodeAll(InputDecoder& decoder, std::string_view bytes) {
  decoder.Feed(bytes, 1000);
  std::vector<ConsoleEvent> events;
  while (auto e = decoder.Next(5000)) events.push_back(*e);
  return events;
}

struct Case {
  const char* bytes;
  std::vector<ConsoleEvent> expected;
};

void Check(TerminalFamily family, const std::vector<Case>& cases) {
  for (const auto& c : cases) {
    InputDecoder decoder({family, 25, false});
    const auto events = DecodeAll(decoder, c.bytes);
    EXPECT_EQ(events, c.expected) << Printable(c.bytes) << " gave " << Describe(events) << " wanted "
                                  << Describe(c.expected);
  }
}

constexpr std::uint16_t kAlt = kRightAlt;
constexpr std::uint16_t kCtrl = kLeftCtrl;

TEST(InputDecoder, XtermFunctionAndCursorKeys) {
  Check(TerminalFamily::kXterm, {
      {"\x1bOP", {E::Extended(0x3b)}},
      {"\x1bOS", {E::Extended(0x3e)}},
      {"\x1b[1;2P", {E::Extended(0x3b, kShift)}},
      {"\x1b[1;5P", {E::Extended(0x3b, kCtrl)}},
      {"\x1b[1;3Q", {E::Extended(0x3c, kAlt)}},
      {"\x1b[15~", {E::Extended(0x3f)}},
      {"\x1b[15;2~", {E::Extended(0x3f, kShift)}},
      {"\x1b[21;6~", {E::Extended(0x44, kShift | kCtrl)}},
      {"\x1b[23~", {E::Extended(0x85)}},
      {"\x1b[24;2~", {E::Extended(0x86, kShift)}},
      {"\x1b[A", {E::Extended(0x48)}},
      {"\x1bOB", {E::Extended(0x50)}},
      {"\x1b[1;5D", {E::Extended(0x4b, kCtrl)}},
      {"\x1b[1;5C", {E::Extended(0x4d, kCtrl)}},
      {"\x1b[H", {E::Extended(0x47)}},
      {"\x1b[1;5H", {E::Extended(0x47, kCtrl)}},
      {"\x1b[F", {E::Extended(0x4f)}},
      {"\x1b[E", {E::Extended(0x4c)}},
      {"\x1b[1~", {E::Extended(0x47)}},
      {"\x1b[4~", {E::Extended(0x4f)}},
      {"\x1b[2~", {E::Extended(0x52)}},
      {"\x1b[3~", {E::Extended(0x53)}},
      {"\x1b[5~", {E::Extended(0x49)}},
      {"\x1b[6~", {E::Extended(0x51)}},
      {"\x1b[Z", {E::Extended(0x0f, kShift)}},
      {"\x1bO2P", {E::Extended(0x3b, kShift)}},
      {"\x1bOM", {E::Character(13)}},
      {"\x1bOq", {E::Character('1')}},
  });
}

TEST(InputDecoder, LinuxConsoleAndRxvtTables) {
  Check(TerminalFamily::kLinux, {
      {"\x1b[[A", {E::Extended(0x3b)}},
      {"\x1b[[E", {E::Extended(0x3f)}},
      {"\x1b[25~", {E::Extended(0x3b, kShift)}},
      {"\x1b[34~", {E::Extended(0x42, kShift)}},
      {"\x1b[1~", {E::Extended(0x47)}},
  });
  Check(TerminalFamily::kRxvt, {
      {"\x1b[11~", {E::Extended(0x3b)}},
      {"\x1b[11^", {E::Extended(0x3b, kCtrl)}},
      {"\x1b[25~", {E::Extended(0x3d, kShift)}},
      {"\x1b[23$", {E::Extended(0x85, kShift)}},
      {"\x1b[24@", {E::Extended(0x86, kShift | kCtrl)}},
      {"\x1b[7~", {E::Extended(0x47)}},
      {"\x1b[8^", {E::Extended(0x4f, kCtrl)}},
      {"\x1b[a", {E::Extended(0x48, kShift)}},
      {"\x1bOd", {E::Extended(0x4b, kCtrl)}},
      {"\x1b\x1b[A", {E::Extended(0x48, kAlt)}},
  });
}

TEST(InputDecoder, TextAndControlKeys) {
  Check(TerminalFamily::kXterm, {
      {"a", {E::Character('a')}},
      {"A1 ", {E::Character('A'), E::Character('1'), E::Character(' ')}},
      {"\r", {E::Character(13)}},
      {"\t", {E::Character(9)}},
      {"\x7f", {E::Character(8)}},
      {"\x03", {E::Character(3)}},
      {"\x16", {E::Character(22)}},
      {"\x19", {E::Character(25)}},
      {"\xc3\xa9", {E::Character(0x82)}},              // é
      {"\xc3\x87", {E::Character(0x80)}},              // Ç
      {"\xe2\x94\x80", {E::Character(0xc4)}},          // ─
      {"\xe2\x82\xac", {}},                            // € is not in code page 850
      {"\xf0\x9f\x98\x80x", {E::Character('x')}},      // nor are emoji
      {"\xffq", {E::Character('q')}},                  // a stray byte
  });
}

TEST(InputDecoder, AltKeys) {
  Check(TerminalFamily::kXterm, {
      {"\x1bx", {E::Extended(0x2d, kAlt)}},
      {"\x1b" "c", {E::Extended(0x2e, kAlt)}},
      {"\x1b" "f", {E::Extended(0x21, kAlt)}},
      {"\x1b" "e", {E::Extended(0x12, kAlt)}},
      {"\x1bX", {E::Extended(0x2d, kAlt)}},
      {"\x1b" "1", {E::Extended(0x78, kAlt)}},
      {"\x1b" "0", {E::Extended(0x81, kAlt)}},
      {"\x1b-", {E::Character('-', kAlt)}},
      {"\x1b\xc3\xa9", {E::Character(0x82, kAlt)}},
      {"\x1bO", {E::Extended(0x18, kAlt)}},  // Esc O held back, then taken as typed
      {"\x1b[", {E::Character('[', kAlt)}},
  });
}

TEST(InputDecoder, ModifyOtherKeysAndKitty) {
  Check(TerminalFamily::kXterm, {
      {"\x1b[27;5;99~", {E::Character(3, kCtrl)}},
      {"\x1b[27;3;120~", {E::Extended(0x2d, kAlt)}},
      {"\x1b[27;2;13~", {E::Character(13, kShift)}},
      {"\x1b[99;5u", {E::Character(3, kCtrl)}},
      {"\x1b[120;3u", {E::Extended(0x2d, kAlt)}},
      {"\x1b[97u", {E::Character('a')}},
      {"\x1b[97;2u", {E::Character('A')}},
      {"\x1b[97:65;2u", {E::Character('A')}},
      {"\x1b[101;1;233u", {E::Character(0x82)}},
      {"\x1b[97;1:3u", {}},  // released
      {"\x1b[97;1:2u", {E::Character('a')}},  // repeated
      {"\x1b[13u", {E::Character(13)}},
      {"\x1b[27u", {E::Character(27)}},
      {"\x1b[127u", {E::Character(8)}},
      {"\x1b[9;2u", {E::Extended(0x0f, kShift)}},
      {"\x1b[57441u", {}},  // Shift pressed alone
      {"\x1b[57405u", {E::Character('6')}},
      {"\x1b[A\x1b[1;1:3A", {E::Extended(0x48)}},
      {"\x1b[?15u", {}},
  });
}

TEST(InputDecoder, KittyAltKeypadGivesCompositionKeys) {
  Check(TerminalFamily::kXterm, {
      {"\x1b[57443;3u\x1b[57405;3u\x1b[57404;3u\x1b[57443;1:3u",
       {E::Extended(0x4d, kLeftAlt), E::Extended(0x4c, kLeftAlt), E{}}},
      {"\x1b[57417;3u", {E::Extended(0x4b, kLeftAlt)}},
      {"\x1b[57426;3u", {E::Extended(0x53, kAlt)}},
  });
  InputDecoder decoder;
  DecodeAll(decoder, "\x1b[?1u");
  EXPECT_TRUE(decoder.KittyKeyboardReported());
}

TEST(InputDecoder, MouseReports) {
  Check(TerminalFamily::kXterm, {
      {"\x1b[<0;12;5M", {E::Mouse(kMousePressed, kLeftButton, 5, 12)}},
      {"\x1b[<0;12;5m", {E::Mouse(kMouseReleased, kLeftButton, 5, 12)}},
      {"\x1b[<2;3;4m", {E::Mouse(kMouseReleased, kRightButton, 4, 3)}},
      {"\x1b[<32;7;8M", {E::Mouse(kMouseMoved, kLeftButton, 8, 7)}},
      {"\x1b[<35;7;8M", {E::Mouse(kMouseMoved, 0, 8, 7)}},
      {"\x1b[<16;1;1m", {E::Mouse(kMouseReleased, kLeftButton, 1, 1, kCtrl)}},
      {"\x1b[<64;1;1M", {}},
      {"\x1b[<1;1;1M", {}},
      {"\x1b[<0;300;150M", {E::Mouse(kMousePressed, kLeftButton, 99, 99)}},
      {"\x1b[M ,%\x1b[M#,%",
       {E::Mouse(kMousePressed, kLeftButton, 5, 12), E::Mouse(kMouseReleased, kLeftButton, 5, 12)}},
  });
}

TEST(InputDecoder, BracketedPasteIsTypedWithoutControls) {
  Check(TerminalFamily::kXterm, {
      {"\x1b[200~ab\r\ncd\x1b[201~x", {E::Character('a'), E::Character('b'), E::Character('c'),
                                       E::Character('d'), E::Character('x')}},
      {"\x1b[200~\xc3\xa0\x1b[A\x1b[201~", {E::Character(0x85), E::Character('['), E::Character('A')}},
  });
}

TEST(InputDecoder, PasteSplitAcrossReads) {
  InputDecoder decoder;
  decoder.Feed("\x1b[200~h\xc3", 0);
  std::vector<ConsoleEvent> events;
  while (auto e = decoder.Next(1000)) events.push_back(*e);
  decoder.Feed("\xa9llo\x1b[20", 2000);
  while (auto e = decoder.Next(9000)) events.push_back(*e);
  decoder.Feed("1~", 9001);
  while (auto e = decoder.Next(9002)) events.push_back(*e);
  EXPECT_EQ(events, (std::vector<ConsoleEvent>{E::Character('h'), E::Character(0x82), E::Character('l'),
                                               E::Character('l'), E::Character('o')}));
}

TEST(InputDecoder, LoneEscWaitsForTheDelay) {
  InputDecoder decoder({TerminalFamily::kXterm, 25, false});
  decoder.Feed("\x1b", 100);
  EXPECT_FALSE(decoder.Next(110));
  EXPECT_EQ(decoder.Deadline(), 125);
  EXPECT_FALSE(decoder.Next(124));
  EXPECT_EQ(decoder.Next(125), E::Character(27));
  EXPECT_FALSE(decoder.Deadline());
}

TEST(InputDecoder, EscFollowedWithinTheDelayIsAlt) {
  InputDecoder decoder({TerminalFamily::kXterm, 25, false});
  decoder.Feed("\x1b", 100);
  EXPECT_FALSE(decoder.Next(110));
  decoder.Feed("x", 120);
  EXPECT_EQ(decoder.Next(121), E::Extended(0x2d, kAlt));
}

TEST(InputDecoder, EscFollowedLaterIsEscThenTheKey) {
  InputDecoder decoder({TerminalFamily::kXterm, 25, false});
  decoder.Feed("\x1b", 100);
  EXPECT_EQ(decoder.Next(200), E::Character(27));
  decoder.Feed("x", 201);
  EXPECT_EQ(decoder.Next(201), E::Character('x'));
}

TEST(InputDecoder, TwoEscsAreTwoEscs) {
  InputDecoder decoder;
  EXPECT_EQ(DecodeAll(decoder, "\x1b\x1b"), (std::vector<ConsoleEvent>{E::Character(27), E::Character(27)}));
}

TEST(InputDecoder, SequenceSplitAcrossReadsIsJoined) {
  InputDecoder decoder({TerminalFamily::kXterm, 25, false});
  decoder.Feed("\x1b[1;", 100);
  EXPECT_FALSE(decoder.Next(110));
  decoder.Feed("2P", 115);
  EXPECT_EQ(decoder.Next(116), E::Extended(0x3b, kShift));
}

TEST(InputDecoder, UnfinishedSequenceAfterTheDelayIsTyped) {
  InputDecoder decoder({TerminalFamily::kXterm, 25, false});
  decoder.Feed("\x1b[1;", 100);
  std::vector<ConsoleEvent> events;
  while (auto e = decoder.Next(500)) events.push_back(*e);
  EXPECT_EQ(events, (std::vector<ConsoleEvent>{E::Character(27), E::Character('['), E::Character('1'),
                                               E::Character(';')}));
}

TEST(InputDecoder, TerminalDescriptionSequencesComeFirst) {
  InputDecoder decoder;
  decoder.AddKeySequence("\x1b[11~", E::Extended(0x44));
  EXPECT_EQ(DecodeAll(decoder, "\x1b[11~"), (std::vector<ConsoleEvent>{E::Extended(0x44)}));
}

TEST(InputDecoder, Latin1Terminal) {
  InputDecoder decoder({TerminalFamily::kXterm, 25, true});
  EXPECT_EQ(DecodeAll(decoder, "\xe9"), (std::vector<ConsoleEvent>{E::Character(0x82)}));
}

}  // namespace
}  // namespace duv
