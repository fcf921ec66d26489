// Decoding from several threads at once, as the host may do: with the keys
// set beforehand, and with new keys handed in on another thread meanwhile.
// The key store, the cipher and the log channel all run concurrently. `make
// test-tsan` runs this under ThreadSanitizer.
#include <json/json.h>

#include <atomic>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "ACRCipherUtil.h"
#include "CipherOracle.h"
#include "DecodingFixture.h"

namespace {

using server::Encrypt;
using server::Key;

constexpr int kThreads = 8;
constexpr int kRounds = 20;

// One thread's inputs, with texts of its own so that a mix-up shows, and
// what decoding them must give.
struct Work {
  std::string answer;
  std::string eventInfo;
  ACR_MATCH_INFO record;
  Json::Value eventOutput;
};

// Each text decrypts under the current key, under the old one (the key store's
// fall-back), or under neither: Base64 without a whole cipher block, and text
// that is not Base64, both kept as they are and logged.
Work MakeWork(int thread) {
  const std::string n = std::to_string(thread);
  const std::string fifteenBytes = "undecryptable " + n;
  const std::string undecryptable = OracleBase64(Bytes(fifteenBytes.begin(), fifteenBytes.end()));
  const std::string offset = std::to_string(1200 + thread);
  Work work;
  work.answer = R"({"matchResult":[{"contentId":")" + Encrypt("P" + n + ".1" + n, Key::kCurrent) +
                R"(","contentTitle":")" + Encrypt("Title " + n, Key::kCurrent) +
                R"(","streamId":")" + Encrypt("CH" + n + ".News " + n, Key::kOld) +
                R"(","altContentId":")" + undecryptable +
                R"(","altContentTitle":"not Base64 )" + n + R"(","contentOffset":)" + offset +
                R"(}],"queryTs":)" + n + "}";
  work.record = {"CH" + n, "News " + n, "P" + n, "Title " + n, "1" + n, offset, "", "", "", "",
                 undecryptable, "not Base64 " + n, "", "", 1, 0, 0, 0};
  work.eventInfo = R"({"contentId":")" + Encrypt("E" + n, Key::kCurrent) + R"(","streamTs":)" + n +
                   R"(,"streamId":")" + Encrypt("S" + n + ".live", Key::kOld) +
                   R"(","callbackUrl":")" + undecryptable + R"("})";
  jsoncpp::Parse(R"({"contentId":"E)" + n + R"(","streamTs":)" + n + R"(,"streamId":"S)" + n +
                           R"(.live","callbackUrl":")" + undecryptable + R"("})",
                       work.eventOutput);
  return work;
}

// Decodes the thread's inputs once; returns what differed from the expectation.
std::vector<std::string> DecodeOnce(IVomaxel& vomaxel, const Work& work) {
  std::vector<std::string> faults;
  ACR_MATCH_INFO record{};
  std::string output;
  vomaxel.DecryptMatchInfo(work.answer, record, output);
  if (Describe(record) != Describe(work.record)) faults.push_back("record:\n" + Describe(record));
  Json::Value answer;
  if (!jsoncpp::Parse(output, answer) ||
      answer["matchResult"][0]["contentId"] != work.record.szProgramId + "." +
                                                    work.record.szStartTime ||
      answer["matchResult"][0]["altContentId"] != work.record.szAltContentId) {
    faults.push_back("answer: " + output);
  }
  const std::string eventText = vomaxel.DecryptEachEventInfo(work.eventInfo);
  Json::Value event;
  if (!jsoncpp::Parse(eventText, event) || event != work.eventOutput) {
    faults.push_back("event info: " + eventText);
  }
  return faults;
}

std::map<std::string, int> Count(const Lines& lines) {
  std::map<std::string, int> counts;
  for (const std::string& line : lines) ++counts[line];
  return counts;
}

using ConcurrencyTest = DecodingTest;

