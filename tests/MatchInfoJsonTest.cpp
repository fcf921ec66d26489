// Match info JSON: ParserACRInfoJson and MakeACRInfoJson, compared as whole
// records and whole texts.
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "PluginFixture.h"

namespace {

const char kRejected[] =
    "[3] virtual bool Vomaxel::ParserACRInfoJson(const char*, ACR_MATCH_INFO&):101 "
    "Parsing error! pInJsonString = ";

// A record with a distinct value in every member, in declaration order.
const ACR_MATCH_INFO kFilled{
    "CH7", "caf\xc3\xa9", "P100", "Evening \"News\"", "25", "1200", "tms", "broadcast",
    "news\\weather", "alt-type", "A1|A2", "line one\nline two", "S9", "tab\there", 2, 1, 7, 1};

// Describe() of what the reader makes of an object without any of its
// members (texts `unknown`, integers 0), but for the lines in `changes`.
std::string ReadRecord(const std::string& changes, const std::string& unknown = "unknown") {
  std::istringstream lines(Describe(ACR_MATCH_INFO{}));
  std::string record;
  for (std::string line; std::getline(lines, line);) {
    const std::string name = line.substr(0, line.find('=') + 1);
    const size_t changed = ("\n" + changes).find("\n" + name);
    if (changed != std::string::npos) {
      line = changes.substr(changed, changes.find('\n', changed) - changed);
    } else if (name.compare(0, 2, "sz") == 0) {
      line += unknown;
    }
    record += line + "\n";
  }
  return record;
}

using MatchInfoReader = PluginTest;

// Members after comments with a stray "[" for a separator, more than the
// reader's nesting limit of them: none opens a level. The plug-in's own
// nesting limit counts each of them as one, and refuses the text.
const bool kStraysRead = jsoncpp::kAnySeparatorAfterComment && VOMAXEL_NESTING_LIMIT == 0;
std::string StraySeparators() {
  std::string text = "{\"matchCount\":3";
  for (int i = 0; i < 1001; ++i) text += " /**/ [ \"matchCount\":3";
  return text + "}";
}

TEST_F(MatchInfoReader, RejectsUnusableTextAndKeepsTheRecord) {
  std::vector<const char*> cases = {
      nullptr, "", "{}", "[]", "42", "null",
      "/* c */ {\"programId\":\"P1\"}",         // comments are not allowed
      "{\"programId\":",                       // broken off
      "[{\"programId\":\"P1\"}]",              // an array has no members to read
      // Values the conversions refuse.
      "{\"programId\":\"P1\",\"genre\":[1]}", "{\"channelName\":{}}", "{\"matchCount\":\"3\"}",
      "{\"eventType\":2147483648}", "{\"engineType\":-2147483649}", "{\"isEngineStopped\":1e10}",
  };
  const std::string strays = StraySeparators();
  if (!kStraysRead) cases.push_back(strays.c_str());
  for (const char* text : cases) {
    const std::string logged = text != nullptr ? text : "";
    SCOPED_TRACE(logged);
    ClearLog();
    ACR_MATCH_INFO record = kFilled;
    EXPECT_FALSE(vomaxel().ParserACRInfoJson(text, record));
    EXPECT_EQ(Describe(record), Describe(kFilled));
    EXPECT_EQ(Logged(), Lines{kRejected + logged});
  }
}

TEST_F(MatchInfoReader, AppliesDefaultsAndConversions) {
  std::vector<std::pair<std::string, const char*>> cases = {
      {"{\"matchCount\":3}", "nMatchCount=3"},
      {"{\"channelName\":null}", "szChannelName="},
      {"{\"genre\":true,\"source\":12,\"idType\":1.5,\"engineType\":-2.9,\"eventType\":true,"
       "\"isEngineStopped\":1.99}",
       "szIdType=1.5\nszSource=12\nszGenre=true\nnEngineType=-2\nnEventType=1\nbIsEngineStopped=1"},
      {"{\"isEngineStopped\":true,\"engineType\":2.9}", "nEngineType=2\nbIsEngineStopped=1"},
      {"{\"MatchCount\":5,\"ProgramId\":\"P1\",\"extra\":[1,{}]}", ""},
      {"{\"matchCount\":-1,\"eventType\":null}", "nMatchCount=4294967295"},
      {"{\"matchCount\":2147483647}", "nMatchCount=2147483647"},
      {"{\"programId\":\"P2\"} trailing", "szProgramId=P2"},
  };
  if (kStraysRead) cases.emplace_back(StraySeparators(), "nMatchCount=3");
  for (const auto& [text, changes] : cases) {
    SCOPED_TRACE(text);
    ACR_MATCH_INFO record = kFilled;
    EXPECT_TRUE(vomaxel().ParserACRInfoJson(text.c_str(), record));
    EXPECT_EQ(Describe(record), ReadRecord(changes));
  }
  EXPECT_EQ(Logged(), Lines{});

  ACR_STRING_UNKNOWN = "N/A";  // read at every call
  ACR_MATCH_INFO record;
  ASSERT_TRUE(vomaxel().ParserACRInfoJson("{\"eventType\":4}", record));
  EXPECT_EQ(Describe(record), ReadRecord("nEventType=4", "N/A"));
}

using MatchInfoWriter = PluginTest;

// Written out in full: the order, layout and escapes of the writer.
TEST_F(MatchInfoWriter, WritesEscapedTextsUnsignedNumbersAndTheEngineArgument) {
  ACR_MATCH_INFO record = kFilled;
  record.nMatchCount = 4294967295u;
  record.nEngineType = 5;
  record.nEventType = 4294967294u;
  record.bIsEngineStopped = 0x80000000u;
  EXPECT_EQ(vomaxel().MakeACRInfoJson(static_cast<MATCHING_ENGINE_TYPE>(2), record),
            "{\n"
            "   \"altContentId\" : \"A1|A2\",\n"
            "   \"altContentTitle\" : \"line one\\nline two\",\n"
            "   \"altIdType\" : \"alt-type\",\n"
            "   \"altStreamId\" : \"S9\",\n"
            "   \"bypassData\" : \"tab\\there\",\n"
            "   \"channelId\" : \"CH7\",\n" +
                std::string(jsoncpp::kEscapesNonAscii ? "   \"channelName\" : \"caf\\u00e9\",\n"
                                                      : "   \"channelName\" : \"caf\xc3\xa9\",\n") +
            "   \"engineType\" : 2,\n"
            "   \"eventType\" : 4294967294,\n"
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
  EXPECT_EQ(Logged(), Lines{});
}

TEST_F(MatchInfoWriter, ReaderGivesTheRecordBackWithTheEngineArgument) {
  const ACR_MATCH_INFO empty{};
  for (const auto& [original, stale] : {std::pair{kFilled, empty}, std::pair{empty, kFilled}}) {
    for (MATCHING_ENGINE_TYPE engine : {MATCHING_ENGINE_TYPE_UNKNOWN, MATCHING_ENGINE_TYPE_AUDIO}) {
      ACR_MATCH_INFO expected = original;
      expected.nEngineType = engine;
      ACR_MATCH_INFO readBack = stale;
      ASSERT_TRUE(vomaxel().ParserACRInfoJson(
          vomaxel().MakeACRInfoJson(engine, original).c_str(), readBack));
      EXPECT_EQ(Describe(readBack), Describe(expected));
    }
  }
}

}  // namespace
