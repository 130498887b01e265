#include "base/dialog_template.h"

#include "base/bytes.h"
#include "base/text_encoding.h"

namespace kv {
namespace {

constexpr uint32_t kSetFont = 0x40;  // DS_SETFONT

// A cursor over the template that fails, rather than reads past the end.
struct Reader {
  const uint8_t* bytes;
  size_t size;
  size_t at = 0;
  bool ok = true;

  bool Has(size_t n) {
    if (!ok || at > size || size - at < n) ok = false;
    return ok;
  }
  uint16_t U16() {
    if (!Has(2)) return 0;
    uint16_t v = ReadU16LE(bytes + at);
    at += 2;
    return v;
  }
  int16_t I16() { return static_cast<int16_t>(U16()); }
  uint32_t U32() {
    if (!Has(4)) return 0;
    uint32_t v = ReadU32LE(bytes + at);
    at += 4;
    return v;
  }
  uint8_t U8() {
    if (!Has(1)) return 0;
    return bytes[at++];
  }
  // A zero-terminated UTF-16 text, as Windows-1252.
  std::string Text() {
    std::string out;
    for (;;) {
      uint16_t c = U16();
      if (!ok || c == 0) return out;
      int ansi = AnsiOfUnicode(c);
      out.push_back(static_cast<char>(ansi < 0 ? '?' : ansi));
    }
  }
  // 0x0000: none; 0xFFFF and a number: an ordinal; else a text.
  TemplateName Name() {
    TemplateName name;
    if (!Has(2)) return name;
    uint16_t first = ReadU16LE(bytes + at);
    if (first == 0) {
      at += 2;
    } else if (first == 0xFFFF) {
      at += 2;
      name.ordinal = U16();
    } else {
      name.text = Text();
    }
    return name;
  }
  void AlignDword() { at = (at + 3) & ~size_t{3}; }
};

}  // namespace

std::optional<DialogTemplate> ParseDialogTemplate(const uint8_t* bytes, size_t size) {
  if (!bytes) return std::nullopt;
  Reader r{bytes, size};
  DialogTemplate t;
  uint16_t count = 0;
  if (r.Has(4) && ReadU16LE(bytes) == 1 && ReadU16LE(bytes + 2) == 0xFFFF) {
    t.extended = true;
    r.at = 4;
    r.U32();  // help id
    t.exStyle = r.U32();
    t.style = r.U32();
  } else {
    t.style = r.U32();
    t.exStyle = r.U32();
  }
  count = r.U16();
  t.x = r.I16(), t.y = r.I16(), t.cx = r.I16(), t.cy = r.I16();
  t.menu = r.Name();
  t.windowClass = r.Name();
  t.title = r.Text();
  if (t.style & kSetFont) {
    t.pointSize = r.U16();
    if (t.extended) {
      t.weight = r.U16();
      t.italic = r.U8() != 0;
      r.U8();  // character set
    }
    t.face = r.Text();
  }
  for (uint16_t i = 0; i < count && r.ok; ++i) {
    r.AlignDword();
    DialogItem item;
    if (t.extended) {
      r.U32();  // help id
      r.U32();  // extended style
      item.style = r.U32();
    } else {
      item.style = r.U32();
      r.U32();  // extended style
    }
    item.x = r.I16(), item.y = r.I16(), item.cx = r.I16(), item.cy = r.I16();
    item.id = t.extended ? r.U32() : r.U16();
    item.windowClass = r.Name();
    item.text = r.Name();
    uint16_t extra = r.U16();  // creation data
    if (extra && r.Has(extra)) r.at += extra;
    t.items.push_back(std::move(item));
  }
  if (!r.ok) return std::nullopt;
  return t;
}

int DialogUnitsToPixelsX(int units, int baseX) { return (units * baseX + 2) / 4; }
int DialogUnitsToPixelsY(int units, int baseY) { return (units * baseY + 4) / 8; }
int DialogBaseX(int lettersWidth) { return (lettersWidth / 26 + 1) / 2; }

}  // namespace kv
