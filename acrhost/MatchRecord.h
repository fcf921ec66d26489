// ACR_MATCH_INFO as the self-test states and compares it: read from a JSON
// object of its fields, printed one field per line.

#ifndef VOMAXEL_ACRHOST_MATCHRECORD_H_
#define VOMAXEL_ACRHOST_MATCHRECORD_H_

#include <json/value.h>

#include <string>

#include "IVomaxel.h"

// A record from an object of its fields by their names in IVomaxel.h
// ("szChannelId", "nMatchCount", ...); absent fields are empty or 0. Throws
// HostError for a field name it does not know or a value of the wrong type.
ACR_MATCH_INFO ReadMatchRecord(const Json::Value& object);

// Every field in declaration order, one "name: value" line each.
std::string MatchRecordText(const ACR_MATCH_INFO& record);

#endif  // VOMAXEL_ACRHOST_MATCHRECORD_H_
