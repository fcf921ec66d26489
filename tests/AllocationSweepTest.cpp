// Out of memory at every allocation of every operation. Each operation runs
// once as it is, then again with its first, second, ... allocation failed
// until a run reaches none. Each run must end either exactly like the first,
// or in std::bad_alloc with the caller's record, strings and key rows as they
// were and a log that is a beginning of the first run's.
#include <algorithm>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "ACRCipherUtil.h"
#include "AllocationFaults.h"
#include "DecodingFixture.h"

namespace {

using server::Key;

// What an operation can change of its caller's: the record, the out-string,
// what it returns, and the key store.
struct Caller {
  ACR_MATCH_INFO record = {"C0", "N0", "P0", "T0", "S0", "M0", "I0",
                           "R0", "G0", "A0", "B0", "D0", "E0", "F0", 7, 1, 2, 0};
  std::string out = "earlier output";
  std::string result = "no result";

  std::string State() const {
    const CACRCipherUtil* store = CACRCipherUtil::GetInstance();
    return Describe(record) + "out=" + out + "\nresult=" + result + "\nkeys=" +
           std::string(reinterpret_cast<const char*>(store), sizeof(*store));
  }
};

BI_ST_ACRINFO AcrInfo() {
  return {"Station", "Stream", 7, "C1", R"({"genre":"news","rating":[1,2]})", 1200, 0, 1, 0};
}

BI_ST_EVENTINFO AdEvent() {
  return {2, "S1", 9, 0, "ad", R"({"AdURI":"http://ad.example/1","AdMediaTime":15})"};
}

// Every operation's input, made afresh before each run so that the sweep
// counts the operation's allocations alone.
struct Inputs {
  std::string answer = server::MatchAnswer(
      {{Key::kCurrent, R"({"contentId":"P1.10","streamId":"CH7.News","source":"tv",
                           "contentTitle":"Morning","contentOffset":5})"},
       {Key::kOld, R"({"contentId":"P2.20","altContentId":"A2","genre":"drama"})"}},
      R"("queryTs":5,"matchCounts":2)");
  std::string eventInfo = server::EventInfo(
      R"({"contentId":"C1","contentTitle":"Morning","streamId":"CH7.News","streamTs":7,
          "callbackUrl":"http://cb.example/1"})");
  std::string matchInfo = R"({"channelName":"News","channelId":"CH7","programName":"Morning",
                              "programId":"P1","startTime":"10","matchCount":1,"engineType":2})";
  BI_ST_ACRINFO acrInfo = AcrInfo();
  BI_ST_EVENTINFO event = AdEvent();
  std::vector<BI_ST_ACRINFO> acrInfos = {AcrInfo(), AcrInfo()};
  std::vector<BI_ST_EVENTINFO> events = {AdEvent(), AdEvent()};
  std::string messageAcrInfo = R"({"programId":"P1","channel":"CH7"})";
  std::string messageEventInfo = R"({"Type":2,"Value":[1,2,3]})";
  std::vector<std::string> eventList = {R"({"Type":1,"Key":"first entry"})", R"([1,"two"])"};
  std::string countryCode = "a country code beyond SSO";
  ACR_HDMI_DEVICE_INFO device = {"VENDOR", "A product name", 3};
  std::string key = "00112233445566778899aabbccddeeff,ffeeddccbbaa99887766554433221100";
};

const char* Text(bool result) { return result ? "true" : "false"; }

struct Operation {
  const char* name;
  std::function<void(IVomaxel&, Inputs&, Caller&)> call;
};

void PrintTo(const Operation& operation, std::ostream* out) { *out << operation.name; }

