// Handing the two decryption keys to the plug-in and telling the user when
// the key store refused them.

#ifndef VOMAXEL_ACRHOST_KEYS_H_
#define VOMAXEL_ACRHOST_KEYS_H_

#include <string>

#include "IVomaxel.h"

// The key text of a key file: its content without the line break at its end.
std::string KeyTextOfFile(const std::string& content);

// Calls SetSecureKey with `keyText` ("OLD,CURRENT" in hexadecimal).
// SetSecureKey returns nothing, so the verdict is read from the key store's
// log lines: throws HostError when the whole text or one of its halves was
// refused. An empty half is not a refusal: the store keeps that row as it is.
void SetKeys(IVomaxel& vomaxel, std::string keyText);

#endif  // VOMAXEL_ACRHOST_KEYS_H_