TEST_F(ConcurrencyTest, EightThreadsDecodeAnswersAndEventInfoAtOnce) {
  std::vector<Work> work;
  for (int t = 0; t < kThreads; ++t) work.push_back(MakeWork(t));

  // One round on this thread gives the log lines of a round: they carry no
  // thread's texts, so every round on every thread must log the same.
  ASSERT_EQ(DecodeOnce(vomaxel(), work[0]), std::vector<std::string>{});
  std::map<std::string, int> expectedLog = Count(Log());
  ASSERT_FALSE(expectedLog.empty()) << "the fall-backs must log";
  for (auto& entry : expectedLog) entry.second *= kThreads * kRounds;
  ClearLog();

  std::vector<std::vector<std::string>> faults(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([this, t, &work, &faults] {
      for (int round = 0; round < kRounds && faults[t].empty(); ++round) {
        faults[t] = DecodeOnce(vomaxel(), work[t]);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();

  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(faults[t], std::vector<std::string>{}) << "thread " << t;
  }
  EXPECT_EQ(Count(Log()), expectedLog);
}

// Three keys and two pairs "A,C" and "C,B" that share C: a text under C
// decrypts under either pair (as the current key, or through the fall-back),
// so only a torn row or a mixed pair such as "A,B" refuses it.
const Bytes kA = {0x3c, 0x4f, 0xcf, 0x09, 0x88, 0x15, 0xf7, 0xab,
                  0xa6, 0xd2, 0xae, 0x28, 0x16, 0x15, 0x7e, 0x2b};
const Bytes kB = {0xd4, 0xc3, 0xb2, 0xa1, 0xf0, 0xe9, 0xd8, 0xc7,
                  0xb6, 0xa5, 0x94, 0x83, 0x72, 0x61, 0x50, 0x49};
const Bytes kC = {0x9a, 0x8b, 0x7c, 0x6d, 0x5e, 0x4f, 0x30, 0x21,
                  0x12, 0x03, 0xf4, 0xe5, 0xd6, 0xc7, 0xb8, 0xa9};
const std::string kPairAC = "3c4fcf098815f7aba6d2ae2816157e2b,9a8b7c6d5e4f30211203f4e5d6c7b8a9";
const std::string kPairCB = "9a8b7c6d5e4f30211203f4e5d6c7b8a9,d4c3b2a1f0e9d8c7b6a5948372615049";

// Rounds per decoding thread: enough for hundreds of key changes to land
// inside decryptions, few enough for valgrind and qemu.
constexpr int kSwapThreads = 2;
constexpr int kSwapRounds = 150;

// A field under C. B must not pass the padding check on it by chance (one
// text in 256 would), or under "C,B" it would decrypt to noise.
std::string UnderC(const std::string& plain) {
  const Bytes cipher = OracleEncrypt(kC, plain);
  bool ok = true;
  OracleDecrypt(kB, cipher, &ok);
  EXPECT_FALSE(ok) << "B passes the padding of \"" << plain << "\": choose another text";
  return OracleBase64(cipher);
}

struct SwapWork {
  std::string answer, eventInfo, plainEvent;
  std::vector<std::string> encryptedFields;
  ACR_MATCH_INFO record;
};

SwapWork MakeSwapWork(int thread) {
  const std::string n = std::to_string(thread);
  SwapWork work;
  work.encryptedFields = {UnderC("P" + n + ".2" + n), UnderC("Title " + n),
                          UnderC("CH" + n + ".News " + n), UnderC("E" + n),
                          UnderC("S" + n + ".live")};
  const std::vector<std::string>& f = work.encryptedFields;
  work.answer = R"({"matchResult":[{"contentId":")" + f[0] + R"(","contentTitle":")" + f[1] +
                R"(","streamId":")" + f[2] + R"(","contentOffset":7}],"queryTs":)" + n + "}";
  work.record = {"CH" + n, "News " + n, "P" + n, "Title " + n, "2" + n, "7", "", "", "", "",
                 "", "", "", "", 1, 0, 0, 0};
  work.eventInfo = R"({"contentId":")" + f[3] + R"(","streamId":")" + f[4] + R"(","streamTs":)" +
                   n + "}";
  work.plainEvent = R"({"contentId":"E)" + n + R"(","streamId":"S)" + n + R"(.live","streamTs":)" +
                    n + "}";
  return work;
}

// Calls made, and those whose result kept an encrypted field (a failed
// decryption) or differed otherwise (a wrong text).
struct Tally {
  int calls = 0, failed = 0, wrong = 0;
  void Add(bool right, bool keptCipherText) {
    ++calls;
    if (!right) ++(keptCipherText ? failed : wrong);
  }
};

