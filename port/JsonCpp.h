// jsoncpp as this project uses it, for the plug-in and everything built
// around it (tests, acrhost, benchmarks, fuzzers): include this header, not
// <json/json.h>.
//
// The plug-in is made to use jsoncpp's old reader (Json::Reader with
// Json::Features) and its styled and fast writers. jsoncpp 1.8 to 1.9.4 mark
// them deprecated, so every use would warn on those releases. The classes
// below stand for them; they are declared here, once, with the deprecation
// warning off, and are used without it everywhere else.

#ifndef VOMAXEL_PORT_JSONCPP_H_
#define VOMAXEL_PORT_JSONCPP_H_

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

#include <json/json.h>

namespace port {

// Json::Features: default-constructed, every extension allowed.
class Features : public Json::Features {
 public:
  Features() {}
  static Features Strict() { return Features(Json::Features::strictMode()); }

 private:
  explicit Features(const Json::Features& features) : Json::Features(features) {}
};

class Reader : public Json::Reader {
 public:
  Reader() {}
  explicit Reader(const Features& features) : Json::Reader(features) {}
};

class StyledWriter : public Json::StyledWriter {
 public:
  StyledWriter() {}
};

class FastWriter : public Json::FastWriter {
 public:
  FastWriter() {}
};

}  // namespace port

#pragma GCC diagnostic pop

#endif  // VOMAXEL_PORT_JSONCPP_H_
