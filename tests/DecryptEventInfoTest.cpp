// DecryptEachEventInfo, and the decoding of one encrypted field, which event
// information shows most directly: whole output texts and whole log lists.
#include <string>

#include "DecodingFixture.h"

namespace {

using server::Encrypt;
using server::EventInfo;
using server::Key;

const char kParsingError[] =
    "[3] virtual std::string Vomaxel::DecryptEachEventInfo(const string&):# "
    "Parsing error, inEventInfo = ";

class DecryptEventInfo : public DecodingTest {};

TEST_F(DecryptEventInfo, DecryptsItsFourMembersAndKeepsTheRest) {
  const std::string info = EventInfo(
      R"({"contentId":"P1.10","contentTitle":"Morning News","streamId":"CH7.News",
          "streamTs":1700000000,"callbackUrl":"https://ads.example/cb?id=1","type":"ad",
          "extra":{"k":[1,2]},"queryTs":null})",
      Key::kOld);
  EXPECT_EQ(vomaxel().DecryptEachEventInfo(info),
            "{\n"
            "   \"callbackUrl\" : \"https://ads.example/cb?id=1\",\n"
            "   \"contentId\" : \"P1.10\",\n"
            "   \"contentTitle\" : \"Morning News\",\n"
            "   \"extra\" : {\n"
            "      \"k\" : [ 1, 2 ]\n"
            "   },\n"
            "   \"queryTs\" : null,\n"
            "   \"streamId\" : \"CH7.News\",\n"
            "   \"streamTs\" : 1700000000,\n"
            "   \"type\" : \"ad\"\n"
            "}\n");
  EXPECT_EQ(Log(), Lines(4, kCurrentKeyRefused));
}

struct EventCase {
  const char* plainInfo;
  const char* output;
};

TEST_F(DecryptEventInfo, StreamTsBecomesAnIntegerOnlyBesideAStreamId) {
  const EventCase cases[] = {
      {R"({"streamId":"S.1"})", "{\n   \"streamId\" : \"S.1\",\n   \"streamTs\" : 0\n}\n"},
      {R"({"streamId":"S.1","streamTs":-5})",
       "{\n   \"streamId\" : \"S.1\",\n   \"streamTs\" : -5\n}\n"},
      {R"({"streamId":"S.1","streamTs":2.5})",
       "{\n   \"streamId\" : \"S.1\",\n   \"streamTs\" : 2\n}\n"},
      {R"({"streamId":"S.1","streamTs":true})",
       "{\n   \"streamId\" : \"S.1\",\n   \"streamTs\" : 1\n}\n"},
      {R"({"streamId":"S.1","streamTs":null})",
       "{\n   \"streamId\" : \"S.1\",\n   \"streamTs\" : 0\n}\n"},
      {R"({"streamTs":"late"})", "{\n   \"streamTs\" : \"late\"\n}\n"},
      {R"({"streamTs":2.5})", "{\n   \"streamTs\" : 2.5\n}\n"},
      {R"({"title":"x"})", "{\n   \"title\" : \"x\"\n}\n"},
  };
  for (const EventCase& c : cases) {
    SCOPED_TRACE(c.plainInfo);
    EXPECT_EQ(vomaxel().DecryptEachEventInfo(EventInfo(c.plainInfo)), c.output);
  }
  EXPECT_EQ(Log(), Lines{});
}

// Presence, not text, decides: an empty or non-text member is decoded too.
TEST_F(DecryptEventInfo, DecodesEveryPresentMemberAndAddsNoAbsentOne) {
  ACR_STRING_EMPTY = "-";
  EXPECT_EQ(vomaxel().DecryptEachEventInfo(EventInfo(R"({"contentId":"","streamId":"CH7.News"})")),
            "{\n"
            "   \"contentId\" : \"-\",\n"
            "   \"streamId\" : \"CH7.News\",\n"
            "   \"streamTs\" : 0\n"
            "}\n");
  EXPECT_EQ(Log(), Lines{kFieldEmpty});

  ClearLog();
  EXPECT_EQ(vomaxel().DecryptEachEventInfo(R"({"contentId":12,"callbackUrl":null})"),
            "{\n"
            "   \"callbackUrl\" : \"-\",\n"
            "   \"contentId\" : \"12\"\n"
            "}\n");
  EXPECT_EQ(Log(), (Lines{kFieldNotBase64, kFieldEmpty}));
}

struct RefusedCase {
  std::string text;
  Lines decodingLines;  // written before the refusal
};

TEST_F(DecryptEventInfo, UnusableTextGivesTheEmptyText) {
  const RefusedCase cases[] = {
      {"", {}},
      {"{}", {}},
      {"[]", {}},
      {"null", {}},
      {"42", {}},
      {"\"text\"", {}},
      {"{\"contentId\":", {}},
      {"/* comment */ {\"title\":\"x\"}", {}},
      {"[{\"title\":\"x\"}]", {}},
      {"{\"a\":" + std::string(1100, '['), {}},
      // Members jsoncpp will not convert.
      {R"({"contentId":["x"]})", {}},
      {R"({"callbackUrl":{}})", {}},
      {R"({"streamId":"abc","streamTs":"12"})", {kFieldNotBase64}},
      {R"({"streamId":"abc","streamTs":2147483648})", {kFieldNotBase64}},
      {R"({"streamId":"abc","streamTs":[]})", {kFieldNotBase64}},
  };
  for (const RefusedCase& c : cases) {
    SCOPED_TRACE(c.text);
    ClearLog();
    EXPECT_EQ(vomaxel().DecryptEachEventInfo(c.text), "");
    Lines expected = c.decodingLines;
    expected.push_back(kParsingError + c.text);
    EXPECT_EQ(Log(), expected);
  }
}

