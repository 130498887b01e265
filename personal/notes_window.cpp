#include "personal/notes_window.h"

#include <algorithm>
#include <utility>

#include "calendar/clock.h"
#include "calendar/date_format.h"

namespace kv {
namespace {

NotesHooks& Hooks() {
  static NotesHooks hooks;
  return hooks;
}

int KeyYear(uint32_t key) { return static_cast<int>(key >> 16); }
int KeyMonth(uint32_t key) { return static_cast<int>(key & 0xFFFF); }

// The edit field's text and modified mark become the state's before anything is saved.
void TakeField(const NotesEditField& field) {
  NotesWindowState& w = NotesWindow();
  w.text = field.Text();
  w.modified = field.Modified();
}

// Saves a modified note; a general note that was created or emptied has its day's mark redrawn
// (not in the year view, where no day cell shows one).
bool SaveState() {
  NotesWindowState& w = NotesWindow();
  w.yearView = Hooks().yearView && Hooks().yearView();
  NoteContext before = w.context;
  bool wasModified = w.modified;
  if (!NoteSaveCurrent()) return false;
  bool markChanged = (before.noteId != 0) != (w.context.noteId != 0);
  if (wasModified && before.type == kNoteDay && markChanged && !w.yearView && Hooks().dayNoteChanged) {
    DateStamp day;
    day.year = KeyYear(before.dateKey);
    day.month = static_cast<uint16_t>(KeyMonth(before.dateKey));
    day.day = before.day;
    Hooks().dayNoteChanged(day);
  }
  return true;
}

}  // namespace

void SetNotesHooks(NotesHooks hooks) { Hooks() = std::move(hooks); }

NotesContextParams PackNoteContext(const NoteContext& c) {
  NotesContextParams p;
  p.first = uint64_t{c.type} | uint64_t{c.day} << 16 | uint64_t{c.ownerId} << 32 | uint64_t{c.noteId} << 48;
  p.second = c.dateKey;
  return p;
}

NoteContext UnpackNoteContext(uint64_t first, uint64_t second) {
  NoteContext c;
  c.type = static_cast<uint16_t>(first & 0xFFFF);
  c.day = static_cast<uint8_t>((first >> 16) & 0xFF);
  c.ownerId = static_cast<uint16_t>((first >> 32) & 0xFFFF);
  c.noteId = static_cast<uint16_t>(first >> 48);
  c.dateKey = static_cast<uint32_t>(second & 0xFFFFFFFFu);
  if (c.type == kNoteDay && c.dateKey == 0) return SelectedDayContext();
  if (c.type == kNoteToDo || c.type == kNotePhone) c.dateKey = 0, c.day = 0;
  if (c.type == kNoteDay) c.ownerId = 0;
  return c;
}

NoteContext SelectedDayContext() {
  DateStamp d = Hooks().selectedDate ? Hooks().selectedDate() : CurrentDateTime().stamp;
  return DayNoteContext(d.year, d.month, d.day);
}

bool NotesShowContext(const NoteContext& next, NotesEditField& field) {
  // A context of no known kind could never be saved: whatever is typed would be lost.
  if (next.type != kNoteDay && next.type != kNoteSchedule && next.type != kNoteToDo && next.type != kNotePhone)
    return false;
  NotesWindowState& w = NotesWindow();
  if (w.context.type != 0 && SameNoteContext(w.context, next)) return true;
  TakeField(field);
  // Saved here rather than inside the switch, so that the old day's mark can be redrawn.
  if (!SaveState()) return false;
  if (!NoteSwitchContext(next)) return false;
  field.Load(w.text);
  return true;
}

bool NotesFollowSelectedDate(NotesEditField& field) {
  uint16_t type = NotesWindow().context.type;
  if (type != 0 && type != kNoteDay) return true;
  return NotesShowContext(SelectedDayContext(), field);
}

bool NotesSaveField(NotesEditField& field) {
  TakeField(field);
  if (!NotesWindow().modified) return true;
  if (!SaveState()) return false;
  field.MarkSaved();
  return true;
}

NotesTitle NotesTitleFor(const NoteContext& c, int width, const std::function<int(std::string_view)>& measure) {
  NotesTitle title;
  title.first = NoteTitleLine(c.type);
  if (c.type == kNoteDay) {
    int year = KeyYear(c.dateKey), month = KeyMonth(c.dateKey);
    if (!IsValidDate(month, c.day, year)) return title;
    title.second = FormatLongDate(month, c.day, year);
    if (measure && measure(title.second) > width) title.second = FormatShortDate(month, c.day, year);
  } else if (SameNoteContext(c, NotesWindow().context)) {
    title.second = NotesWindow().secondLine;  // read once when the context was taken over
  } else {
    title.second = NoteSecondLine(c);
  }
  return title;
}

NotesLayout LayOutNotesWindow(int width, int height, int lineHeight, int scrollBarWidth, int leftMargin) {
  NotesLayout l;
  width = std::max(width, 0);
  height = std::max(height, 0);
  l.ruleY = 2 * lineHeight + 2;
  l.stripHeight = std::min(l.ruleY + lineHeight / 2, height);
  int barLeft = std::max(width - scrollBarWidth, 0);
  l.edit = {0, l.stripHeight, barLeft, height};
  l.scrollBar = {barLeft, l.stripHeight, width, height};
  l.format = {std::min(leftMargin, l.edit.Width()), 0, l.edit.Width(), l.edit.Height()};
  return l;
}

void PaintNoteMark(Canvas& canvas, const Rect& mark, Colour ink) {
  canvas.FillRect(mark, MakeColour(255, 255, 160));
  canvas.FrameRect(mark, Pen{ink, 1});
  canvas.DrawLine({mark.left + 3, mark.top + 5}, {mark.right - 3, mark.top + 5}, Pen{ink, 1});
  canvas.DrawLine({mark.left + 3, mark.top + 9}, {mark.right - 3, mark.top + 9}, Pen{ink, 1});
}

void PaintNotesTitle(Canvas& canvas, FontRole role, const NotesTitle& title, int width, int leftMargin,
                     Colour text, Colour rule) {
  int lineHeight = canvas.Metrics(role).height;
  const std::string* lines[] = {&title.first, &title.second};
  for (int i = 0; i < 2; ++i) {
    if (lines[i]->empty()) continue;
    int textWidth = canvas.MeasureText(role, *lines[i]).cx;
    int x = textWidth > width ? 0 : std::max(leftMargin + (width - leftMargin - textWidth) / 2, 0);
    canvas.DrawText(role, {x, 1 + i * lineHeight}, *lines[i], text);
  }
  int y = 2 * lineHeight + 2;
  canvas.DrawLine({0, y}, {width, y}, Pen{rule, 1, PenStyle::Solid});
}

NotesScroll NotesScrollFor(int lineCount, int firstVisibleLine, int formatHeight, int lineHeight) {
  NotesScroll s;
  s.visibleLines = lineHeight > 0 ? std::max(formatHeight, 0) / lineHeight : 0;
  s.shown = lineCount > s.visibleLines;
  if (s.shown) s.position = std::clamp(firstVisibleLine * 100 / (lineCount - s.visibleLines), 0, 100);
  return s;
}

void ResetNotesWindow() {
  Hooks() = NotesHooks();
  ResetNotes();
}

}  // namespace kv
