// `acrhost selftest`: every operation of the plug-in on fixed inputs, each
// result compared byte for byte with a known answer from a data file
// (selftest.json, installed with acrhost). The answers were derived without
// the plug-in (RFC and NIST vectors, `openssl enc`, texts written by hand
// from the formats), so on a receiver a failed check shows that the plug-in,
// or the jsoncpp, libcrypto or loader it runs with there, does not behave as
// the one that was shipped.
//
// The data file holds {"checks": [...]}, run in order. A check names its
// operation ("op") and itself ("name"), and gives the inputs and expected
// results that the operation's function below reads; "log", where present,
// is every log line the call must write ("maskedLog", where present, the
// lines of a build with VOMAXEL_MASK_KEYS, which acrhost shares with the
// plug-in it is built with). A text to compare is a string, an array of lines
// each ended by a line break, or {"hex": BYTES} for bytes that are not UTF-8;
// bytes are hexadecimal.
//
// Where jsoncpp decides a result and its releases differ, "jsoncpp" lists
// entries for ranges of releases ("from" up to "before"); the first one
// that holds the jsoncpp acrhost and the plug-in were built against gives
// members in place of the check's own. One with "defect" names a fault of
// those releases: a check that differs there fails with that text.
#include "JsonCpp.h"

#include <unistd.h>

#include <boost/optional.hpp>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <locale>
#include <stdexcept>
#include <string>
#include <vector>

#include "Commands.h"
#include "HostEnv.h"
#include "HostError.h"
#include "JsonInput.h"
#include "MatchRecord.h"
#include "OpenSslRelease.h"
#include "ReportRequest.h"
#include "Session.h"
#include "Verdicts.h"

#ifndef VOMAXEL_MASK_KEYS
#define VOMAXEL_MASK_KEYS 0
#endif

namespace {

// One comparison that a check asks for; `aspect` tells several apart.
struct Result {
  std::string aspect;
  std::string expected;
  std::string actual;
};
using Results = std::vector<Result>;

// The check's member `name`; throws HostError when the data lacks it.
const Json::Value& Member(const Json::Value& check, const char* name) {
  const Json::Value* value = check.find(name, name + std::strlen(name));
  if (value == nullptr) throw HostError(std::string("the check has no \"") + name + "\"");
  return *value;
}

std::string Bytes(const Json::Value& check, const char* name);

// A text to compare, or another text the data gives as a string or lines.
std::string Text(const Json::Value& check, const char* name) {
  const Json::Value& value = Member(check, name);
  if (value.isString()) return value.asString();
  if (value.isObject()) return Bytes(value, "hex");
  const std::string wrongType = std::string("\"") + name + "\" is not a text or an array of lines";
  if (!value.isArray()) throw HostError(wrongType);
  std::string text;
  for (const Json::Value& line : value) {
    if (!line.isString()) throw HostError(wrongType);
    text += line.asString() + "\n";
  }
  return text;
}

// An operation's input: a string is the text itself, any other JSON value
// stands for its compact text.
std::string Input(const Json::Value& value) {
  return value.isString() ? value.asString() : CompactJson(value);
}

int Number(const Json::Value& check, const char* name) {
  const Json::Value& value = Member(check, name);
  if (!value.isInt()) throw HostError(std::string("\"") + name + "\" is not a 32-bit integer");
  return value.asInt();
}

// The bytes that a text of hexadecimal digits spells, blanks ignored.
std::string Bytes(const Json::Value& check, const char* name) {
  std::string digits;
  for (const char c : Text(check, name)) {
    if (!std::isspace(static_cast<unsigned char>(c))) digits += c;
  }
  if (digits.size() % 2 != 0 ||
      digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
    throw HostError(std::string("\"") + name + "\" is not hexadecimal bytes");
  }
  std::string bytes;
  for (size_t i = 0; i < digits.size(); i += 2) {
    bytes += static_cast<char>(std::stoi(digits.substr(i, 2), nullptr, 16));
  }
  return bytes;
}

// Bytes in hexadecimal, one cipher block (16 bytes) per line.
std::string Blocks(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const unsigned char byte = static_cast<unsigned char>(bytes[i]);
    text += kDigits[byte >> 4];
    text += kDigits[byte & 15];
    if (i % 16 == 15 || i + 1 == bytes.size()) text += '\n';
  }
  return text;
}

// The actual text of an operation that reports failure instead of a text.
std::string Or(bool done, const std::string& text, const char* operation) {
  return done ? text : std::string("(") + operation + " failed)\n";
}

// The operations, as the data file names them.

