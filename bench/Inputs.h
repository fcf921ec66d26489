// Realistic inputs for the benchmarks: server answers and event information
// encrypted with OpenSSL under the current key, host report records, JSON
// texts of the sizes a receiver handles.

#ifndef VOMAXEL_BENCH_INPUTS_H_
#define VOMAXEL_BENCH_INPUTS_H_

#include <string>
#include <vector>

#include "CipherOracle.h"
#include "IVomaxel.h"

namespace inputs {

// "OLD,CURRENT": two 32-digit keys, as the host hands them in.
std::string KeyText();
// The 16-byte AES key of KeyText()'s current half, which encrypts every field.
Bytes CurrentKey();
// The 16-byte AES key of KeyText()'s old half.
Bytes OldKey();

// The six encrypted members of a match entry, in decryption order.
extern const char* const kEncryptedMatchMembers[6];
// The four encrypted members of event information, in decryption order.
extern const char* const kEncryptedEventMembers[4];

// A server answer with `matches` entries, each with six encrypted members.
std::string ServerAnswer(int matches);
// Server event information with its four encrypted members and "streamTs".
std::string EventInformation();
// A server field: the Base64 text of `plainLength` bytes encrypted.
std::string EncryptedField(int plainLength);

// A record as one match fills it, and its match info JSON.
ACR_MATCH_INFO MatchRecord();
std::string MatchInfoJson();

// Report records: content metadata and an ad value as JSON texts.
BI_ST_ACRINFO AcrInfo(int index);
BI_ST_EVENTINFO EventInfo(int index);

// The two texts of an event message, and `count` event info texts.
std::string MessageAcrInfoJson();
std::string MessageEventInfoJson();
std::vector<std::string> EventInfoList(int count);

ACR_HDMI_DEVICE_INFO HdmiDevice();

// `length` bytes of varied content.
Bytes Payload(int length);

}  // namespace inputs

#endif  // VOMAXEL_BENCH_INPUTS_H_
