// ACR data reports: MakeAcrData for one record pair and for lists of records,
// compared as whole report texts and whole log messages.
#include <string>
#include <vector>

#include "ReportLog.h"

namespace {

const char kSingle[] =
    "virtual bool Vomaxel::MakeAcrData(int, int, BI_ST_ACRINFO*, BI_ST_EVENTINFO*, std::string&)";
const char kBatched[] =
    "virtual bool Vomaxel::MakeAcrData(int, int, int, std::vector<_BI_ST_ACRINFO>*, "
    "std::vector<_BI_ST_EVENTINFO>*, std::string&)";

const std::string kAcrPlaceholder =
    R"({"ContentId":"NULL","ContentMeta":"NULL","GlobalTime":0,"KillSwitch":0,"LiveTag":0,)"
    R"("MediaTime":0,"StationName":"NULL","StreamName":"NULL"})";
const std::string kEventPlaceholder =
    R"({"Duration":0,"GlobalTime":0,"Key":"NULL","StreamId":"NULL","Type":0,"Value":"NULL"})";

// The ad object of a value whose only ad member is "AdURI", `uri` as JSON text.
std::string Ad(const std::string& uri) {
  return R"({"AdMediaTime":null,"AdURI":)" + uri +
         R"(,"ContentId":null,"ContentTitle":null,"ContentType":null,"PromptDuration":null,)"
         R"("ReoccurrenceDuration":0})";
}

using SingleReport = ReportTest;

// The whole text, as laid out, is one of acrhost's self-test answers.
TEST_F(SingleReport, WithoutRecordsHoldsPlaceholdersAndReplacesTheOutput) {
  std::string out = "an earlier report";
  EXPECT_TRUE(vomaxel().MakeAcrData(2, 5, nullptr, nullptr, out));
  EXPECT_EQ(out, Styled(R"({"ACRInfo":)" + kAcrPlaceholder + R"(,"EventInfo":)" +
                        kEventPlaceholder + R"(,"EventType":5,"MatchType":2})"));
  EXPECT_EQ(Logged(), Lines{});
}

constexpr bool kZeroRefused = jsoncpp::kRefusesControlCharacters;

struct MetaCase {
  std::string text;
  std::string written;  // "ContentMeta" as the report holds it
  bool asText;          // carried as its text, after a second log line
};

TEST_F(SingleReport, ContentMetaIsEmbeddedWhenItParsesToANonNullValue) {
  const MetaCase cases[] = {
      {R"({"a":1})", R"({"a":1})", false},
      {"42", "42", false},
      // Parsed whole; the zero byte is a control character in a string, which
      // 1.9.8 refuses.
      {Whole("\"ab\0c\""), kZeroRefused ? R"("\"ab\u0000c\"")" : R"("ab\u0000c")", kZeroRefused},
      // A line comment ending in a blank would put the next member on its line.
      {"[]/// ", "[] ///\n", false},
      {"null", R"("null")", true},
      {"", R"("")", true},
      {"NULL", R"("NULL")", true},
      {Whole("\0" "42"), R"("\u000042")", true},
  };
  for (const MetaCase& c : cases) {
    SCOPED_TRACE(c.text);
    ClearLog();
    BI_ST_ACRINFO acr{"KBS1", "Stream A", 4294967295u, "C-1", c.text, -1, 2, 1, -5};
    std::string out;
    EXPECT_TRUE(vomaxel().MakeAcrData(1, 0, &acr, nullptr, out));
    EXPECT_EQ(out, Styled(R"({"ACRInfo":{"ContentId":"C-1","ContentMeta":)" + c.written +
                          R"(,"GlobalTime":4294967295,"KillSwitch":2,"LiveTag":1,"MediaTime":-1,)"
                          R"("StationName":"KBS1","StreamName":"Stream A"},)"
                          R"("EventInfo":)" + kEventPlaceholder +
                          R"(,"EventType":0,"MatchType":1})"));
    // Two blanks before the first message, one before the second.
    const std::string logged = c.text.c_str();
    Lines expected{" pAcrInfo->szContentMeta : " + logged};
    if (c.asText) expected.push_back("pAcrInfo->szContentMeta : " + logged);
    EXPECT_EQ(Messages(kSingle), expected);
  }
}

enum Carried { kMarker, kAdObject, kText };

struct ValueCase {
  std::string text;
  std::string written;  // "Value" as the report holds it
  Carried carried;
};

TEST_F(SingleReport, ValueIsTheMarkerTheAdObjectOrTheText) {
  const ValueCase cases[] = {
      {"NULL", R"("NULL")", kMarker},
      {R"("NULL")", R"("NULL")", kMarker},
      {"Null", R"("Null")", kText},
      {"null", R"("null")", kText},
      {Whole("NULL\0"), R"("NULL\u0000")", kText},
      {"", R"("")", kText},
      {"{}", Ad("null"), kAdObject},
      {R"({"AdURI":"http://ad/1","AdMediaTime":1500,"ContentId":"AD-1","ContentType":["video",2],)"
       R"("PromptDuration":{"s":5},"ReoccurrenceDuration":30,"Campaign":true})",
       R"({"AdMediaTime":1500,"AdURI":"http://ad/1","ContentId":"AD-1","ContentTitle":null,
           "ContentType":["video",2],"PromptDuration":{"s":5},"ReoccurrenceDuration":0})",
       kAdObject},
      {Whole("{\"AdURI\":\"a\0b\"}"),  // parsed whole, as above
       kZeroRefused ? R"("{\"AdURI\":\"a\u0000b\"}")" : Ad(R"("a\u0000b")"),
       kZeroRefused ? kText : kAdObject},
      // Values other than objects have no members to copy: carried as text.
      {"[1,2]", R"("[1,2]")", kText},
      {"42", R"("42")", kText},
      {R"({"AdURI":)", R"("{\"AdURI\":")", kText},
  };
  for (const ValueCase& c : cases) {
    SCOPED_TRACE(c.text);
    ClearLog();
    BI_ST_EVENTINFO event{-4, "S-9", 4294967295u, -5, "ad", c.text};
    std::string out;
    EXPECT_TRUE(vomaxel().MakeAcrData(1, 0, nullptr, &event, out));
    EXPECT_EQ(out, Styled(R"({"ACRInfo":)" + kAcrPlaceholder +
                          R"(,"EventInfo":{"GlobalTime":4294967295,"Key":"ad","StreamId":"S-9",)"
                          R"("Type":-4,"Value":)" + c.written +
                          R"(},"EventType":0,"MatchType":1})"));
    Lines expected;
    const std::string logged = c.text.c_str();
    if (c.carried != kMarker) expected.push_back("pEventInfo->szValue : " + logged);
    if (c.carried == kText) expected.push_back("parsingSuccesssful is false");
    EXPECT_EQ(Messages(kSingle), expected);
  }
}

