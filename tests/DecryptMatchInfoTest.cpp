// DecryptMatchInfo: server answers built by the server simulator, compared as
// whole output texts, whole records and whole log line lists.
#include <string>

#include "DecodingFixture.h"

namespace {

using server::Key;
using server::Match;
using server::MatchAnswer;

const char kParsingError[] =
    "[3] virtual void Vomaxel::DecryptMatchInfo(const string&, ACR_MATCH_INFO&, std::string&):# "
    "Parsing error, inAcrInfo = ";
const char kMatchResultEmpty[] =
    "[3] virtual void Vomaxel::DecryptMatchInfo(const string&, ACR_MATCH_INFO&, std::string&):# "
    "matchResult is empty";
const char kFailedToDecrypt[] =
    "[3] virtual void Vomaxel::DecryptMatchInfo(const string&, ACR_MATCH_INFO&, std::string&):# "
    "Failed to decrypt matchInfo";
const char kPreviousOutput[] = "previous output";

// A record whose fourteen text members all hold `text`.
ACR_MATCH_INFO Uniform(const std::string& text) {
  ACR_MATCH_INFO r;
  for (std::string* member :
       {&r.szChannelId, &r.szChannelName, &r.szProgramId, &r.szProgramName, &r.szStartTime,
        &r.szMediaTime, &r.szIdType, &r.szSource, &r.szGenre, &r.szAltIdType, &r.szAltContentId,
        &r.szAltContentTitle, &r.szAltStreamId, &r.szBypassData}) {
    *member = text;
  }
  r.nMatchCount = 99;
  r.nEngineType = 5;
  r.nEventType = 6;
  r.bIsEngineStopped = 1;
  return r;
}

// What an answer without a usable match leaves: the integers are the
// record's own but for `matchCount`.
ACR_MATCH_INFO FailureValues(const std::string& unknown, const std::string& zero,
                             unsigned matchCount) {
  ACR_MATCH_INFO r = Uniform(unknown);
  r.szStartTime = zero;
  r.szMediaTime = zero;
  r.nMatchCount = matchCount;
  return r;
}

class DecryptMatchInfo : public DecodingTest {
 protected:
  // Runs `answer` on `record` with an output that holds kPreviousOutput.
  std::string Decrypt(const std::string& answer, ACR_MATCH_INFO& record) {
    std::string output = kPreviousOutput;
    vomaxel().DecryptMatchInfo(answer, record, output);
    return output;
  }
};

TEST_F(DecryptMatchInfo, SeveralMatchesUnderEitherKeyOrNeither) {
  const std::string answer = MatchAnswer(
      {{Key::kCurrent,
        R"({"contentId":"P1.10","contentTitle":"Morning News","streamId":"CH7.News",
            "altContentId":"A1","altContentTitle":"Alt One","altStreamId":"S1",
            "source":"broadcast","idType":"tms","contentOffset":1200,"genre":"news",
            "altIdType":"isan","bypassData":"b1"})"},
       {Key::kOld,
        R"({"contentId":"P2.20","contentTitle":"Quiz","streamId":"CH9.Fun","source":"cable",
            "idType":"tms","contentOffset":-1,"genre":"quiz","rating":"PG"})"},
       {Key::kForeign,
        R"({"contentId":"P3.30","contentTitle":"","streamId":"CH5.Film","contentOffset":7})"}},
      R"("queryTs":1700000000,"matchCounts":3,"status":"ok")");
  // Fields that decrypt under no key reach output and record as sent.
  const std::string contentId3 = server::Encrypt("P3.30", Key::kForeign);
  const std::string streamId3 = server::Encrypt("CH5.Film", Key::kForeign);

  ACR_MATCH_INFO record = Uniform("");
  EXPECT_EQ(Decrypt(answer, record),
            "{\n"
            "   \"matchCounts\" : 3,\n"
            "   \"matchResult\" : [\n"
            "      {\n"
            "         \"altContentId\" : \"A1\",\n"
            "         \"altContentTitle\" : \"Alt One\",\n"
            "         \"altIdType\" : \"isan\",\n"
            "         \"altStreamId\" : \"S1\",\n"
            "         \"bypassData\" : \"b1\",\n"
            "         \"contentId\" : \"P1.10\",\n"
            "         \"contentOffset\" : 1200,\n"
            "         \"contentTitle\" : \"Morning News\",\n"
            "         \"genre\" : \"news\",\n"
            "         \"idType\" : \"tms\",\n"
            "         \"source\" : \"broadcast\",\n"
            "         \"streamId\" : \"CH7.News\"\n"
            "      },\n"
            "      {\n"
            "         \"contentId\" : \"P2.20\",\n"
            "         \"contentOffset\" : -1,\n"
            "         \"contentTitle\" : \"Quiz\",\n"
            "         \"genre\" : \"quiz\",\n"
            "         \"idType\" : \"tms\",\n"
            "         \"rating\" : \"PG\",\n"
            "         \"source\" : \"cable\",\n"
            "         \"streamId\" : \"CH9.Fun\"\n"
            "      },\n"
            "      {\n"
            "         \"contentId\" : \"" + contentId3 + "\",\n"
            "         \"contentOffset\" : 7,\n"
            "         \"contentTitle\" : \"\",\n"
            "         \"streamId\" : \"" + streamId3 + "\"\n"
            "      }\n"
            "   ],\n"
            "   \"queryTs\" : 1700000000\n"
            "}\n");
  EXPECT_EQ(Describe(record),
            "szChannelId=CH7|CH9|" + streamId3 + "\n"
            "szChannelName=News|Fun|" + streamId3 + "\n"
            "szProgramId=P1|P2|" + contentId3 + "\n"
            "szProgramName=Morning News|Quiz|\n"
            "szStartTime=10|20|0\n"
            "szMediaTime=1200|4294967295|7\n"
            "szIdType=tms|tms|\n"
            "szSource=broadcast|cable|\n"
            "szGenre=news|quiz|\n"
            "szAltIdType=isan||\n"
            "szAltContentId=A1||\n"
            "szAltContentTitle=Alt One||\n"
            "szAltStreamId=S1||\n"
            "szBypassData=b1||\n"
            "nMatchCount=3\n"
            "nEngineType=5\n"
            "nEventType=6\n"
            "bIsEngineStopped=1\n");
  EXPECT_EQ(Log(), (Lines{kCurrentKeyRefused, kCurrentKeyRefused, kCurrentKeyRefused,
                          kCurrentKeyRefused, kOldKeyRefused, kFieldNotDecrypted,
                          kCurrentKeyRefused, kOldKeyRefused, kFieldNotDecrypted}));
}

