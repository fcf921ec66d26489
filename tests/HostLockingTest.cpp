// A host of OpenSSL 1.0.x installs libcrypto's locking before its threads
// call libcrypto, and so does the stand-in (hostenv/HostLocking.cpp), which
// the concurrency tests rely on: without it 1.0.x takes no lock at all and
// changes its shared state unguarded. (1.1.0 and later lock by themselves.)
#include <gtest/gtest.h>
#include <openssl/crypto.h>

#include <atomic>
#include <chrono>
#include <thread>

#if OPENSSL_VERSION_NUMBER < 0x10100000L && !defined(OPENSSL_IS_BORINGSSL)

// While this thread holds one of libcrypto's locks, another that asks for it
// waits until it is released.
TEST(HostLocking, LibcryptoLockKeepsAnotherThreadOut) {
  std::atomic<bool> held(true);
  std::atomic<bool> enteredWhileHeld(false);
  CRYPTO_w_lock(CRYPTO_LOCK_DYNLOCK);
  std::thread other([&held, &enteredWhileHeld] {
    CRYPTO_w_lock(CRYPTO_LOCK_DYNLOCK);
    enteredWhileHeld = held.load();
    CRYPTO_w_unlock(CRYPTO_LOCK_DYNLOCK);
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  held = false;
  CRYPTO_w_unlock(CRYPTO_LOCK_DYNLOCK);
  other.join();
  EXPECT_FALSE(enteredWhileHeld);
}

#endif
