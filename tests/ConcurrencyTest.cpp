// Decoding from eight threads at once with the keys set beforehand, as the
// host may do: each thread decrypts match answers and event information whose
// fields decrypt under either key or fail and keep their text, so the key
// store, the cipher and the log channel all run concurrently. `make test-tsan`
// runs this under ThreadSanitizer.
#include <json/json.h>

#include <algorithm>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "CipherOracle.h"
#include "DecodingFixture.h"

namespace {

using server::Key;

constexpr int kThreads = 8;
constexpr int kRounds = 20;

// One thread's inputs, with texts of its own so that a mix-up shows, and
// what decoding them must give.
struct Work {
  std::string answer;
  std::string eventInfo;
  std::string undecryptable;  // Base64, but no whole cipher block: no key decrypts it
  ACR_MATCH_INFO record;
  Json::Value eventOutput;
};

Work MakeWork(int thread) {
  const std::string n = std::to_string(thread);
  Work work;
  const std::string fifteenBytes = "undecryptable " + n;
  work.undecryptable = OracleBase64(Bytes(fifteenBytes.begin(), fifteenBytes.end()));
  const std::string entry = "{\"contentId\":\"P" + n + ".1" + n + "\",\"contentTitle\":\"Title " +
                            n + "\",\"contentOffset\":" + std::to_string(1200 + thread) + "}";
  const std::string stream = "{\"streamId\":\"CH" + n + ".News " + n + "\"}";
  // contentId and contentTitle under the current key, streamId under the old
  // one; altContentId decrypts under neither, altContentTitle is not Base64.
  Json::Value answer;
  Json::Value match;
  Json::Reader().parse(server::MatchAnswer({{Key::kCurrent, entry}}), answer);
  Json::Reader().parse(server::MatchAnswer({{Key::kOld, stream}}), match);
  answer["matchResult"][0]["streamId"] = match["matchResult"][0]["streamId"];
  answer["matchResult"][0]["altContentId"] = work.undecryptable;
  answer["matchResult"][0]["altContentTitle"] = "not Base64 " + n;
  answer["queryTs"] = thread;
  work.answer = Json::FastWriter().write(answer);

  ACR_MATCH_INFO& r = work.record;
  r.szChannelId = "CH" + n;
  r.szChannelName = "News " + n;
  r.szProgramId = "P" + n;
  r.szProgramName = "Title " + n;
  r.szStartTime = "1" + n;
  r.szMediaTime = std::to_string(1200 + thread);
  r.szAltContentId = work.undecryptable;
  r.szAltContentTitle = "not Base64 " + n;
  r.nMatchCount = 1;
  r.nEngineType = 0;
  r.nEventType = 0;
  r.bIsEngineStopped = 0;

  Json::Value info;
  Json::Reader().parse(server::EventInfo("{\"contentId\":\"E" + n + "\",\"streamTs\":" + n + "}"),
                       info);
  info["streamId"] = server::Encrypt("S" + n + ".live", Key::kOld);
  info["callbackUrl"] = work.undecryptable;
  work.eventInfo = Json::FastWriter().write(info);
  work.eventOutput = info;
  work.eventOutput["contentId"] = "E" + n;
  work.eventOutput["streamId"] = "S" + n + ".live";
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
  if (!Json::Reader().parse(output, answer) ||
      answer["matchResult"][0]["contentId"] != work.record.szProgramId + "." +
                                                    work.record.szStartTime ||
      answer["matchResult"][0]["altContentId"] != work.undecryptable) {
    faults.push_back("answer: " + output);
  }
  const std::string eventText = vomaxel.DecryptEachEventInfo(work.eventInfo);
  Json::Value event;
  if (!Json::Reader().parse(eventText, event) || event != work.eventOutput) {
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
