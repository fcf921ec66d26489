// The plug-in's log channel: every diagnostic is one line through the host's
// module DravlogDunrik (selector 1). Formats begin "%s:%d ", filled by the
// calling function's signature text and a source line number.

#ifndef VOMAXEL_SRC_VOMAXELLOG_H_
#define VOMAXEL_SRC_VOMAXELLOG_H_

#include "Dravlog.h"

#define VOMAXEL_LOG(level, ...) Dravlog::Print<DravlogDunrik>(1, (level), __VA_ARGS__)

#endif  // VOMAXEL_SRC_VOMAXELLOG_H_
