// The pages of a print job as the renderers see them: the current page's canvas, the content
// rectangle and the position reached on it. A renderer asks for room before it draws a block;
// when the block does not fit the page is finished (header or footer, page end) and a new one
// begun. Pages are numbered from 1 within the job.
#pragma once

#include <string>
#include <string_view>

#include "print/print_job.h"

namespace kv {

class PageFlow {
 public:
  PageFlow(PrintKind kind, const PrintSources& sources, const PageLayout& layout, const PageGeometry& geometry,
           PageTarget& target)
      : kind_(kind), sources_(sources), layout_(layout), geometry_(geometry), target_(target) {}

  // The canvas of the current page, starting one when none is open. Null on a failure.
  Canvas* Page();
  // Room for `height` below the position: a new page when the block does not fit and the
  // page is not still empty. False once the job has failed or been cancelled.
  bool Room(int height);
  // Finishes the current page (header or footer, page end); nothing when none is open.
  bool FinishPage();
  // A fresh page for what follows (the current one finished first).
  bool NewPage();

  // Wrapped text from `indent` to the right edge (or `right` when not 0), a page break allowed
  // between any two lines; the position moves below it.
  bool Paragraph(FontRole role, std::string_view text, int indent, Colour colour = 0, int right = 0);
  // A heading line with a rule under it, kept on one page with `keep` units of what follows.
  bool Heading(FontRole role, std::string_view text, int keep);

  bool Ok() const { return !failed_; }
  bool Cancelled() const { return cancelled_; }
  int PageNumber() const { return page_; }
  const Rect& Content() const { return geometry_.content; }
  const PrintSources& Sources() const { return sources_; }
  PrintKind Kind() const { return kind_; }
  PageTarget& Target() { return target_; }
  // Fails the job (a renderer's error).
  void Fail() { failed_ = true; }

  int y = 0;  // the position reached on the current page

 private:
  PrintKind kind_;
  const PrintSources& sources_;
  const PageLayout& layout_;
  const PageGeometry& geometry_;
  PageTarget& target_;
  Canvas* canvas_ = nullptr;
  int page_ = 0;
  bool failed_ = false;
  bool cancelled_ = false;
};

// Draws the header or footer of a page (nothing when the layout's text is empty).
void DrawHeaderFooter(Canvas& canvas, const PageLayout& layout, const PageGeometry& geometry, int page,
                      const PrintSources& sources);

// Units of the canvas for a length in points (1/72 inch).
inline int PointsToUnits(const Canvas& canvas, int points) { return canvas.PixelsPerInch() * points / 72; }

// Renderers that fill pages (list_pages.cpp, binder_pages.cpp).
bool RenderDayList(PageFlow& flow, const DateStamp& day);
bool RenderBinderSheet(PageFlow& flow, const DateStamp& day, const DateStamp* second);
bool RenderGeneralNotes(PageFlow& flow, const DateStamp& from, const DateStamp& to);
bool RenderOneNote(PageFlow& flow);
bool RenderSchedule(PageFlow& flow, const DateStamp& from, const DateStamp& to);
bool RenderToDo(PageFlow& flow);
bool RenderPhonebook(PageFlow& flow, int first, int last);

// The entries of a day for printing: the sources' hook, or the day assembly.
std::vector<DayEntry> PrintDayEntries(const PrintSources& sources, const DateStamp& day);

}  // namespace kv
