// Reports that wrap the host's own texts (MakeEventMessage, MakeEventInfoList)
// and the small ones (MakeAuxiliaryInfo, MakeDeviceInfoJson), compared as
// whole texts and whole log lines.
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
const char kDevice[] = "virtual bool Vomaxel::MakeDeviceInfoJson(ACR_HDMI_DEVICE_INFO*, std::string&)";

const std::string kDeep(1100, '[');  // past the reader's nesting limit

class EventMessage : public ReportTest {};

TEST_F(EventMessage, EmptyTextsGiveNull) {
  std::string out = "an earlier message";
  vomaxel().MakeEventMessage(MATCHING_ENGINE_TYPE_VIDEO, 1, 2, "", "", out);
  EXPECT_EQ(out,
            "{\n"
            "   \"ACRInfo\" : null,\n"
            "   \"Engine\" : 0,\n"
            "   \"EventInfo\" : null,\n"
            "   \"EventType\" : 2,\n"
            "   \"MatchType\" : 1\n"
            "}\n");
  EXPECT_EQ(LoggedLines(), Lines{});
}

TEST_F(EventMessage, EmbedsAnObjectAndAnArray) {
  std::string out;
  vomaxel().MakeEventMessage(MATCHING_ENGINE_TYPE_UNKNOWN, 8, 9,
                             "{\"programId\":\"P1\",\"ids\":[1,2]}", "[{\"id\":7}]", out);
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
  EXPECT_EQ(LoggedLines(), Lines{});
}

struct Rejection {
  std::string acrInfo;
  std::string eventInfo;
  std::string logged;  // the one message after the signature and line
};

TEST_F(EventMessage, RejectsTheFirstBadTextAndKeepsTheOutput) {
  const std::string good = "{\"a\":1}";
  const Rejection cases[] = {
      {"{}", "[1]", "Parsing error, acrInfoJson = {}"},
      {"[]", "", "Parsing error, acrInfoJson = []"},
      {"42", "{", "Parsing error, acrInfoJson = 42"},
      {"null", "", "Parsing error, acrInfoJson = null"},
      {"\"text\"", "", "Parsing error, acrInfoJson = \"text\""},
      {"/* c */ {\"a\":1}", "", "Parsing error, acrInfoJson = /* c */ {\"a\":1}"},
      // The reader sees the text up to its first NUL; only the length says empty.
      {std::string("\0{\"a\":1}", 8), "", "Parsing error, acrInfoJson = "},
      {std::string("{\"a\":\"x\0y\"}", 11), "", "Parsing error, acrInfoJson = {\"a\":\"x"},
      {kDeep, "", "Parsing error, acrInfoJson = " + kDeep},
      {good, "{", "Parsing error, eventInfoJson = {"},
      {good, "{}", "Parsing error, eventInfoJson = {}"},
      {"", "7", "Parsing error, eventInfoJson = 7"},
      {good, std::string("\0", 1), "Parsing error, eventInfoJson = "},
  };
  for (const Rejection& c : cases) {
    SCOPED_TRACE(c.logged);
    ClearLog();
    std::string out = "an earlier message";
    vomaxel().MakeEventMessage(MATCHING_ENGINE_TYPE_AUDIO, 1, 2, c.acrInfo, c.eventInfo, out);
    EXPECT_EQ(out, "an earlier message");
    EXPECT_EQ(LoggedLines(), Lines{Line(kMessage, c.logged)});
  }
}

class EventInfoList : public ReportTest {};

TEST_F(EventInfoList, EmptyListGivesNull) {
  std::vector<std::string> entries;
  std::string out = "an earlier list";
  vomaxel().MakeEventInfoList(entries, out);
  EXPECT_EQ(out, "null\n");
  EXPECT_EQ(LoggedLines(), Lines{});
}

