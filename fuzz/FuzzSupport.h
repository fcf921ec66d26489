// What the fuzz targets share: the plug-in object as a host holds it, the keys
// that the seed corpora's encrypted fields use, JSON oracles, and a check that
// turns a broken promise into a finding.
//
// Targets call the plug-in without a try/catch of their own, so an exception
// that escapes an operation aborts the run as a finding too.

#ifndef VOMAXEL_FUZZ_FUZZSUPPORT_H_
#define VOMAXEL_FUZZ_FUZZSUPPORT_H_

#include "JsonCpp.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "HostEnv.h"
#include "IVomaxel.h"
#include "JsonNesting.h"
#include "JsoncppBehaviour.h"

#define FUZZ_CHECK(condition)                                                             \
  do {                                                                                    \
    if (!(condition)) {                                                                   \
      std::fprintf(stderr, "broken promise: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
      std::abort();                                                                       \
    }                                                                                     \
  } while (0)

namespace fuzz {

// "OLD,CURRENT": the keys of the encrypted fields in the seed corpora.
inline const char kKeyText[] = "2b7e151628aed2a6abf7158809cf4f3c,8e73b0f7da0e6452c810f32b809079e5";

// The object a host would hold: made once through `create`, keys set. Log
// lines are formatted as usual but not echoed.
inline IVomaxel& Plugin() {
  static IVomaxel* const plugin = [] {
    hostenv::SetLogEcho(false);
    IVomaxel* object = create();
    std::string keys = kKeyText;
    object->SetSecureKey(keys);
    return object;
  }();
  return *plugin;
}

// The input as texts separated by NUL bytes; the empty input is no text.
inline std::vector<std::string> Split(const uint8_t* data, size_t size) {
  std::vector<std::string> parts;
  if (size == 0) return parts;
  const char* text = reinterpret_cast<const char*>(data);
  const char* end = text + size;
  for (const char* start = text;; ++text) {
    if (text == end || *text == '\0') {
      parts.emplace_back(start, text);
      if (text == end) break;
      start = text + 1;
    }
  }
  return parts;
}

// The old reader as the plug-in uses it (whole text, comments collected);
// passing its nesting limit counts as a failed parse, and so does a text the
// plug-in's own limit refuses before the reader sees it (the parse_json target
// holds that count against the reader).
inline bool Parse(const std::string& text, const port::Features& features, Json::Value* root) {
  if (vomaxel::kNestingLimit != 0 &&
      vomaxel::NestsDeeperThan(text.data(), text.data() + text.size(), vomaxel::kNestingLimit)) {
    *root = Json::Value();
    return false;
  }
  port::Reader reader(features);
  try {
    return reader.parse(text.data(), text.data() + text.size(), *root, true);
  } catch (const Json::RuntimeError&) {
    *root = Json::Value();
    return false;
  }
}

inline bool ParseStrict(const std::string& text, Json::Value* root) {
  return Parse(text, port::Features::Strict(), root);
}

inline bool ParseDefault(const std::string& text, Json::Value* root) {
  return Parse(text, port::Features(), root);
}

// Whether a number with a minus sign is in `text`: a "-" outside strings and
// comments.
inline bool HasNegativeNumber(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '-') return true;
    if (text[i] == '"') {
      for (++i; i < text.size() && text[i] != '"'; ++i) i += text[i] == '\\';
    } else if (text.compare(i, 2, "//") == 0) {
      i = std::min(text.find('\n', i), text.size());
    } else if (text.compare(i, 2, "/*") == 0) {
      i = std::min(text.find("*/", i + 2) + 1, text.size());
    }
  }
  return false;
}

// An output text read back, which must succeed. The old reader reads it
// where it can (the CharReaderBuilder reader overflows a signed integer on
// every negative number before jsoncpp 1.9); an output that embeds an input
// at that reader's nesting limit goes a level or more past it and is read
// with the limit lifted. These are the default features, comments allowed
// only where `comments` says so.
inline Json::Value ReadOutput(const std::string& text, bool comments) {
  port::Features features;
  features.allowComments_ = comments;
  port::Reader old(features);
  Json::Value root;
  try {
    // The writer's text is one value and a line break.
    FUZZ_CHECK(old.parse(text.data(), text.data() + text.size(), root, false));
    FUZZ_CHECK(text.find_first_not_of(" \n", root.getOffsetLimit()) == std::string::npos);
    return root;
  } catch (const Json::RuntimeError&) {  // nested past the old reader's limit
  }
  FUZZ_CHECK(jsoncpp::kOtherReaderReadsNegativeNumbers || !HasNegativeNumber(text));  // see Readable
  Json::CharReaderBuilder builder;
  builder["allowComments"] = comments;
  builder["failIfExtra"] = true;
  builder["stackLimit"] = 1 << 20;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  std::string errors;
  const bool parsed = reader->parse(text.data(), text.data() + text.size(), &root, &errors);
  if (!parsed) std::fprintf(stderr, "unreadable output: %s\n%s\n", errors.c_str(), text.c_str());
  FUZZ_CHECK(parsed);
  return root;
}

