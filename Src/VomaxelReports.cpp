// Placeholder until report building lands.
#include "Vomaxel.h"

bool Vomaxel::MakeDeviceInfoJson(ACR_HDMI_DEVICE_INFO*, std::string&) { return false; }

std::string Vomaxel::MakeAuxiliaryInfo(std::string) { return std::string(); }

void Vomaxel::MakeEventInfoList(std::vector<std::string>&, std::string&) {}

void Vomaxel::MakeEventMessage(MATCHING_ENGINE_TYPE, int, int, const std::string&,
                               const std::string&, std::string&) {}

bool Vomaxel::MakeAcrData(int, int, BI_ST_ACRINFO*, BI_ST_EVENTINFO*, std::string&) {
  return false;
}

bool Vomaxel::MakeAcrData(int, int, int, std::vector<BI_ST_ACRINFO>*,
                          std::vector<BI_ST_EVENTINFO>*, std::string&) {
  return false;
}
