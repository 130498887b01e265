// The list of commands kvtool knows, filled by the Command objects of each cmd_*.cpp file.
#pragma once

#include <string>
#include <vector>

#include "tools/kvtool/cli.h"

namespace kv::tool {

struct RegisteredCommand {
  std::string name;
  std::string usage;
  Handler handler;
};

std::vector<RegisteredCommand>& Registry();

}  // namespace kv::tool
