// Checking a database file on disk against every invariant of its format, for tools and tests.
#pragma once

#include <string>
#include <vector>

namespace kv {

enum class DbFileKind { Unknown, Container, ToDo, Phone };

// The kind a file name's extension tells: .kvdb, .kvtd or .kvpb (in any case).
DbFileKind DbFileKindOf(const std::string& path);

// Every problem found in the file, in words; empty when the file is sound. A file that cannot
// be read at all gives one problem saying so.
std::vector<std::string> VerifyDbFile(const std::string& path, DbFileKind kind);

}  // namespace kv