// Whether ReadOutput can read `text` back with this jsoncpp: before 1.9, not
// an output nested past the old reader's limit that holds a negative number.
inline bool Readable(const std::string& text) {
  if (jsoncpp::kOtherReaderReadsNegativeNumbers || !HasNegativeNumber(text)) return true;
  Json::Value root;
  try {
    port::Reader().parse(text.data(), text.data() + text.size(), root, false);
  } catch (const Json::RuntimeError&) {
    return false;
  }
  return true;
}

// `value` without its comments; values compare without them.
inline Json::Value WithoutComments(const Json::Value& value) {
  Json::Value copy;
  if (value.isArray()) {
    copy = Json::Value(Json::arrayValue);
    for (const Json::Value& element : value) copy.append(WithoutComments(element));
  } else if (value.isObject()) {
    copy = Json::Value(Json::objectValue);
    for (auto it = value.begin(); it != value.end(); ++it) copy[it.name()] = WithoutComments(*it);
  } else {
    Json::Value scalar(value);  // copyPayload is missing from 1.7 and shallow in 1.8
    copy.swapPayload(scalar);
  }
  return copy;
}

// `value` as it comes back from the plug-in's styled writer, which replaces
// invalid UTF-8 by U+FFFD and ends member names at a NUL.
inline Json::Value Written(const Json::Value& value) {
  return ReadOutput(port::StyledWriter().write(WithoutComments(value)), false);
}

// Removes from `object` every member written under `name`: `name` itself and
// any member named `name`, a NUL and more. Returns whether there was such a
// longer one, whose value may then be the one read back under `name`.
inline bool RemoveWrittenAs(Json::Value& object, const char* name) {
  bool collides = false;
  for (const std::string& member : object.getMemberNames()) {
    Json::Value removed;  // jsoncpp before 1.8 stores it without checking
    if (member.compare(0, member.find('\0'), name) != 0) continue;
    collides = collides || member != name;
    object.removeMember(member.data(), member.data() + member.size(), &removed);
  }
  return collides;
}

// Whether `object` is an object with exactly the members `names`.
inline bool HasMembers(const Json::Value& object, std::vector<std::string> names) {
  if (!object.isObject()) return false;
  std::vector<std::string> members = object.getMemberNames();  // sorted
  std::sort(names.begin(), names.end());
  return members == names;
}

inline bool SameRecord(const ACR_MATCH_INFO& a, const ACR_MATCH_INFO& b) {
  return a.szChannelId == b.szChannelId && a.szChannelName == b.szChannelName &&
         a.szProgramId == b.szProgramId && a.szProgramName == b.szProgramName &&
         a.szStartTime == b.szStartTime && a.szMediaTime == b.szMediaTime &&
         a.szIdType == b.szIdType && a.szSource == b.szSource && a.szGenre == b.szGenre &&
         a.szAltIdType == b.szAltIdType && a.szAltContentId == b.szAltContentId &&
         a.szAltContentTitle == b.szAltContentTitle && a.szAltStreamId == b.szAltStreamId &&
         a.szBypassData == b.szBypassData && a.nMatchCount == b.nMatchCount &&
         a.nEngineType == b.nEngineType && a.nEventType == b.nEventType &&
         a.bIsEngineStopped == b.bIsEngineStopped;
}

// A record that the host filled before the call.
inline ACR_MATCH_INFO FilledRecord() {
  ACR_MATCH_INFO r;
  r.szChannelId = "CH7";
  r.szChannelName = "News";
  r.szProgramId = "P100";
  r.szProgramName = "Evening News";
  r.szStartTime = "25";
  r.szMediaTime = "1200";
  r.szIdType = "tms";
  r.szSource = "broadcast";
  r.szGenre = "news";
  r.szAltIdType = "alt";
  r.szAltContentId = "A1";
  r.szAltContentTitle = "Alt Title";
  r.szAltStreamId = "AS1";
  r.szBypassData = "bypass";
  r.nMatchCount = 7;
  r.nEngineType = 2;
  r.nEventType = 3;
  r.bIsEngineStopped = 1;
  return r;
}

}  // namespace fuzz

#endif  // VOMAXEL_FUZZ_FUZZSUPPORT_H_
