// Log expectations for the report operations, whose lines carry the source
// line of the code that logs: tests compare every line with that number
// written as N.

#ifndef VOMAXEL_TESTS_REPORTLOG_H_
#define VOMAXEL_TESTS_REPORTLOG_H_

#include <regex>
#include <string>

#include "PluginFixture.h"

class ReportTest : public PluginTest {
 protected:
  // Logged() with each line's number after the signature replaced by N.
  Lines LoggedLines() const {
    static const std::regex kLineNumber("\\):[0-9]+ ");
    Lines lines;
    for (const std::string& line : Logged()) {
      lines.push_back(std::regex_replace(line, kLineNumber, "):N ",
                                         std::regex_constants::format_first_only));
    }
    return lines;
  }
};

// The line a report logs at level 3 with `signature` and `message`.
inline std::string Line(const char* signature, const std::string& message) {
  return "[3] " + std::string(signature) + ":N " + message;
}

#endif  // VOMAXEL_TESTS_REPORTLOG_H_
