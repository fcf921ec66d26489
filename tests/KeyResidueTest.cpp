// What the plug-in leaves of a key once a call returns. Each operation runs on
// a thread whose stack is zeroed memory of the test's; once the thread has
// ended, that memory must hold neither key's bytes. Meanwhile operator delete
// refuses every freed block that still holds a key's text or bytes. Beyond
// the plug-in's reach, and not looked at: the host's own key string, OpenSSL's
// state, and the log framework's copy of the key line (the test host formats
// it on the stack, which is therefore searched for the keys' bytes only).
#include <pthread.h>
#include <sys/mman.h>

#include <functional>
#include <string>
#include <vector>

#include "ACRCipherUtil.h"
#include "AllocationFaults.h"
#include "CipherOracle.h"
#include "DecodingFixture.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

namespace {

using server::Key;

Bytes FromHex(const std::string& hex) {
  Bytes bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<unsigned char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

struct Job {
  const std::function<void()>* operation;
  bool fakeStack;
};

// The operation runs 64 KiB below the thread's first frame, out of reach of
// what the thread's start and end run there.
__attribute__((noinline)) void RunDeep(Job& job) {
  volatile char below[1 << 16];
  below[0] = 0;
  (void)below;
  (*job.operation)();
#if defined(__SANITIZE_ADDRESS__)
  job.fakeStack = __asan_get_current_fake_stack() != nullptr;
#endif
}

// Runs `operation` on a thread of its own stack, then names the `secrets`
// that this stack holds once the thread has ended. `*fakeStack` tells where
// AddressSanitizer kept the frames elsewhere.
std::string LeftOnStack(const std::function<void()>& operation,
                        const std::vector<std::string>& secrets, bool* fakeStack) {
  const size_t size = 1 << 20;
  void* stack = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (stack == MAP_FAILED) return "no stack";
  Job job = {&operation, false};
  pthread_attr_t attributes;
  pthread_t thread;
  pthread_attr_init(&attributes);
  pthread_attr_setstack(&attributes, stack, size);
  const bool started =
      pthread_create(&thread, &attributes, [](void* job) -> void* {
        RunDeep(*static_cast<Job*>(job));
        return nullptr;
      }, &job) == 0;
  pthread_attr_destroy(&attributes);
  std::string found = started ? "" : "no thread";
  if (started) pthread_join(thread, nullptr);
  for (size_t i = 0; i < secrets.size(); ++i) {
    if (faults::Holds(stack, size, secrets[i])) found += " key " + std::to_string(i);
  }
  munmap(stack, size);
  *fakeStack = job.fakeStack;
  return found;
}

using KeyResidueTest = DecodingTest;

TEST_F(KeyResidueTest, NoKeyIsLeftInFreedBlocksOrOnTheStack) {
  const std::string keyText = server::KeyText();
  const std::string oldHalf = keyText.substr(0, keyText.find(','));
  const std::string currentHalf = keyText.substr(oldHalf.size() + 1);
  // Each key's bytes, and its text from the second character on: clearing a
  // string overwrites only the first.
  std::vector<std::string> bytes, secrets;
  for (const std::string& half : {oldHalf, currentHalf}) {
    const Bytes key = FromHex(half);
    bytes.emplace_back(key.begin(), key.end());
    secrets.push_back(half.substr(1));
  }
  secrets.insert(secrets.end(), bytes.begin(), bytes.end());

  std::string hostKeys = keyText;
  std::string hostRefusedOld = oldHalf + "0," + currentHalf;  // an old half of odd length
  CACRCipherUtil& store = *CACRCipherUtil::GetInstance();
  Bytes cipher = OracleEncrypt(AesKey(FromHex(currentHalf)), "three blocks of plain text, 48 B");
  std::string plain = "plain text";
  const std::string answer = server::MatchAnswer(
      {{Key::kOld, R"({"contentId":"P1.10","contentTitle":"Morning","streamId":"CH7.News"})"}});
  const std::string eventInfo =
      server::EventInfo(R"({"contentId":"C1","streamId":"CH7.News"})", Key::kOld);
  const struct {
    const char* operation;
    std::function<void()> run;
  } cases[] = {
      {"SetSecureKey", [&] { vomaxel().SetSecureKey(hostKeys); }},
      {"SetSecureKey, old half refused", [&] { vomaxel().SetSecureKey(hostRefusedOld); }},
      {"Decrypt",
       [&] {
         unsigned char out[64];
         store.Decrypt(out, cipher.data(), static_cast<int>(cipher.size()));
       }},
      {"Encrypt",
       [&] {
         unsigned char out[32];
         store.Encrypt(out, reinterpret_cast<unsigned char*>(&plain[0]),
                       static_cast<int>(plain.size()));
       }},
      {"DecryptMatchInfo",
       [&] {
         ACR_MATCH_INFO record{};
         std::string output;
         vomaxel().DecryptMatchInfo(answer, record, output);
       }},
      {"DecryptEachEventInfo", [&] { vomaxel().DecryptEachEventInfo(eventInfo); }},
  };
  // The loader binds libcrypto's calls into other libraries at their first
  // use (where libcrypto is linked without "now") and saves the vector
  // registers on the stack as it does, with a key among them where libcrypto
  // left one there: a copy the loader makes once per process. Each case runs
  // once beforehand, so that the stacks below show the plug-in's calls alone.
  for (const auto& c : cases) c.run();
  bool fakeStack = false;
  for (const auto& c : cases) {
    faults::WatchFreedBlocks(&secrets);
    const std::string onStack = LeftOnStack(c.run, bytes, &fakeStack);
    EXPECT_EQ(faults::WatchFreedBlocks(nullptr), 0u) << c.operation << ": freed blocks with a key";
    if (!fakeStack) {
      EXPECT_EQ(onStack, "") << c.operation << ": on the stack";
    }
  }
  if (fakeStack) GTEST_SKIP() << "AddressSanitizer kept the frames on its fake stack";
}

}  // namespace
