// acrhost's subcommands and what the command line asked of them: CLI11 fills
// in Options (Main.cpp), a subcommand reads them (Commands.cpp, Demo.cpp,
// SelfTest.cpp).

#ifndef VOMAXEL_ACRHOST_COMMANDS_H_
#define VOMAXEL_ACRHOST_COMMANDS_H_

#include <boost/optional.hpp>
#include <string>
#include <vector>

struct Options {
  // Every subcommand.
  std::string plugin = "libVomaxel.so";
  bool quiet = false;
  boost::optional<std::string> delimiter;  // ACR_STRING_MULTI_DELIMITER
  boost::optional<std::string> unknown;    // ACR_STRING_UNKNOWN
  boost::optional<std::string> zero;       // ACR_STRING_ZERO

  // Subcommands that decrypt or encrypt.
  boost::optional<std::string> key;
  boost::optional<std::string> keyFile;

  // Inputs; "-" is standard input.
  std::string input = "-";
  std::vector<std::string> inputs;
  boost::optional<std::string> acrInfoFile;
  boost::optional<std::string> eventInfoFile;

  bool printRecord = false;
  boost::optional<int> engine;
  int matchType = 0;
  int eventType = 0;
  std::string countryCode;
  std::string vendor;
  std::string product;
  int source = 0;
  bool nullDevice = false;

  // selftest.
  boost::optional<std::string> selfTestData;  // default: the installed data file
  bool verbose = false;
};

// The subcommands. Each writes its results to standard output and throws
// HostError when it cannot do its job or the operation rejects its input.
void RunDemo(const Options& options);
void RunDecryptMatch(const Options& options);
void RunDecryptEvent(const Options& options);
void RunEncrypt(const Options& options);
void RunMatchInfo(const Options& options);
void RunReport(const Options& options);
void RunEventMessage(const Options& options);
void RunEventList(const Options& options);
void RunAux(const Options& options);
void RunDevice(const Options& options);
// Prints one line per known answer and "selftest: N passed, M failed";
// throws HostError when a check failed.
void RunSelfTest(const Options& options);

#endif  // VOMAXEL_ACRHOST_COMMANDS_H_
