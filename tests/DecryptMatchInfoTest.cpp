// DecryptMatchInfo: server answers built by the server simulator, compared as
// whole output texts, whole records and whole log line lists.
#include <string>

#include "DecodingFixture.h"

namespace {

using server::Key;
using server::Match;
using server::MatchAnswer;

const std::string kOwnLine =
    "[3] virtual void Vomaxel::DecryptMatchInfo(const string&, ACR_MATCH_INFO&, std::string&):# ";
const std::string kParsingError = kOwnLine + "Parsing error, inAcrInfo = ";
const std::string kMatchResultEmpty = kOwnLine + "matchResult is empty";
const std::string kFailedToDecrypt = kOwnLine + "Failed to decrypt matchInfo";
const char kPreviousOutput[] = "previous output";

// A record whose text members hold `t` but szProgramId, which holds
// `programId`, and whose integers are 99, 5, 6 and 1.
ACR_MATCH_INFO Uniform(const std::string& t, const std::string& programId) {
  return {t, t, programId, t, t, t, t, t, t, t, t, t, t, t, 99, 5, 6, 1};
}
ACR_MATCH_INFO Uniform(const std::string& text) { return Uniform(text, text); }

// The text members in record order: szChannelId, szChannelName, szProgramId,
// szProgramName, szStartTime, szMediaTime, szIdType, szSource, szGenre,
// szAltIdType, szAltContentId, szAltContentTitle, szAltStreamId, szBypassData.
Lines Texts(const ACR_MATCH_INFO& r) {
  return {r.szChannelId,    r.szChannelName,     r.szProgramId,   r.szProgramName, r.szStartTime,
          r.szMediaTime,    r.szIdType,          r.szSource,      r.szGenre,       r.szAltIdType,
          r.szAltContentId, r.szAltContentTitle, r.szAltStreamId, r.szBypassData};
}

// What an answer without a usable match leaves in the text members.
Lines FailureTexts(const std::string& unknown, const std::string& zero) {
  Lines texts(14, unknown);
  texts[4] = texts[5] = zero;
  return texts;
}

class DecryptMatchInfo : public DecodingTest {
 protected:
  // Runs `answer` on `record` with an output that holds kPreviousOutput.
  // The record's integers other than nMatchCount are never touched.
  std::string Decrypt(const std::string& answer, ACR_MATCH_INFO& record) {
    std::string output = kPreviousOutput;
    vomaxel().DecryptMatchInfo(answer, record, output);
    EXPECT_EQ(record.nEngineType, 5);
    EXPECT_EQ(record.nEventType, 6u);
    EXPECT_EQ(record.bIsEngineStopped, 1u);
    return output;
  }
};

TEST_F(DecryptMatchInfo, SeveralMatchesUnderEitherKeyOrNeither) {
  const std::string first =
      R"({"contentId":"P1.10","contentTitle":"Morning News","streamId":"CH7.News",
          "altContentId":"A1","altContentTitle":"Alt One","altStreamId":"S1",
          "source":"broadcast","idType":"tms","contentOffset":1200,"genre":"news",
          "altIdType":"isan","bypassData":"b1"})";
  const std::string second = R"({"contentId":"P2.20","contentTitle":"Quiz","streamId":"CH9.Fun",
      "source":"cable","idType":"tms","contentOffset":-1,"genre":"quiz","rating":"PG"})";
  const std::string answer = MatchAnswer(
      {{Key::kCurrent, first},
       {Key::kOld, second},
       {Key::kForeign, R"({"contentId":"P3.30","contentTitle":"","streamId":"CH5.Film",
                           "contentOffset":7})"}},
      R"("queryTs":1700000000,"matchCounts":3,"status":"ok")");
  // Fields that decrypt under no key reach output and record as sent.
  const std::string id3 = server::Encrypt("P3.30", Key::kForeign);
  const std::string stream3 = server::Encrypt("CH5.Film", Key::kForeign);

  ACR_MATCH_INFO record = Uniform("");
  EXPECT_EQ(Decrypt(answer, record),
            Styled(R"({"matchCounts":3,"queryTs":1700000000,"matchResult":[)" + first + "," +
                   second + R"(,{"contentId":")" + id3 + R"(","contentTitle":"","streamId":")" +
                   stream3 + R"(","contentOffset":7}]})"));
  EXPECT_EQ(Texts(record),
            (Lines{"CH7|CH9|" + stream3, "News|Fun|" + stream3, "P1|P2|" + id3,
                   "Morning News|Quiz|", "10|20|0", "1200|4294967295|7", "tms|tms|",
                   "broadcast|cable|", "news|quiz|", "isan||", "A1||", "Alt One||", "S1||",
                   "b1||"}));
  EXPECT_EQ(record.nMatchCount, 3u);
  EXPECT_EQ(Log(), (Lines{kCurrentKeyRefused, kCurrentKeyRefused, kCurrentKeyRefused,
                          kCurrentKeyRefused, kOldKeyRefused, kFieldNotDecrypted,
                          kCurrentKeyRefused, kOldKeyRefused, kFieldNotDecrypted}));
}