struct DelimiterCase {
  const char* why;
  ACR_MATCH_INFO before;
  std::vector<Match> matches;
  std::string after;
};

TEST_F(DecryptMatchInfo, DelimiterPrecedesEachEntryThatFindsAProgrammeId) {
  ACR_MATCH_INFO onlyProgramme = Uniform("");
  onlyProgramme.szProgramId = "P0";
  const DelimiterCase cases[] = {
      {"an empty first contentId leaves nothing to separate",
       Uniform(""),
       {{Key::kCurrent, R"({"contentId":"","streamId":"CH1.A"})"},
        {Key::kCurrent, R"({"contentId":"P2.20","streamId":"CH2.B"})"},
        {Key::kCurrent, R"({"contentId":"P3.30"})"}},
       "szChannelId=CH1CH2|\n"
       "szChannelName=AB|\n"
       "szProgramId=P2|P3\n"
       "szProgramName=|\n"
       "szStartTime=020|30\n"
       "szMediaTime=00|0\n"
       "szIdType=|\n"
       "szSource=|\n"
       "szGenre=|\n"
       "szAltIdType=|\n"
       "szAltContentId=|\n"
       "szAltContentTitle=|\n"
       "szAltStreamId=|\n"
       "szBypassData=|\n"},
      {"a programme id on entry puts one before the first entry",
       onlyProgramme,
       {{Key::kCurrent, R"({"contentId":"P1.10","streamId":"CH1.A","contentOffset":5})"}},
       "szChannelId=|CH1\n"
       "szChannelName=|A\n"
       "szProgramId=P0|P1\n"
       "szProgramName=|\n"
       "szStartTime=|10\n"
       "szMediaTime=|5\n"
       "szIdType=|\n"
       "szSource=|\n"
       "szGenre=|\n"
       "szAltIdType=|\n"
       "szAltContentId=|\n"
       "szAltContentTitle=|\n"
       "szAltStreamId=|\n"
       "szBypassData=|\n"},
      {"text elsewhere is appended to without one",
       [] {
         ACR_MATCH_INFO r = Uniform("x");
         r.szProgramId = "";
         return r;
       }(),
       {{Key::kCurrent, R"({"contentId":"P1.10","streamId":"CH1.A","genre":"g"})"}},
       "szChannelId=xCH1\n"
       "szChannelName=xA\n"
       "szProgramId=P1\n"
       "szProgramName=x\n"
       "szStartTime=x10\n"
       "szMediaTime=x0\n"
       "szIdType=x\n"
       "szSource=x\n"
       "szGenre=xg\n"
       "szAltIdType=x\n"
       "szAltContentId=x\n"
       "szAltContentTitle=x\n"
       "szAltStreamId=x\n"
       "szBypassData=x\n"},
  };
  for (const DelimiterCase& c : cases) {
    SCOPED_TRACE(c.why);
    ACR_MATCH_INFO record = c.before;
    Decrypt(MatchAnswer(c.matches), record);
    EXPECT_EQ(Describe(record), c.after + "nMatchCount=" + std::to_string(c.matches.size()) +
                                    "\nnEngineType=5\nnEventType=6\nbIsEngineStopped=1\n");
  }
  EXPECT_EQ(Log(), Lines{});
}

