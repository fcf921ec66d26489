// Decoding and encrypting on several threads at once while another thread
// hands in new keys, as the host may do. The key store, the cipher and the
// log channel all run concurrently. `make test-tsan` runs this under
// ThreadSanitizer.
#include <atomic>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "ACRCipherUtil.h"
#include "CipherOracle.h"
#include "DecodingFixture.h"

namespace {

// Three keys and two pairs "A,C" and "C,B" that share C. A field under A
// decrypts under "A,C" only (through the fall-back), one under B under "C,B"
// only. An answer with fields under both comes out whole in one of two ways;
// a call that mixed the pairs, or saw a torn one ("A,B" decrypts both fields,
// "C,C" neither), gives neither.
const Bytes kA = {0x3c, 0x4f, 0xcf, 0x09, 0x88, 0x15, 0xf7, 0xab,
                  0xa6, 0xd2, 0xae, 0x28, 0x16, 0x15, 0x7e, 0x2b};
const Bytes kB = {0xd4, 0xc3, 0xb2, 0xa1, 0xf0, 0xe9, 0xd8, 0xc7,
                  0xb6, 0xa5, 0x94, 0x83, 0x72, 0x61, 0x50, 0x49};
const Bytes kC = {0x9a, 0x8b, 0x7c, 0x6d, 0x5e, 0x4f, 0x30, 0x21,
                  0x12, 0x03, 0xf4, 0xe5, 0xd6, 0xc7, 0xb8, 0xa9};
const std::string kPairs[] = {"3c4fcf098815f7aba6d2ae2816157e2b,9a8b7c6d5e4f30211203f4e5d6c7b8a9",
                              "9a8b7c6d5e4f30211203f4e5d6c7b8a9,d4c3b2a1f0e9d8c7b6a5948372615049"};
constexpr int kPairCount = 2;

// Each decoding thread runs this many rounds at least, and on until this many
// keys were handed in during its rounds: on a loaded machine the threads may
// otherwise hardly overlap. Few enough for valgrind and qemu.
constexpr int kThreads = 4;
constexpr int kRounds = 150;
constexpr int kKeyChanges = 1000;

// A field under `key`. No other key may pass the padding check on it by
// chance (one text in 256 would), or it would decrypt to noise.
std::string Under(const Bytes& key, const std::string& plain) {
  const Bytes cipher = OracleEncrypt(key, plain);
  for (const Bytes* other : {&kA, &kB, &kC}) {
    bool ok = false;
    if (*other != key) OracleDecrypt(*other, cipher, &ok);
    EXPECT_FALSE(ok) << "\"" << plain << "\" passes another key's padding: choose another text";
  }
  return OracleBase64(cipher);
}

// The calls a decoding thread repeats, with texts of the thread's own so that
// a mix-up shows, each giving its whole result as text: an answer (with a
// field that is not Base64 and one without a whole cipher block, both kept
// and logged), event information, and an Encrypt (under C or B).
using Call = std::function<std::string(IVomaxel&)>;
const char* const kCallNames[] = {"answers", "event_infos", "encrypts"};
constexpr int kCalls = 3;

std::vector<Call> Calls(int thread) {
  const std::string n = std::to_string(thread);
  const std::string fifteenBytes = "undecryptable " + n;
  const std::string answer =
      R"({"matchResult":[{"contentId":")" + Under(kA, "P" + n + ".2" + n) +
      R"(","contentTitle":")" + Under(kB, "Title " + n) + R"(","streamId":")" +
      Under(kA, "CH" + n + ".News") + R"(","altContentId":")" + Under(kB, "Alt " + n) +
      R"(","altContentTitle":"not Base64 )" + n + R"(","altStreamId":")" +
      OracleBase64(Bytes(fifteenBytes.begin(), fifteenBytes.end())) +
      R"(","contentOffset":7}],"queryTs":)" + n + "}";
  const std::string eventInfo = R"({"contentId":")" + Under(kA, "E" + n) + R"(","streamId":")" +
                                Under(kB, "S" + n + ".live") + R"(","streamTs":)" + n +
                                R"(,"callbackUrl":")" + Under(kA, "http://cb/" + n) + R"("})";
  const std::string plain = "Title " + n;
  return {[answer](IVomaxel& vomaxel) {
            ACR_MATCH_INFO record{};
            std::string output;
            vomaxel.DecryptMatchInfo(answer, record, output);
            return output + Describe(record);
          },
          [eventInfo](IVomaxel& vomaxel) { return vomaxel.DecryptEachEventInfo(eventInfo); },
          [plain](IVomaxel&) {
            std::string in = plain;
            unsigned char cipher[32];
            const int length = CACRCipherUtil::GetInstance()->Encrypt(
                cipher, reinterpret_cast<unsigned char*>(&in[0]), static_cast<int>(in.size()));
            return OracleBase64(Bytes(cipher, cipher + length));
          }};
}

