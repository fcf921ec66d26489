#include "ReportRequest.h"

#include "JsonCpp.h"

#include <set>

#include "HostError.h"
#include "JsonInput.h"

namespace {

// Reads the members of one description object, each at most once, and
// refuses members it was not asked for, so that a misspelt field name is
// reported rather than silently left empty.
class MemberReader {
 public:
  MemberReader(const Json::Value& object, std::string where)
      : object_(object), where_(std::move(where)) {
    if (!object_.isObject()) Fail("must be a JSON object");
  }

  void Text(const char* name, std::string& out) {
    if (const Json::Value* value = Find(name)) {
      if (!value->isString()) Fail(std::string("member \"") + name + "\" must be a string");
      out = value->asString();
    }
  }

  void TextOrJson(const char* name, std::string& out) {
    if (const Json::Value* value = Find(name)) {
      out = value->isString() ? value->asString() : CompactJson(*value);
    }
  }

  void Int(const char* name, int& out) {
    if (const Json::Value* value = Find(name)) {
      if (!value->isInt()) Fail(std::string("member \"") + name + "\" must be a 32-bit integer");
      out = value->asInt();
    }
  }

  void Unsigned(const char* name, unsigned int& out) {
    if (const Json::Value* value = Find(name)) {
      if (!value->isUInt())
        Fail(std::string("member \"") + name + "\" must be an unsigned 32-bit integer");
      out = value->asUInt();
    }
  }

  // The member `name`, or null when it is absent (or JSON null).
  const Json::Value* Find(const char* name) {
    read_.insert(name);
    const Json::Value* value = object_.find(name, name + std::char_traits<char>::length(name));
    return value != nullptr && !value->isNull() ? value : nullptr;
  }

  void Finish() const {
    for (const std::string& name : object_.getMemberNames()) {
      if (read_.count(name) == 0) Fail("has an unknown member \"" + name + "\"");
    }
  }

  [[noreturn]] void Fail(const std::string& problem) const {
    throw HostError("the report description: " + where_ + " " + problem);
  }

 private:
  const Json::Value& object_;
  const std::string where_;
  std::set<std::string> read_;
};

BI_ST_ACRINFO ReadAcrInfo(const Json::Value& object, const std::string& where) {
  BI_ST_ACRINFO record{};
  MemberReader members(object, where);
  members.Text("szStationName", record.szStationName);
  members.Text("szStreamName", record.szStreamName);
  members.Unsigned("nGlobalTime", record.nGlobalTime);
  members.Text("szContentId", record.szContentId);
  members.TextOrJson("szContentMeta", record.szContentMeta);
  members.Int("nMediaTime", record.nMediaTime);
  members.Int("nKillSwitch", record.nKillSwitch);
  members.Int("nLiveTag", record.nLiveTag);
  members.Int("nHostReserved", record.nHostReserved);
  members.Finish();
  return record;
}

BI_ST_EVENTINFO ReadEventInfo(const Json::Value& object, const std::string& where) {
  BI_ST_EVENTINFO record{};
  MemberReader members(object, where);
  members.Int("nType", record.nType);
  members.Text("szStreamId", record.szStreamId);
  members.Unsigned("nGlobalTime", record.nGlobalTime);
  members.Int("nHostReserved", record.nHostReserved);
  members.Text("szKey", record.szKey);
  members.TextOrJson("szValue", record.szValue);
  members.Finish();
  return record;
}

// Reads "acrInfo" or "eventInfo": one record, or an array of them when batched.
template <typename Record>
bool ReadRecords(MemberReader& description, const char* name, bool batched,
                 Record (*read)(const Json::Value&, const std::string&), std::vector<Record>& out) {
  const Json::Value* value = description.Find(name);
  if (value == nullptr) return false;
  if (!batched) {
    out.push_back(read(*value, std::string("\"") + name + "\""));
    return true;
  }
  if (!value->isArray()) {
    description.Fail(std::string("member \"") + name +
                     "\" must be an array (\"engine\" asks for lists)");
  }
  for (Json::ArrayIndex i = 0; i < value->size(); ++i) {
    out.push_back(read((*value)[i], std::string("\"") + name + "\"[" + std::to_string(i) + "]"));
  }
  return true;
}

}  // namespace

ReportRequest ParseReportRequest(const std::string& text) {
  return ReadReportRequest(ParseJsonInput(text, "the report description"));
}

ReportRequest ReadReportRequest(const Json::Value& root) {
  MemberReader description(root, "top level");
  ReportRequest request;
  request.batched = description.Find("engine") != nullptr;
  description.Int("engine", request.engine);
  description.Int("matchType", request.matchType);
  description.Int("eventType", request.eventType);
  request.hasAcrInfo =
      ReadRecords(description, "acrInfo", request.batched, ReadAcrInfo, request.acrInfo);
  request.hasEventInfo =
      ReadRecords(description, "eventInfo", request.batched, ReadEventInfo, request.eventInfo);
  description.Finish();
  return request;
}

bool MakeReport(IVomaxel& vomaxel, ReportRequest& request, std::string& report) {
  if (request.batched) {
    return vomaxel.MakeAcrData(request.engine, request.matchType, request.eventType,
                               request.hasAcrInfo ? &request.acrInfo : nullptr,
                               request.hasEventInfo ? &request.eventInfo : nullptr, report);
  }
  return vomaxel.MakeAcrData(request.matchType, request.eventType,
                             request.hasAcrInfo ? &request.acrInfo.front() : nullptr,
                             request.hasEventInfo ? &request.eventInfo.front() : nullptr, report);
}