TEST_F(DecryptMatchInfo, ConstantTextsAreTheHostsAtCallTime) {
  ACR_STRING_EMPTY = "n/a";
  ACR_STRING_UNKNOWN = "?";
  ACR_STRING_ZERO = "zero";
  ACR_STRING_MULTI_DELIMITER = " ; ";
  // An absent encrypted member reads as "n/a", which is decoded (and fails).
  ACR_MATCH_INFO record = Uniform("");
  EXPECT_EQ(Decrypt(MatchAnswer({{Key::kCurrent, R"({"contentId":"P1","streamId":"CH1.A"})"},
                                 {Key::kCurrent, R"({"contentId":"P2.20","streamId":"CH2"})"}}),
                    record),
            "{\n"
            "   \"matchCounts\" : null,\n"
            "   \"matchResult\" : [\n"
            "      {\n"
            "         \"altContentId\" : \"n/a\",\n"
            "         \"altContentTitle\" : \"n/a\",\n"
            "         \"altStreamId\" : \"n/a\",\n"
            "         \"contentId\" : \"P1\",\n"
            "         \"contentTitle\" : \"n/a\",\n"
            "         \"streamId\" : \"CH1.A\"\n"
            "      },\n"
            "      {\n"
            "         \"altContentId\" : \"n/a\",\n"
            "         \"altContentTitle\" : \"n/a\",\n"
            "         \"altStreamId\" : \"n/a\",\n"
            "         \"contentId\" : \"P2.20\",\n"
            "         \"contentTitle\" : \"n/a\",\n"
            "         \"streamId\" : \"CH2\"\n"
            "      }\n"
            "   ],\n"
            "   \"queryTs\" : null\n"
            "}\n");
  EXPECT_EQ(Describe(record),
            "szChannelId=CH1 ; CH2\n"
            "szChannelName=A ; CH2\n"
            "szProgramId=P1 ; P2\n"
            "szProgramName=n/a ; n/a\n"
            "szStartTime=0 ; 20\n"
            "szMediaTime=0 ; 0\n"
            "szIdType=n/a ; n/a\n"
            "szSource=n/a ; n/a\n"
            "szGenre=n/a ; n/a\n"
            "szAltIdType=n/a ; n/a\n"
            "szAltContentId=n/a ; n/a\n"
            "szAltContentTitle=n/a ; n/a\n"
            "szAltStreamId=n/a ; n/a\n"
            "szBypassData=n/a ; n/a\n"
            "nMatchCount=2\nnEngineType=5\nnEventType=6\nbIsEngineStopped=1\n");
  EXPECT_EQ(Log(), Lines(8, kFieldNotBase64));

  record = Uniform("x");
  Decrypt("{\"matchResult\":[]}", record);
  EXPECT_EQ(Describe(record), Describe(FailureValues("?", "zero", 99)));
}

struct FailureCase {
  const char* why;
  std::string answer;
  unsigned matchCount;  // what the record holds afterwards; it held 99
  Lines log;
};

