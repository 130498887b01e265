// The program's desktop icon for the current user: a class key that carries the icon's display
// name, and an entry under the desktop's namespace key whose presence puts the icon on the
// desktop. The shell object behind the class is registered by the installation; the program
// only switches it on and off.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kv {

inline constexpr const char* kDesktopIconClassId = "{5D2C7E41-8B3A-4F6E-9C15-2A7B0E4D9F63}";
inline constexpr const char* kDesktopIconClassKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\CLSID\\{5D2C7E41-8B3A-4F6E-9C15-2A7B0E4D9F63}";
inline constexpr const char* kDesktopNamespaceKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\Namespace";

// The keys of the current user the icon lives in (the registry on Windows, a map in tests).
// Each operation returns false when the key cannot be opened or written.
class DesktopIconKeys {
 public:
  virtual ~DesktopIconKeys() = default;
  // The class key's default value; nothing when the key does not exist.
  virtual std::optional<std::string> ClassName() = 0;
  virtual bool ClassHasShellFolder() = 0;
  // Creates the class key when needed and sets its default value.
  virtual bool SetClassName(std::string_view name) = 0;
  virtual bool DeleteShellFolder() = 0;
  virtual bool NamespaceEntryExists() = 0;
  virtual bool CreateNamespaceEntry() = 0;
  virtual bool DeleteNamespaceEntry() = 0;
};

struct DesktopIconState {
  bool provided = false;
  std::string displayName;  // empty when none is stored
};

// A class key with a "ShellFolder" subkey marks the icon as not provided; otherwise the icon is
// there exactly when the namespace entry is.
DesktopIconState QueryDesktopIcon(DesktopIconKeys& keys);

// Switches the icon on or off; false when a key could not be written (nothing more is done).
// Switching on keeps a stored display name, on or off; only where none is stored does it
// become `productName`.
bool ProvideDesktopIcon(DesktopIconKeys& keys, bool on, std::string_view productName);

}  // namespace kv
