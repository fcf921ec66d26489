// The plug-in interface of libVomaxel.so and the host records that cross it:
// what a host compiles against, and each operation's contract above it.
//
// Keys in the log. The packages and the default build log both key texts in
// clear, at level 3, whenever SetSecureKey stores them ("[0] key = OLD",
// "[1] key = CURRENT"), and a whole refused key text at level 2. A product
// build whose logs leave the device is configured with -DVOMAXEL_MASK_KEYS=ON:
// those lines then show only a text's length and how many of its characters
// are not hexadecimal digits, "<masked: 32 characters, all hexadecimal>".
//
// Loading. The host loads the library with dlopen (RTLD_NOW), resolves the
// undecorated functions `create` and `destroy` (declared at the end of this
// file) and calls every operation through the IVomaxel that `create` returns.
// Its only NEEDED libraries are jsoncpp and the C/C++ runtime; it loads only
// into a process that already defines, as exported symbols (link a host
// executable with -rdynamic):
//  - the four ACR_STRING_* texts below;
//  - the log framework's out-of-line members and DravlogDunrik (Dravlog.h);
//  - OpenSSL's libcrypto: 1.0.2 to 3.5, or BoringSSL. With 1.0.x the host
//    installs libcrypto's locking callbacks before it uses threads.
// The host and the plug-in must use the same std::string (see the layouts at
// the end). The order of the virtual operations and every record layout here
// are binary contract with the host: never reorder, insert or retype anything.
//
// create() returns a new object, each call another; it never returns null,
// and an allocation failure reaches the caller as std::bad_alloc. Objects hold
// no state: any object, any number of calls, in any order, gives the same
// results. destroy() deletes an object that create returned; a null pointer is
// ignored. The one long-lived state is the key store, shared by every object
// and kept from the first use until the process ends: dlclose leaves the
// plug-in loaded (its log statics are unique symbols, as the framework's).
//
// Threads. An operation runs to completion on the caller's thread; it starts
// no thread and keeps nothing between calls. Operations may run on any thread,
// several at once, on one object or several; SetSecureKey too, at any moment:
// a decrypting call works with one key pair from start to end, the pair in
// force when it began or one handed in while it ran, never parts of two; a
// call begun after SetSecureKey returned uses the new pair. The host keeps
// apart: destroy or dlclose while a call runs, one record or out-string in two
// calls at once, and a change of an ACR_STRING_* text while calls run.
// Stack: a call needs under 24 KiB of its thread's stack whatever the input
// (JSON nesting is held to 32 levels; -DVOMAXEL_NESTING_LIMIT=0 restores the
// reader's own limit, which needs up to 512 KiB: docs/integrating.md). The thread's
// OpenSSL error queue holds after a call exactly what it held before.
//
// Results. A rejected input is told by the result (false, an empty text) or,
// where an operation returns nothing, by its out-string left as it was: pass
// an empty one, and it is still empty after a refusal. Each contract says what
// a rejection leaves untouched. No exception but std::bad_alloc leaves an
// operation (jsoncpp's report of a failed allocation becomes one); the
// caller's record and strings and the stored keys are then as they were.
// JSON nested deeper than 32 levels is refused as text that is not JSON.
// The host's C and C++ global locales change no result of the plug-in's own
// (jsoncpp up to 1.9.6 reads reals through the C++ global locale: keep it
// "C"). Texts are bytes, in no character set. A text passed as const char*, a server
// answer, and the JSON texts of MakeEventMessage and MakeEventInfoList end at
// their first NUL byte; a record's texts are read whole. JSON is written
// "styled" (jsoncpp's StyledWriter: indented, members sorted by name, a final
// newline), except by MakeDeviceInfoJson; how each jsoncpp release escapes
// bytes from 0x80 up is in docs/integrating.md.
//
// Log lines. Each diagnostic is one call, on the calling thread, of
//   Dravlog::Print<DravlogDunrik>(1, LEVEL, "%s:%d MESSAGE", SIGNATURE, LINE, ...)
// LEVEL is 3, except 2 for SetSecureKey's refusal; the selector is always 1
// (what the framework's side must do: Dravlog.h). A contract below quotes
// each MESSAGE and its SIGNATURE; LINE is fixed where a contract gives it, the
// source line otherwise. Messages, signatures and fixed lines are the
// system's own, misspellings included, and never change: hosts' log filters
// key on them.

