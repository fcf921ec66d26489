#include "Inputs.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace inputs {

namespace {

const char kOldKeyHex[] = "0f1e2d3c4b5a69788796a5b4c3d2e1f0";
const char kCurrentKeyHex[] = "8a4f1c2b9d3e7a6f5b0c1d2e3f405162";

Bytes HexBytes(const char* hex) {
  Bytes bytes;
  for (std::size_t i = 0; hex[i] != '\0' && hex[i + 1] != '\0'; i += 2) {
    const char pair[3] = {hex[i], hex[i + 1], '\0'};
    bytes.push_back(static_cast<unsigned char>(std::strtol(pair, nullptr, 16)));
  }
  return bytes;
}

std::string Field(const std::string& plain) { return EncryptField(CurrentKey(), plain); }

std::string Numbered(const char* format, int index) {
  char text[256];
  std::snprintf(text, sizeof(text), format, index);
  return text;
}

// One match entry as the server sends it: six encrypted members, the plain
// members the record takes, and a score it carries through.
std::string MatchEntry(int i) {
  return "{\"contentId\":\"" + Field(Numbered("EP%010d.1700003600", 1234500 + i)) +
         "\",\"contentTitle\":\"" + Field(Numbered("The Evening News, part %d", i + 1)) +
         "\",\"streamId\":\"" + Field(Numbered("%d.Channel Seven HD", 10021 + i)) +
         "\",\"altContentId\":\"" + Field(Numbered("SH%08d", 4400 + i)) +
         "\",\"altContentTitle\":\"" + Field("Evening News") +
         "\",\"altStreamId\":\"" + Field(Numbered("ALT-%d", 700 + i)) +
         "\",\"source\":\"broadcast\",\"idType\":\"TMS\",\"contentOffset\":" +
         std::to_string(1200 + 30 * i) +
         ",\"genre\":\"News\",\"altIdType\":\"SID\",\"bypassData\":\"" +
         Numbered("session=%06d", 900000 + i) + "\",\"score\":0.97}";
}

}  // namespace

const char* const kEncryptedMatchMembers[6] = {"contentId",    "contentTitle",    "streamId",
                                               "altContentId", "altContentTitle", "altStreamId"};
const char* const kEncryptedEventMembers[4] = {"contentId", "contentTitle", "streamId",
                                               "callbackUrl"};

std::string KeyText() { return std::string(kOldKeyHex) + "," + kCurrentKeyHex; }
Bytes CurrentKey() { return AesKey(HexBytes(kCurrentKeyHex)); }
Bytes OldKey() { return AesKey(HexBytes(kOldKeyHex)); }

std::string ServerAnswer(int matches) {
  std::string text = "{\"matchResult\":[";
  for (int i = 0; i < matches; ++i) {
    if (i > 0) text += ",";
    text += MatchEntry(i);
  }
  return text + "],\"queryTs\":1700003725123,\"matchCounts\":" + std::to_string(matches) + "}";
}

std::string EventInformation() {
  return "{\"eventId\":\"evt-20231114-0042\",\"eventType\":\"ad\",\"contentId\":\"" +
         Field("EP0001234500.1700003600") + "\",\"contentTitle\":\"" +
         Field("The Evening News") + "\",\"streamId\":\"" + Field("10021.Channel Seven HD") +
         "\",\"streamTs\":1700003725,\"callbackUrl\":\"" +
         Field("https://acr.example.net/callback/v2/events?id=evt-20231114-0042&tv=1") +
         "\",\"duration\":30}";
}

std::string EncryptedField(int plainLength) {
  const Bytes payload = Payload(plainLength);
  return Field(std::string(payload.begin(), payload.end()));
}

ACR_MATCH_INFO MatchRecord() {
  ACR_MATCH_INFO record = ACR_MATCH_INFO();
  record.szChannelId = "10021";
  record.szChannelName = "Channel Seven HD";
  record.szProgramId = "EP0001234500";
  record.szProgramName = "The Evening News";
  record.szStartTime = "1700003600";
  record.szMediaTime = "1200";
  record.szIdType = "TMS";
  record.szSource = "broadcast";
  record.szGenre = "News";
  record.szAltIdType = "SID";
  record.szAltContentId = "SH00004400";
  record.szAltContentTitle = "Evening News";
  record.szAltStreamId = "ALT-700";
  record.szBypassData = "session=900000";
  record.nMatchCount = 1;
  record.nEngineType = MATCHING_ENGINE_TYPE_AUDIO;
  return record;
}

