// Nesting at jsoncpp's limit, on a receiver-sized thread stack. The old reader
// accepts so many levels of open values (1000; 256 from 1.9.8) and throws
// past them; every parsing operation gets texts at the limit and one level
// past it on a thread with a 1 MiB stack and a guard page below it, and must
// give its result or its rejection without crashing. Then texts nested far
// past the limit and ordinary ones go through every parsing operation at
// once, on such threads. Throughout, a host parses with the old reader on a
// thread of its own.
#include <pthread.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "PluginFixture.h"

namespace {

constexpr int kDeepest = jsoncpp::kNestingLimit;
constexpr size_t kStackSize = 1 << 20;

// `depth` levels in all: `outer` levels of the given text around arrays.
std::string Nested(const std::string& head, int depth, int outer, const std::string& tail) {
  return head + std::string(depth - outer, '[') + std::string(depth - outer, ']') + tail;
}
std::string Arrays(int depth) { return Nested("", depth, 0, ""); }

// A report or output read back whatever its depth.
Json::Value ReadDeep(const std::string& text) {
  Json::CharReaderBuilder builder;
  builder["stackLimit"] = 1 << 20;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value root;
  std::string errors;
  EXPECT_TRUE(reader->parse(text.data(), text.data() + text.size(), &root, &errors)) << errors;
  return root;
}

int ArrayDepth(const Json::Value& value) {
  return value.isArray() ? 1 + (value.empty() ? 0 : ArrayDepth(value[0])) : 0;
}

// Runs `operation` on a thread with a 1 MiB stack and a guard page below it.
void OnSmallStack(const std::function<void()>& operation) {
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  void* mapping = mmap(nullptr, kStackSize + page, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(mapping, MAP_FAILED);
  mprotect(mapping, page, PROT_NONE);

  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setstack(&attributes, static_cast<char*>(mapping) + page, kStackSize);
  pthread_t thread;
  auto run = [](void* argument) -> void* {
    (*static_cast<const std::function<void()>*>(argument))();
    return nullptr;
  };
  EXPECT_EQ(pthread_create(&thread, &attributes, run,
                           const_cast<std::function<void()>*>(&operation)),
            0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attributes);
  munmap(mapping, kStackSize + page);
}

// A host's own parses with the old reader, on a thread of its own, as any
// host may make them: before jsoncpp 1.8 each one sets the reader's nesting
// count, shared by the whole process, back to zero.
class HostParses {
 public:
  HostParses()
      : thread_([this] {
          const std::string text = R"({"a":[1]})";
          while (!stop_) {
            Json::Value root;
            try {
              port::Reader().parse(text.data(), text.data() + text.size(), root);
            } catch (const Json::RuntimeError&) {  // the plug-in's levels added to its count
            }
          }
        }) {}
  ~HostParses() {
    stop_ = true;
    thread_.join();
  }

 private:
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

using DeepNesting = PluginTest;

TEST_F(DeepNesting, EveryParsingOperationAtTheLimitAndOneLevelPastIt) {
  const HostParses host;
  for (const int depth : {kDeepest, kDeepest + 1}) {
    SCOPED_TRACE(depth);
    const bool parses = depth == kDeepest;

    ACR_MATCH_INFO record{};
    record.szChannelId = "kept";
    OnSmallStack([&] {
      EXPECT_EQ(vomaxel().ParserACRInfoJson(Nested("{\"x\":", depth, 1, "}").c_str(), record),
                parses);
    });
    EXPECT_EQ(record.szChannelId, parses ? "unknown" : "kept");

    // Root, "matchResult" and the entry hold the first three levels.
    record = ACR_MATCH_INFO{};
    std::string output = "previous";
    OnSmallStack([&] {
      vomaxel().DecryptMatchInfo(
          Nested(R"({"matchResult":[{"contentId":"P1.1","extra":)", depth, 3, "}]}"), record,
          output);
    });
    EXPECT_EQ(record.szProgramId, parses ? "P1" : "");
    if (parses) EXPECT_EQ(ArrayDepth(ReadDeep(output)["matchResult"][0]["extra"]), depth - 3);
    else EXPECT_EQ(output, "previous");

    OnSmallStack([&] {
      output = vomaxel().DecryptEachEventInfo(Nested("{\"extra\":", depth, 1, "}"));
    });
    if (parses) EXPECT_EQ(ArrayDepth(ReadDeep(output)["extra"]), depth - 1);
    else EXPECT_EQ(output, "");

    output = "previous";
    OnSmallStack([&] {
      vomaxel().MakeEventMessage(MATCHING_ENGINE_TYPE_VIDEO, 1, 2, "[1]", Arrays(depth), output);
    });
    if (parses) EXPECT_EQ(ArrayDepth(ReadDeep(output)["EventInfo"]), depth);
    else EXPECT_EQ(output, "previous");

    std::vector<std::string> entries = {Arrays(depth)};
    OnSmallStack([&] { vomaxel().MakeEventInfoList(entries, output); });
    const Json::Value element = ReadDeep(output)[0];
    if (parses) EXPECT_EQ(ArrayDepth(element), depth);
    else EXPECT_EQ(element, ReadDeep("[null]"));

    // Past the limit, "ContentMeta" and "Value" are carried as text.
    BI_ST_ACRINFO acrInfo{"", "", 0, "", Arrays(depth), 0, 0, 0, 0};
    // The ad member one level down.
    BI_ST_EVENTINFO eventInfo{0, "", 0, 0, "", Nested("{\"AdURI\":", depth, 1, "}")};
    std::vector<BI_ST_ACRINFO> acrInfos = {acrInfo};
    std::vector<BI_ST_EVENTINFO> eventInfos = {eventInfo};
    OnSmallStack([&] {
      EXPECT_TRUE(vomaxel().MakeAcrData(1, 2, &acrInfo, &eventInfo, output));
    });
    Json::Value report = ReadDeep(output);
    const Json::Value meta = report["ACRInfo"]["ContentMeta"];
    const Json::Value value = report["EventInfo"]["Value"];
    if (parses) {
      EXPECT_EQ(ArrayDepth(meta), depth);
      EXPECT_EQ(ArrayDepth(value["AdURI"]), depth - 1);
    } else {
      EXPECT_EQ(meta, Json::Value(acrInfo.szContentMeta));
      EXPECT_EQ(value, Json::Value(eventInfo.szValue));
    }
    OnSmallStack([&] {
      EXPECT_TRUE(vomaxel().MakeAcrData(0, 1, 2, &acrInfos, &eventInfos, output));
    });
    report = ReadDeep(output);
    EXPECT_EQ(report["ACRInfo"][0]["ContentMeta"], meta);
    EXPECT_EQ(report["EventInfo"][0]["Value"], value);
  }
}

// Every operation that parses, on the given texts; their results as one text.
std::string ParseEverywhere(IVomaxel& vomaxel, const std::string& answer,
                            const std::string& eventInfo, const std::string& json) {
  ACR_MATCH_INFO record{};
  std::string output;
  vomaxel.DecryptMatchInfo(answer, record, output);
  std::string results = output + Describe(record) + vomaxel.DecryptEachEventInfo(eventInfo);
  record = ACR_MATCH_INFO{};
  results += std::to_string(vomaxel.ParserACRInfoJson(json.c_str(), record)) + Describe(record);
  BI_ST_ACRINFO acrInfo{"", "", 0, "", json, 0, 0, 0, 0};
  BI_ST_EVENTINFO eventRecord{0, "", 0, 0, "", json};
  std::vector<BI_ST_ACRINFO> acrInfos = {acrInfo};
  std::vector<BI_ST_EVENTINFO> eventRecords = {eventRecord};
  std::vector<std::string> entries = {json};
  vomaxel.MakeAcrData(1, 2, &acrInfo, &eventRecord, output);
  results += output;
  vomaxel.MakeAcrData(0, 1, 2, &acrInfos, &eventRecords, output);
  results += output;
  vomaxel.MakeEventMessage(MATCHING_ENGINE_TYPE_VIDEO, 1, 2, json, json, output);
  results += output;
  vomaxel.MakeEventInfoList(entries, output);
  return results + output;
}

// jsoncpp before 1.8 counts the old reader's nesting for the whole process:
// a hostile text on one thread, with the host's parses resetting the count,
// must neither overflow the stack nor change a verdict on another. The
// hostile texts are 100,000 levels deep behind each separator form; before
// jsoncpp 1.9.6, after a comment following an object's member, any token is
// taken as the separator, and such a "[" or "{" opens nothing and "]" closes
// nothing.
TEST_F(DeepNesting, HostileTextsBesideOrdinaryOnesInEveryParsingOperation) {
  const std::string nested = std::string(100, '[') + "1" + std::string(100, ']');
  const std::string answer = R"({"matchResult":[{"contentId":"P1.10","streamId":"CH1.News",)"
                             R"("extra":)" + nested + R"(}],"queryTs":7})";
  const std::string eventInfo = R"({"contentId":"E1","streamId":"S1.live","extra":)" + nested + "}";
  const std::string json = R"({"channelId":"CH1","programId":"P1","extra":)" + nested + "}";
  const std::string expected = ParseEverywhere(vomaxel(), answer, eventInfo, json);
  std::vector<std::pair<std::string, std::string>> hostile;  // text, results alone
  for (const char* head : {"", "[0,", R"({"a":)", R"({"a":0,"b":)", "[0 /**/ ,",
                           R"([{"a":0 /**/ },)", R"({"a":0 /**/ ,"b":)", R"({"a":0 /**/ ] "b":)",
                           R"({"a":0 /**/ [ "b":)", R"({"a":0 /**/ { "b":)",
                           R"({"a":0 /**/ "s" "b":)", R"({"a":0 /**/ 1 "b":)"}) {
    const std::string text = head + std::string(100000, '[');
    hostile.emplace_back(text, ParseEverywhere(vomaxel(), text, text, text));
    ClearLog();  // each hostile line holds the whole text
  }
  const HostParses host;

  std::atomic<bool> stop(false);
  std::atomic<int> ordinaryRuns(0), wrong(0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      OnSmallStack([&] {
        while (!stop) {
          if (t % 2 == 0) {
            for (const auto& [text, alone] : hostile) {
              if (stop) break;
              wrong += ParseEverywhere(vomaxel(), text, text, text) != alone;
            }
            ClearLog();
          } else {
            wrong += ParseEverywhere(vomaxel(), answer, eventInfo, json) != expected;
            ++ordinaryRuns;
          }
        }
      });
    });
  }
  // Two seconds, and one ordinary run at least however slow the machine.
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (std::chrono::steady_clock::now() < end || ordinaryRuns == 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  stop = true;
  for (std::thread& thread : threads) thread.join();
  RecordProperty("ordinaryRuns", ordinaryRuns);
  EXPECT_EQ(wrong, 0) << "of " << ordinaryRuns << " ordinary runs and the hostile ones";
}

}  // namespace