#ifndef VOMAXEL_INCLUDE_IVOMAXEL_H_
#define VOMAXEL_INCLUDE_IVOMAXEL_H_

#include <cstddef>
#include <string>
#include <vector>

// Texts the host defines and exports, each a valid NUL-terminated text for as
// long as the library is loaded. The plug-in reads each pointer afresh at
// every use and never writes them. DecryptMatchInfo uses all four,
// DecryptEachEventInfo ACR_STRING_EMPTY, ParserACRInfoJson ACR_STRING_UNKNOWN;
// no other operation uses one.
extern const char* ACR_STRING_EMPTY;            // an absent value; expected ""
extern const char* ACR_STRING_UNKNOWN;          // an unknown value
extern const char* ACR_STRING_ZERO;             // a zero time
extern const char* ACR_STRING_MULTI_DELIMITER;  // between the values of several matches

// Recognition engines. The plug-in only passes the value through as a signed
// 32-bit JSON integer; the last enumerator keeps the type 32 bits wide.
enum MATCHING_ENGINE_TYPE {
  MATCHING_ENGINE_TYPE_UNKNOWN = -1,
  MATCHING_ENGINE_TYPE_VIDEO = 0,
  MATCHING_ENGINE_TYPE_AUDIO = 1,
  MATCHING_ENGINE_TYPE_HYBRID = 2,
  MATCHING_ENGINE_TYPE_MAX = 0x7fffffff
};

// The host's record of one recognition result. A text member holds one value,
// or one value per match joined by ACR_STRING_MULTI_DELIMITER (not escaped
// inside a value). Each member's key in match info JSON (ParserACRInfoJson,
// MakeACRInfoJson), and the member of a decrypted server match entry that
// DecryptMatchInfo appends to it; an absent entry member gives the text of
// ACR_STRING_EMPTY.
struct ACR_MATCH_INFO {               // match info JSON   server match entry
  std::string szChannelId;            // "channelId"       "streamId" before its first "." (1)
  std::string szChannelName;          // "channelName"     "streamId" after its first "." (1)
  std::string szProgramId;            // "programId"       "contentId" before its first "." (2)
  std::string szProgramName;          // "programName"     "contentTitle"
  std::string szStartTime;            // "startTime"       "contentId" after its first "." (2)
  std::string szMediaTime;            // "mediaTime"       "contentOffset" in decimal (3)
  std::string szIdType;               // "idType"          "idType"
  std::string szSource;               // "source"          "source"
  std::string szGenre;                // "genre"           "genre"
  std::string szAltIdType;            // "altIdType"       "altIdType"
  std::string szAltContentId;         // "altContentId"    "altContentId"
  std::string szAltContentTitle;      // "altContentTitle" "altContentTitle"
  std::string szAltStreamId;          // "altStreamId"     "altStreamId"
  std::string szBypassData;           // "bypassData"      "bypassData"
  unsigned int nMatchCount;           // "matchCount"      the number of entries
  int nEngineType;                    // "engineType" (4)  never set; a MATCHING_ENGINE_TYPE value
  unsigned int nEventType;            // "eventType"       never set
  unsigned int bIsEngineStopped;      // "isEngineStopped" never set; zero or not
};
// (1) Without "streamId", "source" stands in its place. A text with no "."
//     or beginning with one goes whole into both members.
// (2) A text with no "." or beginning with one goes whole into szProgramId,
//     and "0" into szStartTime.
// (3) Taken as an unsigned 32-bit number: -1 gives "4294967295"; absent, "0".
// (4) MakeACRInfoJson writes its engineType argument instead.

// Recognised content, reported by MakeAcrData under "ACRInfo".
typedef struct _BI_ST_ACRINFO {
  std::string szStationName;  // "StationName"
  std::string szStreamName;   // "StreamName"
  unsigned int nGlobalTime;   // "GlobalTime"
  std::string szContentId;    // "ContentId"
  std::string szContentMeta;  // "ContentMeta": JSON text of any value, or plain text
  int nMediaTime;             // "MediaTime"
  int nKillSwitch;            // "KillSwitch"
  int nLiveTag;               // "LiveTag"
  int nHostReserved;  // the host's own; never read by the plug-in
} BI_ST_ACRINFO;