std::map<std::string, int> Count(const Lines& lines) {
  std::map<std::string, int> counts;
  for (const std::string& line : lines) ++counts[line];
  return counts;
}

using ConcurrencyTest = DecodingTest;

// One thread hands in "A,C" and "C,B" in turn while the others decode and
// encrypt: every call's result must be, whole, the one it gives under one of
// the pairs alone, and the log what those calls and key changes log alone.
TEST_F(ConcurrencyTest, EachCallUsesOnePairWhileKeysChange) {
  std::vector<std::vector<Call>> calls;
  std::string expected[kThreads][kCalls][kPairCount];
  std::map<std::string, int> callLog[kThreads][kCalls][kPairCount], keyLog[kPairCount];
  for (int t = 0; t < kThreads; ++t) calls.push_back(Calls(t));
  for (int p = 0; p < kPairCount; ++p) {
    ClearLog();
    std::string keys = kPairs[p];
    vomaxel().SetSecureKey(keys);
    keyLog[p] = Count(Log());
    for (int t = 0; t < kThreads; ++t) {
      for (int c = 0; c < kCalls; ++c) {
        ClearLog();
        expected[t][c][p] = calls[t][c](vomaxel());
        callLog[t][c][p] = Count(Log());
      }
    }
  }
  for (int t = 0; t < kThreads; ++t) {
    for (int c = 0; c < kCalls; ++c) ASSERT_NE(expected[t][c][0], expected[t][c][1]) << c;
    const std::string plain = "Title " + std::to_string(t);
    EXPECT_EQ(expected[t][2][0], OracleBase64(OracleEncrypt(kC, plain)));
    EXPECT_EQ(expected[t][2][1], OracleBase64(OracleEncrypt(kB, plain)));
  }
  ClearLog();

  std::atomic<int> running(kThreads), changes(0);
  int keyChanges[kPairCount] = {};  // the key thread's, read after it ends
  int rounds[kThreads] = {};
  int seen[kThreads][kCalls][kPairCount] = {};
  int mixed[kThreads][kCalls] = {};
  std::vector<std::thread> threads;
  hostenv::SetLogYield(true);  // a key change may land at any field's log line
  threads.emplace_back([&] {
    for (int p = 0; running.load() > 0; p = 1 - p) {
      std::string keys = kPairs[p];
      vomaxel().SetSecureKey(keys);
      ++keyChanges[p];
      ++changes;
    }
  });
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      const int first = changes.load();
      for (int& round = rounds[t]; round < kRounds || changes.load() - first < kKeyChanges;
           ++round) {
        for (int c = 0; c < kCalls; ++c) {
          const std::string result = calls[t][c](vomaxel());
          const int p = result == expected[t][c][0] ? 0 : result == expected[t][c][1] ? 1 : -1;
          ++(p < 0 ? mixed[t][c] : seen[t][c][p]);
        }
      }
      --running;
    });
  }
  for (std::thread& thread : threads) thread.join();
  hostenv::SetLogYield(false);

  std::map<std::string, int> expectedLog;
  const auto add = [&expectedLog](const std::map<std::string, int>& lines, int times) {
    if (times == 0) return;
    for (const auto& line : lines) expectedLog[line.first] += line.second * times;
  };
  int allRounds = 0;
  for (int t = 0; t < kThreads; ++t) allRounds += rounds[t];
  for (int p = 0; p < kPairCount; ++p) {
    add(keyLog[p], keyChanges[p]);
    for (int t = 0; t < kThreads; ++t) {
      for (int c = 0; c < kCalls; ++c) add(callLog[t][c][p], seen[t][c][p]);
    }
  }
  for (int c = 0; c < kCalls; ++c) {
    int all = 0;
    for (int t = 0; t < kThreads; ++t) all += mixed[t][c];
    EXPECT_EQ(all, 0) << kCallNames[c] << " under no one pair, of " << allRounds;
    RecordProperty(std::string("mixed_") + kCallNames[c], all);
  }
  EXPECT_EQ(Count(Log()), expectedLog);
  RecordProperty("rounds", allRounds);
  RecordProperty("key_changes", changes.load());
}

}  // namespace