TEST_F(DecryptEventInfo, TextEndsAtItsFirstNul) {
  EXPECT_EQ(vomaxel().DecryptEachEventInfo(EventInfo(R"({"contentTitle":"Morning News"})") +
                                           std::string("\0{\"a\":", 6)),
            "{\n   \"contentTitle\" : \"Morning News\"\n}\n");
  // Whole, the text would parse: the NUL byte sits inside a string.
  EXPECT_EQ(vomaxel().DecryptEachEventInfo(std::string("{\"title\":\"x\0y\"}", 15)), "");
  EXPECT_EQ(Log(), Lines{kParsingError + std::string("{\"title\":\"x")});
}

struct FieldCase {
  const char* why;
  std::string field;
  std::string plain;
  Lines log;
};

TEST_F(DecryptEventInfo, FieldsThatDoNotDecodeKeepTheirText) {
  const std::string news = "Morning News";
  const FieldCase cases[] = {
      {"current key", Encrypt(news, Key::kCurrent), news, {}},
      {"old key", Encrypt(news, Key::kOld), news, {kCurrentKeyRefused}},
      {"zero byte inside", Encrypt(std::string("Morning\0News", 12), Key::kCurrent), "Morning", {}},
      {"longest plain text", Encrypt(std::string(1519, 'x'), Key::kCurrent),
       std::string(1519, 'x'), {}},
      {"empty", "", "", {kFieldEmpty}},
      {"2048 characters", std::string(2048, 'A'), std::string(2048, 'A'), {FieldTooLong(2048)}},
      {"2047 characters", std::string(2047, 'A'), std::string(2047, 'A'), {kFieldNotBase64}},
      {"length not a multiple of 4", "abc", "abc", {kFieldNotBase64}},
      {"longest Base64, no ciphertext", std::string(2044, 'A'), std::string(2044, 'A'),
       {kCurrentKeyRefused, kOldKeyRefused, kFieldNotDecrypted}},
      {"outside the alphabet", "!!!!", "!!!!",
       {kCurrentKeyRefused, kOldKeyRefused, kFieldNotDecrypted}},
      {"unknown key", Encrypt(news, Key::kForeign), Encrypt(news, Key::kForeign),
       {kCurrentKeyRefused, kOldKeyRefused, kFieldNotDecrypted}},
      // An empty plain text decrypts to nothing, which counts as failure.
      {"empty plain text, current key", Encrypt("", Key::kCurrent), Encrypt("", Key::kCurrent),
       {kOldKeyRefused, kFieldNotDecrypted}},
      {"empty plain text, old key", Encrypt("", Key::kOld), Encrypt("", Key::kOld),
       {kCurrentKeyRefused, kFieldNotDecrypted}},
  };
  for (const FieldCase& c : cases) {
    SCOPED_TRACE(c.why);
    ClearLog();
    EXPECT_EQ(vomaxel().DecryptEachEventInfo("{\"contentTitle\":\"" + c.field + "\"}"),
              "{\n   \"contentTitle\" : \"" + c.plain + "\"\n}\n");
    EXPECT_EQ(Log(), c.log);
  }
}

// A "=" inside the text suppresses the write of its byte, so the byte stays
// as the cleared buffer had it: zero. Where the ciphertext has a zero byte
// there, the field still decrypts.
TEST_F(DecryptEventInfo, PadCharacterInsideTheTextLeavesAZeroByte) {
  // Leaves the bytes of a long field where the next field will be decoded.
  vomaxel().DecryptEachEventInfo("{\"contentTitle\":\"" + std::string(2044, '/') + "\"}");
  ClearLog();
  const std::string alphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  for (int n = 0; n < 1000; ++n) {
    const std::string plain = "Programme number " + std::to_string(n);
    std::string field = Encrypt(plain, Key::kCurrent);
    // A group before the last whose third byte is zero: its last character
    // is "A" and the one before carries two zero bits at its end.
    for (size_t group = 0; group + 4 < field.size(); group += 4) {
      if (field[group + 3] != 'A' || alphabet.find(field[group + 2]) % 4 != 0) continue;
      field[group + 3] = '=';
      EXPECT_EQ(vomaxel().DecryptEachEventInfo("{\"contentTitle\":\"" + field + "\"}"),
                "{\n   \"contentTitle\" : \"" + plain + "\"\n}\n");
      EXPECT_EQ(Log(), Lines{});
      return;
    }
  }
  FAIL() << "no ciphertext with a zero byte in place";
}

}  // namespace