// One event tied to a stream, reported by MakeAcrData under "EventInfo".
typedef struct _BI_ST_EVENTINFO {
  int nType;                // "Type"
  std::string szStreamId;   // "StreamId"
  unsigned int nGlobalTime; // "GlobalTime"
  int nHostReserved;  // the host's own; never read by the plug-in
  std::string szKey;        // "Key"
  std::string szValue;  // "Value": "NULL", "\"NULL\"", an ad object's JSON text, or other text
} BI_ST_EVENTINFO;

// An HDMI source device. Both names are NUL-terminated within their arrays.
typedef struct _ACR_HDMI_DEVICE_INFO {
  char szVendor[9];
  char szProduct[19];
  int nSource;
} ACR_HDMI_DEVICE_INFO;

// The records cross by reference or pointer and belong to the caller; the
// plug-in keeps no pointer to one after a call. Integers it writes into JSON
// (match and event types, engines, times) are the host's codes: the plug-in
// gives them no meaning and writes them unchanged, unsigned ones as unsigned.
class IVomaxel {
 public:
  virtual ~IVomaxel() {}

  // Writes {"Product": szProduct, "Source": nSource, "Vendor": szVendor} on one
  // line (jsoncpp's FastWriter, a final newline) into outJson, replacing it,
  // and returns true. Each name is read up to its NUL, never past its array.
  // A null pHdmiInfo: false, outJson untouched, and "pHdmiInfo is NULL" as
  // "virtual bool Vomaxel::MakeDeviceInfoJson(ACR_HDMI_DEVICE_INFO*, std::string&)".
  virtual bool MakeDeviceInfoJson(ACR_HDMI_DEVICE_INFO* pHdmiInfo, std::string& outJson) = 0;

  // Returns {"countryCode": countryCode}, the text unchecked. Never refuses;
  // logs nothing.
  virtual std::string MakeAuxiliaryInfo(std::string countryCode) = 0;

  // Decrypts a recognition server's answer into outAcrInfo and matchInfo.
  // inAcrInfo is a JSON object, read strictly (no comments):
  //   {"matchResult": [ENTRY, ...], "queryTs": ANY, "matchCounts": ANY}
  // Each ENTRY is an object whose members "contentId", "contentTitle",
  // "streamId", "altContentId", "altContentTitle" and "altStreamId" arrive
  // encrypted: Base64 (standard alphabet, "=" padding) of AES-128-CBC
  // ciphertext under the current or the old key (SetSecureKey), zero IV,
  // PKCS#7 padding, fewer than 2048 characters. "source", "idType",
  // "contentOffset" (a number), "genre", "altIdType" and "bypassData" arrive
  // plain; other members are carried through.
  // Success: outAcrInfo becomes the answer with those three members only (null
  // where absent) and each encrypted member in plain text, up to its first NUL.
  // Each entry is appended to matchInfo's fourteen text members as the table
  // at ACR_MATCH_INFO says, ACR_STRING_MULTI_DELIMITER appended to all of them
  // first where szProgramId is not empty: pass a record whose text members are
  // empty. nMatchCount becomes the number of entries.
  // A member that does not decrypt keeps its encrypted text, in outAcrInfo and
  // in matchInfo; an empty one stays empty. Each is logged, as
  // "std::string Vomaxel::m_DoDecryption(const string&)": "uEncrypedSize(%d)
  // >= MAX_ID_STRING_SIZE", "Failed to decode with Base64 incoding" (a length
  // not a multiple of 4; other characters are not checked), or
  // "decodedTextSize == 0" (no key set, neither key fits, or an empty plain
  // text). The current key is tried first, then the old one; each set key
  // that fails a member logs "[1] ERR : EVP_DecryptFinal_ex()" ("[0]": the
  // old key; line 244) as "int CACRCipherUtil::m_DecryptWithKeyType(
  // CACRCipherUtil::KEY_TYPE, unsigned char*, unsigned char*, int)", so a
  // member under the old key logs the current key's failure. Members are
  // text: where the current key's padding passes by chance but its result is
  // not UTF-8 or holds a zero byte, and the old key's is text, the member is
  // the old key's, logged as that failure (docs/integrating.md, key rotation).
  // Rejections, as "virtual void Vomaxel::DecryptMatchInfo(const string&,
  // ACR_MATCH_INFO&, std::string&)"; outAcrInfo is untouched by each:
  //  - not JSON, or a root that is not an object with members: "Parsing error,
  //    inAcrInfo = %s" with the text; matchInfo untouched.
  //  - "matchResult" absent, null or empty: "matchResult is empty"; the failure
  //    values below, nMatchCount untouched.
  //  - "matchResult" not an array, an entry neither an object nor null, or a
  //    member jsoncpp will not convert (to text; "contentOffset" to int):
  //    "Failed to decrypt matchInfo"; the failure values, nMatchCount the
  //    number of entries (0 where not an array).
  // The failure values replace the text members: ACR_STRING_ZERO in
  // szStartTime and szMediaTime, ACR_STRING_UNKNOWN in the other twelve.
  // nEngineType, nEventType and bIsEngineStopped are never touched.
  virtual void DecryptMatchInfo(const std::string& inAcrInfo, ACR_MATCH_INFO& matchInfo,
                                std::string& outAcrInfo) = 0;

