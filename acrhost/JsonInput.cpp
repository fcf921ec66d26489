#include "JsonInput.h"

#include "HostError.h"
#include "JsonCpp.h"

namespace {

// Whether only blanks and comments follow `from` in `text`, as the plug-in's
// readers take them after a value: a line comment runs to its line's end, a
// block comment to its "*/" or the end of the text.
bool OnlyBlanksAndComments(const std::string& text, std::string::size_type from) {
  std::string::size_type i = from;
  while ((i = text.find_first_not_of(" \t\r\n", i)) != std::string::npos) {
    if (text.compare(i, 2, "//") == 0) {
      i = text.find_first_of("\r\n", i);
    } else if (text.compare(i, 2, "/*") == 0) {
      i = text.find("*/", i + 2);
      if (i != std::string::npos) i += 2;
    } else {
      return false;
    }
    if (i == std::string::npos) return true;
  }
  return true;
}

}  // namespace

Json::Value ParseJsonInput(const std::string& text, const std::string& what) {
  // The old reader: the CharReaderBuilder one overflows a signed integer on
  // every negative number before jsoncpp 1.9. It reads one value and ignores
  // what follows, so only blanks and comments may follow here.
  port::Reader reader;
  Json::Value root;
  std::string errors;
  bool parsed = false;
  try {
    parsed = reader.parse(text.data(), text.data() + text.size(), root, false);
    errors = reader.getFormattedErrorMessages();
    if (parsed && !OnlyBlanksAndComments(text, root.getOffsetLimit())) {
      parsed = false;
      errors = "more text after the value";
    }
  } catch (const Json::Exception& e) {  // nesting beyond the reader's limit
    errors = e.what();
  }
  if (!parsed) {
    while (!errors.empty() && errors.back() == '\n') errors.pop_back();
    throw HostError(what + " is not JSON: " + errors);
  }
  return root;
}

std::string CompactJson(const Json::Value& value) {
  Json::StreamWriterBuilder compact;
  compact["indentation"] = "";
  return Json::writeString(compact, value);
}
