// The host's locales change no result of the plug-in's. Under a C++ global
// locale and a C locale that group digits ("1.200", de_DE) or case letters
// their own way (tr_TR), every record, text and log line is the one the "C"
// locale gives. jsoncpp before 1.9.8 reads reals through the C++ global
// locale, which is jsoncpp's doing (the documents tell hosts): the inputs hold
// reals only from 1.9.8. The locales come from the presets' preparation
// (scripts/generate-locales.sh); where one is missing its test is skipped.
#include <clocale>
#include <locale>
#include <stdexcept>
#include <string>
#include <vector>

#include "PluginFixture.h"
#include "ServerSimulator.h"

namespace {

using server::Key;

// 1.9.8: the old reader reads reals in the classic locale, whatever the
// C++ global one.
constexpr bool kReadsRealsInAnyLocale = jsoncpp::kVersion >= 0x01090800;

// Every operation on fixed inputs, with numbers that a locale would group,
// and texts with the letters tr_TR cases its own way: the results as one text.
std::string EveryOperation(IVomaxel& vomaxel) {
  std::string keys = server::KeyText();
  vomaxel.SetSecureKey(keys);
  ACR_MATCH_INFO record{};
  std::string output;
  vomaxel.DecryptMatchInfo(
      server::MatchAnswer({{Key::kCurrent, R"({"contentId":"P1.10","streamId":"CH1.Iı","contentOffset":1200})"},
                           {Key::kOld, R"({"contentId":"P2.20","contentOffset":-7,"idType":1234567})"}},
                          R"("queryTs":1700000000123,"matchCounts":[1000,2000])"),
      record, output);
  std::string results = Describe(record) + output;
  results += vomaxel.DecryptEachEventInfo(
      server::EventInfo(R"({"contentId":"E1","streamTs":1700000000,"extra":[1234567,-89]})"));
  const std::string reals = kReadsRealsInAnyLocale ? R"(,"engineType":12.7,"eventType":1.5e3)" : "";
  record = ACR_MATCH_INFO{};
  results += std::to_string(vomaxel.ParserACRInfoJson(
      (R"({"matchCount":1234567,"isEngineStopped":1,"channelName":"İstanbul ışık","programId":"TITLE")" +
       reals + "}")
          .c_str(),
      record));
  results += Describe(record) + vomaxel.MakeACRInfoJson(MATCHING_ENGINE_TYPE_AUDIO, record);
  const std::string meta = kReadsRealsInAnyLocale ? R"({"meta":[1000000,-2,0.25]})" : R"({"meta":[1000000,-2]})";
  BI_ST_ACRINFO acrInfo{"Station", "Stream", 4294967295u, "C1", meta, 1200, 1, 0, 0};
  BI_ST_EVENTINFO eventInfo{2, "S1", 1700000000u, 0, "AdURI", R"({"AdURI":"u","n":65536})"};
  vomaxel.MakeAcrData(1, 2, &acrInfo, &eventInfo, output);
  results += output;
  std::vector<BI_ST_ACRINFO> acrInfos = {acrInfo, acrInfo};
  std::vector<BI_ST_EVENTINFO> eventInfos = {eventInfo};
  vomaxel.MakeAcrData(1, 1, 2, &acrInfos, &eventInfos, output);
  results += output;
  vomaxel.MakeEventMessage(MATCHING_ENGINE_TYPE_VIDEO, 1000, 2000, R"({"a":1000})", "[65536]", output);
  results += output;
  std::vector<std::string> entries = {R"({"n":1234567})", "[1,2]"};
  vomaxel.MakeEventInfoList(entries, output);
  results += output;
  ACR_HDMI_DEVICE_INFO device{"VNDI", "Product i", 1000};
  vomaxel.MakeDeviceInfoJson(&device, output);
  return results + output + vomaxel.MakeAuxiliaryInfo("TR");
}

class HostLocale : public PluginTest, public testing::WithParamInterface<const char*> {
 protected:
  // EveryOperation's results and log lines.
  std::string Results() {
    ClearLog();
    std::string results = EveryOperation(vomaxel());
    for (const std::string& line : Logged()) results += line + "\n";
    return results;
  }
};

TEST_P(HostLocale, ChangesNoResult) {
  const std::string expected = Results();
  std::locale host;
  try {
    host = std::locale(GetParam());
  } catch (const std::runtime_error&) {
    GTEST_SKIP() << GetParam() << " is not installed: scripts/generate-locales.sh";
  }
  ASSERT_NE(std::setlocale(LC_ALL, GetParam()), nullptr);
  const std::locale previous = std::locale::global(host);
  const std::string actual = Results();
  std::locale::global(previous);
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(actual, expected);
}

INSTANTIATE_TEST_SUITE_P(GroupingAndCasing, HostLocale,
                         testing::Values("de_DE.UTF-8", "tr_TR.UTF-8"));

}  // namespace
