// The exported Base64 functions, against RFC 4648 and OpenSSL's encoder.
#include <gtest/gtest.h>

#include <string>

#include "ACRCipherUtil.h"
#include "CipherOracle.h"

namespace {

unsigned char* In(std::string& text) { return reinterpret_cast<unsigned char*>(&text[0]); }

std::string Encode(std::string plain) {
  std::string out(4 * ((plain.size() + 2) / 3), '?');
  unsigned int length = 12345;
  b64_encode(In(plain), static_cast<unsigned int>(plain.size()), In(out), &length);
  EXPECT_EQ(length, out.size());
  return out;
}

// Decodes into a buffer pre-filled with '#', so suppressed writes show.
std::string Decode(std::string text) {
  std::string out(3 * (text.size() / 4) + 2, '#');
  unsigned int length = 12345;
  EXPECT_EQ(b64_decode(In(text), static_cast<unsigned int>(text.size()), In(out), &length), 1)
      << text;
  return out.substr(0, length);
}

TEST(Base64, AgreesWithRfc4648AndOpenSsl) {
  const std::pair<const char*, const char*> rfc4648Section10[] = {
      {"", ""},          {"f", "Zg=="},         {"fo", "Zm8="},       {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
  };
  for (const auto& [plain, encoded] : rfc4648Section10) {
    EXPECT_EQ(Encode(plain), encoded);
    EXPECT_EQ(Decode(encoded), plain);
  }
  Bytes data;
  for (int length = 0; length <= 70; ++length) {
    const std::string plain(data.begin(), data.end());
    const std::string expected = OracleBase64(data);
    EXPECT_EQ(Encode(plain), expected) << "length " << length;
    EXPECT_EQ(Decode(expected), plain) << "length " << length;
    data.push_back(static_cast<unsigned char>(length * 37 + 11));
  }
  Bytes all;
  for (int byte = 0; byte < 256; ++byte) all.push_back(static_cast<unsigned char>(byte));
  EXPECT_EQ(Decode(OracleBase64(all)), std::string(all.begin(), all.end()));
}

TEST(Base64, ValueOfEachCharacter) {
  const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  for (int c = 0; c < 256; ++c) {
    const size_t position = alphabet.find(static_cast<char>(c));
    const int expected = position == std::string::npos ? 0 : static_cast<int>(position);
    EXPECT_EQ(_b64_getVal(static_cast<unsigned char>(c)), expected) << c;
  }
}

// A length that is not a multiple of 4, or no length pointer: nothing written.
TEST(Base64, RefusalsWriteNothing) {
  for (std::string text : {"Zm9vY", "Zm9vYg", "Zm9", "Z", "Zm9vYmFy="}) {
    std::string out = "unchanged";
    unsigned int length = 77;
    EXPECT_EQ(b64_decode(In(text), static_cast<unsigned int>(text.size()), In(out), &length), 0);
    EXPECT_EQ(out + " " + std::to_string(length), "unchanged 77") << text;
  }
  std::string text = "Zm9v", out = "unchanged";
  EXPECT_EQ(b64_decode(In(text), 4, In(out), nullptr), 0);
  b64_encode(In(text), 3, In(out), nullptr);
  EXPECT_EQ(out, "unchanged");
}

// Characters outside the alphabet count as zero bits. A "=" suppresses its
// byte's write in any group, so the buffer keeps what it held there; only the
// last two characters shorten the length, each on its own.
TEST(Base64, DecoderChecksNothingButTheLength) {
  const std::pair<std::string, std::string> cases[] = {
      {"****", std::string(3, '\0')},        {"Zm9v\r\n  ", std::string("foo\0\0\0", 6)},
      {"Zg\xff\xff", std::string("f\0\0", 3)}, {"Zg==Zm9v", "f##foo"},
      {"Zm8=Zm9v", "fo#foo"},                {"Zm=v", "f#"},
      {"====", std::string(1, '\0')},
  };
  for (const auto& [text, bytes] : cases) EXPECT_EQ(Decode(text), bytes) << text;
}

}  // namespace