// Fields that both keys decrypt with valid padding, one of them by chance,
// are judged by their text: the old key's text wins over the current key's
// noise, with the fall-back's line. Where neither key gives text, the result
// is the plain fall-back's, the current key's bytes, without a line: a
// server that sends Latin-1 still gets its bytes through.
TEST_F(DecryptMatchInfo, FieldsThatBothKeysDecryptAreJudgedByTheirText) {
  const auto number = [](const char* head, const char* tail) {
    return [=](int n) { return head + std::to_string(n) + tail; };
  };
  const auto notText = [](const std::string& noise) {
    return HasZero(noise) || HasNonUtf8Byte(noise);
  };
  const Collision id =
      FindCollision(number("P", ".1700000000"), Key::kOld, Key::kCurrent, HasNonUtf8Byte);
  const Collision title = FindCollision(number("Title ", ""), Key::kOld, Key::kCurrent, HasZero);
  const Collision latin1 = FindCollision(number("Caf\xE9 ", ""), Key::kCurrent, Key::kOld, notText);
  const Collision neither = FindCollision(number("Cr\xE8me ", ""), Key::kOld, Key::kCurrent, notText);
  const auto entry = [](const std::string& member, const std::string& text) {
    return "{\"" + member + "\":\"" + text + "\"}";
  };
  ACR_MATCH_INFO record = Uniform("");
  Decrypt(MatchAnswer({{Key::kOld, R"({"contentId":")" + id.plain + R"(","contentTitle":")" +
                                       title.plain + "\"}"},
                       {Key::kCurrent, entry("contentTitle", latin1.plain)},
                       {Key::kOld, entry("contentTitle", neither.plain)}}),
          record);
  const std::string programId = id.plain.substr(0, id.plain.find('.'));
  EXPECT_EQ(record.szProgramId, programId + "||");
  EXPECT_EQ(record.szProgramName,
            title.plain + "|" + latin1.plain + "|" + neither.noise.c_str());
  EXPECT_EQ(Log(), Lines(2, kCurrentKeyRefused));
}

struct DelimiterCase {
  const char* why;
  const char* text;       // of every text member on entry
  const char* programId;  // of szProgramId on entry
  std::vector<Match> matches;
  Lines after;
};

TEST_F(DecryptMatchInfo, DelimiterPrecedesEachEntryThatFindsAProgrammeId) {
  const DelimiterCase cases[] = {
      {"an empty first contentId leaves nothing to separate", "", "",
       {{Key::kCurrent, R"({"contentId":"","streamId":"CH1.A"})"},
        {Key::kCurrent, R"({"contentId":"P2.20","streamId":"CH2.B"})"},
        {Key::kCurrent, R"({"contentId":"P3.30"})"}},
       {"CH1CH2|", "AB|", "P2|P3", "|", "020|30", "00|0", "|", "|", "|", "|", "|", "|", "|", "|"}},
      {"a programme id on entry puts one before the first entry", "", "P0",
       {{Key::kCurrent, R"({"contentId":"P1.10","streamId":"CH1.A","contentOffset":5})"}},
       {"|CH1", "|A", "P0|P1", "|", "|10", "|5", "|", "|", "|", "|", "|", "|", "|", "|"}},
      {"text elsewhere is appended to without one", "x", "",
       {{Key::kCurrent, R"({"contentId":"P1.10","streamId":"CH1.A","genre":"g"})"}},
       {"xCH1", "xA", "P1", "x", "x10", "x0", "x", "x", "xg", "x", "x", "x", "x", "x"}},
  };
  for (const DelimiterCase& c : cases) {
    SCOPED_TRACE(c.why);
    ACR_MATCH_INFO record = Uniform(c.text, c.programId);
    Decrypt(MatchAnswer(c.matches), record);
    EXPECT_EQ(Texts(record), c.after);
    EXPECT_EQ(record.nMatchCount, c.matches.size());
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
            Styled(R"({"matchCounts":null,"queryTs":null,"matchResult":[
                {"contentId":"P1","streamId":"CH1.A","contentTitle":"n/a","altContentId":"n/a",
                 "altContentTitle":"n/a","altStreamId":"n/a"},
                {"contentId":"P2.20","streamId":"CH2","contentTitle":"n/a","altContentId":"n/a",
                 "altContentTitle":"n/a","altStreamId":"n/a"}]})"));
  const std::string na = "n/a ; n/a";
  EXPECT_EQ(Texts(record), (Lines{"CH1 ; CH2", "A ; CH2", "P1 ; P2", na, "0 ; 20", "0 ; 0", na, na,
                                  na, na, na, na, na, na}));
  EXPECT_EQ(Log(), Lines(8, kFieldNotBase64));

  record = Uniform("x");
  Decrypt("{\"matchResult\":[]}", record);
  EXPECT_EQ(Texts(record), FailureTexts("?", "zero"));
}