TEST_F(DecryptMatchInfo, AnswersWithoutUsableMatchesLeaveFailureValues) {
  const FailureCase cases[] = {
      {"no matchResult", R"({"queryTs":1})", 99, {kMatchResultEmpty}},
      {"null", R"({"matchResult":null})", 99, {kMatchResultEmpty}},
      {"empty array", R"({"matchResult":[]})", 99, {kMatchResultEmpty}},
      {"empty object", R"({"matchResult":{}})", 99, {kMatchResultEmpty}},
      {"text", R"({"matchResult":"P1.10"})", 0, {kFailedToDecrypt}},
      {"empty text", R"({"matchResult":""})", 0, {kFailedToDecrypt}},
      {"number", R"({"matchResult":7})", 0, {kFailedToDecrypt}},
      {"false", R"({"matchResult":false})", 0, {kFailedToDecrypt}},
      {"non-empty object", R"({"matchResult":{"0":{"contentId":"P1"}}})", 0, {kFailedToDecrypt}},
      // Values jsoncpp will not convert fail the answer once the walk has counted it.
      {"entry that is a number", R"({"matchResult":[1]})", 1, {kFailedToDecrypt}},
      {"entry that is an array", R"({"matchResult":[[]]})", 1, {kFailedToDecrypt}},
      {"encrypted member that is an array", R"({"matchResult":[{"contentId":["x"]}]})", 1,
       {kFailedToDecrypt}},
      {"encrypted member that is an object", R"({"matchResult":[{"altStreamId":{}}]})", 1,
       {kFailedToDecrypt}},
      {"plain member that is an array", R"({"matchResult":[{"genre":[]}]})", 1,
       {kFailedToDecrypt}},
      {"offset as text", R"({"matchResult":[{"contentOffset":"12"}]})", 1, {kFailedToDecrypt}},
      {"offset beyond int", R"({"matchResult":[{"contentOffset":2147483648}]})", 1,
       {kFailedToDecrypt}},
      {"real offset beyond int", R"({"matchResult":[{"contentOffset":1e10}]})", 1,
       {kFailedToDecrypt}},
      {"second entry refused after the first was mapped",
       R"({"matchResult":[{"contentId":"abc"},{"bypassData":{}}],"queryTs":1})", 2,
       {kFieldNotBase64, kFailedToDecrypt}},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.why);
    ClearLog();
    ACR_MATCH_INFO record = Uniform("x");
    EXPECT_EQ(Decrypt(c.answer, record), kPreviousOutput);
    EXPECT_EQ(Describe(record), Describe(FailureValues("unknown", "0", c.matchCount)));
    EXPECT_EQ(Log(), c.log);
  }
}

TEST_F(DecryptMatchInfo, UnusableTextLeavesRecordAndOutputAlone) {
  const std::string valid = MatchAnswer({{Key::kCurrent, R"({"contentId":"P1.10"})"}});
  const std::string cases[] = {
      "",
      "{}",
      "[]",
      "null",
      "42",
      "\"text\"",
      "{\"matchResult\":[",
      "/* comment */ " + valid,
      "[" + valid + "]",
      "{\"a\":" + std::string(1100, '['),
  };
  for (const std::string& text : cases) {
    SCOPED_TRACE(text);
    ClearLog();
    ACR_MATCH_INFO record = Uniform("x");
    EXPECT_EQ(Decrypt(text, record), kPreviousOutput);
    EXPECT_EQ(Describe(record), Describe(Uniform("x")));
    EXPECT_EQ(Log(), Lines{kParsingError + text});
  }
}

TEST_F(DecryptMatchInfo, TextEndsAtItsFirstNul) {
  const std::string valid = MatchAnswer({{Key::kCurrent, R"({"contentId":"P1.10"})"}});
  ACR_MATCH_INFO record = Uniform("");
  EXPECT_EQ(Decrypt(valid + std::string("\0{\"matchResult\":", 16), record),
            "{\n"
            "   \"matchCounts\" : null,\n"
            "   \"matchResult\" : [\n"
            "      {\n"
            "         \"contentId\" : \"P1.10\"\n"
            "      }\n"
            "   ],\n"
            "   \"queryTs\" : null\n"
            "}\n");
  EXPECT_EQ(record.szProgramId, "P1");

  // Whole, the text would parse: the NUL byte sits inside a string.
  const std::string cut = "{\"matchResult\":[{\"source\":\"P1";
  record = Uniform("x");
  EXPECT_EQ(Decrypt(cut + std::string("\0.10\"}]}", 8), record), kPreviousOutput);
  EXPECT_EQ(Describe(record), Describe(Uniform("x")));
  EXPECT_EQ(Log(), Lines{kParsingError + cut});
}

TEST_F(DecryptMatchInfo, CopiesQueryTsAndMatchCountsAsTheyAre) {
  ACR_MATCH_INFO record = Uniform("");
  EXPECT_EQ(Decrypt(MatchAnswer({{Key::kCurrent, R"({"contentId":"P1.10"})"}},
                                R"("matchCounts":{"video":1,"audio":[0]},"queryTs":"late",)"
                                R"("matchResults":[],"extra":1)"),
                    record),
            "{\n"
            "   \"matchCounts\" : {\n"
            "      \"audio\" : [ 0 ],\n"
            "      \"video\" : 1\n"
            "   },\n"
            "   \"matchResult\" : [\n"
            "      {\n"
            "         \"contentId\" : \"P1.10\"\n"
            "      }\n"
            "   ],\n"
            "   \"queryTs\" : \"late\"\n"
            "}\n");
}

