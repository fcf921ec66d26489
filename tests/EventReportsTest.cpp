// Reports that wrap the host's own texts (MakeEventMessage, MakeEventInfoList)
// and the small ones (MakeAuxiliaryInfo, MakeDeviceInfoJson), compared as
// whole texts and whole log messages.
#include <cstring>
#include <string>
#include <vector>

#include "ReportLog.h"

namespace {

const char kMessage[] =
    "virtual void Vomaxel::MakeEventMessage(MATCHING_ENGINE_TYPE, int, int, const string&, "
    "const string&, std::string&)";
const char kList[] =
    "virtual void Vomaxel::MakeEventInfoList(std::vector<std::basic_string<char> >&, "
    "std::string&)";
const char kDevice[] =
    "virtual bool Vomaxel::MakeDeviceInfoJson(ACR_HDMI_DEVICE_INFO*, std::string&)";

using EventMessage = ReportTest;

// Written out in full once: the layout that Styled() gives the other expectations.
TEST_F(EventMessage, EmbedsAnObjectAndAnArray) {
  std::string out = "an earlier message";
  vomaxel().MakeEventMessage(MATCHING_ENGINE_TYPE_UNKNOWN, 8, 9,
                             R"({"programId":"P1","ids":[1,2]})", R"([{"id":7}])", out);
  EXPECT_EQ(out,
            "{\n"
            "   \"ACRInfo\" : {\n"
            "      \"ids\" : [ 1, 2 ],\n"
            "      \"programId\" : \"P1\"\n"
            "   },\n"
            "   \"Engine\" : -1,\n"
            "   \"EventInfo\" : [\n"
            "      {\n"
            "         \"id\" : 7\n"
            "      }\n"
            "   ],\n"
            "   \"EventType\" : 9,\n"
            "   \"MatchType\" : 8\n"
            "}\n");
  vomaxel().MakeEventMessage(MATCHING_ENGINE_TYPE_VIDEO, 1, 2, "", "", out);
  EXPECT_EQ(out,
            Styled(R"({"ACRInfo":null,"Engine":0,"EventInfo":null,"EventType":2,"MatchType":1})"));
  EXPECT_EQ(Logged(), Lines{});
}

struct Rejection {
  std::string acrInfo;
  std::string eventInfo;
  std::string logged;
};

TEST_F(EventMessage, RejectsTheFirstBadTextAndKeepsTheOutput) {
  const std::string good = R"({"a":1})";
  const Rejection cases[] = {
      {"{}", "[1]", "Parsing error, acrInfoJson = {}"},
      {"[]", "", "Parsing error, acrInfoJson = []"},
      {"42", "{", "Parsing error, acrInfoJson = 42"},
      {"null", "", "Parsing error, acrInfoJson = null"},
      {R"(/* c */ {"a":1})", "", R"(Parsing error, acrInfoJson = /* c */ {"a":1})"},
      // The reader sees the text up to its first NUL; only the length says empty.
      {Whole("\0{\"a\":1}"), "", "Parsing error, acrInfoJson = "},
      {Whole("{\"a\":\"x\0y\"}"), "", R"(Parsing error, acrInfoJson = {"a":"x)"},
      {good, "{", "Parsing error, eventInfoJson = {"},
      {"", "7", "Parsing error, eventInfoJson = 7"},
      {good, Whole("\0"), "Parsing error, eventInfoJson = "},
  };
  for (const Rejection& c : cases) {
    SCOPED_TRACE(c.logged);
    ClearLog();
    std::string out = "an earlier message";
    vomaxel().MakeEventMessage(MATCHING_ENGINE_TYPE_AUDIO, 1, 2, c.acrInfo, c.eventInfo, out);
    EXPECT_EQ(out, "an earlier message");
    EXPECT_EQ(Messages(kMessage), Lines{c.logged});
  }
}

using EventInfoList = ReportTest;

TEST_F(EventInfoList, EveryEntryGivesOneElementAndNoEntryNull) {
  std::vector<std::string> entries;
  std::string out = "an earlier list";
  vomaxel().MakeEventInfoList(entries, out);
  EXPECT_EQ(out, Styled("null"));
  EXPECT_EQ(Logged(), Lines{});

  entries = {
      R"({"id":1})", "7", R"("")", "[1,2]", "true",
      R"({"id":)",        // breaks off inside an object
      "[7,",              // breaks off inside an array: the reader's part is kept
      "null", "[]", "{}", "x",
      Whole("\"a\0b\""),  // the reader sees "a without its closing quote
      // Comments the reader accepts that, written back as they were, would
      // swallow the rest of the list or put the next element on their line.
      "[1]/*/", "[3]\n/**/ /*/", "2 // two  ",
  };
  vomaxel().MakeEventInfoList(entries, out);
  const bool open = jsoncpp::kKeepsOpenTrailingComment;
  std::string expectedList = Styled(
      "[{\"id\":1}, 7, \"\", [1,2], true, [null], [7,null,null], [null], [null], [null], [null],"
      " [null], [1]" + std::string(open ? " /*/*/\n" : "") + ", [3], 2 // two\n]");
  // Comments on the lines after a text's value are written on lines of their own.
  expectedList.insert(expectedList.find("[ 3 ],\n") + 7, open ? "/**//*/*/\n" : "/**/\n");
  EXPECT_EQ(out, expectedList);
  Lines expected;
  for (const char* text : {R"({"id":)", "[7,", "null", "[]", "{}", "x", "\"a"}) {
    expected.push_back(std::string("Parsing error, eachEventInfo = ") + text);
  }
  EXPECT_EQ(Messages(kList), expected);
}

using AuxiliaryInfo = ReportTest;

TEST_F(AuxiliaryInfo, WrapsTheCountryCodeUnchanged) {
  EXPECT_EQ(vomaxel().MakeAuxiliaryInfo("KR"), Styled(R"({"countryCode":"KR"})"));
  EXPECT_EQ(vomaxel().MakeAuxiliaryInfo(""), Styled(R"({"countryCode":""})"));
  EXPECT_EQ(Logged(), Lines{});
}

using DeviceInfo = ReportTest;

TEST_F(DeviceInfo, WritesOneLineOfNamesThatEndWithinTheirArrays) {
  ACR_HDMI_DEVICE_INFO unterminated;  // the host should terminate both names
  std::memset(&unterminated, 'A', sizeof unterminated);
  const std::pair<ACR_HDMI_DEVICE_INFO, std::string> cases[] = {
      {{"ABCDEFGH", "", 3}, R"({"Product":"","Source":3,"Vendor":"ABCDEFGH"})" "\n"},
      {{"V", "Box \"2\"", -7}, R"({"Product":"Box \"2\"","Source":-7,"Vendor":"V"})" "\n"},
      {unterminated, R"({"Product":")" + std::string(19, 'A') +
                         R"(","Source":1094795585,"Vendor":")" + std::string(9, 'A') + "\"}\n"},
  };
  for (auto c : cases) {
    std::string out = "an earlier text";
    EXPECT_TRUE(vomaxel().MakeDeviceInfoJson(&c.first, out));
    EXPECT_EQ(out, c.second);
  }
  EXPECT_EQ(Logged(), Lines{});

  std::string out = "an earlier text";
  EXPECT_FALSE(vomaxel().MakeDeviceInfoJson(nullptr, out));
  EXPECT_EQ(out, "an earlier text");
  EXPECT_EQ(Messages(kDevice), Lines{"pHdmiInfo is NULL"});
}

}  // namespace
