// Reads a dialog template as the resource compiler stores it (DLGTEMPLATE or DLGTEMPLATEEX,
// with its items), so that windows built from a template's measures (the phonebook) and the
// tests of the dialogs' layout need no dialog manager. Texts come back as Windows-1252.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kv {

// A menu, class or text field of a template: a number (ordinal) or a name.
struct TemplateName {
  uint16_t ordinal = 0;  // non-zero for an ordinal
  std::string text;
  friend bool operator==(const TemplateName&, const TemplateName&) = default;
};

struct DialogItem {
  uint32_t id = 0;
  uint32_t style = 0;
  int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
  TemplateName windowClass;          // ordinals: 0x80 button, 0x81 edit, 0x82 static, 0x83 list, 0x85 combo
  TemplateName text;
};

struct DialogTemplate {
  bool extended = false;
  uint32_t style = 0;
  uint32_t exStyle = 0;
  int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
  TemplateName menu, windowClass;
  std::string title;
  int pointSize = 0;                 // with DS_SETFONT (0x40)
  int weight = 0;
  bool italic = false;
  std::string face;
  std::vector<DialogItem> items;
};

// The template of `size` bytes; nothing when it is cut short or malformed.
std::optional<DialogTemplate> ParseDialogTemplate(const uint8_t* bytes, size_t size);

// Dialog units to pixels with the dialog font's base units (average character width of
// "A-Za-z", and its height), rounded as the dialog manager does.
int DialogUnitsToPixelsX(int units, int baseX);
int DialogUnitsToPixelsY(int units, int baseY);
// The base width from the pixel width of the 52 letters "A".."Z","a".."z".
int DialogBaseX(int lettersWidth);

}  // namespace kv
