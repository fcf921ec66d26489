// Match info JSON: ParserACRInfoJson and MakeACRInfoJson, compared as whole
// records and whole texts.
#include <string>

#include "PluginFixture.h"

namespace {

const char kRejected[] =
    "[3] virtual bool Vomaxel::ParserACRInfoJson(const char*, ACR_MATCH_INFO&):101 "
    "Parsing error! pInJsonString = ";

// A record with a distinct value in every member.
ACR_MATCH_INFO FilledRecord() {
  ACR_MATCH_INFO r;
  r.szChannelId = "CH7";
  r.szChannelName = "News";
  r.szProgramId = "P100";
  r.szProgramName = "Evening \"News\"";
  r.szStartTime = "25";
  r.szMediaTime = "1200";
  r.szIdType = "tms";
  r.szSource = "broadcast";
  r.szGenre = "news\\weather";
  r.szAltIdType = "alt-type";
  r.szAltContentId = "A1|A2";
  r.szAltContentTitle = "line one\nline two";
  r.szAltStreamId = "S9";
  r.szBypassData = "tab\there";
  r.nMatchCount = 2;
  r.nEngineType = 1;
  r.nEventType = 7;
  r.bIsEngineStopped = 1;
  return r;
}

// A record whose fourteen text members all hold `text`, with these integers.
ACR_MATCH_INFO Uniform(const std::string& text, unsigned matchCount, int engineType,
                       unsigned eventType, unsigned stopped) {
  ACR_MATCH_INFO r;
  for (std::string* member :
       {&r.szChannelId, &r.szChannelName, &r.szProgramId, &r.szProgramName, &r.szStartTime,
        &r.szMediaTime, &r.szIdType, &r.szSource, &r.szGenre, &r.szAltIdType, &r.szAltContentId,
        &r.szAltContentTitle, &r.szAltStreamId, &r.szBypassData}) {
    *member = text;
  }
  r.nMatchCount = matchCount;
  r.nEngineType = engineType;
  r.nEventType = eventType;
  r.bIsEngineStopped = stopped;
  return r;
}

class MatchInfoReader : public PluginTest {};

struct Rejection {
  const char* why;
  std::string text;
};

TEST_F(MatchInfoReader, RejectsUnusableTextAndKeepsTheRecord) {
  const Rejection cases[] = {
      {"empty text", ""},
      {"empty object", "{}"},
      {"empty array", "[]"},
      {"bare number", "42"},
      {"bare string", "\"programId\""},
      {"null", "null"},
      {"comment before the object", "/* c */ {\"programId\":\"P1\"}"},
      {"broken object", "{\"programId\":"},
      {"non-empty array", "[{\"programId\":\"P1\"}]"},
      {"array under a string key", "{\"programId\":\"P1\",\"genre\":[1]}"},
      {"object under a string key", "{\"channelName\":{}}"},
      {"string under an integer key", "{\"matchCount\":\"3\"}"},
      {"number above int range", "{\"eventType\":2147483648}"},
      {"number below int range", "{\"engineType\":-2147483649}"},
      {"real out of range", "{\"isEngineStopped\":1e10}"},
      {"nesting past the reader's limit", "{\"a\":" + std::string(1100, '[')},
  };
  for (const Rejection& c : cases) {
    SCOPED_TRACE(c.why);
    ClearLog();
    ACR_MATCH_INFO record = FilledRecord();
    EXPECT_FALSE(vomaxel().ParserACRInfoJson(c.text.c_str(), record));
    EXPECT_EQ(Describe(record), Describe(FilledRecord()));
    EXPECT_EQ(Logged(), Lines{kRejected + c.text});
  }
}

TEST_F(MatchInfoReader, RejectsNullPointerLikeEmptyText) {
  ACR_MATCH_INFO record = FilledRecord();
  EXPECT_FALSE(vomaxel().ParserACRInfoJson(nullptr, record));
  EXPECT_EQ(Describe(record), Describe(FilledRecord()));
  EXPECT_EQ(Logged(), Lines{kRejected});
}

struct Accepted {
  const char* text;
  ACR_MATCH_INFO expected;
};

TEST_F(MatchInfoReader, AppliesDefaultsAndConversions) {
  ACR_MATCH_INFO nullName = Uniform("unknown", 0, 0, 0, 0);
  nullName.szChannelName = "";
  ACR_MATCH_INFO scalars = Uniform("unknown", 0, -2, 1, 1);
  scalars.szGenre = "true";
  scalars.szSource = "12";
  scalars.szIdType = "1.5";
  const Accepted cases[] = {
      {"{\"matchCount\":3}", Uniform("unknown", 3, 0, 0, 0)},
      {"{\"channelName\":null}", nullName},
      {"{\"genre\":true,\"source\":12,\"idType\":1.5,\"engineType\":-2.9,\"eventType\":true,"
       "\"isEngineStopped\":1.99}",
       scalars},
      {"{\"isEngineStopped\":true,\"engineType\":2.9}", Uniform("unknown", 0, 2, 0, 1)},
      {"{\"MatchCount\":5,\"ProgramId\":\"P1\",\"extra\":[1,{}]}", Uniform("unknown", 0, 0, 0, 0)},
      {"{\"matchCount\":-1,\"eventType\":null}", Uniform("unknown", 4294967295u, 0, 0, 0)},
      {"{\"matchCount\":2147483647}", Uniform("unknown", 2147483647u, 0, 0, 0)},
  };
  for (const Accepted& c : cases) {
    SCOPED_TRACE(c.text);
    ACR_MATCH_INFO record = FilledRecord();
    EXPECT_TRUE(vomaxel().ParserACRInfoJson(c.text, record));
    EXPECT_EQ(Describe(record), Describe(c.expected));
  }
  EXPECT_EQ(Logged(), Lines{});
}

TEST_F(MatchInfoReader, DefaultTextIsTheHostsAtCallTime) {
  ACR_STRING_UNKNOWN = "N/A";
  ACR_MATCH_INFO record;
  ASSERT_TRUE(vomaxel().ParserACRInfoJson("{\"eventType\":4}", record));
  EXPECT_EQ(Describe(record), Describe(Uniform("N/A", 0, 0, 4, 0)));
}

TEST_F(MatchInfoReader, TextEndsAtItsFirstNulAndTrailingTextIsIgnored) {
  const char text[] = "{\"programId\":\"P1\"}\0garbage";
  ACR_MATCH_INFO record;
  ASSERT_TRUE(vomaxel().ParserACRInfoJson(text, record));
  EXPECT_EQ(record.szProgramId, "P1");
  ASSERT_TRUE(vomaxel().ParserACRInfoJson("{\"programId\":\"P2\"} trailing", record));
  EXPECT_EQ(record.szProgramId, "P2");
}

TEST_F(MatchInfoReader, AcceptsNestingJustBelowTheReadersLimit) {
  const std::string text =
      "{\"programId\":\"P1\",\"deep\":" + std::string(998, '[') + std::string(998, ']') + "}";
  ACR_MATCH_INFO record;
  EXPECT_TRUE(vomaxel().ParserACRInfoJson(text.c_str(), record));
  EXPECT_EQ(record.szProgramId, "P1");
}

class MatchInfoWriter : public PluginTest {};

TEST_F(MatchInfoWriter, WritesAnEmptyRecordWithAllEighteenKeysSorted) {
  EXPECT_EQ(vomaxel().MakeACRInfoJson(MATCHING_ENGINE_TYPE_VIDEO, Uniform("", 0, 0, 0, 0)),
            "{\n"
            "   \"altContentId\" : \"\",\n"
            "   \"altContentTitle\" : \"\",\n"
            "   \"altIdType\" : \"\",\n"
            "   \"altStreamId\" : \"\",\n"
            "   \"bypassData\" : \"\",\n"
            "   \"channelId\" : \"\",\n"
            "   \"channelName\" : \"\",\n"
            "   \"engineType\" : 0,\n"
            "   \"eventType\" : 0,\n"
            "   \"genre\" : \"\",\n"
            "   \"idType\" : \"\",\n"
            "   \"isEngineStopped\" : 0,\n"
            "   \"matchCount\" : 0,\n"
            "   \"mediaTime\" : \"\",\n"
            "   \"programId\" : \"\",\n"
            "   \"programName\" : \"\",\n"
            "   \"source\" : \"\",\n"
            "   \"startTime\" : \"\"\n"
            "}\n");
  EXPECT_EQ(Logged(), Lines{});
}

TEST_F(MatchInfoWriter, WritesEscapedTextsUnsignedCountsAndTheEngineArgument) {
  ACR_MATCH_INFO record = FilledRecord();
  record.nMatchCount = 4294967295u;
  record.nEngineType = 5;
  record.bIsEngineStopped = 0x80000000u;
  EXPECT_EQ(vomaxel().MakeACRInfoJson(static_cast<MATCHING_ENGINE_TYPE>(2), record),
            "{\n"
            "   \"altContentId\" : \"A1|A2\",\n"
            "   \"altContentTitle\" : \"line one\\nline two\",\n"
            "   \"altIdType\" : \"alt-type\",\n"
            "   \"altStreamId\" : \"S9\",\n"
            "   \"bypassData\" : \"tab\\there\",\n"
            "   \"channelId\" : \"CH7\",\n"
            "   \"channelName\" : \"News\",\n"
            "   \"engineType\" : 2,\n"
            "   \"eventType\" : 7,\n"
            "   \"genre\" : \"news\\\\weather\",\n"
            "   \"idType\" : \"tms\",\n"
            "   \"isEngineStopped\" : 2147483648,\n"
            "   \"matchCount\" : 4294967295,\n"
            "   \"mediaTime\" : \"1200\",\n"
            "   \"programId\" : \"P100\",\n"
            "   \"programName\" : \"Evening \\\"News\\\"\",\n"
            "   \"source\" : \"broadcast\",\n"
            "   \"startTime\" : \"25\"\n"
            "}\n");
}

TEST_F(MatchInfoWriter, ReaderGivesTheRecordBack) {
  const ACR_MATCH_INFO original = FilledRecord();
  for (MATCHING_ENGINE_TYPE engine : {MATCHING_ENGINE_TYPE_UNKNOWN, MATCHING_ENGINE_TYPE_AUDIO}) {
    ACR_MATCH_INFO expected = original;
    expected.nEngineType = engine;  // the argument is written, not the record's own
    ACR_MATCH_INFO readBack;
    ASSERT_TRUE(vomaxel().ParserACRInfoJson(
        vomaxel().MakeACRInfoJson(engine, original).c_str(), readBack));
    EXPECT_EQ(Describe(readBack), Describe(expected));
  }
  const ACR_MATCH_INFO empty = Uniform("", 0, 0, 0, 0);
  ACR_MATCH_INFO readBack = FilledRecord();
  ASSERT_TRUE(vomaxel().ParserACRInfoJson(
      vomaxel().MakeACRInfoJson(MATCHING_ENGINE_TYPE_VIDEO, empty).c_str(), readBack));
  EXPECT_EQ(Describe(readBack), Describe(empty));
}

// The writer escapes every non-ASCII character as \uXXXX; valid UTF-8 comes
// back unchanged, invalid UTF-8 cannot be carried and comes back as U+FFFD.
TEST_F(MatchInfoWriter, CarriesValidUtf8ButNotInvalidBytes) {
  ACR_MATCH_INFO record = Uniform("", 0, 0, 0, 0);
  record.szProgramName = "caf\xc3\xa9 \xe2\x82\xac";
  record.szGenre = "bad \xff";
  const std::string text = vomaxel().MakeACRInfoJson(MATCHING_ENGINE_TYPE_VIDEO, record);
  EXPECT_NE(text.find("\"programName\" : \"caf\\u00e9 \\u20ac\""), std::string::npos) << text;
  ACR_MATCH_INFO readBack;
  ASSERT_TRUE(vomaxel().ParserACRInfoJson(text.c_str(), readBack));
  EXPECT_EQ(readBack.szProgramName, record.szProgramName);
  EXPECT_EQ(readBack.szGenre, "bad \xef\xbf\xbd");
}

TEST_F(MatchInfoWriter, LargeUnsignedValuesAreRefusedWhenReadBack) {
  ACR_MATCH_INFO record = FilledRecord();
  record.nMatchCount = 4294967295u;
  const ACR_MATCH_INFO before = FilledRecord();
  ACR_MATCH_INFO target = before;
  const std::string text = vomaxel().MakeACRInfoJson(MATCHING_ENGINE_TYPE_VIDEO, record);
  EXPECT_FALSE(vomaxel().ParserACRInfoJson(text.c_str(), target));
  EXPECT_EQ(Describe(target), Describe(before));
  EXPECT_EQ(Logged(), Lines{kRejected + text});
}

}  // namespace
