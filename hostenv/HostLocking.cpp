// libcrypto's locking, as a host built against OpenSSL 1.0.x sets it up:
// 1.0.x leaves locks and thread identities to the application, which must
// install its callbacks before it calls libcrypto from several threads (from
// 1.1.0 on, and in BoringSSL, libcrypto locks by itself and the calls do
// nothing). The plug-in, a guest in the host's process, never installs them.
#include <openssl/crypto.h>

#if OPENSSL_VERSION_NUMBER < 0x10100000L && !defined(OPENSSL_IS_BORINGSSL)

#include <mutex>

namespace {

// Never freed: libcrypto may take a lock until the process ends.
std::mutex* g_locks = nullptr;

void Lock(int mode, int type, const char*, int) {
  if (mode & CRYPTO_LOCK) {
    g_locks[type].lock();
  } else {
    g_locks[type].unlock();
  }
}

// A thread's identity: the address of a variable each thread has its own of.
void ThreadId(CRYPTO_THREADID* id) {
  static thread_local char self;
  CRYPTO_THREADID_set_pointer(id, &self);
}

// Before main, while the process has one thread.
struct Install {
  Install() {
    g_locks = new std::mutex[CRYPTO_num_locks()];
    CRYPTO_THREADID_set_callback(ThreadId);
    CRYPTO_set_locking_callback(Lock);
  }
} g_install;

}  // namespace

#endif