TEST_F(EventInfoList, EveryEntryGivesOneElement) {
  std::vector<std::string> entries = {
      "{\"id\":1}",
      "{\"id\":",  // breaks off inside an object
      "7",
      "null",
      "[]",
      "{}",
      "\"\"",
      "x",
      "[1,2]",
      std::string("\"a\0b\"", 5),  // the reader sees "a without its closing quote
      kDeep,
      "true",
  };
  std::string out;
  vomaxel().MakeEventInfoList(entries, out);
  EXPECT_EQ(out,
            "[\n"
            "   {\n"
            "      \"id\" : 1\n"
            "   },\n"
            "   [ null ],\n"
            "   7,\n"
            "   [ null ],\n"
            "   [ null ],\n"
            "   [ null ],\n"
            "   \"\",\n"
            "   [ null ],\n"
            "   [ 1, 2 ],\n"
            "   [ null ],\n"
            "   [ null ],\n"
            "   true\n"
            "]\n");
  EXPECT_EQ(LoggedLines(), (Lines{Line(kList, "Parsing error, eachEventInfo = {\"id\":"),
                                  Line(kList, "Parsing error, eachEventInfo = null"),
                                  Line(kList, "Parsing error, eachEventInfo = []"),
                                  Line(kList, "Parsing error, eachEventInfo = {}"),
                                  Line(kList, "Parsing error, eachEventInfo = x"),
                                  Line(kList, "Parsing error, eachEventInfo = \"a"),
                                  Line(kList, "Parsing error, eachEventInfo = " + kDeep)}));
}

// The reader accepts an unclosed block comment at the very end of a text and
// a line comment ending in blanks; written back as they were, the first would
// swallow the rest of the list and the second the line after it.
TEST_F(EventInfoList, MendsCommentsThatWouldBreakTheList) {
  std::vector<std::string> entries = {"[1]/*/", "2 // two  "};
  std::string out;
  vomaxel().MakeEventInfoList(entries, out);
  EXPECT_EQ(out,
            "[\n"
            "   [ 1 ], /*/*/\n"
            "   2 // two\n"
            "]\n");
  EXPECT_EQ(LoggedLines(), Lines{});
}

class AuxiliaryInfo : public ReportTest {};

TEST_F(AuxiliaryInfo, WrapsTheCountryCodeUnchanged) {
  EXPECT_EQ(vomaxel().MakeAuxiliaryInfo("KR"), "{\n   \"countryCode\" : \"KR\"\n}\n");
  EXPECT_EQ(vomaxel().MakeAuxiliaryInfo(""), "{\n   \"countryCode\" : \"\"\n}\n");
  EXPECT_EQ(LoggedLines(), Lines{});
}

class DeviceInfo : public ReportTest {};

ACR_HDMI_DEVICE_INFO Device(const char* vendor, const char* product, int source) {
  ACR_HDMI_DEVICE_INFO device;
  std::memset(&device, 0, sizeof device);
  std::strcpy(device.szVendor, vendor);
  std::strcpy(device.szProduct, product);
  device.nSource = source;
  return device;
}

TEST_F(DeviceInfo, WritesOneLine) {
  const std::pair<ACR_HDMI_DEVICE_INFO, const char*> cases[] = {
      {Device("ABCDEFGH", "", 3), "{\"Product\":\"\",\"Source\":3,\"Vendor\":\"ABCDEFGH\"}\n"},
      {Device("V", "Box \"2\"", -7), "{\"Product\":\"Box \\\"2\\\"\",\"Source\":-7,\"Vendor\":\"V\"}\n"},
  };
  for (auto c : cases) {
    std::string out = "an earlier text";
    EXPECT_TRUE(vomaxel().MakeDeviceInfoJson(&c.first, out));
    EXPECT_EQ(out, c.second);
  }
  EXPECT_EQ(LoggedLines(), Lines{});
}

// The host should terminate both names; where it does not, they end with
// their arrays.
TEST_F(DeviceInfo, ReadsNoFurtherThanTheArrays) {
  ACR_HDMI_DEVICE_INFO device;
  std::memset(device.szVendor, 'V', sizeof device.szVendor);
  std::memset(device.szProduct, 'P', sizeof device.szProduct);
  device.nSource = 0x41414141;
  std::string out;
  EXPECT_TRUE(vomaxel().MakeDeviceInfoJson(&device, out));
  EXPECT_EQ(out, "{\"Product\":\"" + std::string(19, 'P') + "\",\"Source\":1094795585,\"Vendor\":\"" +
                     std::string(9, 'V') + "\"}\n");
}

TEST_F(DeviceInfo, RefusesANullRecord) {
  std::string out = "an earlier text";
  EXPECT_FALSE(vomaxel().MakeDeviceInfoJson(nullptr, out));
  EXPECT_EQ(out, "an earlier text");
  EXPECT_EQ(LoggedLines(), Lines{Line(kDevice, "pHdmiInfo is NULL")});
}

}  // namespace
