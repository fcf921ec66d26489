// MakeEventInfoList: the input holds the entries, separated by NULs. The
// output is always written: null for no entry, else an array with one element
// per entry, the entry's value where it parses to a non-empty value, else an
// array that ends in null. Comments kept from the entries may stand in it.
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  IVomaxel& plugin = fuzz::Plugin();
  std::vector<std::string> entries = fuzz::Split(data, size);

  std::string output = "previous output";
  plugin.MakeEventInfoList(entries, output);

  FUZZ_CHECK(entries == fuzz::Split(data, size));
  if (!fuzz::Readable(output)) return 0;
  const Json::Value list = fuzz::ReadOutput(output, true);
  if (entries.empty()) {
    FUZZ_CHECK(list.isNull());
    return 0;
  }
  FUZZ_CHECK(list.isArray() && list.size() == entries.size());
  for (Json::ArrayIndex i = 0; i < entries.size(); ++i) {
    Json::Value value;
    if (fuzz::ParseDefault(entries[i], &value) && !value.empty()) {
      FUZZ_CHECK(list[i] == fuzz::Written(value));
    } else {
      FUZZ_CHECK(list[i].isArray() && list[i].size() > 0 && list[i][list[i].size() - 1].isNull());
    }
  }
  return 0;
}
