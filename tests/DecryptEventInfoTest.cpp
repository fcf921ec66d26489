// DecryptEachEventInfo, and the decoding of one encrypted field, which event
// information shows most directly: whole output texts and whole log lists.
#include <openssl/bio.h>
#include <openssl/err.h>

#include <string>
#include <vector>

#include "DecodingFixture.h"

namespace {

using server::Encrypt;
using server::EventInfo;
using server::Key;

const std::string kParsingError =
    "[3] virtual std::string Vomaxel::DecryptEachEventInfo(const string&):# "
    "Parsing error, inEventInfo = ";

std::string FieldTooLong(size_t size) {
  return kField + "uEncrypedSize(" + std::to_string(size) + ") >= MAX_ID_STRING_SIZE";
}

class DecryptEventInfo : public DecodingTest {
 protected:
  std::string Decrypt(const std::string& info) { return vomaxel().DecryptEachEventInfo(info); }
};

// The layout of the output, written out in full.
TEST_F(DecryptEventInfo, DecryptsItsFourMembersAndKeepsTheRest) {
  const std::string info = EventInfo(
      R"({"contentId":"P1.10","contentTitle":"Morning News","streamId":"CH7.News",
          "streamTs":1700000000,"callbackUrl":"https://ads.example/cb?id=1","type":"ad",
          "extra":{"k":[1,2]},"queryTs":null})",
      Key::kOld);
  EXPECT_EQ(Decrypt(info),
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

struct MemberCase {
  const char* plainInfo;
  const char* output;
  Lines log;
};

// Presence, not text, decides: an empty or non-text member is decoded too,
// and an absent one is not added. "streamTs" goes with "streamId" alone.
TEST_F(DecryptEventInfo, DecodesEveryPresentMemberAndSetsStreamTsBesideAStreamId) {
  ACR_STRING_EMPTY = "-";
  const MemberCase cases[] = {
      {R"({"contentId":"","streamId":"S.1"})", R"({"contentId":"-","streamId":"S.1","streamTs":0})",
       {kFieldEmpty}},
      {R"({"contentId":12,"callbackUrl":null})", R"({"contentId":"12","callbackUrl":"-"})",
       {kFieldNotBase64, kFieldEmpty}},
      {R"({"streamId":"S.1","streamTs":-5})", R"({"streamId":"S.1","streamTs":-5})", {}},
      {R"({"streamId":"S.1","streamTs":2.5})", R"({"streamId":"S.1","streamTs":2})", {}},
      {R"({"streamTs":2.5})", R"({"streamTs":2.5})", {}},
      {R"({"title":"x"})", R"({"title":"x"})", {}},
  };
  for (const MemberCase& c : cases) {
    SCOPED_TRACE(c.plainInfo);
    ClearLog();
    EXPECT_EQ(Decrypt(EventInfo(c.plainInfo)), Styled(c.output));
    EXPECT_EQ(Log(), c.log);
  }
}

TEST_F(DecryptEventInfo, UnusableTextGivesTheEmptyText) {
  const std::pair<std::string, Lines> cases[] = {  // the text, the decoding's lines before
      {"", {}}, {"{}", {}}, {"[]", {}}, {"null", {}}, {"42", {}}, {"\"text\"", {}},
      {"{\"contentId\":", {}}, {"/* comment */ {\"title\":\"x\"}", {}},
      {"[{\"title\":\"x\"}]", {}},
      // Whole, this text would parse: the NUL byte sits inside a string.
      {"{\"title\":\"x" + std::string(1, '\0') + "y\"}", {}},
      // Members jsoncpp will not convert.
      {R"({"contentId":["x"]})", {}}, {R"({"callbackUrl":{}})", {}},
      {R"({"streamId":"abc","streamTs":"12"})", {kFieldNotBase64}},
      {R"({"streamId":"abc","streamTs":2147483648})", {kFieldNotBase64}},
  };
  for (const auto& [text, decodingLines] : cases) {
    SCOPED_TRACE(text);
    ClearLog();
    EXPECT_EQ(Decrypt(text), "");
    Lines expected = decodingLines;
    expected.push_back(kParsingError + text.c_str());  // the text up to its first NUL
    EXPECT_EQ(Log(), expected);
  }
}

struct FieldCase {
  const char* why;
  std::string field;
  std::string plain;
  Lines log;
};

TEST_F(DecryptEventInfo, FieldsThatDoNotDecodeKeepTheirText) {
  const std::string news = "Morning News", longest(1519, 'x');
  const std::string foreign = Encrypt(news, Key::kForeign);
  const std::string emptyCurrent = Encrypt("", Key::kCurrent), emptyOld = Encrypt("", Key::kOld);
  const Lines neither = {kCurrentKeyRefused, kOldKeyRefused, kFieldNotDecrypted};
  const FieldCase cases[] = {
      {"current key", Encrypt(news, Key::kCurrent), news, {}},
      {"old key", Encrypt(news, Key::kOld), news, {kCurrentKeyRefused}},
      {"zero byte inside", Encrypt(std::string("Morning\0News", 12), Key::kCurrent), "Morning", {}},
      {"longest plain text", Encrypt(longest, Key::kCurrent), longest, {}},
      {"empty", "", "", {kFieldEmpty}},
      {"2048 characters", std::string(2048, 'A'), std::string(2048, 'A'), {FieldTooLong(2048)}},
      {"2047 characters", std::string(2047, 'A'), std::string(2047, 'A'), {kFieldNotBase64}},
      {"length not a multiple of 4", "abc", "abc", {kFieldNotBase64}},
      {"longest Base64, no ciphertext", std::string(2044, 'A'), std::string(2044, 'A'), neither},
      {"outside the alphabet", "!!!!", "!!!!", neither},
      {"unknown key", foreign, foreign, neither},
      // An empty plain text decrypts to nothing, which counts as failure.
      {"empty plain text, current key", emptyCurrent, emptyCurrent,
       {kOldKeyRefused, kFieldNotDecrypted}},
      {"empty plain text, old key", emptyOld, emptyOld, {kCurrentKeyRefused, kFieldNotDecrypted}},
  };
  for (const FieldCase& c : cases) {
    SCOPED_TRACE(c.why);
    ClearLog();
    EXPECT_EQ(Decrypt("{\"contentTitle\":\"" + c.field + "\"}"),
              "{\n   \"contentTitle\" : \"" + c.plain + "\"\n}\n");
    EXPECT_EQ(Log(), c.log);
  }
}

// A field under the old key that the current key also decrypts, by chance,
// into bytes that are not text comes out as the old key's text, with the line
// of the fall-back from the current key. (The fields that neither key turns
// into text: DecryptMatchInfoTest.)
TEST_F(DecryptEventInfo, OldKeysTextWinsOverCurrentKeysNoise) {
  const auto number = [](const char* head, const char* tail) {
    return [=](int n) { return head + std::to_string(n) + tail; };
  };
  const Collision id = FindCollision(number("P", ".1700000000"), Key::kOld, Key::kCurrent, HasZero);
  const Collision title = FindCollision(number("Title ", ""), Key::kOld, Key::kCurrent, HasZero);
  const Collision stream =
      FindCollision(number("CH", ".News"), Key::kOld, Key::kCurrent, HasNonUtf8Byte);
  const std::string plain = R"({"contentId":")" + id.plain + R"(","contentTitle":")" +
                            title.plain + R"(","streamId":")" + stream.plain + "\"}";
  EXPECT_EQ(Decrypt(EventInfo(plain, Key::kOld)),
            Styled(plain.substr(0, plain.size() - 1) + R"(,"streamTs":0})"));
  EXPECT_EQ(Log(), Lines(3, kCurrentKeyRefused));
}

