// kvtool dial-string: the modem command a phonebook number becomes, from the dialling settings
// given on the command line (nothing is read from the registry).
#include "devices/dialer.h"
#include "tools/kvtool/cli.h"

namespace kv::tool {
namespace {

Command dialString("dial-string", "NUMBER [--mode smart|exact] [--area CODE] [--ld CODE] [--prefix CODE] [--type T|P]",
                   [](Args& args) {
  DialerSettings s;
  std::string mode = args.Option("mode").value_or("exact");
  s.areaCode = args.Option("area").value_or("");
  s.ldAccess = args.Option("ld").value_or("");
  s.dialPrefix = args.Option("prefix").value_or("");
  s.dialType = args.Option("type").value_or("");
  std::string number = AnsiFromUtf8(args.Positional("number"));
  args.Done();
  if (mode != "smart" && mode != "exact") throw UsageError("--mode is smart or exact");
  if (s.dialType != "" && s.dialType != "T" && s.dialType != "P") throw UsageError("--type is T or P");

  DetachedDialCallHost host;
  DialCall call(host, s, number, mode == "smart" ? DialAction::SmartDial : DialAction::Exact);
  if (std::string refusal = call.Refusal(); !refusal.empty()) throw Failure(Utf8FromAnsi(refusal));
  std::string command = ModemDialCommand(s, call.DialedNumber());
  command.pop_back();   // the carriage return that ends it on the wire
  Emit(Json{{"command", Utf8FromAnsi(command)}});
});

}  // namespace
}  // namespace kv::tool
