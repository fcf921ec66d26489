// The plug-in's entry points and its key handling.
#include "Vomaxel.h"

#include "ACRCipherUtil.h"
#include "LoggedKey.h"
#include "VomaxelLog.h"

extern "C" {

VOMAXEL_EXPORT IVomaxel* create() { return new Vomaxel; }

VOMAXEL_EXPORT void destroy(IVomaxel* object) { delete object; }

}  // extern "C"

// SetKey makes every allocation it needs before it writes a key row, so an
// allocation failure leaves the stored keys as they were.
void Vomaxel::SetSecureKey(std::string& key) {
  if (!CACRCipherUtil::GetInstance()->SetKey(key.c_str())) {
    // Fixed log texts (VomaxelLog.h): the format, the signature and the line.
    VOMAXEL_LOG(2, "%s:%d pCipherUtil->SetKey() return false, %s",
                "virtual void Vomaxel::SetSecureKey(std::string&)", VOMAXEL_FIXED_LINE(527),
                LoggedKey(key).c_str());
  }
}