struct MappingCase {
  const char* plainEntry;
  const char* programId;
  const char* startTime;
  const char* channelId;
  const char* channelName;
  const char* source;
  const char* mediaTime;
};

TEST_F(DecryptMatchInfo, MapsEachEntryByTheSplitRules) {
  const MappingCase cases[] = {
      {R"({"contentId":"P100.25","streamId":"CH7.News","contentOffset":1200})",
       "P100", "25", "CH7", "News", "", "1200"},
      {R"({"contentId":"P100"})", "P100", "0", "", "", "", "0"},
      {R"({"contentId":".P100"})", ".P100", "0", "", "", "", "0"},
      {R"({"contentId":"P100."})", "P100", "", "", "", "", "0"},
      {R"({"contentId":"A.B.C","streamId":"S.T.U"})", "A", "B.C", "S", "T.U", "", "0"},
      {R"({"streamId":".x","source":"antenna"})", "", "0", ".x", ".x", "antenna", "0"},
      {R"({"streamId":"","source":"tv.hd"})", "", "0", "", "", "tv.hd", "0"},
      {R"({"source":"tv.hd"})", "", "0", "tv", "hd", "tv.hd", "0"},
      {R"({"source":"antenna"})", "", "0", "antenna", "antenna", "antenna", "0"},
      {R"({"source":12})", "", "0", "12", "12", "12", "0"},
      {R"({"source":null})", "", "0", "", "", "", "0"},
      {R"({"contentOffset":-1})", "", "0", "", "", "", "4294967295"},
      {R"({"contentOffset":-2147483648})", "", "0", "", "", "", "2147483648"},
      {R"({"contentOffset":2147483647})", "", "0", "", "", "", "2147483647"},
      {R"({"contentOffset":1.9})", "", "0", "", "", "", "1"},
      {R"({"contentOffset":-1.5})", "", "0", "", "", "", "4294967295"},
      {R"({"contentOffset":true})", "", "0", "", "", "", "1"},
      {R"({"contentOffset":null})", "", "0", "", "", "", "0"},
  };
  for (const MappingCase& c : cases) {
    SCOPED_TRACE(c.plainEntry);
    ACR_MATCH_INFO record = Uniform("");
    Decrypt(MatchAnswer({{Key::kCurrent, c.plainEntry}}), record);
    ACR_MATCH_INFO expected = Uniform("");
    expected.szProgramId = c.programId;
    expected.szStartTime = c.startTime;
    expected.szChannelId = c.channelId;
    expected.szChannelName = c.channelName;
    expected.szSource = c.source;
    expected.szMediaTime = c.mediaTime;
    expected.nMatchCount = 1;
    EXPECT_EQ(Describe(record), Describe(expected));
  }
  EXPECT_EQ(Log(), Lines{});
}

// Members that are not text are read as text and decoded as such; the output
// then carries the text.
TEST_F(DecryptMatchInfo, NonTextEncryptedMembersAreReadAsText) {
  ACR_MATCH_INFO record = Uniform("");
  EXPECT_EQ(Decrypt(R"({"matchResult":[{"contentId":3.5,"streamId":true,"contentTitle":null,)"
                    R"("altContentId":1234,"altIdType":7}]})",
                    record),
            "{\n"
            "   \"matchCounts\" : null,\n"
            "   \"matchResult\" : [\n"
            "      {\n"
            "         \"altContentId\" : \"1234\",\n"
            "         \"altIdType\" : 7,\n"
            "         \"contentId\" : \"3.5\",\n"
            "         \"contentTitle\" : null,\n"
            "         \"streamId\" : \"true\"\n"
            "      }\n"
            "   ],\n"
            "   \"queryTs\" : null\n"
            "}\n");
  ACR_MATCH_INFO expected = Uniform("");
  expected.szProgramId = "3";
  expected.szStartTime = "5";
  expected.szChannelId = "true";
  expected.szChannelName = "true";
  expected.szMediaTime = "0";
  expected.szAltContentId = "1234";
  expected.szAltIdType = "7";
  expected.nMatchCount = 1;
  EXPECT_EQ(Describe(record), Describe(expected));
  // "true" and "1234" are Base64 texts of three bytes, which no key decrypts.
  EXPECT_EQ(Log(), (Lines{kFieldNotBase64, kCurrentKeyRefused, kOldKeyRefused, kFieldNotDecrypted,
                          kCurrentKeyRefused, kOldKeyRefused, kFieldNotDecrypted}));
}

}  // namespace