using BatchedReport = ReportTest;

TEST_F(BatchedReport, MissingOrEmptyListsAreNull) {
  std::vector<BI_ST_ACRINFO> noAcr;
  std::vector<BI_ST_EVENTINFO> noEvents;
  const std::pair<std::vector<BI_ST_ACRINFO>*, std::vector<BI_ST_EVENTINFO>*> cases[] = {
      {nullptr, nullptr}, {&noAcr, &noEvents}, {nullptr, &noEvents}, {&noAcr, nullptr}};
  for (const auto& c : cases) {
    std::string out = "an earlier report";
    EXPECT_TRUE(vomaxel().MakeAcrData(1, 2, 3, c.first, c.second, out));
    EXPECT_EQ(out, Styled(R"({"ACRInfo":null,"Engine":1,"EventInfo":null,"EventType":3,)"
                          R"("MatchType":2})"));
  }
  EXPECT_EQ(Logged(), Lines{});
}

TEST_F(BatchedReport, HoldsOneObjectPerRecordInOrder) {
  std::vector<BI_ST_ACRINFO> acr = {{"A", "a1", 1, "c1", R"({"n":1})", 10, 0, 0, -5},
                                    {"B", "b1", 4294967295u, "c2", "plain", -1, 1, 1, -5},
                                    {"C", "c1", 3, "c3", "", 30, 0, 2, -5}};
  std::vector<BI_ST_EVENTINFO> events = {{1, "S1", 5, -5, "k1", "NULL"},
                                         {2, "S2", 6, -5, "k2", R"({"AdURI":"u"})"},
                                         {3, "S3", 4294967295u, -5, "k3", "[1]"}};
  std::string out;
  EXPECT_TRUE(vomaxel().MakeAcrData(7, 4, 3, &acr, &events, out));
  EXPECT_EQ(out, Styled(R"({"ACRInfo":[
      {"ContentId":"c1","ContentMeta":{"n":1},"GlobalTime":1,"KillSwitch":0,"LiveTag":0,
       "MediaTime":10,"StationName":"A","StreamName":"a1"},
      {"ContentId":"c2","ContentMeta":"plain","GlobalTime":4294967295,"KillSwitch":1,"LiveTag":1,
       "MediaTime":-1,"StationName":"B","StreamName":"b1"},
      {"ContentId":"c3","ContentMeta":"","GlobalTime":3,"KillSwitch":0,"LiveTag":2,
       "MediaTime":30,"StationName":"C","StreamName":"c1"}],
    "Engine":7,
    "EventInfo":[
      {"GlobalTime":5,"Key":"k1","StreamId":"S1","Type":1,"Value":"NULL"},
      {"GlobalTime":6,"Key":"k2","StreamId":"S2","Type":2,"Value":)" + Ad(R"("u")") + R"(},
      {"GlobalTime":4294967295,"Key":"k3","StreamId":"S3","Type":3,"Value":"[1]"}],
    "EventType":3,"MatchType":4})"));
  EXPECT_EQ(Messages(kBatched), (Lines{" pAcrInfo->szContentMeta : {\"n\":1}",
                                       " pAcrInfo->szContentMeta : plain",
                                       "pAcrInfo->szContentMeta : plain",
                                       " pAcrInfo->szContentMeta : ",
                                       "pAcrInfo->szContentMeta : ",
                                       "pEventInfo->szValue : {\"AdURI\":\"u\"}",
                                       "pEventInfo->szValue : [1]",
                                       "parsingSuccesssful is false"}));
}

}  // namespace