// A "=" inside the text suppresses the write of its byte, so the byte stays
// as the cleared buffer had it: zero. Where the ciphertext has a zero byte
// there, the field still decrypts.
TEST_F(DecryptEventInfo, PadCharacterInsideTheTextLeavesAZeroByte) {
  // Leaves the bytes of a long field where the next field will be decoded.
  Decrypt("{\"contentTitle\":\"" + std::string(2044, '/') + "\"}");
  ClearLog();
  const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  for (int n = 0; n < 1000; ++n) {
    const std::string plain = "Programme number " + std::to_string(n);
    std::string field = Encrypt(plain, Key::kCurrent);
    // A group before the last whose third byte is zero: its last character
    // is "A" and the one before carries two zero bits at its end.
    for (size_t group = 0; group + 4 < field.size(); group += 4) {
      if (field[group + 3] != 'A' || alphabet.find(field[group + 2]) % 4 != 0) continue;
      field[group + 3] = '=';
      EXPECT_EQ(Decrypt("{\"contentTitle\":\"" + field + "\"}"),
                "{\n   \"contentTitle\" : \"" + plain + "\"\n}\n");
      EXPECT_EQ(Log(), Lines{});
      return;
    }
  }
  FAIL() << "no ciphertext with a zero byte in place";
}

// The calling thread's OpenSSL error queue is the host's: after a field that
// the current key decrypts, that the old one decrypts after the current one
// failed, or that neither does, it holds what it held before, empty or an
// error the host queued itself.
TEST_F(DecryptEventInfo, LeavesTheThreadsOpenSslErrorsAsItFoundThem) {
  const auto queueHostError = [] { BIO_free(BIO_new_file("/nonexistent/vomaxel", "r")); };
  const auto drain = [] {
    std::vector<unsigned long> codes;
    for (unsigned long code; (code = ERR_get_error()) != 0;) codes.push_back(code);
    return codes;
  };
  // libcrypto's first use may queue errors of its own set-up (under valgrind
  // it does): the host's error is the one a second try queues.
  queueHostError();
  drain();
  queueHostError();
  const std::vector<unsigned long> hostErrors = drain();
  ASSERT_FALSE(hostErrors.empty());
  for (const Key key : {Key::kCurrent, Key::kOld, Key::kForeign}) {
    for (const bool hostQueued : {false, true}) {
      SCOPED_TRACE(std::to_string(static_cast<int>(key)) + (hostQueued ? " after the host's" : ""));
      if (hostQueued) queueHostError();
      const std::string output = Decrypt(EventInfo(R"({"contentId":"P1.10"})", key));
      EXPECT_EQ(output.find("P1.10") != std::string::npos, key != Key::kForeign);
      EXPECT_EQ(drain(), hostQueued ? hostErrors : std::vector<unsigned long>{});
    }
  }
}

}  // namespace
