// Decoding from eight threads at once with the keys set beforehand, as the
// host may do: each thread decrypts match answers and event information whose
// fields decrypt under either key or fail and keep their text, so the key
// store, the cipher and the log channel all run concurrently. `make test-tsan`
// runs this under ThreadSanitizer.
#include <json/json.h>

#include <map>
#include <string>
#include <thread>
#include <vector>

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

}  // namespace
