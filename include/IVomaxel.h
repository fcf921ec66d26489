// The plug-in interface of libVomaxel.so and the host records that cross it.
//
// The host loads the library, resolves the undecorated functions `create` and
// `destroy`, and calls every operation through `IVomaxel`. The order of the
// virtual operations and every record layout below are binary contract with
// the host: never reorder, insert or retype anything here.

#ifndef VOMAXEL_INCLUDE_IVOMAXEL_H_
#define VOMAXEL_INCLUDE_IVOMAXEL_H_

#include <cstddef>
#include <string>
#include <vector>

// Texts the host defines and exports. The plug-in reads each pointer afresh at
// every use and never writes them.
extern const char* ACR_STRING_EMPTY;            // an absent value (expected "")
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
// or one value per match joined by ACR_STRING_MULTI_DELIMITER.
struct ACR_MATCH_INFO {
  std::string szChannelId;
  std::string szChannelName;
  std::string szProgramId;
  std::string szProgramName;
  std::string szStartTime;
  std::string szMediaTime;
  std::string szIdType;
  std::string szSource;
  std::string szGenre;
  std::string szAltIdType;
  std::string szAltContentId;
  std::string szAltContentTitle;
  std::string szAltStreamId;
  std::string szBypassData;
  unsigned int nMatchCount;
  int nEngineType;  // a MATCHING_ENGINE_TYPE value
  unsigned int nEventType;
  unsigned int bIsEngineStopped;
};

// Recognised content, reported by MakeAcrData.
typedef struct _BI_ST_ACRINFO {
  std::string szStationName;
  std::string szStreamName;
  unsigned int nGlobalTime;
  std::string szContentId;
  std::string szContentMeta;  // JSON text of any value, or plain text
  int nMediaTime;
  int nKillSwitch;
  int nLiveTag;
  int nHostReserved;  // the host's own; never read by the plug-in
} BI_ST_ACRINFO;

// One event tied to a stream, reported by MakeAcrData.
typedef struct _BI_ST_EVENTINFO {
  int nType;
  std::string szStreamId;
  unsigned int nGlobalTime;
  int nHostReserved;  // the host's own; never read by the plug-in
  std::string szKey;
  std::string szValue;  // "NULL", "\"NULL\"", an ad object's JSON text, or other text
} BI_ST_EVENTINFO;

// An HDMI source device. Both names are NUL-terminated within their arrays.
typedef struct _ACR_HDMI_DEVICE_INFO {
  char szVendor[9];
  char szProduct[19];
  int nSource;
} ACR_HDMI_DEVICE_INFO;

class IVomaxel {
 public:
  virtual ~IVomaxel() {}

  virtual bool MakeDeviceInfoJson(ACR_HDMI_DEVICE_INFO* pHdmiInfo, std::string& outJson) = 0;
  virtual std::string MakeAuxiliaryInfo(std::string countryCode) = 0;
  virtual void DecryptMatchInfo(const std::string& inAcrInfo, ACR_MATCH_INFO& matchInfo,
                                std::string& outAcrInfo) = 0;
  virtual bool ParserACRInfoJson(const char* pInJsonString, ACR_MATCH_INFO& matchInfo) = 0;
  virtual std::string MakeACRInfoJson(MATCHING_ENGINE_TYPE engineType,
                                      const ACR_MATCH_INFO& matchInfo) = 0;
  virtual std::string DecryptEachEventInfo(const std::string& inEventInfo) = 0;
  virtual void MakeEventInfoList(std::vector<std::string>& eventInfoList, std::string& outJson) = 0;
  virtual void MakeEventMessage(MATCHING_ENGINE_TYPE engineType, int matchType, int eventType,
                                const std::string& acrInfoJson, const std::string& eventInfoJson,
                                std::string& outJson) = 0;
  virtual bool MakeAcrData(int matchType, int eventType, BI_ST_ACRINFO* pAcrInfo,
                           BI_ST_EVENTINFO* pEventInfo, std::string& outJson) = 0;
  virtual bool MakeAcrData(int engineType, int matchType, int eventType,
                           std::vector<BI_ST_ACRINFO>* pAcrInfoList,
                           std::vector<BI_ST_EVENTINFO>* pEventInfoList, std::string& outJson) = 0;
  virtual void SetSecureKey(std::string& key) = 0;
};

extern "C" {
// Returns a new object; an allocation failure reaches the caller as std::bad_alloc.
IVomaxel* create();
// Deletes an object that create returned; a null pointer is ignored.
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
