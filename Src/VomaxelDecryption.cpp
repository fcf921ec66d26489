// Placeholder until server result decoding lands.
#include "Vomaxel.h"

void Vomaxel::DecryptMatchInfo(const std::string&, ACR_MATCH_INFO&, std::string&) {}

std::string Vomaxel::DecryptEachEventInfo(const std::string&) { return std::string(); }
