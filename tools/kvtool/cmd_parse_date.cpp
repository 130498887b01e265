// kvtool parse-date: reads a typed date the way the program's date boxes do.
#include <memory>

#include "calendar/clock.h"
#include "datebox/date_parse.h"
#include "tools/kvtool/cli.h"

namespace kv::tool {
namespace {

Command parseDate("parse-date", "TEXT [--picture P] [--now YYYY-MM-DD]", [](Args& args) {
  std::optional<std::string> picture = args.Option("picture");
  std::optional<std::string> now = args.Option("now");
  std::string text = AnsiFromUtf8(args.Positional("text"));
  args.Done();
  std::unique_ptr<FixedClock> clock;
  if (now) {
    clock = std::make_unique<FixedClock>(ParseDate(*now));
    SetClockSource(clock.get());
  }
  DateParseContext context = CurrentDateParseContext(false);
  if (clock) SetClockSource(nullptr);
  if (picture) context.shortPicture = AnsiFromUtf8(*picture);
  std::optional<TypedDate> date = ParseTypedDate(text, context);
  if (!date) throw Failure("\"" + Utf8FromAnsi(text) + "\" is not a date");
  Emit(Json{{"date", DateText(DateStamp{date->year, static_cast<uint16_t>(date->month),
                                        static_cast<uint16_t>(date->day), 0, 0})}});
});

}  // namespace
}  // namespace kv::tool