void Base64(Plugin& plugin, const Json::Value& check, Results& results) {
  const std::string plain = Text(check, "plain");
  const std::string encoded = Text(check, "encoded");
  results.push_back({"b64_encode", encoded, plugin.B64Encode(plain)});
  const boost::optional<std::string> decoded = plugin.B64Decode(encoded);
  results.push_back(
      {"b64_decode", plain, Or(decoded.has_value(), decoded.value_or(""), "b64_decode")});
}

// SetSecureKey returns nothing: what it did shows in the check's "log".
void SetSecureKey(Plugin& plugin, const Json::Value& check, Results&) {
  std::string key = Text(check, "key");
  plugin.object().SetSecureKey(key);
}

void Encrypt(Plugin& plugin, const Json::Value& check, Results& results) {
  const std::string cipher = plugin.Encrypt(Bytes(check, "plain"));
  results.push_back(
      {"", Blocks(Bytes(check, "cipher")), Or(!cipher.empty(), Blocks(cipher), "Encrypt")});
}

void Decrypt(Plugin& plugin, const Json::Value& check, Results& results) {
  const std::string plain = plugin.Decrypt(Bytes(check, "cipher"));
  results.push_back(
      {"", Blocks(Bytes(check, "plain")), Or(!plain.empty(), Blocks(plain), "Decrypt")});
}

void DecryptMatchInfo(Plugin& plugin, const Json::Value& check, Results& results) {
  ACR_MATCH_INFO record{};
  std::string output;
  plugin.object().DecryptMatchInfo(Input(Member(check, "input")), record, output);
  results.push_back({"output text", Text(check, "output"), output});
  results.push_back({"record", MatchRecordText(ReadMatchRecord(Member(check, "record"))),
                     MatchRecordText(record)});
}

void DecryptEachEventInfo(Plugin& plugin, const Json::Value& check, Results& results) {
  results.push_back({"", Text(check, "output"),
                     plugin.object().DecryptEachEventInfo(Input(Member(check, "input")))});
}

void ParserACRInfoJson(Plugin& plugin, const Json::Value& check, Results& results) {
  ACR_MATCH_INFO record{};
  const bool parsed =
      plugin.object().ParserACRInfoJson(Input(Member(check, "input")).c_str(), record);
  results.push_back({"", MatchRecordText(ReadMatchRecord(Member(check, "record"))),
                     Or(parsed, MatchRecordText(record), "ParserACRInfoJson")});
}

void MakeACRInfoJson(Plugin& plugin, const Json::Value& check, Results& results) {
  const auto engine = static_cast<MATCHING_ENGINE_TYPE>(Number(check, "engine"));
  results.push_back(
      {"", Text(check, "output"),
       plugin.object().MakeACRInfoJson(engine, ReadMatchRecord(Member(check, "record")))});
}

// "records" describes the call as `acrhost report` reads it: with "engine",
// the batched overload.
void MakeAcrData(Plugin& plugin, const Json::Value& check, Results& results) {
  ReportRequest request = ReadReportRequest(Member(check, "records"));
  std::string report;
  const bool made = MakeReport(plugin.object(), request, report);
  results.push_back({"", Text(check, "output"), Or(made, report, "MakeAcrData")});
}

void MakeEventMessage(Plugin& plugin, const Json::Value& check, Results& results) {
  std::string message;
  plugin.object().MakeEventMessage(static_cast<MATCHING_ENGINE_TYPE>(Number(check, "engine")),
                                   Number(check, "matchType"), Number(check, "eventType"),
                                   Input(Member(check, "acrInfo")),
                                   Input(Member(check, "eventInfo")), message);
  results.push_back({"", Text(check, "output"), message});
}

void MakeEventInfoList(Plugin& plugin, const Json::Value& check, Results& results) {
  std::vector<std::string> entries;
  for (const Json::Value& entry : Member(check, "entries")) entries.push_back(Input(entry));
  std::string list;
  plugin.object().MakeEventInfoList(entries, list);
  results.push_back({"", Text(check, "output"), list});
}

void MakeAuxiliaryInfo(Plugin& plugin, const Json::Value& check, Results& results) {
  results.push_back(
      {"", Text(check, "output"), plugin.object().MakeAuxiliaryInfo(Text(check, "country"))});
}

void MakeDeviceInfoJson(Plugin& plugin, const Json::Value& check, Results& results) {
  ACR_HDMI_DEVICE_INFO device{};  // zeroed: both names stay terminated
  const std::string vendor = Text(check, "vendor");
  const std::string product = Text(check, "product");
  if (vendor.size() >= sizeof(device.szVendor) || product.size() >= sizeof(device.szProduct)) {
    throw HostError("the vendor or product name does not fit the record");
  }
  vendor.copy(device.szVendor, vendor.size());
  product.copy(device.szProduct, product.size());
  device.nSource = Number(check, "source");
  std::string info;
  const bool made = plugin.object().MakeDeviceInfoJson(&device, info);
  results.push_back({"", Text(check, "output"), Or(made, info, "MakeDeviceInfoJson")});
}