std::string MatchInfoJson() {
  return "{\n"
         "   \"altContentId\" : \"SH00004400\",\n"
         "   \"altContentTitle\" : \"Evening News\",\n"
         "   \"altIdType\" : \"SID\",\n"
         "   \"altStreamId\" : \"ALT-700\",\n"
         "   \"bypassData\" : \"session=900000\",\n"
         "   \"channelId\" : \"10021\",\n"
         "   \"channelName\" : \"Channel Seven HD\",\n"
         "   \"engineType\" : 1,\n"
         "   \"eventType\" : 0,\n"
         "   \"genre\" : \"News\",\n"
         "   \"idType\" : \"TMS\",\n"
         "   \"isEngineStopped\" : 0,\n"
         "   \"matchCount\" : 1,\n"
         "   \"mediaTime\" : \"1200\",\n"
         "   \"programId\" : \"EP0001234500\",\n"
         "   \"programName\" : \"The Evening News\",\n"
         "   \"source\" : \"broadcast\",\n"
         "   \"startTime\" : \"1700003600\"\n"
         "}\n";
}

BI_ST_ACRINFO AcrInfo(int index) {
  BI_ST_ACRINFO info = BI_ST_ACRINFO();
  info.szStationName = "Channel Seven";
  info.szStreamName = "Channel Seven HD";
  info.nGlobalTime = 1700003725u + static_cast<unsigned int>(index);
  info.szContentId = Numbered("EP%010d", 1234500 + index);
  info.szContentMeta = Numbered(
      "{\"title\":\"The Evening News\",\"episode\":%d,\"season\":12,"
      "\"genres\":[\"News\",\"Current affairs\"],\"rating\":\"TV-G\",\"live\":true}",
      index + 1);
  info.nMediaTime = 1200 + index;
  info.nKillSwitch = 0;
  info.nLiveTag = 1;
  return info;
}

BI_ST_EVENTINFO EventInfo(int index) {
  BI_ST_EVENTINFO info = BI_ST_EVENTINFO();
  info.nType = 2;
  info.szStreamId = "10021";
  info.nGlobalTime = 1700003725u + static_cast<unsigned int>(index);
  info.szKey = "ad";
  info.szValue = Numbered(
      "{\"AdMediaTime\":%d,\"AdURI\":\"https://ads.example.net/spot/4711?slot=2\","
      "\"ContentId\":\"AD0004711\",\"ContentTitle\":\"Spring Sale\","
      "\"ContentType\":\"commercial\",\"PromptDuration\":5,\"ReoccurrenceDuration\":30,"
      "\"Campaign\":\"spring\"}",
      12000 + index);
  return info;
}

std::string MessageAcrInfoJson() {
  return "{\"StationName\":\"Channel Seven\",\"StreamName\":\"Channel Seven HD\","
         "\"ContentId\":\"EP0001234500\",\"ContentMeta\":{\"title\":\"The Evening News\","
         "\"episode\":1,\"season\":12},\"MediaTime\":1200,\"KillSwitch\":0,\"LiveTag\":1,"
         "\"GlobalTime\":1700003725}";
}

std::string MessageEventInfoJson() {
  return "{\"Type\":2,\"StreamId\":\"10021\",\"Key\":\"ad\",\"Value\":{\"AdMediaTime\":12000,"
         "\"AdURI\":\"https://ads.example.net/spot/4711?slot=2\",\"ContentId\":\"AD0004711\","
         "\"ContentTitle\":\"Spring Sale\",\"ContentType\":\"commercial\","
         "\"PromptDuration\":5,\"ReoccurrenceDuration\":0},\"GlobalTime\":1700003725}";
}

std::vector<std::string> EventInfoList(int count) {
  std::vector<std::string> list;
  for (int i = 0; i < count; ++i) {
    list.push_back(Numbered(
        "{\"Type\":2,\"StreamId\":\"10021\",\"Key\":\"ad\",\"GlobalTime\":%d,"
        "\"Value\":{\"AdMediaTime\":12000,\"ContentId\":\"AD0004711\",\"PromptDuration\":5}}",
        1700003725 + i));
  }
  return list;
}

ACR_HDMI_DEVICE_INFO HdmiDevice() {
  ACR_HDMI_DEVICE_INFO device = ACR_HDMI_DEVICE_INFO();
  std::strcpy(device.szVendor, "Orbitex");
  std::strcpy(device.szProduct, "StreamBox 4K");
  device.nSource = 3;
  return device;
}

Bytes Payload(int length) {
  Bytes bytes(static_cast<std::size_t>(length));
  for (int i = 0; i < length; ++i) bytes[i] = static_cast<unsigned char>('A' + (i * 7) % 26);
  return bytes;
}

}  // namespace inputs
