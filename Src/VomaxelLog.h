// The plug-in's log channel: every diagnostic is one line through the host's
// module DravlogDunrik (selector 1). Formats begin "%s:%d ", filled by the
// calling function's signature text and a line number.
//
// Fixed texts. Hosts' log filters and field reports key on the lines as the
// plug-in has always written them, so no part of one may be corrected,
// reworded or renumbered, whatever changes around it:
// - every format given to VOMAXEL_LOG, misspellings included ("Invaild",
//   "incoding", "SPLITED", "uEncrypedSize", "Successsful");
// - the signature texts, the old compiler's spelling of each function
//   ("const string&", "std::basic_string<char> >"), each written once in a
//   constant under a "Fixed log texts" comment (VomaxelLog.h);
// - the line numbers that the log's contract fixes, each written where it is
//   used as VOMAXEL_FIXED_LINE(number);
// - the cipher's assertion reports, alike (CIPHER_ASSERT in ACRCipherUtil.cpp).
// A line whose number no contract fixes carries its own source line,
// __LINE__.

#ifndef VOMAXEL_SRC_VOMAXELLOG_H_
#define VOMAXEL_SRC_VOMAXELLOG_H_

#include "Dravlog.h"

#define VOMAXEL_LOG(level, ...) Dravlog::Print<DravlogDunrik>(1, (level), __VA_ARGS__)

// A line number that the log's contract fixes, never the source line.
#define VOMAXEL_FIXED_LINE(number) (number)

#endif  // VOMAXEL_SRC_VOMAXELLOG_H_
