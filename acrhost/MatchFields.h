// The fields of ACR_MATCH_INFO, once for the tools (acrhost and the
// benchmarks): each field's name in IVomaxel.h, the member of match info
// JSON that carries it, and the record's member. The parser_acr_info_json
// fuzz target keeps a copy of its own, so that it checks the plug-in against
// a table written apart from this one.

#ifndef VOMAXEL_ACRHOST_MATCHFIELDS_H_
#define VOMAXEL_ACRHOST_MATCHFIELDS_H_

#include <boost/variant.hpp>
#include <string>

#include "IVomaxel.h"

using MatchMember = boost::variant<std::string ACR_MATCH_INFO::*, unsigned int ACR_MATCH_INFO::*,
                                   int ACR_MATCH_INFO::*>;

struct MatchField {
  const char* name;  // "szChannelId"
  const char* key;   // "channelId"
  MatchMember member;
};

// Every field in declaration order: the fourteen texts, then the four numbers.
extern const MatchField kMatchFields[18];

#endif  // VOMAXEL_ACRHOST_MATCHFIELDS_H_