  // Reads match info JSON, the form MakeACRInfoJson writes, into matchInfo and
  // returns true: a JSON object, read strictly (no comments), whose members
  // are the keys of the table at ACR_MATCH_INFO (exact case; others ignored).
  // All eighteen members are replaced: an absent text key gives the text of
  // ACR_STRING_UNKNOWN, an absent integer key 0; null gives "" or 0, a boolean
  // "true"/"false" or 1/0, a real under an integer key its integer part. A
  // null pInJsonString is taken as "".
  // Rejected, with false, matchInfo untouched and "Parsing error!
  // pInJsonString = %s" with the text, as "virtual bool
  // Vomaxel::ParserACRInfoJson(const char*, ACR_MATCH_INFO&)" line 101: text
  // that is not JSON, a root that is not an object with members, or a member
  // jsoncpp will not convert (an array or object anywhere, a string under an
  // integer key, a number outside the signed 32-bit range).
  virtual bool ParserACRInfoJson(const char* pInJsonString, ACR_MATCH_INFO& matchInfo) = 0;

  // Returns matchInfo as match info JSON: an object of the eighteen keys of the
  // table at ACR_MATCH_INFO, empty texts included. "engineType" is the
  // engineType argument (matchInfo.nEngineType is not read); "matchCount",
  // "eventType" and "isEngineStopped" are unsigned, so ParserACRInfoJson
  // refuses a value above 2147483647. Never refuses; logs nothing.
  virtual std::string MakeACRInfoJson(MATCHING_ENGINE_TYPE engineType,
                                      const ACR_MATCH_INFO& matchInfo) = 0;

  // Decrypts the server's event information: a JSON object, read strictly (no
  // comments). Returns it with "contentId", "contentTitle", "streamId" and
  // "callbackUrl", where present, decrypted as DecryptMatchInfo decrypts a
  // member (with its log lines; a member present but empty becomes the text
  // of ACR_STRING_EMPTY, logging "inEncryptedString is empty"). Where
  // "streamId" is present, "streamTs" becomes an integer, 0 where absent.
  // Other members are returned unchanged.
  // Rejected, with the empty text and "Parsing error, inEventInfo = %s" with
  // the text, as "virtual std::string Vomaxel::DecryptEachEventInfo(const string&)":
  // text that is not JSON, a root that is not an object with members, or a
  // member jsoncpp will not convert (those four to text, "streamTs" to int).
  virtual std::string DecryptEachEventInfo(const std::string& inEventInfo) = 0;

  // Writes into outJson, replacing it, a JSON array of one element per entry,
  // in order: the entry's JSON value (any value, comments allowed, up to its
  // first NUL), or for an entry that is not JSON, null or empty, an array
  // holding null (after what the reader kept of a broken array). Such an entry
  // logs "Parsing error, eachEventInfo = %s" with its text, as "virtual void
  // Vomaxel::MakeEventInfoList(std::vector<std::basic_string<char> >&, std::string&)".
  // An empty list gives the text null. Never refuses; reads the list only.
  virtual void MakeEventInfoList(std::vector<std::string>& eventInfoList, std::string& outJson) = 0;

