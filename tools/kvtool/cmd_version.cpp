// kvtool version-reply: reads a reply of the version service the way the program does.
#include <string>
#include <vector>

#include "base/file_io.h"
#include "shell/version_reply.h"
#include "tools/kvtool/cli.h"

namespace kv::tool {
namespace {

Command versionReply("version-reply", "FILE", [](Args& args) {
  std::string path = args.Positional("file");
  args.Done();
  std::vector<uint8_t> bytes;
  // The program reads no more than this of a reply; the rest of a longer file is never seen.
  if (!ReadWholeFile(path, bytes, kMaxVersionReply))
    throw Failure("cannot read " + path);
  VersionReply r = ParseVersionReply(std::string(bytes.begin(), bytes.end()));
  Emit(Json{{"tag", r.tag},
            {"newer", r.newer},
            {"version", r.tag ? VersionText(r.major, r.minor, r.build) : ""},
            {"url", Utf8FromAnsi(r.address)}});
});

}  // namespace
}  // namespace kv::tool