struct FailureCase {
  const char* answer;
  unsigned matchCount;  // what the record holds afterwards; it held 99
  Lines log;
};

TEST_F(DecryptMatchInfo, AnswersWithoutUsableMatchesLeaveFailureValues) {
  const FailureCase cases[] = {
      {R"({"queryTs":1})", 99, {kMatchResultEmpty}},
      {R"({"matchResult":null})", 99, {kMatchResultEmpty}},
      {R"({"matchResult":[]})", 99, {kMatchResultEmpty}},
      {R"({"matchResult":{}})", 99, {kMatchResultEmpty}},
      {R"({"matchResult":"P1.10"})", 0, {kFailedToDecrypt}},
      {R"({"matchResult":""})", 0, {kFailedToDecrypt}},
      {R"({"matchResult":{"0":{"contentId":"P1"}}})", 0, {kFailedToDecrypt}},
      // Values jsoncpp will not convert fail the answer once the walk has counted it.
      {R"({"matchResult":[1]})", 1, {kFailedToDecrypt}},
      {R"({"matchResult":[{"contentId":["x"]}]})", 1, {kFailedToDecrypt}},
      {R"({"matchResult":[{"genre":[]}]})", 1, {kFailedToDecrypt}},
      {R"({"matchResult":[{"contentOffset":"12"}]})", 1, {kFailedToDecrypt}},
      {R"({"matchResult":[{"contentOffset":2147483648}]})", 1, {kFailedToDecrypt}},
      {R"({"matchResult":[{"contentId":"abc"},{"bypassData":{}}],"queryTs":1})", 2,
       {kFieldNotBase64, kFailedToDecrypt}},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.answer);
    ClearLog();
    ACR_MATCH_INFO record = Uniform("x");
    EXPECT_EQ(Decrypt(c.answer, record), kPreviousOutput);
    EXPECT_EQ(Texts(record), FailureTexts("unknown", "0"));
    EXPECT_EQ(record.nMatchCount, c.matchCount);
    EXPECT_EQ(Log(), c.log);
  }
}

TEST_F(DecryptMatchInfo, UnusableTextLeavesRecordAndOutputAlone) {
  const std::string valid = MatchAnswer({{Key::kCurrent, R"({"contentId":"P1.10"})"}});
  const std::string cases[] = {
      "", "{}", "[]", "null", "42", "\"text\"", "{\"matchResult\":[", "/* comment */ " + valid,
      "[" + valid + "]",
      // Whole, this text would parse: the NUL byte sits inside a string.
      "{\"matchResult\":[{\"source\":\"P1" + std::string(1, '\0') + ".10\"}]}",
  };
  for (const std::string& text : cases) {
    SCOPED_TRACE(text);
    ClearLog();
    ACR_MATCH_INFO record = Uniform("x");
    EXPECT_EQ(Decrypt(text, record), kPreviousOutput);
    EXPECT_EQ(Texts(record), Texts(Uniform("x")));
    EXPECT_EQ(record.nMatchCount, 99u);
    EXPECT_EQ(Log(), Lines{kParsingError + text.c_str()}) << "the text up to its first NUL";
  }
}

struct OutputCase {
  const char* otherMembers;  // of the answer, beside its one match
  std::string output;
};

