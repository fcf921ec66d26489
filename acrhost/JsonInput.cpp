#include "JsonInput.h"

#include <json/reader.h>
#include <json/writer.h>

#include <memory>

#include "HostError.h"

Json::Value ParseJsonInput(const std::string& text, const std::string& what) {
  Json::CharReaderBuilder builder;
  builder["failIfExtra"] = true;
  builder["collectComments"] = false;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value root;
  std::string errors;
  bool parsed = false;
  try {
    parsed = reader->parse(text.data(), text.data() + text.size(), &root, &errors);
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
