#include "JsonInput.h"

#include "HostError.h"
#include "JsonCpp.h"

Json::Value ParseJsonInput(const std::string& text, const std::string& what) {
  // The old reader: the CharReaderBuilder one overflows a signed integer on
  // every negative number before jsoncpp 1.9. It reads one value and ignores
  // what follows, so only blanks may follow here.
  port::Reader reader;
  Json::Value root;
  std::string errors;
  bool parsed = false;
  try {
    parsed = reader.parse(text.data(), text.data() + text.size(), root, false);
    errors = reader.getFormattedErrorMessages();
    if (parsed && text.find_first_not_of(" \t\r\n", root.getOffsetLimit()) != std::string::npos) {
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
