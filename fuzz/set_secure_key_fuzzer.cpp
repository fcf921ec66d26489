// SetSecureKey followed by decryption: the input holds a key text and a field,
// separated by a NUL. The key text is never changed; event information with
// the field decrypts to an object with that one string member; and where a
// current key is in force, the cipher's Decrypt gives back what its Encrypt made.
#include "ACRCipherUtil.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  IVomaxel& plugin = fuzz::Plugin();
  const std::vector<std::string> texts = fuzz::Split(data, size);
  std::string key = texts.size() > 0 ? texts[0] : std::string();
  const std::string field = texts.size() > 1 ? texts[1] : std::string();

  const std::string keyBefore = key;
  plugin.SetSecureKey(key);
  FUZZ_CHECK(key == keyBefore);

  Json::Value info(Json::objectValue);
  info["contentId"] = field;
  const Json::Value decrypted =
      fuzz::ReadOutput(plugin.DecryptEachEventInfo(port::FastWriter().write(info)), false);
  FUZZ_CHECK(fuzz::HasMembers(decrypted, {"contentId"}) && decrypted["contentId"].isString());

  if (field.empty()) return 0;
  CACRCipherUtil* cipher = CACRCipherUtil::GetInstance();
  std::vector<unsigned char> plain(field.begin(), field.end());
  std::vector<unsigned char> sealed(plain.size() + 16);
  const int sealedSize = cipher->Encrypt(sealed.data(), plain.data(), static_cast<int>(plain.size()));
  if (sealedSize == 0) return 0;  // no current key
  FUZZ_CHECK(sealedSize % 16 == 0 && sealedSize > static_cast<int>(plain.size()) &&
             sealedSize <= static_cast<int>(plain.size()) + 16);
  std::vector<unsigned char> opened(sealedSize + 16);
  const int openedSize = cipher->Decrypt(opened.data(), sealed.data(), sealedSize);
  FUZZ_CHECK(openedSize == static_cast<int>(plain.size()));
  FUZZ_CHECK(std::equal(plain.begin(), plain.end(), opened.begin()));
  return 0;
}