  // Writes into outJson, replacing it, {"Engine": engineType, "MatchType":
  // matchType, "EventType": eventType, "ACRInfo": ..., "EventInfo": ...}: each
  // of the last two is the value of its text, read strictly (a JSON object or
  // array with members, no comments, up to the first NUL), or null where the
  // text is empty. A text that is neither: outJson untouched and "Parsing
  // error, acrInfoJson = %s" or, acrInfoJson being good, "Parsing error,
  // eventInfoJson = %s", with the text, as "virtual void
  // Vomaxel::MakeEventMessage(MATCHING_ENGINE_TYPE, int, int, const string&,
  // const string&, std::string&)".
  virtual void MakeEventMessage(MATCHING_ENGINE_TYPE engineType, int matchType, int eventType,
                                const std::string& acrInfoJson, const std::string& eventInfoJson,
                                std::string& outJson) = 0;

  // Writes into outJson, replacing it, {"MatchType": matchType, "EventType":
  // eventType, "ACRInfo": {...}, "EventInfo": {...}}, with the keys at the two
  // records, and returns true; never refuses.
  // A null pAcrInfo gives "NULL" for its texts and 0 for its numbers; a null
  // pEventInfo the same, and "Duration": 0 besides.
  // "ContentMeta" is the value of szContentMeta's whole text (any JSON value,
  // comments allowed) or, where it is not JSON or is null, the text itself.
  // "Value" is "NULL" for szValue "NULL" or "\"NULL\""; for a JSON object, the
  // ad object: its "AdMediaTime", "AdURI", "ContentId", "ContentTitle",
  // "ContentType" and "PromptDuration" (null where absent) and
  // "ReoccurrenceDuration": 0; anything else, the text itself.
  // Logs, as "virtual bool Vomaxel::MakeAcrData(int, int, BI_ST_ACRINFO*,
  // BI_ST_EVENTINFO*, std::string&)": " pAcrInfo->szContentMeta : %s" (two
  // blanks after "%d") for each ACR info record, then "pAcrInfo->szContentMeta
  // : %s" where it is carried as text; "pEventInfo->szValue : %s" for each
  // szValue but the two markers, then "parsingSuccesssful is false" where it
  // is carried as text.
  virtual bool MakeAcrData(int matchType, int eventType, BI_ST_ACRINFO* pAcrInfo,
                           BI_ST_EVENTINFO* pEventInfo, std::string& outJson) = 0;

  // The report above for lists, with "Engine": engineType besides: "ACRInfo"
  // and "EventInfo" are arrays of the records' objects in order, null for a
  // null or empty list (no placeholders, no "Duration"). The same log lines,
  // as "virtual bool Vomaxel::MakeAcrData(int, int, int,
  // std::vector<_BI_ST_ACRINFO>*, std::vector<_BI_ST_EVENTINFO>*, std::string&)",
  // every ACR info record's before the events'. Returns true; never refuses.
  virtual bool MakeAcrData(int engineType, int matchType, int eventType,
                           std::vector<BI_ST_ACRINFO>* pAcrInfoList,
                           std::vector<BI_ST_EVENTINFO>* pEventInfoList, std::string& outJson) = 0;

  // Stores the decryption keys for every object: key is "OLD,CURRENT", two
  // keys in hexadecimal split at the first ",", 32 to 129 characters in all.
  // A key's first 32 digits are its AES-128 key (fewer: zero bytes follow;
  // more: stored, unused). Digits are not checked: each pair is read as far as
  // strtol reads hexadecimal ("9g" gives 9, "zz" 0), without a log line. A key
  // whose first byte is 0 (digits "00") is stored but counts as not set.
  // Each half stored logs "[0] key = %s" or "[1] key = %s" (line 190) with
  // its text, masked in a masked build. The host's string is only read (and
  // is the host's to wipe); of the copies the plug-in makes, it keeps the
  // stored keys and wipes every other once used.
  // Refused halves, each keeping its stored key, the other half stored:
  //  - odd length or over 64 digits: "SPLITED OLD KEY SIZE IS NOT EVEN OR
  //    LARGER THAN MAX_SECURE_KEY_SIZE" (line 165), or "SPLITED CURRENT ..."
  //    (line 173), as "void CACRCipherUtil::m_SpliteKey(const string&,
  //    std::string&, std::string&)"; then as empty:
  //  - empty: "[0] key is empty" or "[1] key is empty" (line 186).
  // The lines of stored and empty halves are logged as "void
  // CACRCipherUtil::m_ConvertAndAssignKey(CACRCipherUtil::KEY_TYPE, const string&)".
  // A refused text keeps both keys: "SMALLER THAN MIN_SECURE_KEY_SIZE" (line
  // 135), "LARGER THAN MAX_COMBINED_KEY_SIZE" (141) or "SECURE_KEY_DELIMITER
  // IS NOT INCLUDED" (147, no ","), as "bool CACRCipherUtil::m_IsInvalidKey(const
  // string&)", then at level 2 "pCipherUtil->SetKey() return false, %s" with
  // the whole text (masked in a masked build), as "virtual void
  // Vomaxel::SetSecureKey(std::string&)" line 527. The host learns of a
  // refusal from the log alone.
  virtual void SetSecureKey(std::string& key) = 0;
};

