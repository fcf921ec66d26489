#include "FieldDecoding.h"

// An explicit instantiation may name a private member. The friend's name is
// the one declared in the header: the template is at file scope for that.
template <std::string (Vomaxel::*Member)(const std::string&, KeyPair&)>
struct FieldDecoding {
  friend std::string DecodeField(Vomaxel& vomaxel, const std::string& text, KeyPair& keys) {
    return (vomaxel.*Member)(text, keys);
  }
};
template struct FieldDecoding<&Vomaxel::m_DoDecryption>;
