#include "print/page_layout.h"

#include <algorithm>

#include "base/bytes.h"

namespace kv {

PageLayout ParsePageLayout(const uint8_t* p) {
  PageLayout l;
  std::copy(p, p + kPageLayoutSize, l.kept.begin());
  l.topMargin = ReadU16LE(p);
  l.leftMargin = ReadU16LE(p + 2);
  l.rightMargin = ReadU16LE(p + 4);
  l.bottomMargin = ReadU16LE(p + 6);
  l.landscape = p[8];
  l.sizeToMargins = p[9];
  l.text = ReadFixedText(p + 10, kPageLayoutTextSize);
  l.isHeader = p[59];
  l.distance = ReadU16LE(p + 60);
  return l;
}

void PutPageLayout(uint8_t* p, const PageLayout& l) {
  std::copy(l.kept.begin(), l.kept.end(), p);
  PutU16LE(p, l.topMargin);
  PutU16LE(p + 2, l.leftMargin);
  PutU16LE(p + 4, l.rightMargin);
  PutU16LE(p + 6, l.bottomMargin);
  p[8] = l.landscape;
  p[9] = l.sizeToMargins;
  PutFixedText(p + 10, kPageLayoutTextSize, l.text);
  p[59] = l.isHeader;
  PutU16LE(p + 60, l.distance);
}

}  // namespace kv