// The layout of the output, written out in full: only "matchResult",
// "queryTs" and "matchCounts" are kept, the last two null where absent, also
// where the answer has three members with one of its own in place of either.
TEST_F(DecryptMatchInfo, CopiesQueryTsAndMatchCountsAsTheyAre) {
  const std::string match =
      "   \"matchResult\" : [\n      {\n         \"contentId\" : \"P1.10\"\n      }\n   ],\n";
  const OutputCase cases[] = {
      {R"("matchCounts":{"video":1,"audio":[0]},"queryTs":"late",)"
       R"("matchResults":[],"extra":1,"query\u0000Ts":2)",
       "{\n"
       "   \"matchCounts\" : {\n"
       "      \"audio\" : [ 0 ],\n"
       "      \"video\" : 1\n"
       "   },\n" +
           match + "   \"queryTs\" : \"late\"\n}\n"},
      {R"("matchCounts":3,"extra":1)", "{\n   \"matchCounts\" : 3,\n" + match + "   \"queryTs\" : null\n}\n"},
      {R"("queryTs":7,"extra":1)", "{\n   \"matchCounts\" : null,\n" + match + "   \"queryTs\" : 7\n}\n"},
  };
  for (const OutputCase& c : cases) {
    SCOPED_TRACE(c.otherMembers);
    ACR_MATCH_INFO record = Uniform("");
    EXPECT_EQ(Decrypt(MatchAnswer({{Key::kCurrent, R"({"contentId":"P1.10"})"}}, c.otherMembers),
                      record),
              c.output);
    EXPECT_EQ(record.szProgramId, "P1");
  }
}

struct MappingCase {
  const char* plainEntry;
  // szChannelId, szChannelName, szProgramId, szStartTime, szMediaTime, szSource
  Lines texts;
};

TEST_F(DecryptMatchInfo, MapsEachEntryByTheSplitRules) {
  const MappingCase cases[] = {
      {R"({"contentId":"P100.25","streamId":"CH7.News","contentOffset":1200})",
       {"CH7", "News", "P100", "25", "1200", ""}},
      {R"({"contentId":"P100"})", {"", "", "P100", "0", "0", ""}},
      {R"({"contentId":".P100"})", {"", "", ".P100", "0", "0", ""}},
      {R"({"contentId":"P100."})", {"", "", "P100", "", "0", ""}},
      {R"({"contentId":"A.B.C","streamId":"S.T.U"})", {"S", "T.U", "A", "B.C", "0", ""}},
      {R"({"streamId":".x","source":"antenna"})", {".x", ".x", "", "0", "0", "antenna"}},
      {R"({"streamId":"","source":"tv.hd"})", {"", "", "", "0", "0", "tv.hd"}},
      {R"({"source":"tv.hd"})", {"tv", "hd", "", "0", "0", "tv.hd"}},
      {R"({"source":"antenna"})", {"antenna", "antenna", "", "0", "0", "antenna"}},
      {R"({"contentOffset":-1})", {"", "", "", "0", "4294967295", ""}},
      {R"({"contentOffset":1.9})", {"", "", "", "0", "1", ""}},
  };
  for (const MappingCase& c : cases) {
    SCOPED_TRACE(c.plainEntry);
    ACR_MATCH_INFO record = Uniform("");
    Decrypt(MatchAnswer({{Key::kCurrent, c.plainEntry}}), record);
    const Lines& t = c.texts;
    EXPECT_EQ(Texts(record),
              (Lines{t[0], t[1], t[2], "", t[3], t[4], "", t[5], "", "", "", "", "", ""}));
    EXPECT_EQ(record.nMatchCount, 1u);
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
            Styled(R"({"matchCounts":null,"queryTs":null,"matchResult":[{"contentId":"3.5",
                "streamId":"true","contentTitle":null,"altContentId":"1234","altIdType":7}]})"));
  EXPECT_EQ(Texts(record),
            (Lines{"true", "true", "3", "", "5", "0", "", "", "", "7", "1234", "", "", ""}));
  // "true" and "1234" are Base64 texts of three bytes, which no key decrypts.
  EXPECT_EQ(Log(), (Lines{kFieldNotBase64, kCurrentKeyRefused, kOldKeyRefused, kFieldNotDecrypted,
                          kCurrentKeyRefused, kOldKeyRefused, kFieldNotDecrypted}));
}

}  // namespace