using Operation = void (*)(Plugin& plugin, const Json::Value& check, Results& results);

const struct {
  const char* name;
  Operation run;
} kOperations[] = {
    {"Base64", Base64},
    {"SetSecureKey", SetSecureKey},
    {"Encrypt", Encrypt},
    {"Decrypt", Decrypt},
    {"DecryptMatchInfo", DecryptMatchInfo},
    {"DecryptEachEventInfo", DecryptEachEventInfo},
    {"ParserACRInfoJson", ParserACRInfoJson},
    {"MakeACRInfoJson", MakeACRInfoJson},
    {"MakeAcrData", MakeAcrData},
    {"MakeEventMessage", MakeEventMessage},
    {"MakeEventInfoList", MakeEventInfoList},
    {"MakeAuxiliaryInfo", MakeAuxiliaryInfo},
    {"MakeDeviceInfoJson", MakeDeviceInfoJson},
};

// Log lines as the host's log writes them, "[<level>] <message>".
std::string LogText(const std::vector<hostenv::LogLine>& lines) {
  std::string text;
  for (const hostenv::LogLine& line : lines) {
    text += "[" + std::to_string(line.level) + "] " + line.text + "\n";
  }
  return text;
}

// A release "X.Y.Z" of a "jsoncpp" entry as JSONCPP_VERSION_HEXA counts it.
unsigned long Release(const Json::Value& entry, const char* name, unsigned long otherwise) {
  if (!entry.isMember(name)) return otherwise;
  unsigned long major, minor, patch;
  char rest;
  if (std::sscanf(Text(entry, name).c_str(), "%lu.%lu.%lu%c", &major, &minor, &patch, &rest) != 3) {
    throw HostError(std::string("\"") + name + "\" is not a jsoncpp release X.Y.Z");
  }
  return major << 24 | minor << 16 | patch << 8;
}

// `check` as it applies to the jsoncpp built against; `defect` receives the
// text of a known fault of that release, if any.
Json::Value ForThisJsoncpp(const Json::Value& check, std::string& defect) {
  Json::Value adapted = check;
  if (!check.isMember("jsoncpp")) return adapted;
  for (const Json::Value& entry : Member(check, "jsoncpp")) {
    if (Release(entry, "from", 0) <= JSONCPP_VERSION_HEXA &&
        JSONCPP_VERSION_HEXA < Release(entry, "before", ~0ul)) {
      for (const std::string& name : entry.getMemberNames()) adapted[name] = entry[name];
      if (entry.isMember("defect")) defect = Text(entry, "defect");
      break;
    }
  }
  return adapted;
}

// Runs one check and hands its results to `verdicts`. A check that cannot
// run (a mistake in the data, a function the plug-in does not export, an
// exception from the operation) fails with the reason.
void Run(Plugin& plugin, const Json::Value& data, Verdicts& verdicts) {
  std::string label = "a check without \"op\" or \"name\"";
  try {
    std::string defect;
    const Json::Value check = ForThisJsoncpp(data, defect);
    const std::string op = Text(check, "op");
    label = op + ": " + Text(check, "name");
    Operation run = nullptr;
    for (const auto& operation : kOperations) {
      if (op == operation.name) run = operation.run;
    }
    if (run == nullptr) throw HostError("acrhost knows no such operation");
    Results results;
    {
      hostenv::LogCapture capture;
      run(plugin, check, results);
      const char* log = VOMAXEL_MASK_KEYS && check.isMember("maskedLog") ? "maskedLog" : "log";
      if (check.isMember(log)) {
        results.push_back({"log", Text(check, log), LogText(capture.Lines())});
      }
    }
    for (const Result& result : results) {
      const std::string aspect = result.aspect.empty() ? label : label + " (" + result.aspect + ")";
      if (!defect.empty() && result.actual != result.expected) {
        verdicts.Error(aspect, defect);
      } else {
        verdicts.Compare(aspect, result.expected, result.actual);
      }
    }
  } catch (const std::exception& error) {
    verdicts.Error(label, error.what());
  }
}

