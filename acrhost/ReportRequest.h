// The JSON description of the records behind one MakeAcrData call:
//
//   {"engine": E, "matchType": M, "eventType": T, "acrInfo": ..., "eventInfo": ...}
//
// With "engine" the call is the batched overload and "acrInfo" and
// "eventInfo" are arrays of records; without it, the single-record overload
// and each is one record. An absent or null "acrInfo"/"eventInfo" is a null
// pointer. A record is an object of its fields by their names in the host
// headers ("szStationName", "nGlobalTime", ...); absent fields are empty or 0.
// "szContentMeta" and "szValue" take a string as the text itself, or any
// other JSON value as its compact text.

#ifndef VOMAXEL_ACRHOST_REPORTREQUEST_H_
#define VOMAXEL_ACRHOST_REPORTREQUEST_H_

#include <json/value.h>

#include <string>
#include <vector>

#include "IVomaxel.h"

struct ReportRequest {
  bool batched = false;
  int engine = 0;
  int matchType = 0;
  int eventType = 0;
  bool hasAcrInfo = false;  // false: the operation gets a null pointer
  bool hasEventInfo = false;
  std::vector<BI_ST_ACRINFO> acrInfo;  // one record unless batched
  std::vector<BI_ST_EVENTINFO> eventInfo;
};

// Throws HostError naming the member that does not fit the description.
ReportRequest ParseReportRequest(const std::string& text);
ReportRequest ReadReportRequest(const Json::Value& description);

// Calls the overload that `request` describes; returns its result and output.
bool MakeReport(IVomaxel& vomaxel, ReportRequest& request, std::string& report);

#endif  // VOMAXEL_ACRHOST_REPORTREQUEST_H_
