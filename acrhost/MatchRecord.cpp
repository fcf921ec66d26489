#include "MatchRecord.h"

#include <string>

#include "HostError.h"
#include "MatchFields.h"

namespace {

const MatchField* FindField(const std::string& name) {
  for (const MatchField& field : kMatchFields) {
    if (name == field.name) return &field;
  }
  return nullptr;
}

// Stores `value` in the member if it has the member's type; false otherwise.
class Assigner : public boost::static_visitor<bool> {
 public:
  Assigner(ACR_MATCH_INFO& record, const Json::Value& value) : record_(record), value_(value) {}

  bool operator()(std::string ACR_MATCH_INFO::*pointer) const {
    if (!value_.isString()) return false;
    record_.*pointer = value_.asString();
    return true;
  }

  bool operator()(unsigned int ACR_MATCH_INFO::*pointer) const {
    if (!value_.isUInt()) return false;
    record_.*pointer = value_.asUInt();
    return true;
  }

  bool operator()(int ACR_MATCH_INFO::*pointer) const {
    if (!value_.isInt()) return false;
    record_.*pointer = value_.asInt();
    return true;
  }

 private:
  ACR_MATCH_INFO& record_;
  const Json::Value& value_;
};

// A member's value as text.
class Printer : public boost::static_visitor<std::string> {
 public:
  explicit Printer(const ACR_MATCH_INFO& record) : record_(record) {}

  std::string operator()(std::string ACR_MATCH_INFO::*pointer) const { return record_.*pointer; }

  template <typename Number>
  std::string operator()(Number ACR_MATCH_INFO::*pointer) const {
    return std::to_string(record_.*pointer);
  }

 private:
  const ACR_MATCH_INFO& record_;
};

bool Assign(ACR_MATCH_INFO& record, const MatchMember& member, const Json::Value& value) {
  return boost::apply_visitor(Assigner(record, value), member);
}

std::string ValueText(const ACR_MATCH_INFO& record, const MatchMember& member) {
  return boost::apply_visitor(Printer(record), member);
}

}  // namespace

ACR_MATCH_INFO ReadMatchRecord(const Json::Value& object) {
  if (!object.isObject()) throw HostError("a match record must be a JSON object");
  ACR_MATCH_INFO record{};
  for (const std::string& name : object.getMemberNames()) {
    const MatchField* field = FindField(name);
    if (field == nullptr) throw HostError("a match record has an unknown field \"" + name + "\"");
    if (!Assign(record, field->member, object[name])) {
      throw HostError("the match record's field \"" + name + "\" has a value of the wrong type");
    }
  }
  return record;
}

std::string MatchRecordText(const ACR_MATCH_INFO& record) {
  std::string text;
  for (const MatchField& field : kMatchFields) {
    text += std::string(field.name) + ": " + ValueText(record, field.member) + "\n";
  }
  return text;
}
