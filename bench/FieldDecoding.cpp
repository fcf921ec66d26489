#include "FieldDecoding.h"

namespace {

// m_DoDecryption is private; an explicit instantiation may name it.
std::string Decode(Vomaxel& vomaxel, const std::string& text, KeyPair& keys);
template <std::string (Vomaxel::*Member)(const std::string&, KeyPair&)>
struct FieldDecoding {
  friend std::string Decode(Vomaxel& vomaxel, const std::string& text, KeyPair& keys) {
    return (vomaxel.*Member)(text, keys);
  }
};
template struct FieldDecoding<&Vomaxel::m_DoDecryption>;

}  // namespace

std::string DecodeField(Vomaxel& vomaxel, const std::string& text, KeyPair& keys) {
  return Decode(vomaxel, text, keys);
}