extern "C" {
// The entry points; their contract is at the top of this file.
IVomaxel* create();
void destroy(IVomaxel* object);
}

// Layouts the host relies on, for the ABIs the plug-in ships on: LP64 (x86-64
// and 64-bit ARM) and ILP32 (32-bit ARM, x86 and MIPS of either byte order),
// all with libstdc++, in either of its string ABIs. The host and the plug-in
// must be built with the same one. The new ABI's std::string is 32 bytes on
// LP64 and 24 on ILP32; the old ABI's (_GLIBCXX_USE_CXX11_ABI=0, and every
// libstdc++ before GCC 5) is one pointer. No member is wider than 4 bytes but a
// pointer, so ILP32's layouts are alike. VOMAXEL_LAYOUT_CHECKED tells that
// these assertions applied; elsewhere (another C++ library or architecture)
// the header compiles without them.
static_assert(sizeof(MATCHING_ENGINE_TYPE) == 4, "MATCHING_ENGINE_TYPE is 32 bits");
static_assert(offsetof(_ACR_HDMI_DEVICE_INFO, szVendor) == 0, "");
static_assert(offsetof(_ACR_HDMI_DEVICE_INFO, szProduct) == 9, "szProduct follows szVendor");
static_assert(offsetof(_ACR_HDMI_DEVICE_INFO, nSource) == 28, "nSource at offset 28");
static_assert(sizeof(_ACR_HDMI_DEVICE_INFO) == 32, "ACR_HDMI_DEVICE_INFO is 32 bytes");
#if defined(__GLIBCXX__) && (defined(__x86_64__) || defined(__aarch64__) || defined(__arm__) || \
                             defined(__i386__) || defined(__mips__))
#if defined(_GLIBCXX_USE_CXX11_ABI) && _GLIBCXX_USE_CXX11_ABI
#define VOMAXEL_LAYOUT(lp64, ilp32, old_lp64, old_ilp32) (__SIZEOF_POINTER__ == 8 ? (lp64) : (ilp32))
#else
#define VOMAXEL_LAYOUT(lp64, ilp32, old_lp64, old_ilp32) \
  (__SIZEOF_POINTER__ == 8 ? (old_lp64) : (old_ilp32))
