// kvtool migrate: copies a predecessor calendar (".obc", its database folder and overlays) into a
// data folder, through the same code as the Migrate Data wizard. The answer given stands for the
// user's at every question: an existing name (OK or Cancel) and an existing overlay (Yes, No or
// Cancel).
#include "calendar/clock.h"
#include "resources/strings.h"
#include "shell/migrate_data.h"
#include "tools/kvtool/cli.h"

namespace kv::tool {
namespace {

class ScriptedAnswer : public MessageSink {
 public:
  explicit ScriptedAnswer(MsgAnswer answer) : answer_(answer) {}
  MsgAnswer Show(const UserMessage& m) override {
    if (m.buttons == MsgButtons::YesNoCancel) return answer_;
    if (m.buttons == MsgButtons::OkCancel) return answer_ == MsgAnswer::Yes ? MsgAnswer::Ok : MsgAnswer::Cancel;
    return DefaultAnswer(m.buttons, m.defaultButton);
  }

 private:
  MsgAnswer answer_;
};

Json Texts(const std::vector<std::string>& list) {
  Json out = Json::array();
  for (const std::string& s : list) out.push_back(Utf8FromAnsi(s));
  return out;
}

Command migrate("migrate",
                "--from FILE.obc --data-folder DIR (--replace-default | --config NAME --database NAME) "
                "[--answer yes|no|cancel] [--open FILE.kvc] [--today YYYY-MM-DD]",
                [](Args& args) {
  std::optional<std::string> from = args.Option("from");
  std::optional<std::string> folder = args.Option("data-folder");
  bool replaceDefault = args.Flag("replace-default");
  std::optional<std::string> config = args.Option("config");
  std::optional<std::string> database = args.Option("database");
  std::string answerText = args.Option("answer").value_or("yes");
  std::optional<std::string> open = args.Option("open");
  std::optional<std::string> today = args.Option("today");
  args.Done();
  if (!from || !folder) throw UsageError("--from FILE.obc and --data-folder DIR are required");
  if (replaceDefault == (config || database)) throw UsageError("give either --replace-default or --config NAME --database NAME");
  if (!replaceDefault && (!config || !database)) throw UsageError("--config NAME needs --database NAME and the other way round");
  MsgAnswer answer;
  if (answerText == "yes") answer = MsgAnswer::Yes;
  else if (answerText == "no") answer = MsgAnswer::No;
  else if (answerText == "cancel") answer = MsgAnswer::Cancel;
  else throw UsageError("--answer takes yes, no or cancel");

  MigrationRequest request;
  request.source = AnsiFromUtf8(*from);
  request.dataFolder = AnsiFromUtf8(*folder);
  request.replaceDefault = replaceDefault;
  request.configName = AnsiFromUtf8(config.value_or(""));
  request.databaseName = AnsiFromUtf8(database.value_or(""));
  request.openConfig = AnsiFromUtf8(open.value_or(""));
  request.today = today ? ParseDate(*today) : DateOnly(CurrentClock().LocalNow());

  ScriptedAnswer sink(answer);
  ScopedMessageSink scope(sink);
  MigrationTarget target;
  if (int refusal = CheckMigrationTarget(request, target)) {
    std::string path = refusal == 30500 ? target.databaseFolder : target.config;
    throw Failure(Utf8FromAnsi(FormatText(std::string(StringText(refusal)).c_str(), path.c_str())));
  }
  // Replacing what exists takes the user's OK, as the wizard asks it.
  for (auto [exists, id] : {std::pair{target.configExists, 1208}, std::pair{target.databaseExists, 1209}}) {
    if (exists && answer != MsgAnswer::Yes)
      throw Failure(std::string(StringText(id)) + " " + std::string(StringText(1210)));
  }
  MigrationResult r = RunMigration(request, target);
  Json out;
  out["copied"] = Texts(r.copied);
  out["overlays"] = Texts(r.overlays);
  out["config"] = Utf8FromAnsi(r.config);
  out["problems"] = Texts(r.problems);
  out["backup"] = r.backupFolder.empty() ? Json() : Json(Utf8FromAnsi(r.backupFolder));
  Emit(out);
});

}  // namespace
}  // namespace kv::tool