const Operation kOperations[] = {
    {"DecryptMatchInfo",
     [](IVomaxel& v, Inputs& in, Caller& c) { v.DecryptMatchInfo(in.answer, c.record, c.out); }},
    {"DecryptEachEventInfo",
     [](IVomaxel& v, Inputs& in, Caller& c) { c.result = v.DecryptEachEventInfo(in.eventInfo); }},
    {"ParserACRInfoJson",
     [](IVomaxel& v, Inputs& in, Caller& c) {
       c.result = Text(v.ParserACRInfoJson(in.matchInfo.c_str(), c.record));
     }},
    {"MakeACRInfoJson",
     [](IVomaxel& v, Inputs&, Caller& c) {
       c.result = v.MakeACRInfoJson(MATCHING_ENGINE_TYPE(1), c.record);
     }},
    {"MakeAcrData",
     [](IVomaxel& v, Inputs& in, Caller& c) {
       c.result = Text(v.MakeAcrData(1, 2, &in.acrInfo, &in.event, c.out));
     }},
    {"MakeAcrDataLists",
     [](IVomaxel& v, Inputs& in, Caller& c) {
       c.result = Text(v.MakeAcrData(3, 1, 2, &in.acrInfos, &in.events, c.out));
     }},
    {"MakeEventMessage",
     [](IVomaxel& v, Inputs& in, Caller& c) {
       v.MakeEventMessage(MATCHING_ENGINE_TYPE(1), 1, 2, in.messageAcrInfo, in.messageEventInfo,
                          c.out);
     }},
    {"MakeEventInfoList",
     [](IVomaxel& v, Inputs& in, Caller& c) { v.MakeEventInfoList(in.eventList, c.out); }},
    {"MakeAuxiliaryInfo",
     [](IVomaxel& v, Inputs& in, Caller& c) { c.result = v.MakeAuxiliaryInfo(in.countryCode); }},
    {"MakeDeviceInfoJson",
     [](IVomaxel& v, Inputs& in, Caller& c) {
       c.result = Text(v.MakeDeviceInfoJson(&in.device, c.out));
     }},
    {"SetSecureKey", [](IVomaxel& v, Inputs& in, Caller&) { v.SetSecureKey(in.key); }},
};

struct Outcome {
  std::string stateBefore;
  std::string state;
  Lines log;
  bool badAlloc = false;
  unsigned long allocations = 0;
};

class AllocationSweep : public DecodingTest, public ::testing::WithParamInterface<Operation> {
 protected:
  // One run with the `failAt`-th allocation failed (0: none), from the keys
  // and the caller that every run starts with.
  Outcome Run(unsigned long failAt) {
    std::string keys = server::KeyText();
    vomaxel().SetSecureKey(keys);
    ClearLog();
    Inputs inputs;
    Caller caller;
    Outcome outcome;
    outcome.stateBefore = caller.State();
    faults::Arm(failAt);
    try {
      GetParam().call(vomaxel(), inputs, caller);
    } catch (const std::bad_alloc&) {
      outcome.badAlloc = true;
    }
    outcome.allocations = faults::Disarm();
    outcome.state = caller.State();
    outcome.log = Logged();
    return outcome;
  }
};

TEST_P(AllocationSweep, EveryAllocationFailsInTurn) {
  const Outcome normal = Run(0);
  ASSERT_FALSE(normal.badAlloc);
  unsigned long badAllocs = 0;
  for (unsigned long k = 1; k <= normal.allocations; ++k) {
    SCOPED_TRACE("allocation " + std::to_string(k) + " failed");
    const Outcome outcome = Run(k);
    ASSERT_GE(outcome.allocations, k);
    if (outcome.badAlloc) {
      ++badAllocs;
      EXPECT_EQ(outcome.state, outcome.stateBefore);
      ASSERT_LE(outcome.log.size(), normal.log.size());
      EXPECT_TRUE(std::equal(outcome.log.begin(), outcome.log.end(), normal.log.begin()));
    } else {
      EXPECT_EQ(outcome.state, normal.state);
      EXPECT_EQ(outcome.log, normal.log);
    }
  }
  EXPECT_GT(badAllocs, 0u);
  std::cout << GetParam().name << ": " << normal.allocations << " allocations swept, " << badAllocs
            << " ended in std::bad_alloc, " << normal.allocations - badAllocs
            << " as if nothing had failed\n";
}

INSTANTIATE_TEST_SUITE_P(Operations, AllocationSweep, ::testing::ValuesIn(kOperations),
                         [](const ::testing::TestParamInfo<Operation>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
