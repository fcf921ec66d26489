// The plug-in's entry points and its key handling.
#include "Vomaxel.h"

#include <exception>

#include "ACRCipherUtil.h"
#include "VomaxelLog.h"

extern "C" {

VOMAXEL_EXPORT IVomaxel* create() { return new Vomaxel; }

VOMAXEL_EXPORT void destroy(IVomaxel* object) { delete object; }

}  // extern "C"

void Vomaxel::SetSecureKey(std::string& key) {
  bool accepted;
  try {
    accepted = CACRCipherUtil::GetInstance()->SetKey(key.c_str());
  } catch (const std::exception&) {  // allocation failure: the stored keys stay
    accepted = false;
  }
  if (!accepted) {
    VOMAXEL_LOG(2, "%s:%d pCipherUtil->SetKey() return false, %s",
                "virtual void Vomaxel::SetSecureKey(std::string&)", 527, key.c_str());
  }
}
