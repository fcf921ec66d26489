// The recognition server's side, for making fixtures: a plain server answer
// or event information turned into the form the server sends, with each
// encrypted member encrypted by the plug-in's own cipher exports.

#ifndef VOMAXEL_ACRHOST_WIREFORM_H_
#define VOMAXEL_ACRHOST_WIREFORM_H_

#include <string>

#include "Plugin.h"

// `plainText` is a JSON object: a server answer when it has a "matchResult"
// member (its entries' "contentId", "contentTitle", "streamId",
// "altContentId", "altContentTitle" and "altStreamId" are encrypted), event
// information otherwise ("contentId", "contentTitle", "streamId",
// "callbackUrl"). Members that are empty or not strings stay as they are.
// Returns the result as styled JSON; throws HostError when the text is not a
// JSON object or a field does not encrypt.
std::string ToWireForm(Plugin& plugin, const std::string& plainText);

#endif  // VOMAXEL_ACRHOST_WIREFORM_H_