#endif
#define VOMAXEL_LAYOUT_CHECKED 1
static_assert(sizeof(std::string) == VOMAXEL_LAYOUT(32, 24, 8, 4), "std::string of another ABI");
static_assert(offsetof(ACR_MATCH_INFO, szChannelId) == 0, "");
static_assert(offsetof(ACR_MATCH_INFO, szChannelName) == VOMAXEL_LAYOUT(32, 24, 8, 4), "");
static_assert(offsetof(ACR_MATCH_INFO, szProgramId) == VOMAXEL_LAYOUT(64, 48, 16, 8), "");
static_assert(offsetof(ACR_MATCH_INFO, szProgramName) == VOMAXEL_LAYOUT(96, 72, 24, 12), "");
static_assert(offsetof(ACR_MATCH_INFO, szStartTime) == VOMAXEL_LAYOUT(128, 96, 32, 16), "");
static_assert(offsetof(ACR_MATCH_INFO, szMediaTime) == VOMAXEL_LAYOUT(160, 120, 40, 20), "");
static_assert(offsetof(ACR_MATCH_INFO, szIdType) == VOMAXEL_LAYOUT(192, 144, 48, 24), "");
static_assert(offsetof(ACR_MATCH_INFO, szSource) == VOMAXEL_LAYOUT(224, 168, 56, 28), "");
static_assert(offsetof(ACR_MATCH_INFO, szGenre) == VOMAXEL_LAYOUT(256, 192, 64, 32), "");
static_assert(offsetof(ACR_MATCH_INFO, szAltIdType) == VOMAXEL_LAYOUT(288, 216, 72, 36), "");
static_assert(offsetof(ACR_MATCH_INFO, szAltContentId) == VOMAXEL_LAYOUT(320, 240, 80, 40), "");
static_assert(offsetof(ACR_MATCH_INFO, szAltContentTitle) == VOMAXEL_LAYOUT(352, 264, 88, 44), "");
static_assert(offsetof(ACR_MATCH_INFO, szAltStreamId) == VOMAXEL_LAYOUT(384, 288, 96, 48), "");
static_assert(offsetof(ACR_MATCH_INFO, szBypassData) == VOMAXEL_LAYOUT(416, 312, 104, 52), "");
static_assert(offsetof(ACR_MATCH_INFO, nMatchCount) == VOMAXEL_LAYOUT(448, 336, 112, 56), "");
static_assert(offsetof(ACR_MATCH_INFO, nEngineType) == VOMAXEL_LAYOUT(452, 340, 116, 60), "");
static_assert(offsetof(ACR_MATCH_INFO, nEventType) == VOMAXEL_LAYOUT(456, 344, 120, 64), "");
static_assert(offsetof(ACR_MATCH_INFO, bIsEngineStopped) == VOMAXEL_LAYOUT(460, 348, 124, 68), "");
static_assert(sizeof(ACR_MATCH_INFO) == VOMAXEL_LAYOUT(464, 352, 128, 72), "");
static_assert(offsetof(_BI_ST_ACRINFO, szStationName) == 0, "");
static_assert(offsetof(_BI_ST_ACRINFO, szStreamName) == VOMAXEL_LAYOUT(32, 24, 8, 4), "");
static_assert(offsetof(_BI_ST_ACRINFO, nGlobalTime) == VOMAXEL_LAYOUT(64, 48, 16, 8), "");
static_assert(offsetof(_BI_ST_ACRINFO, szContentId) == VOMAXEL_LAYOUT(72, 52, 24, 12), "");
static_assert(offsetof(_BI_ST_ACRINFO, szContentMeta) == VOMAXEL_LAYOUT(104, 76, 32, 16), "");
static_assert(offsetof(_BI_ST_ACRINFO, nMediaTime) == VOMAXEL_LAYOUT(136, 100, 40, 20), "");
static_assert(offsetof(_BI_ST_ACRINFO, nKillSwitch) == VOMAXEL_LAYOUT(140, 104, 44, 24), "");
static_assert(offsetof(_BI_ST_ACRINFO, nLiveTag) == VOMAXEL_LAYOUT(144, 108, 48, 28), "");
static_assert(offsetof(_BI_ST_ACRINFO, nHostReserved) == VOMAXEL_LAYOUT(148, 112, 52, 32), "");
static_assert(sizeof(_BI_ST_ACRINFO) == VOMAXEL_LAYOUT(152, 116, 56, 36), "");
static_assert(offsetof(_BI_ST_EVENTINFO, nType) == 0, "");
static_assert(offsetof(_BI_ST_EVENTINFO, szStreamId) == VOMAXEL_LAYOUT(8, 4, 8, 4), "");
static_assert(offsetof(_BI_ST_EVENTINFO, nGlobalTime) == VOMAXEL_LAYOUT(40, 28, 16, 8), "");
static_assert(offsetof(_BI_ST_EVENTINFO, nHostReserved) == VOMAXEL_LAYOUT(44, 32, 20, 12), "");
static_assert(offsetof(_BI_ST_EVENTINFO, szKey) == VOMAXEL_LAYOUT(48, 36, 24, 16), "");
static_assert(offsetof(_BI_ST_EVENTINFO, szValue) == VOMAXEL_LAYOUT(80, 60, 32, 20), "");
static_assert(sizeof(_BI_ST_EVENTINFO) == VOMAXEL_LAYOUT(112, 84, 40, 24), "");
#undef VOMAXEL_LAYOUT
#endif

#endif  // VOMAXEL_INCLUDE_IVOMAXEL_H_
