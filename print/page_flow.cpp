#include "print/page_flow.h"

#include <algorithm>

namespace kv {

Canvas* PageFlow::Page() {
  if (failed_) return nullptr;
  if (canvas_) return canvas_;
  if (target_.Cancelled()) {
    cancelled_ = failed_ = true;
    return nullptr;
  }
  canvas_ = target_.BeginPage();
  if (!canvas_) {
    failed_ = true;
    return nullptr;
  }
  ++page_;
  ApplyPrintFonts(*canvas_, kind_, sources_.fonts);
  y = geometry_.content.top;
  return canvas_;
}

bool PageFlow::FinishPage() {
  if (!canvas_) return !failed_;
  DrawHeaderFooter(*canvas_, layout_, geometry_, page_, sources_);
  canvas_ = nullptr;
  if (!target_.EndPage()) failed_ = true;
  if (target_.Cancelled()) cancelled_ = failed_ = true;
  return !failed_;
}

bool PageFlow::NewPage() {
  if (!FinishPage()) return false;
  return Page() != nullptr;
}

bool PageFlow::Room(int height) {
  if (!Page()) return false;
  if (y + height <= geometry_.content.bottom || y == geometry_.content.top) return true;
  return NewPage();
}

bool PageFlow::Paragraph(FontRole role, std::string_view text, int indent, Colour colour, int right) {
  Canvas* c = Page();
  if (!c) return false;
  const Rect& r = geometry_.content;
  int left = r.left + indent;
  int edge = right ? right : r.right;
  int line = c->LineHeight(role);
  for (const std::string& piece : WrapText(*c, role, text, std::max(edge - left, 1))) {
    if (!Room(line)) return false;
    c = Page();
    // A line that still does not fit on an empty page would leave the content area: it is
    // drawn cut to the content instead.
    c->DrawTextInRect(role, Rect{left, y, edge, std::min(y + line, r.bottom)}, piece, colour, kTextSingleLine);
    y += line;
  }
  return true;
}

bool PageFlow::Heading(FontRole role, std::string_view text, int keep) {
  Canvas* c = Page();
  if (!c) return false;
  int line = c->LineHeight(role);
  int gap = line / 3;
  if (!Room(line + gap + keep)) return false;
  c = Page();
  const Rect& r = geometry_.content;
  c->DrawTextInRect(role, Rect{r.left, y, r.right, y + line}, text, 0, kTextSingleLine | kTextEndEllipsis);
  y += line;
  int pen = std::max(1, c->PixelsPerInch() / 144);
  c->FillRect(Rect{r.left, y + gap / 3, r.right, y + gap / 3 + pen}, 0);
  y += gap;
  return true;
}

void DrawHeaderFooter(Canvas& canvas, const PageLayout& layout, const PageGeometry& geometry, int page,
                      const PrintSources& sources) {
  if (layout.text.empty()) return;
  std::string text = ExpandHeaderText(layout.text, page, sources.now, sources.regional);
  int line = canvas.LineHeight(FontRole::PrintHeader);
  Rect r{geometry.headerLeft, geometry.headerTop, geometry.headerRight, geometry.headerTop + line};
  canvas.DrawTextInRect(FontRole::PrintHeader, r, text, 0, kTextCentre | kTextSingleLine | kTextEndEllipsis);
}

}  // namespace kv
