// acrhost: a receiver's ACR service in miniature. It loads libVomaxel.so as
// the receiver does and drives every operation of the plug-in from the
// command line, so that what the plug-in does with a server answer, a key or
// a record can be seen on a desk.
//
// Exit status: 0 done, 1 failed (unreadable file, plug-in that does not
// load, refused key, input the operation rejected, a self-test check that
// failed), 2 usage error.
#include <CLI/CLI.hpp>
// CLI11 compiles, for every option, a text of its default value made by
// streaming it; Options' boost::optional members stream only with this.
#include <boost/optional/optional_io.hpp>
#include <iostream>
#include <string>
#include <vector>

#include "Commands.h"

namespace {

const int kFailed = 1;
const int kUsageError = 2;

struct Command {
  CLI::App* app;
  void (*run)(const Options&);
};

// Adds a subcommand with the host's options: --plugin, and unless
// `hostTexts` is false, -q and the host constants.
CLI::App* AddCommand(CLI::App& app, std::vector<Command>& commands, const char* name,
                     const char* description, void (*run)(const Options&), Options& options,
                     bool hostTexts = true) {
  CLI::App* command = app.add_subcommand(name, description);
  commands.push_back({command, run});
  command
      ->add_option("--plugin", options.plugin,
                   "The plug-in to load; a bare name is looked up first in the folder of the\n"
                   "plug-in built or installed with acrhost")
      ->capture_default_str()
      ->group("Host");
  if (!hostTexts) return command;
  command->add_flag("-q,--quiet", options.quiet, "Hide the plug-in's log lines (standard error)")
      ->group("Host");
  command
      ->add_option("--delimiter", options.delimiter, "ACR_STRING_MULTI_DELIMITER (default \"|\")")
      ->group("Host");
  command->add_option("--unknown", options.unknown, "ACR_STRING_UNKNOWN (default \"unknown\")")
      ->group("Host");
  command->add_option("--zero", options.zero, "ACR_STRING_ZERO (default \"0\")")->group("Host");
  return command;
}

void AddKeyOptions(CLI::App* command, Options& options) {
  CLI::Option* key = command->add_option("--key", options.key,
                                         "Key text for SetSecureKey: OLD,CURRENT in hexadecimal");
  CLI::Option* keyFile =
      command->add_option("--key-file", options.keyFile, "File holding the key text (one line)");
  key->excludes(keyFile);
}

void AddInput(CLI::App* command, Options& options, const std::string& what) {
  command->add_option("FILE", options.input, what + " (default: standard input)");
}

void AddEngine(CLI::App* command, Options& options, const std::string& what) {
  command->add_option("--engine", options.engine, what);
}

CLI::Validator AtMostBytes(size_t limit) {
  return CLI::Validator(
      [limit](std::string& text) {
        return text.size() > limit ? "longer than " + std::to_string(limit) + " bytes"
                                   : std::string();
      },
      "TEXT<=" + std::to_string(limit));
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::vector<Command> commands;
  CLI::App app(
      "Loads libVomaxel.so as a receiver's ACR service does and calls its operations.\n"
      "JSON is read from FILE or standard input and written to standard output;\n"
      "the plug-in's log lines go to standard error.",
      "acrhost");
  app.require_subcommand(0, 1);  // an unknown command is then reported as such
  app.footer(
      "Exit status: 0 done, 1 failed (file, plug-in, key or input rejected, a self-test\n"
      "check failed), 2 usage error.\n"
      "Run 'acrhost COMMAND --help' for a command's options.");

  AddCommand(
      app, commands, "demo",
      "The typical request end to end on bundled samples: set the demo key, encrypt a plain\n"
      "server answer into its wire form, decrypt it, and show the record and a report",
      RunDemo, options);

  CLI::App* decryptMatch = AddCommand(
      app, commands, "decrypt-match",
      "DecryptMatchInfo: decrypt a server answer; print the output text (and the record)",
      RunDecryptMatch, options);
  AddInput(decryptMatch, options, "Server answer");
  AddKeyOptions(decryptMatch, options);
  decryptMatch->add_flag("--record", options.printRecord,
                         "Also print the filled record, as match info JSON (MakeACRInfoJson)");
  AddEngine(decryptMatch, options, "Engine type for the record's JSON (default: the record's)");

  CLI::App* decryptEvent = AddCommand(
      app, commands, "decrypt-event",
      "DecryptEachEventInfo: decrypt the server's event information", RunDecryptEvent, options);
  AddInput(decryptEvent, options, "Event information");
  AddKeyOptions(decryptEvent, options);

  CLI::App* encrypt =
      AddCommand(app, commands, "encrypt",
                 "The server's side, for fixtures: encrypt a plain server answer (an object with\n"
                 "\"matchResult\") or event information with the current key (Encrypt, b64_encode)",
                 RunEncrypt, options);
  AddInput(encrypt, options, "Plain server answer or event information");
  AddKeyOptions(encrypt, options);

  CLI::App* matchInfo = AddCommand(
      app, commands, "match-info",
      "ParserACRInfoJson, then MakeACRInfoJson: read match info JSON into a record and write it",
      RunMatchInfo, options);
  AddInput(matchInfo, options, "Match info JSON");
  AddEngine(matchInfo, options, "Engine type for MakeACRInfoJson (default: the record's)");

  CLI::App* report = AddCommand(
      app, commands, "report",
      "MakeAcrData from a JSON description of the records: {\"matchType\", \"eventType\",\n"
      "\"acrInfo\": {record}, \"eventInfo\": {record}}; with \"engine\", the batched overload\n"
      "and arrays of records. Fields by their names in IVomaxel.h (\"szStationName\", ...)",
      RunReport, options);
  AddInput(report, options, "Report description");

  CLI::App* eventMessage = AddCommand(app, commands, "event-message",
                                      "MakeEventMessage: wrap ACR info and event info JSON texts",
                                      RunEventMessage, options);
  eventMessage->add_option("--acr-info", options.acrInfoFile,
                           "File of the ACR info text (default: empty)");
  eventMessage->add_option("--event-info", options.eventInfoFile,
                           "File of the event info text (default: empty)");
  AddEngine(eventMessage, options, "Engine type (default 0)");
  eventMessage->add_option("--match-type", options.matchType, "Match type")->capture_default_str();
  eventMessage->add_option("--event-type", options.eventType, "Event type")->capture_default_str();

  CLI::App* eventList =
      AddCommand(app, commands, "event-list",
                 "MakeEventInfoList: one JSON array from event info texts", RunEventList, options);
  eventList->add_option("FILE", options.inputs, "One file per entry, '-' for standard input");

  CLI::App* aux = AddCommand(app, commands, "aux", "MakeAuxiliaryInfo: the auxiliary info JSON",
                             RunAux, options);
  aux->add_option("COUNTRY", options.countryCode, "Country code, passed unchanged")->required();

  CLI::App* device = AddCommand(
      app, commands, "device", "MakeDeviceInfoJson: the HDMI device info JSON", RunDevice, options);
  device->add_option("--vendor", options.vendor, "Vendor name")->check(AtMostBytes(8));
  device->add_option("--product", options.product, "Product name")->check(AtMostBytes(18));
  device->add_option("--source", options.source, "Source number")->capture_default_str();
  device->add_flag("--null-record", options.nullDevice,
                   "Pass a null record pointer (the operation's failure case)");

  // The known answers hold for the stand-in's constants, and the log lines
  // are part of them: selftest takes neither -q nor the constants.
  CLI::App* selfTest = AddCommand(
      app, commands, "selftest",
      "Known answers: every operation on fixed inputs from the data file, each result compared\n"
      "with the answer derived without the plug-in; one line per check, exit status 1 when one\n"
      "fails",
      RunSelfTest, options, false);
  selfTest->add_option("--data", options.selfTestData,
                       "The known answers (default: selftest.json installed with acrhost)");
  selfTest->add_flag("-v,--verbose", options.verbose,
                     "Show the expected and the actual text of every check");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error) == 0 ? 0 : kUsageError;
  }

  if (app.get_subcommands().empty()) {
    std::cerr << "A command is required\nRun with --help for more information.\n";
    return kUsageError;
  }
  try {
    for (const Command& command : commands) {
      if (command.app->parsed()) command.run(options);
    }
  } catch (const std::exception& error) {  // HostError, or the JSON library's or allocation's
    std::cerr << "acrhost: " << error.what() << "\n";
    return kFailed;
  }
  return 0;
}
