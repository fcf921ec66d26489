// ACR data reports: MakeAcrData for one record pair and for lists of records,
// compared as whole report texts and whole log lines.
#include <string>
#include <vector>

#include "ReportLog.h"

namespace {

const char kSingle[] =
    "virtual bool Vomaxel::MakeAcrData(int, int, BI_ST_ACRINFO*, BI_ST_EVENTINFO*, std::string&)";
const char kBatched[] =
    "virtual bool Vomaxel::MakeAcrData(int, int, int, std::vector<_BI_ST_ACRINFO>*, "
    "std::vector<_BI_ST_EVENTINFO>*, std::string&)";

const std::string kDeep(1100, '[');  // past the reader's nesting limit

BI_ST_ACRINFO AcrInfo(const std::string& station, const std::string& stream,
                      unsigned globalTime, const std::string& contentId,
                      const std::string& contentMeta, int mediaTime, int killSwitch, int liveTag) {
  return BI_ST_ACRINFO{station, stream,     globalTime, contentId, contentMeta,
                       mediaTime, killSwitch, liveTag,    -5};
}

BI_ST_EVENTINFO EventInfo(int type, const std::string& streamId, unsigned globalTime,
                          const std::string& key, const std::string& value) {
  return BI_ST_EVENTINFO{type, streamId, globalTime, -5, key, value};
}

const char kAcrPlaceholder[] =
    "   \"ACRInfo\" : {\n"
    "      \"ContentId\" : \"NULL\",\n"
    "      \"ContentMeta\" : \"NULL\",\n"
    "      \"GlobalTime\" : 0,\n"
    "      \"KillSwitch\" : 0,\n"
    "      \"LiveTag\" : 0,\n"
    "      \"MediaTime\" : 0,\n"
    "      \"StationName\" : \"NULL\",\n"
    "      \"StreamName\" : \"NULL\"\n"
    "   },\n";

const char kEventPlaceholder[] =
    "   \"EventInfo\" : {\n"
    "      \"Duration\" : 0,\n"
    "      \"GlobalTime\" : 0,\n"
    "      \"Key\" : \"NULL\",\n"
    "      \"StreamId\" : \"NULL\",\n"
    "      \"Type\" : 0,\n"
    "      \"Value\" : \"NULL\"\n"
    "   },\n";

class SingleReport : public ReportTest {};

TEST_F(SingleReport, WithoutRecordsHoldsPlaceholdersAndReplacesTheOutput) {
  std::string out = "an earlier report";
  EXPECT_TRUE(vomaxel().MakeAcrData(2, 5, nullptr, nullptr, out));
  EXPECT_EQ(out, std::string("{\n") + kAcrPlaceholder + kEventPlaceholder +
                     "   \"EventType\" : 5,\n"
                     "   \"MatchType\" : 2\n"
                     "}\n");
  EXPECT_EQ(LoggedLines(), Lines{});
}

TEST_F(SingleReport, EmptyTextsBecomeEmptyStrings) {
  BI_ST_ACRINFO acr = AcrInfo("", "", 0, "", "", 0, 0, 0);
  BI_ST_EVENTINFO event = EventInfo(0, "", 0, "", "");
  std::string out;
  EXPECT_TRUE(vomaxel().MakeAcrData(0, 0, &acr, &event, out));
  EXPECT_EQ(out,
            "{\n"
            "   \"ACRInfo\" : {\n"
            "      \"ContentId\" : \"\",\n"
            "      \"ContentMeta\" : \"\",\n"
            "      \"GlobalTime\" : 0,\n"
            "      \"KillSwitch\" : 0,\n"
            "      \"LiveTag\" : 0,\n"
            "      \"MediaTime\" : 0,\n"
            "      \"StationName\" : \"\",\n"
            "      \"StreamName\" : \"\"\n"
            "   },\n"
            "   \"EventInfo\" : {\n"
            "      \"GlobalTime\" : 0,\n"
            "      \"Key\" : \"\",\n"
            "      \"StreamId\" : \"\",\n"
            "      \"Type\" : 0,\n"
            "      \"Value\" : \"\"\n"
            "   },\n"
            "   \"EventType\" : 0,\n"
            "   \"MatchType\" : 0\n"
            "}\n");
  EXPECT_EQ(LoggedLines(), (Lines{Line(kSingle, " pAcrInfo->szContentMeta : "),
                                  Line(kSingle, "pAcrInfo->szContentMeta : "),
                                  Line(kSingle, "pEventInfo->szValue : "),
                                  Line(kSingle, "parsingSuccesssful is false")}));
}

TEST_F(SingleReport, CopiesIntegersWithUnsignedGlobalTimes) {
  BI_ST_ACRINFO acr =
      AcrInfo("KBS \"1\"", "line\tA", 4294967295u, "C-1", "{}", -1, 2147483647, -2147483647 - 1);
  BI_ST_EVENTINFO event = EventInfo(-1, "S-9", 4294967295u, "ad", "NULL");
  std::string out;
  EXPECT_TRUE(vomaxel().MakeAcrData(-1, 2147483647, &acr, &event, out));
  EXPECT_EQ(out,
            "{\n"
            "   \"ACRInfo\" : {\n"
            "      \"ContentId\" : \"C-1\",\n"
            "      \"ContentMeta\" : {},\n"
            "      \"GlobalTime\" : 4294967295,\n"
            "      \"KillSwitch\" : 2147483647,\n"
            "      \"LiveTag\" : -2147483648,\n"
            "      \"MediaTime\" : -1,\n"
            "      \"StationName\" : \"KBS \\\"1\\\"\",\n"
            "      \"StreamName\" : \"line\\tA\"\n"
            "   },\n"
            "   \"EventInfo\" : {\n"
            "      \"GlobalTime\" : 4294967295,\n"
            "      \"Key\" : \"ad\",\n"
            "      \"StreamId\" : \"S-9\",\n"
            "      \"Type\" : -1,\n"
            "      \"Value\" : \"NULL\"\n"
            "   },\n"
            "   \"EventType\" : 2147483647,\n"
            "   \"MatchType\" : -1\n"
            "}\n");
  EXPECT_EQ(LoggedLines(), Lines{Line(kSingle, " pAcrInfo->szContentMeta : {}")});
}

struct MetaCase {
  std::string text;
  const char* written;  // "ContentMeta" as the report writes it
  bool asString;        // carried as its text, with the second log line
  std::string loggedText;
};

TEST_F(SingleReport, ContentMetaIsEmbeddedWhenItParsesToANonNullValue) {
  const MetaCase cases[] = {
      {"{\"a\":1}", "{\n         \"a\" : 1\n      }", false, "{\"a\":1}"},
      {"42", "42", false, "42"},
      {"[1, \"two\"]", "[ 1, \"two\" ]", false, "[1, \"two\"]"},
      {"{\"a\":1 // note\n}", "{\n         \"a\" : 1 // note\n      }", false,
       "{\"a\":1 // note\n}"},
      {std::string("\"ab\0c\"", 6), "\"ab\\u0000c\"", false, "\"ab"},  // parsed whole
      {"null", "\"null\"", true, "null"},
      {"", "\"\"", true, ""},
      {"NULL", "\"NULL\"", true, "NULL"},
      {"plain text", "\"plain text\"", true, "plain text"},
      {std::string("\0" "42", 3), "\"\\u000042\"", true, ""},
      {kDeep, nullptr, true, kDeep},
  };
  for (const MetaCase& c : cases) {
    SCOPED_TRACE(c.text);
    ClearLog();
    BI_ST_ACRINFO acr = AcrInfo("KBS1", "Stream A", 100, "C-1", c.text, 200, 0, 1);
    const std::string written = c.written != nullptr ? c.written : "\"" + kDeep + "\"";
    std::string out;
    EXPECT_TRUE(vomaxel().MakeAcrData(1, 0, &acr, nullptr, out));
    EXPECT_EQ(out, "{\n"
                   "   \"ACRInfo\" : {\n"
                   "      \"ContentId\" : \"C-1\",\n"
                   "      \"ContentMeta\" : " + written + ",\n"
                   "      \"GlobalTime\" : 100,\n"
                   "      \"KillSwitch\" : 0,\n"
                   "      \"LiveTag\" : 1,\n"
                   "      \"MediaTime\" : 200,\n"
                   "      \"StationName\" : \"KBS1\",\n"
                   "      \"StreamName\" : \"Stream A\"\n"
                   "   },\n" +
                       kEventPlaceholder +
                       "   \"EventType\" : 0,\n"
                       "   \"MatchType\" : 1\n"
                       "}\n");
    Lines expected{Line(kSingle, " pAcrInfo->szContentMeta : " + c.loggedText)};
    if (c.asString) expected.push_back(Line(kSingle, "pAcrInfo->szContentMeta : " + c.loggedText));
    EXPECT_EQ(LoggedLines(), expected);
  }
}

// A line comment ending in a blank after a value: written back as it was, the
// next member would land on the comment's line.
TEST_F(SingleReport, MendsAContentMetaCommentThatWouldHideTheNextMember) {
  BI_ST_ACRINFO acr = AcrInfo("KBS1", "Stream A", 100, "C-1", "[]/// ", 200, 0, 1);
  std::string out;
  EXPECT_TRUE(vomaxel().MakeAcrData(1, 0, &acr, nullptr, out));
  EXPECT_EQ(out, std::string("{\n"
                 "   \"ACRInfo\" : {\n"
                 "      \"ContentId\" : \"C-1\",\n"
                 "      \"ContentMeta\" : [], ///\n"
                 "      \"GlobalTime\" : 100,\n"
                 "      \"KillSwitch\" : 0,\n"
                 "      \"LiveTag\" : 1,\n"
                 "      \"MediaTime\" : 200,\n"
                 "      \"StationName\" : \"KBS1\",\n"
                 "      \"StreamName\" : \"Stream A\"\n"
                 "   },\n") +
                     kEventPlaceholder +
                     "   \"EventType\" : 0,\n"
                     "   \"MatchType\" : 1\n"
                     "}\n");
}

const char kAdFromEmptyObject[] =
    "{\n"
    "         \"AdMediaTime\" : null,\n"
    "         \"AdURI\" : null,\n"
    "         \"ContentId\" : null,\n"
    "         \"ContentTitle\" : null,\n"
    "         \"ContentType\" : null,\n"
    "         \"PromptDuration\" : null,\n"
    "         \"ReoccurrenceDuration\" : 0\n"
    "      }";

struct ValueCase {
  std::string text;
  const char* written;  // "Value" as the report writes it
  Lines logged;         // messages after the signature and line
};

TEST_F(SingleReport, ValueIsTheMarkerTheAdObjectOrTheText) {
  const std::string parseFailed = "parsingSuccesssful is false";
  const ValueCase cases[] = {
      {"NULL", "\"NULL\"", {}},
      {"\"NULL\"", "\"NULL\"", {}},
      {"Null", "\"Null\"", {"pEventInfo->szValue : Null", parseFailed}},
      {"null", "\"null\"", {"pEventInfo->szValue : null", parseFailed}},
      {std::string("NULL\0", 5), "\"NULL\\u0000\"", {"pEventInfo->szValue : NULL", parseFailed}},
      {"{}", kAdFromEmptyObject, {"pEventInfo->szValue : {}"}},
      {"{\"AdURI\":\"http://ad/1\",\"AdMediaTime\":1500,\"ContentId\":\"AD-1\","
       "\"ContentType\":[\"video\",2],\"PromptDuration\":{\"s\":5},"
       "\"ReoccurrenceDuration\":30,\"Campaign\":true}",
       "{\n"
       "         \"AdMediaTime\" : 1500,\n"
       "         \"AdURI\" : \"http://ad/1\",\n"
       "         \"ContentId\" : \"AD-1\",\n"
       "         \"ContentTitle\" : null,\n"
       "         \"ContentType\" : [ \"video\", 2 ],\n"
       "         \"PromptDuration\" : {\n"
       "            \"s\" : 5\n"
       "         },\n"
       "         \"ReoccurrenceDuration\" : 0\n"
       "      }",
       {"pEventInfo->szValue : {\"AdURI\":\"http://ad/1\",\"AdMediaTime\":1500,"
        "\"ContentId\":\"AD-1\",\"ContentType\":[\"video\",2],\"PromptDuration\":{\"s\":5},"
        "\"ReoccurrenceDuration\":30,\"Campaign\":true}"}},
      // Values other than objects have no members to copy: carried as text.
      {"[1,2]", "\"[1,2]\"", {"pEventInfo->szValue : [1,2]", parseFailed}},
      {"42", "\"42\"", {"pEventInfo->szValue : 42", parseFailed}},
      {"\"ad\"", "\"\\\"ad\\\"\"", {"pEventInfo->szValue : \"ad\"", parseFailed}},
      {"true", "\"true\"", {"pEventInfo->szValue : true", parseFailed}},
      {"{\"AdURI\":", "\"{\\\"AdURI\\\":\"", {"pEventInfo->szValue : {\"AdURI\":", parseFailed}},
      {kDeep, nullptr, {"pEventInfo->szValue : " + kDeep, parseFailed}},
  };
  for (const ValueCase& c : cases) {
    SCOPED_TRACE(c.text);
    ClearLog();
    BI_ST_EVENTINFO event = EventInfo(4, "S-9", 300, "ad", c.text);
    const std::string written = c.written != nullptr ? c.written : "\"" + kDeep + "\"";
    std::string out;
    EXPECT_TRUE(vomaxel().MakeAcrData(1, 0, nullptr, &event, out));
    EXPECT_EQ(out, std::string("{\n") + kAcrPlaceholder +
                       "   \"EventInfo\" : {\n"
                       "      \"GlobalTime\" : 300,\n"
                       "      \"Key\" : \"ad\",\n"
                       "      \"StreamId\" : \"S-9\",\n"
                       "      \"Type\" : 4,\n"
                       "      \"Value\" : " + written + "\n"
                       "   },\n"
                       "   \"EventType\" : 0,\n"
                       "   \"MatchType\" : 1\n"
                       "}\n");
    Lines expected;
    for (const std::string& message : c.logged) expected.push_back(Line(kSingle, message));
    EXPECT_EQ(LoggedLines(), expected);
  }
}

class BatchedReport : public ReportTest {};

TEST_F(BatchedReport, MissingOrEmptyListsAreNull) {
  std::vector<BI_ST_ACRINFO> noAcr;
  std::vector<BI_ST_EVENTINFO> noEvents;
  const std::pair<std::vector<BI_ST_ACRINFO>*, std::vector<BI_ST_EVENTINFO>*> cases[] = {
      {nullptr, nullptr}, {&noAcr, &noEvents}, {nullptr, &noEvents}, {&noAcr, nullptr}};
  for (const auto& c : cases) {
    std::string out = "an earlier report";
    EXPECT_TRUE(vomaxel().MakeAcrData(1, 2, 3, c.first, c.second, out));
    EXPECT_EQ(out,
              "{\n"
              "   \"ACRInfo\" : null,\n"
              "   \"Engine\" : 1,\n"
              "   \"EventInfo\" : null,\n"
              "   \"EventType\" : 3,\n"
              "   \"MatchType\" : 2\n"
              "}\n");
  }
  EXPECT_EQ(LoggedLines(), Lines{});
}

TEST_F(BatchedReport, HoldsOneObjectPerRecordInOrder) {
  std::vector<BI_ST_ACRINFO> acr = {
      AcrInfo("A", "a1", 1, "c1", "{\"n\":1}", 10, 0, 0),
      AcrInfo("B", "b1", 4294967295u, "c2", "plain", -1, 1, 1),
      AcrInfo("C", "c1", 3, "c3", "", 30, 0, 2),
  };
  std::vector<BI_ST_EVENTINFO> events = {
      EventInfo(1, "S1", 5, "k1", "NULL"),
      EventInfo(2, "S2", 6, "k2", "{\"AdURI\":\"u\"}"),
  };
  std::string out;
  EXPECT_TRUE(vomaxel().MakeAcrData(7, 4, 3, &acr, &events, out));
  EXPECT_EQ(out,
            "{\n"
            "   \"ACRInfo\" : [\n"
            "      {\n"
            "         \"ContentId\" : \"c1\",\n"
            "         \"ContentMeta\" : {\n"
            "            \"n\" : 1\n"
            "         },\n"
            "         \"GlobalTime\" : 1,\n"
            "         \"KillSwitch\" : 0,\n"
            "         \"LiveTag\" : 0,\n"
            "         \"MediaTime\" : 10,\n"
            "         \"StationName\" : \"A\",\n"
            "         \"StreamName\" : \"a1\"\n"
            "      },\n"
            "      {\n"
            "         \"ContentId\" : \"c2\",\n"
            "         \"ContentMeta\" : \"plain\",\n"
            "         \"GlobalTime\" : 4294967295,\n"
            "         \"KillSwitch\" : 1,\n"
            "         \"LiveTag\" : 1,\n"
            "         \"MediaTime\" : -1,\n"
            "         \"StationName\" : \"B\",\n"
            "         \"StreamName\" : \"b1\"\n"
            "      },\n"
            "      {\n"
            "         \"ContentId\" : \"c3\",\n"
            "         \"ContentMeta\" : \"\",\n"
            "         \"GlobalTime\" : 3,\n"
            "         \"KillSwitch\" : 0,\n"
            "         \"LiveTag\" : 2,\n"
            "         \"MediaTime\" : 30,\n"
            "         \"StationName\" : \"C\",\n"
            "         \"StreamName\" : \"c1\"\n"
            "      }\n"
            "   ],\n"
            "   \"Engine\" : 7,\n"
            "   \"EventInfo\" : [\n"
            "      {\n"
            "         \"GlobalTime\" : 5,\n"
            "         \"Key\" : \"k1\",\n"
            "         \"StreamId\" : \"S1\",\n"
            "         \"Type\" : 1,\n"
            "         \"Value\" : \"NULL\"\n"
            "      },\n"
            "      {\n"
            "         \"GlobalTime\" : 6,\n"
            "         \"Key\" : \"k2\",\n"
            "         \"StreamId\" : \"S2\",\n"
            "         \"Type\" : 2,\n"
            "         \"Value\" : {\n"
            "            \"AdMediaTime\" : null,\n"
            "            \"AdURI\" : \"u\",\n"
            "            \"ContentId\" : null,\n"
            "            \"ContentTitle\" : null,\n"
            "            \"ContentType\" : null,\n"
            "            \"PromptDuration\" : null,\n"
            "            \"ReoccurrenceDuration\" : 0\n"
            "         }\n"
            "      }\n"
            "   ],\n"
            "   \"EventType\" : 3,\n"
            "   \"MatchType\" : 4\n"
            "}\n");
  EXPECT_EQ(LoggedLines(), (Lines{Line(kBatched, " pAcrInfo->szContentMeta : {\"n\":1}"),
                                  Line(kBatched, " pAcrInfo->szContentMeta : plain"),
                                  Line(kBatched, "pAcrInfo->szContentMeta : plain"),
                                  Line(kBatched, " pAcrInfo->szContentMeta : "),
                                  Line(kBatched, "pAcrInfo->szContentMeta : "),
                                  Line(kBatched, "pEventInfo->szValue : {\"AdURI\":\"u\"}")}));
}

TEST_F(BatchedReport, CarriesAValueThatIsNoObjectAsText) {
  std::vector<BI_ST_EVENTINFO> events = {EventInfo(0, "", 0, "", "[1]")};
  std::string out;
  EXPECT_TRUE(vomaxel().MakeAcrData(0, 0, 0, nullptr, &events, out));
  EXPECT_EQ(out,
            "{\n"
            "   \"ACRInfo\" : null,\n"
            "   \"Engine\" : 0,\n"
            "   \"EventInfo\" : [\n"
            "      {\n"
            "         \"GlobalTime\" : 0,\n"
            "         \"Key\" : \"\",\n"
            "         \"StreamId\" : \"\",\n"
            "         \"Type\" : 0,\n"
            "         \"Value\" : \"[1]\"\n"
            "      }\n"
            "   ],\n"
            "   \"EventType\" : 0,\n"
            "   \"MatchType\" : 0\n"
            "}\n");
  EXPECT_EQ(LoggedLines(), (Lines{Line(kBatched, "pEventInfo->szValue : [1]"),
                                  Line(kBatched, "parsingSuccesssful is false")}));
}

}  // namespace