// One round: the answer, the event information, and an Encrypt round trip
// that must decrypt whole under the current key of one of the pairs.
void SwapRound(IVomaxel& vomaxel, const SwapWork& work, Tally& tally) {
  const auto keptCipherText = [&work](const std::string& text) {
    for (const std::string& field : work.encryptedFields) {
      if (text.find(field) != std::string::npos) return true;
    }
    return false;
  };
  ACR_MATCH_INFO record{};
  std::string output;
  vomaxel.DecryptMatchInfo(work.answer, record, output);
  tally.Add(Describe(record) == Describe(work.record), keptCipherText(output));

  const std::string eventText = vomaxel.DecryptEachEventInfo(work.eventInfo);
  Json::Value event, expected;
  jsoncpp::Parse(work.plainEvent, expected);
  tally.Add(jsoncpp::Parse(eventText, event) && event == expected, keptCipherText(eventText));

  std::string plain = work.record.szProgramName;
  unsigned char cipher[32];
  const int length = CACRCipherUtil::GetInstance()->Encrypt(
      cipher, reinterpret_cast<unsigned char*>(&plain[0]), static_cast<int>(plain.size()));
  const Bytes bytes(cipher, cipher + length);
  bool underC = false, underB = false;
  const bool right = (OracleDecrypt(kC, bytes, &underC) == plain && underC) ||
                     (OracleDecrypt(kB, bytes, &underB) == plain && underB);
  tally.Add(right, length == 0);
}

// One thread hands in "A,C" and "C,B" in turn while the others decode and
// encrypt: every call must see one pair whole, and log only what a call
// under one of the pairs logs.
TEST_F(ConcurrencyTest, KeysChangeWhileOtherThreadsDecodeAndEncrypt) {
  std::vector<SwapWork> work;
  for (int t = 0; t < kSwapThreads; ++t) work.push_back(MakeSwapWork(t));
  ClearLog();
  std::set<std::string> expectedLines;
  for (const std::string& pair : {kPairAC, kPairCB}) {
    std::string keys = pair;
    vomaxel().SetSecureKey(keys);
    Tally tally;
    SwapRound(vomaxel(), work[0], tally);
    ASSERT_EQ(tally.calls - tally.failed - tally.wrong, 3) << pair;
  }
  for (const std::string& line : Log()) expectedLines.insert(line);
  ASSERT_EQ(expectedLines.count(kCurrentKeyRefused), 1u) << "the fall-back must show";
  ClearLog();

  std::atomic<int> running(kSwapThreads);
  std::atomic<int> keyChanges(0);
  std::vector<Tally> tallies(kSwapThreads);
  std::vector<std::thread> threads;
  threads.emplace_back([this, &running, &keyChanges] {
    for (int i = 0; running.load() > 0; ++i) {
      std::string keys = i % 2 == 0 ? kPairCB : kPairAC;
      vomaxel().SetSecureKey(keys);
      ++keyChanges;
    }
  });
  for (int t = 0; t < kSwapThreads; ++t) {
    threads.emplace_back([this, t, &work, &tallies, &running, &keyChanges] {
      while (keyChanges.load() == 0) std::this_thread::yield();
      for (int round = 0; round < kSwapRounds; ++round) SwapRound(vomaxel(), work[t], tallies[t]);
      --running;
    });
  }
  for (std::thread& thread : threads) thread.join();

  Tally all;
  for (const Tally& tally : tallies) {
    all.calls += tally.calls;
    all.failed += tally.failed;
    all.wrong += tally.wrong;
  }
  std::map<std::string, int> unexpected;
  for (const std::string& line : Log()) {
    if (expectedLines.count(line) == 0) ++unexpected[line];
  }
  EXPECT_EQ(all.failed, 0) << "failed decryptions, of " << all.calls << " calls";
  EXPECT_EQ(all.wrong, 0) << "wrong texts, of " << all.calls << " calls";
  EXPECT_EQ(unexpected, (std::map<std::string, int>{}));
  RecordProperty("calls", all.calls);
  RecordProperty("key_changes", keyChanges.load());
}

}  // namespace
