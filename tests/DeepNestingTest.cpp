// Nesting at the plug-in's limit, on a receiver-sized thread stack. The
// plug-in reads texts nested up to its own limit (a build setting; without
// it, the old reader's: 1000 levels, 256 from 1.9.8) and refuses deeper ones
// as the reader refuses a text past its limit. Every parsing operation gets
// texts at the limit and one level past it, as arrays and as objects, on a
// thread with a 64 KiB stack (1 MiB at the reader's own limit) and a guard
// page below it, and must give its result or its rejection without crashing;
// the stack each one used is recorded. Then texts nested far past the limit
// and ordinary ones go through every parsing operation at once, on such
// threads. Throughout, a host parses with the old reader on a thread of its
// own.
#include <pthread.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "PluginFixture.h"

// Memcheck takes reads of a thread's stack once it is gone for errors.
#if __has_include(<valgrind/valgrind.h>)
#include <valgrind/valgrind.h>
#else
#define RUNNING_ON_VALGRIND 0
#endif

namespace {

constexpr int kDeepest = VOMAXEL_NESTING_LIMIT != 0 ? VOMAXEL_NESTING_LIMIT : jsoncpp::kNestingLimit;
// AddressSanitizer's redzones make each instrumented frame several times
// larger (jsoncpp's too, where a build compiles it with the same flags): such
// a build's threads get four times the stack. The other builds prove 64 KiB.
#ifdef __SANITIZE_ADDRESS__
constexpr size_t kSanitizerFactor = 4;
#else
constexpr size_t kSanitizerFactor = 1;
#endif
constexpr size_t kStackSize = (VOMAXEL_NESTING_LIMIT != 0 ? 64 << 10 : 1 << 20) * kSanitizerFactor;

// A form of nesting: the text that opens a level, the innermost (empty)
// level and the text that closes a level.
struct Form {
  const char* name;
  const char* open;
  const char* innermost;
  const char* close;
};
const Form kForms[] = {{"arrays", "[", "[]", "]"}, {"objects", R"({"a":)", "{}", "}"}};

std::string Repeat(const std::string& text, int times) {
  std::string repeated;
  for (int i = 0; i < times; ++i) repeated += text;
  return repeated;
}

// `depth` levels in all: `outer` levels of the given text around `form`.
std::string Nested(const std::string& head, int depth, int outer, const std::string& tail,
                   const Form& form = kForms[0]) {
  return head + Repeat(form.open, depth - outer - 1) + form.innermost +
         Repeat(form.close, depth - outer - 1) + tail;
}

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

// Levels along the first member or element, counting empty ones.
int Depth(const Json::Value& value) {
  if (!value.isArray() && !value.isObject()) return 0;
  return 1 + (value.empty() ? 0 : Depth(*value.begin()));
}

// Runs `operation` on a thread with a stack of kStackSize bytes and
// inaccessible pages below it, and returns the bytes of that stack it used
// (the thread's own descriptor and static TLS, which the C library keeps
// there, included); 0 under valgrind. Where the C library wants more for a
// thread (128 KiB on arm64), the thread gets that, all but the top kStackSize
// bytes of it inaccessible.
size_t OnSmallStack(const std::function<void()>& operation) {
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  const size_t given = std::max(kStackSize, static_cast<size_t>(sysconf(_SC_THREAD_STACK_MIN)));
  const size_t mapped = (given + page - 1) / page * page + page;
  void* mapping = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  EXPECT_NE(mapping, MAP_FAILED);
  if (mapping == MAP_FAILED) return 0;
  unsigned char* const stack = static_cast<unsigned char*>(mapping) + mapped - kStackSize;
  mprotect(mapping, mapped - kStackSize, PROT_NONE);
  std::fill(stack, stack + kStackSize, 0xA5);

  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  EXPECT_EQ(pthread_attr_setstack(&attributes, static_cast<unsigned char*>(mapping) + page,
                                  mapped - page),
            0);
  // Measured on the thread, before it ends: as a thread ends, a C library may
  // hand the stack below it back to the kernel, which then reads as zeros
  // (glibc 2.19 does, also with a stack of the caller's).
  struct Run {
    const std::function<void()>* operation;
    const unsigned char* stack;
    size_t used;
  } measured{&operation, stack, 0};
  auto run = [](void* argument) -> void* {
    Run& r = *static_cast<Run*>(argument);
    (*r.operation)();
    if (!RUNNING_ON_VALGRIND) {
      r.used = r.stack + kStackSize -
               std::find_if(r.stack, r.stack + kStackSize, [](unsigned char b) { return b != 0xA5; });
    }
    return nullptr;
  };
  pthread_t thread;
  EXPECT_EQ(pthread_create(&thread, &attributes, run, &measured), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attributes);
  const size_t used = measured.used;
  munmap(mapping, mapped);
  return used;
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
            // Memcheck runs one thread at a time: a parse of the host's
            // between each of the plug-in's, not a time slice of them.
            if (RUNNING_ON_VALGRIND) std::this_thread::yield();
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
  for (const Form& form : kForms) {
    for (const int depth : {kDeepest, kDeepest + 1}) {
      SCOPED_TRACE(std::string(form.name) + " " + std::to_string(depth));
      const bool parses = depth == kDeepest;
      size_t used = 0;
      // The stack used at the limit, for each operation; recorded and printed.
      auto measure = [&](const char* operation, const std::function<void()>& call) {
        const size_t bytes = OnSmallStack(call);
        used = std::max(used, bytes);
        if (!parses || bytes == 0) return;
        const std::string key = std::string("stack.") + form.name + "." + operation;
        RecordProperty(key, static_cast<int>(bytes));
        std::printf("%s: %zu bytes of %zu at %d levels\n", key.c_str(), bytes, kStackSize, depth);
      };
      auto nested = [&](const std::string& head, int outer, const std::string& tail) {
        return Nested(head, depth, outer, tail, form);
      };

      ACR_MATCH_INFO record{};
      record.szChannelId = "kept";
      measure("ParserACRInfoJson", [&] {
        EXPECT_EQ(vomaxel().ParserACRInfoJson(nested("{\"x\":", 1, "}").c_str(), record), parses);
      });
      EXPECT_EQ(record.szChannelId, parses ? "unknown" : "kept");

      // Root, "matchResult" and the entry hold the first three levels.
      record = ACR_MATCH_INFO{};
      std::string output = "previous";
      measure("DecryptMatchInfo", [&] {
        vomaxel().DecryptMatchInfo(
            nested(R"({"matchResult":[{"contentId":"P1.1","extra":)", 3, "}]}"), record, output);
      });
      EXPECT_EQ(record.szProgramId, parses ? "P1" : "");
      if (parses) EXPECT_EQ(Depth(ReadDeep(output)["matchResult"][0]["extra"]), depth - 3);
      else EXPECT_EQ(output, "previous");

      measure("DecryptEachEventInfo", [&] {
        output = vomaxel().DecryptEachEventInfo(nested("{\"extra\":", 1, "}"));
      });
      if (parses) EXPECT_EQ(Depth(ReadDeep(output)["extra"]), depth - 1);
      else EXPECT_EQ(output, "");

      output = "previous";
      measure("MakeEventMessage", [&] {
        vomaxel().MakeEventMessage(MATCHING_ENGINE_TYPE_VIDEO, 1, 2, "[1]", nested("", 0, ""),
                                   output);
      });
      if (parses) EXPECT_EQ(Depth(ReadDeep(output)["EventInfo"]), depth);
      else EXPECT_EQ(output, "previous");

      std::vector<std::string> entries = {nested("", 0, "")};
      measure("MakeEventInfoList", [&] { vomaxel().MakeEventInfoList(entries, output); });
      const Json::Value element = ReadDeep(output)[0];
      if (parses) EXPECT_EQ(Depth(element), depth);
      else EXPECT_EQ(element, ReadDeep("[null]"));

      // Past the limit, "ContentMeta" and "Value" are carried as text.
      BI_ST_ACRINFO acrInfo{"", "", 0, "", nested("", 0, ""), 0, 0, 0, 0};
      // The ad member one level down.
      BI_ST_EVENTINFO eventInfo{0, "", 0, 0, "", nested("{\"AdURI\":", 1, "}")};
      std::vector<BI_ST_ACRINFO> acrInfos = {acrInfo};
      std::vector<BI_ST_EVENTINFO> eventInfos = {eventInfo};
      measure("MakeAcrData", [&] {
        EXPECT_TRUE(vomaxel().MakeAcrData(1, 2, &acrInfo, &eventInfo, output));
      });
      Json::Value report = ReadDeep(output);
      const Json::Value meta = report["ACRInfo"]["ContentMeta"];
      const Json::Value value = report["EventInfo"]["Value"];
      if (parses) {
        EXPECT_EQ(Depth(meta), depth);
        EXPECT_EQ(Depth(value["AdURI"]), depth - 1);
      } else {
        EXPECT_EQ(meta, Json::Value(acrInfo.szContentMeta));
        EXPECT_EQ(value, Json::Value(eventInfo.szValue));
      }
      measure("MakeAcrData(lists)", [&] {
        EXPECT_TRUE(vomaxel().MakeAcrData(0, 1, 2, &acrInfos, &eventInfos, output));
      });
      report = ReadDeep(output);
      EXPECT_EQ(report["ACRInfo"][0]["ContentMeta"], meta);
      EXPECT_EQ(report["EventInfo"][0]["Value"], value);
      EXPECT_LT(used, kStackSize);
    }
  }
}

// A text refused for its depth gets what a text the reader rejects gets, log
// lines included: one level past the limit, against the deepest text with an
// unreadable token in its innermost level (the texts' own bytes left out).
TEST_F(DeepNesting, ATextTooDeepIsRejectedAsTheReaderRejectsOne) {
  auto outcome = [&](const std::string& text) {
    ClearLog();
    ACR_MATCH_INFO record{};
    record.szChannelId = "kept";
    std::string output = "previous";
    std::string result = std::to_string(vomaxel().ParserACRInfoJson(text.c_str(), record));
    vomaxel().DecryptMatchInfo(text, record, output);
    result += Describe(record) + output + vomaxel().DecryptEachEventInfo(text);
    std::vector<std::string> entries = {text};
    vomaxel().MakeEventInfoList(entries, output);
    result += output;
    vomaxel().MakeEventMessage(MATCHING_ENGINE_TYPE_VIDEO, 1, 2, text, text, output);
    BI_ST_ACRINFO acrInfo{"", "", 0, "", text, 0, 0, 0, 0};
    BI_ST_EVENTINFO eventInfo{0, "", 0, 0, "", text};
    vomaxel().MakeAcrData(1, 2, &acrInfo, &eventInfo, output);
    result += output;
    for (const std::string& line : Logged()) result += line + "\n";
    // The text as it stands, and as a JSON string holds it.
    const std::string quoted = Json::valueToQuotedString(text.c_str());
    for (const std::string& form : {text, quoted.substr(1, quoted.size() - 2)}) {
      for (size_t at; (at = result.find(form)) != std::string::npos;) {
        result.replace(at, form.size(), "<text>");
      }
    }
    return result;
  };
  for (const Form& form : kForms) {
    SCOPED_TRACE(form.name);
    const std::string tooDeep = Nested("{\"x\":", kDeepest + 1, 1, "}", form);
    const std::string unreadable = Nested("{\"x\":", kDeepest, 1, "}", form);
    std::string same = unreadable;
    same.replace(same.find(form.innermost), 2, "[x");
    EXPECT_EQ(outcome(tooDeep), outcome(same));
  }
}

// The count reads the text as the reader does: brackets in strings (escaped
// quotes included) and in comments open nothing; a comment between two opening
// brackets hides neither.
TEST_F(DeepNesting, BracketsInStringsAndCommentsOpenNothing) {
  const std::string outer(kDeepest - 1, '['), closing(kDeepest - 1, ']');
  const struct {
    const char* innermost;
    bool read;
  } cases[] = {
      {R"(["[[[","]]]"])", true},        {R"(["\"[[", "\\", "[\\\"["])", true},
      {"[/*[[*/1]", true},               {"[// [[\n1]", true},
      {"[[1]]", false},                  {"[/**/[1]]", false},
      {"[\"]\" /*]*/ [1]]", false},    {"[/* * [ */1]", true},
      {"[// [[\r1]", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.innermost);
    std::vector<std::string> entries = {outer + c.innermost + closing};
    std::string output;
    vomaxel().MakeEventInfoList(entries, output);
    EXPECT_EQ(ReadDeep(output)[0] != ReadDeep("[null]"), c.read);
  }
  // Nor where the text ends inside a comment, a string or an escape: the
  // reader's partial array comes back, not the [null] of a text too deep.
  for (const char* end : {"[/", "[/*[", "[/* *[", "[// [", "[\"[", "[\"\\"}) {
    SCOPED_TRACE(end);
    std::vector<std::string> entries = {outer + end};
    std::string output;
    vomaxel().MakeEventInfoList(entries, output);
    EXPECT_NE(ReadDeep(output), ReadDeep("[null]"));
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
  // Ordinary texts nested as deep as the limit allows (100 levels at most).
  const int levels = std::min(100, kDeepest - 4);
  const std::string nested = std::string(levels, '[') + "1" + std::string(levels, ']');
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
          if (RUNNING_ON_VALGRIND) std::this_thread::yield();
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

// A host's own parses of texts near the reader's limit, on a thread of its
// own, beside the plug-in's parses of an ordinary answer. Before jsoncpp 1.8
// the host's levels count in the plug-in's parses too, and the plug-in reads
// again the text the reader then refuses; the count of answers refused all
// the same is recorded.
TEST_F(DeepNesting, OrdinaryAnswersBesideAHostsDeepParses) {
  const int hostDepth = jsoncpp::kNestingLimit - 5;
  const std::string deep = std::string(hostDepth, '[') + std::string(hostDepth, ']');
  std::atomic<bool> stop(false);
  std::thread host([&] {
    while (!stop) {
      Json::Value root;
      try {
        port::Reader().parse(deep.data(), deep.data() + deep.size(), root);
      } catch (const Json::RuntimeError&) {  // the plug-in's levels added to its count
      }
      if (RUNNING_ON_VALGRIND) std::this_thread::yield();
    }
  });
  const char kAnswer[] = R"({"channelId":"CH1","extra":{"a":[[{"b":[[1]]}]]}})";  // 7 levels
  const int kCalls = 5000;
  int refused = 0;
  for (int i = 0; i < kCalls; ++i) {
    ACR_MATCH_INFO record{};
    refused += !vomaxel().ParserACRInfoJson(kAnswer, record);
  }
  stop = true;
  host.join();
  RecordProperty("refused", refused);
  std::printf("ordinary answers refused beside the host's %d-level parses: %d of %d\n", hostDepth,
              refused, kCalls);
  EXPECT_EQ(refused, 0);
}

}  // namespace
