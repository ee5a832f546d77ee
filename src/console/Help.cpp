#include "console/Help.h"

#include <algorithm>

#include "platform/Files.h"
#include "platform/HostPath.h"

namespace duv {

namespace {

constexpr char kHighlightSwitch = 30;
constexpr char kUnderlineSwitch = 31;
constexpr char kReverseSwitch = 16;
constexpr std::size_t kShownCharacters = 76;

}  // namespace

// The text viewer over the fixed-length records of one help file: record i (of the console's
// width) is line i. Lines beyond the end of the file show blank.
class Help::Viewer {
 public:
  Viewer(Screen& screen, std::string bytes)
      : screen_(screen),
        bytes_(std::move(bytes)),
        recordLength_(static_cast<std::size_t>(std::max<std::int16_t>(1, screen.ScreenColumns()))),
        lineCount_(static_cast<int>((bytes_.size() + recordLength_ / 2) / recordLength_)),
        visible_(screen.ScreenRows() - 3 - 4 - 1) {}

  int LineCount() const { return lineCount_; }
  int Visible() const { return visible_; }

  void ShowLine(int line, int row) {
    screen_.SetColourClass("n");
    screen_.PlaceCursor(static_cast<std::int16_t>(row), 2);
    std::string_view record;
    const std::size_t start = static_cast<std::size_t>(line - 1) * recordLength_;
    if (line >= 1 && start < bytes_.size()) {
      record = std::string_view(bytes_).substr(start, recordLength_);
    }
    bool highlight = false, underline = false, reverse = false;
    std::size_t written = 0;
    std::string run;
    const auto flush = [&] {
      screen_.Write(run);
      run.clear();
    };
    for (const char c : record) {
      if (written == kShownCharacters) break;
      if (c == kHighlightSwitch) {
        flush();
        highlight = !highlight;
        if (!underline) screen_.SetColourClass(highlight ? "h" : "n");
      } else if (c == kUnderlineSwitch) {
        flush();
        underline = !underline;
        screen_.SetColourClass(underline ? "u" : "n");
      } else if (c == kReverseSwitch) {
        flush();
        reverse = !reverse;
        screen_.SetColourClass(reverse ? "r" : "n");
      } else {
        // Line ends and other control bytes of the record are padding, not text.
        run.push_back(static_cast<unsigned char>(c) < 32 ? ' ' : c);
        ++written;
      }
    }
    run.append(kShownCharacters - written, ' ');
    flush();
  }

  // Scrolls the window's interior (lines > 0 up, otherwise down).
  void Scroll(int lines) {
    const CurrentWindow& w = screen_.Window();
    screen_.SetColourClass("n");
    screen_.ScrollRegion(w.top, w.left, static_cast<std::int16_t>(w.bottom - 2),
                         static_cast<std::int16_t>(w.right - 2), static_cast<std::int16_t>(lines));
  }

  void ShowPage(int first) {
    for (int row = 1; row <= visible_; ++row) ShowLine(first + row - 1, row);
  }

 private:
  Screen& screen_;
  std::string bytes_;
  std::size_t recordLength_;
  int lineCount_;
  int visible_;
};

std::string Help::PageOpener() const {
  const std::string dazave = ResolveHostPath(settings_.exeDir + "DAZAVE");
  if (IsExecutableFile(dazave)) return dazave;
  return FindOnPath("xdg-open");
}

void Help::OpenPage(const std::string& topic) {
  const std::string opener = PageOpener();
  if (opener.empty()) return;
  // The page's relative path is one argument: no shell ever sees the topic.
  const std::string page = ResolveHostPath("AJUDA\\" + topic + ".HTM");
  ConsoleDevice& device = screen_.Device();
  device.Suspend();
  launcher_.Run(opener, {page});
  device.Resume();
}

void Help::ShowHelp(const std::string& topic) {
  if (settings_.systemMode == "WIN") {
    OpenPage(topic);
    return;
  }
  Viewer viewer(screen_, ReadFileBytes(ResolveHostPath("AJUDA\\" + topic + ".HLP")).value_or(std::string()));
  screen_.SetColourClass("+h");
  windows_.PushWindow(4, 1, static_cast<std::int16_t>(screen_.ScreenRows() - 3), screen_.ScreenColumns());
  windows_.DrawFrame(2);
  screen_.SetColourClass("n");
  screen_.SetCursorShape(0);

  const int n = viewer.LineCount();
  const int v = viewer.Visible();
  viewer.ShowPage(1);
  int l = v + 1;
  while (true) {
    const std::int16_t key = keyboard_.WaitRawKey();
    if (key == keys::kEsc) break;
    switch (key) {
      case keys::kF1:
        if (topic != "UUTIMENU") ShowHelp("UUTIMENU");
        break;
      case keys::kDown:
        if (n >= l) {
          viewer.Scroll(1);
          viewer.ShowLine(l, v);
          ++l;
        }
        break;
      case keys::kUp:
        if (l - v > 1) {
          --l;
          viewer.Scroll(-1);
          viewer.ShowLine(l - v, 1);
        }
        break;
      case keys::kPgDn:
        if (n >= l) {
          viewer.Scroll(v);
          if (n < l + v - 1) l = n - v + 1;
          viewer.ShowPage(l);
          l += v;
        }
        break;
      case keys::kPgUp:
        if (l > v + 1) {
          viewer.Scroll(-v);
          if (l - 2 * v < 1) l = 2 * v;
          viewer.ShowPage(l - 2 * v + 1);
          l = l - v + 1;
        }
        break;
      case keys::kHome:
        if (l > v + 1) {
          viewer.Scroll(v);
          viewer.ShowPage(1);
          l = v + 1;
        }
        break;
      case keys::kEnd:
        if (n >= l) {
          viewer.Scroll(v);
          viewer.ShowPage(n - v + 1);
          l = n + 1;
        }
        break;
      default:
        break;
    }
  }
  windows_.PopWindow();
  screen_.SetColourClass("-");
  screen_.SetCursorShape(-1);
}

}  // namespace duv
