// Log expectations for the report operations, whose lines carry the source
// line of the code that logs: tests compare messages, not line numbers.

#ifndef VOMAXEL_TESTS_REPORTLOG_H_
#define VOMAXEL_TESTS_REPORTLOG_H_

#include <regex>
#include <string>

#include "PluginFixture.h"

class ReportTest : public PluginTest {
 protected:
  // Logged() with "[3] <signature>:<line> " taken off every line that starts
  // so; any other line stays whole, to fail the comparison.
  Lines Messages(const std::string& signature) const {
    static const std::regex kHead("^\\[3\\] (.*?):[0-9]+ ");
    Lines messages;
    for (const std::string& line : Logged()) {
      std::smatch head;
      const bool ours = std::regex_search(line, head, kHead) && head[1] == signature;
      messages.push_back(ours ? head.suffix().str() : line);
    }
    return messages;
  }
};

// A string literal as a whole, NULs included.
template <size_t N>
std::string Whole(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

#endif  // VOMAXEL_TESTS_REPORTLOG_H_
