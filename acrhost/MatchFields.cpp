#include "MatchFields.h"

const MatchField kMatchFields[18] = {
    {"szChannelId", "channelId", &ACR_MATCH_INFO::szChannelId},
    {"szChannelName", "channelName", &ACR_MATCH_INFO::szChannelName},
    {"szProgramId", "programId", &ACR_MATCH_INFO::szProgramId},
    {"szProgramName", "programName", &ACR_MATCH_INFO::szProgramName},
    {"szStartTime", "startTime", &ACR_MATCH_INFO::szStartTime},
    {"szMediaTime", "mediaTime", &ACR_MATCH_INFO::szMediaTime},
    {"szIdType", "idType", &ACR_MATCH_INFO::szIdType},
    {"szSource", "source", &ACR_MATCH_INFO::szSource},
    {"szGenre", "genre", &ACR_MATCH_INFO::szGenre},
    {"szAltIdType", "altIdType", &ACR_MATCH_INFO::szAltIdType},
    {"szAltContentId", "altContentId", &ACR_MATCH_INFO::szAltContentId},
    {"szAltContentTitle", "altContentTitle", &ACR_MATCH_INFO::szAltContentTitle},
    {"szAltStreamId", "altStreamId", &ACR_MATCH_INFO::szAltStreamId},
    {"szBypassData", "bypassData", &ACR_MATCH_INFO::szBypassData},
    {"nMatchCount", "matchCount", &ACR_MATCH_INFO::nMatchCount},
    {"nEngineType", "engineType", &ACR_MATCH_INFO::nEngineType},
    {"nEventType", "eventType", &ACR_MATCH_INFO::nEventType},
    {"bIsEngineStopped", "isEngineStopped", &ACR_MATCH_INFO::bIsEngineStopped},
};