// The plug-in calls libcrypto as the headers it was built against declare;
// the host's libcrypto serves those calls when it is of the same major
// release (the interface it uses holds from 1.0.2 through 1.1.1, and through
// every 3.x), or BoringSSL with BoringSSL's headers.
void CheckOpenSsl(const OpenSslRelease& built, const OpenSslRelease& loaded, Verdicts& verdicts) {
  const std::string label = "OpenSSL: the loaded libcrypto is of the headers' major release";
  if (built.line() == loaded.line()) {
    verdicts.Pass(label);
    return;
  }
  verdicts.Error(label, "headers of " + built.line() + ", libcrypto of " + loaded.line() +
                            ": run acrhost and the plug-in where the host loads " + built.line() +
                            ", or build both against this receiver's " + loaded.line() + " headers");
}

// jsoncpp before 1.9.8 reads reals through the C++ global locale: in a host
// that makes the viewer's locale its global one, a locale that writes "1,5"
// turns 1.500 into 1500 and makes a text with 1.5e3 unreadable. The plug-in's
// own conversions ignore locales. The check reads a real through the plug-in
// under the locale this environment names (LC_ALL, LC_NUMERIC, LANG), as a
// host's std::locale("") would give it, set as the global one.
void CheckLocale(Plugin& plugin, Verdicts& verdicts) {
  std::locale environment;
  try {
    environment = std::locale("");
  } catch (const std::runtime_error&) {
    verdicts.Pass("jsoncpp: reals read as in the \"C\" locale (this environment names no installed locale)");
    return;
  }
  const std::string label = "jsoncpp: reals read as in the \"C\" locale under this environment's (" +
                            environment.name() + ") as the C++ global one";
  const std::locale previous = std::locale::global(environment);
  ACR_MATCH_INFO record{};
  const bool parsed = plugin.object().ParserACRInfoJson("{\"matchCount\":1.5e3,\"eventType\":0.250}", record);
  std::locale::global(previous);
  if (parsed && record.nMatchCount == 1500 && record.nEventType == 0) {
    verdicts.Pass(label);
    return;
  }
  verdicts.Error(label, "jsoncpp " JSONCPP_VERSION_STRING " reads reals through the C++ global locale: "
                 "a host that sets it to this one gets reals read wrongly or its texts refused; keep "
                 "the host's C++ global locale \"C\", or use jsoncpp 1.9.8 or later");
}

// The data file that is installed with acrhost, found from acrhost's own
// folder as the build tree lays it out too. ACRHOST_SELFTEST_DATA leads from
// that folder by "../" steps first: each takes a folder off the path, which
// stays as plain as the link /proc/self/exe gives.
std::string InstalledData() {
  char self[PATH_MAX];
  const ssize_t size = readlink("/proc/self/exe", self, sizeof self);
  if (size < 0 || static_cast<size_t>(size) == sizeof self) {  // the latter: cut short
    const int error = size < 0 ? errno : ENAMETOOLONG;
    throw HostError(std::string("cannot find acrhost's folder (") + std::strerror(error) +
                    "): use --data");
  }
  std::string folder(self, static_cast<size_t>(size));
  folder.erase(folder.rfind('/'));
  std::string data = ACRHOST_SELFTEST_DATA;
  while (data.compare(0, 3, "../") == 0) {
    folder.erase(folder.rfind('/'));
    data.erase(0, 3);
  }
  return folder + "/" + data;
}

}  // namespace

void RunSelfTest(const Options& options) {
  const std::string path = options.selfTestData ? *options.selfTestData : InstalledData();
  const Json::Value data = ParseJsonInput(ReadInput(path), "'" + path + "'");
  static const char kChecks[] = "checks";
  const Json::Value* checks =
      data.isObject() ? data.find(kChecks, kChecks + sizeof kChecks - 1) : nullptr;
  if (checks == nullptr || !checks->isArray()) {
    throw HostError("'" + path + "' has no \"checks\" array");
  }
  Session session(options);
  hostenv::SetLogEcho(false);  // the checks read the log lines themselves

  const OpenSslRelease built = BuiltOpenSsl();
  const OpenSslRelease loaded = LoadedOpenSsl();
  Print("selftest: acrhost and the plug-in built against jsoncpp " JSONCPP_VERSION_STRING "\n");
  Print("selftest: acrhost and the plug-in built against " + built.text + "\n");
  Print("selftest: running with " + loaded.text + "\n");
  Verdicts verdicts(options.verbose);
  CheckOpenSsl(built, loaded, verdicts);
  CheckLocale(session.plugin(), verdicts);
  for (const Json::Value& check : *checks) Run(session.plugin(), check, verdicts);
  Print("selftest: " + std::to_string(verdicts.passed()) + " passed, " +
        std::to_string(verdicts.failed()) + " failed\n");
  if (verdicts.failed() > 0) {
    throw HostError(std::to_string(verdicts.failed()) + " of " +
                    std::to_string(verdicts.passed() + verdicts.failed()) + " checks failed");
  }
}
