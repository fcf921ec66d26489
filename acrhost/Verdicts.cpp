#include "Verdicts.h"

#include <algorithm>

#include "Session.h"

namespace {

const char kIndent[] = "      ";

// Where two texts first differ, counted as an editor does: line and column
// from 1, and the byte offset from 0.
struct Difference {
  size_t offset;
  size_t line;
  size_t column;
};

Difference FirstDifference(const std::string& expected, const std::string& actual) {
  const size_t length = std::min(expected.size(), actual.size());
  size_t offset = 0;
  while (offset < length && expected[offset] == actual[offset]) ++offset;
  const std::string before = expected.substr(0, offset);  // the same in both texts
  const size_t lastBreak = before.rfind('\n');
  const size_t lineStart = lastBreak == std::string::npos ? 0 : lastBreak + 1;
  const size_t breaks = static_cast<size_t>(std::count(before.begin(), before.end(), '\n'));
  return {offset, breaks + 1, offset - lineStart + 1};
}

// `text` under a heading, one "| " line per line; the line `marked` (from 1)
// gets "> " instead, so that the first difference stands out in both texts.
void Show(const char* heading, const std::string& text, size_t marked = 0) {
  std::string shown = std::string(kIndent) + heading + "\n";
  if (text.empty()) shown += std::string(kIndent) + "(empty)\n";
  size_t line = 1;
  for (size_t start = 0; start < text.size(); ++line) {
    const size_t end = std::min(text.find('\n', start), text.size());
    shown += kIndent + std::string(line == marked ? "> " : "| ") + text.substr(start, end - start) +
             "\n";
    start = end + 1;
  }
  if (!text.empty() && text.back() != '\n')
    shown += std::string(kIndent) + "(no line break at the end)\n";
  Print(shown);
}

}  // namespace

void Verdicts::Pass(const std::string& label) {
  ++passed_;
  Print("ok    " + label + "\n");
}

void Verdicts::Compare(const std::string& label, const std::string& expected,
                       const std::string& actual) {
  if (actual == expected) {
    Pass(label);
    if (verbose_) Show("expected and actual:", expected);
    return;
  }
  ++failed_;
  const Difference difference = FirstDifference(expected, actual);
  Print("FAIL  " + label + ": differs at line " + std::to_string(difference.line) + ", column " +
        std::to_string(difference.column) + " (byte " + std::to_string(difference.offset) + ")\n");
  if (verbose_) {
    Show("expected:", expected, difference.line);
    Show("actual:", actual, difference.line);
  }
}

void Verdicts::Error(const std::string& label, const std::string& reason) {
  ++failed_;
  Print("FAIL  " + label + ": " + reason + "\n");
}
