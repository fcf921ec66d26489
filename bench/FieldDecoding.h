// One encrypted field through the plug-in's own decoding, which is private.

#ifndef VOMAXEL_BENCH_FIELDDECODING_H_
#define VOMAXEL_BENCH_FIELDDECODING_H_

#include <string>

#include "KeyPair.h"
#include "Vomaxel.h"

// Vomaxel::m_DoDecryption of `text` with `keys`.
std::string DecodeField(Vomaxel& vomaxel, const std::string& text, KeyPair& keys);

#endif  // VOMAXEL_BENCH_FIELDDECODING_H_
