#include "personal/phone_window_win.h"

#include <cstring>
#include <optional>
#include <string>

#include "base/dialog_win.h"
#include "base/messages.h"
#include "base/win_handles.h"
#include "base/window_kit_win.h"
#include "personal/notes_window.h"
#include "personal/notes_window_win.h"
#include "resources/command_ids.h"
#include "resources/phone_dialog.h"
#include "resources/strings.h"

namespace kv {
namespace {

constexpr int kStrNewEntryTitle = 25520;
constexpr int kStrEditEntryTitle = 25521;
constexpr int kStrDial = 25522;

PhoneWindowHooks g_hooks;
HWND g_window = nullptr;

// Asked each time: opening another configuration makes the shell's fonts anew.
HFONT WindowFont() {
  HFONT font = g_hooks.font ? g_hooks.font() : nullptr;
  return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

std::string ControlText(HWND control) {
  int length = GetWindowTextLengthA(control);
  std::string text(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
  int got = GetWindowTextA(control, text.data(), length + 1);
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return text;
}

// ---- the entry dialog ------------------------------------------------------------------------

class PhoneEntryDialog final : public Dialog {
 public:
  PhoneEntryDialog(HINSTANCE instance, PhoneBook& book, int editIndex, const PhoneFields& fields)
      : Dialog(instance, "PhoneEntry"), book_(book), editIndex_(editIndex), form_(PhoneFormFromFields(fields)) {}

 protected:
  bool OnInit() override {
    SetWindowTextA(hwnd(), std::string(StringText(editIndex_ >= 0 ? kStrEditEntryTitle : kStrNewEntryTitle)).c_str());
    Fill(IDC_PE_CATEGORY, book_.choices.categories, kPhoneCategory);
    Fill(IDC_PE_SALUTATION, book_.choices.salutations, kPhoneSalutation);
    Fill(IDC_PE_TITLE, book_.choices.titles, kPhoneTitle);
    Limit(IDC_PE_LAST, kPhoneFieldMax[kPhoneLast]);
    Limit(IDC_PE_FIRST, kPhoneFieldMax[kPhoneFirst]);
    Limit(IDC_PE_COMPANY, kPhoneFieldMax[kPhoneCompany]);
    Limit(IDC_PE_ADDRESS, kPhoneFieldMax[kPhoneAddress]);
    for (int i = 0; i < 4; ++i) {
      Fill(IDC_PE_LABEL1 + i, book_.choices.labels, static_cast<PhoneField>(kPhoneLabel1 + i));
      Limit(IDC_PE_NUMBER1 + i, kPhoneNumberTyped);
      for (DialAction a : {DialAction::Default, DialAction::SmartDial, DialAction::Exact, DialAction::Preview})
        AddLine(IDC_PE_ACTION1 + i, DialActionName(a));
      Select(IDC_PE_ACTION1 + i, static_cast<int>(form_.actions[static_cast<size_t>(i)]));
    }
    for (int f = 0; f < kPhoneFieldCount; ++f) SetText(IdOf(static_cast<PhoneField>(f)), form_.fields[f]);
    FocusOn(editIndex_ >= 0 ? IDC_PE_LAST : IDC_PE_CATEGORY);
    return false;
  }

  bool OnOk() override {
    for (int f = 0; f < kPhoneFieldCount; ++f) form_.fields[f] = Text(IdOf(static_cast<PhoneField>(f)));
    for (int i = 0; i < 4; ++i) {
      int line = Selection(IDC_PE_ACTION1 + i);
      form_.actions[static_cast<size_t>(i)] = line > 0 && line <= 3 ? static_cast<DialAction>(line) : DialAction::Default;
    }
    PhoneSaveResult r = PhoneSave(book_, PhoneFieldsFromForm(form_), editIndex_);
    if (r.Ok()) return true;
    FocusOn(IdOf(r.focus));
    return false;
  }

 private:
  static int IdOf(PhoneField f) {
    switch (f) {
      case kPhoneCategory: return IDC_PE_CATEGORY;
      case kPhoneLast: return IDC_PE_LAST;
      case kPhoneFirst: return IDC_PE_FIRST;
      case kPhoneSalutation: return IDC_PE_SALUTATION;
      case kPhoneTitle: return IDC_PE_TITLE;
      case kPhoneCompany: return IDC_PE_COMPANY;
      case kPhoneAddress: return IDC_PE_ADDRESS;
      default:
        if (f >= kPhoneNumber1 && f <= kPhoneNumber4) return IDC_PE_NUMBER1 + (f - kPhoneNumber1);
        return IDC_PE_LABEL1 + (f - kPhoneLabel1);
    }
  }
  void Fill(int id, const std::vector<std::string>& items, PhoneField field) {
    for (const std::string& item : items) AddLine(id, item);
    SendMessageA(Item(id), CB_LIMITTEXT, kPhoneFieldMax[field], 0);
  }
  void Limit(int id, size_t max) { SendMessageA(Item(id), EM_LIMITTEXT, max, 0); }

  PhoneBook& book_;
  int editIndex_;
  PhoneForm form_;
};

// ---- the window --------------------------------------------------------------------------------

struct PhoneWindowData {
  PhoneBook book;
  PhoneTypeAhead typing;
  std::vector<std::string> filterLines;
  HFONT dialFont = nullptr;   // Wingdings, for the telephone on the dial buttons
  PhoneEntryDisplay shown;
};

PhoneWindowData* DataOf(HWND h) { return StateOf<PhoneWindowData>(h); }
HWND Control(HWND h, int id) { return GetDlgItem(h, id); }

void TellNotes(const PhoneWindowData& d) {
  HWND notes = g_hooks.notesWindow ? g_hooks.notesWindow() : nullptr;
  if (notes) SendNoteContext(notes, PhoneSelectionNoteContext(d.book));
}

void ShowPrefix(HWND h, const PhoneWindowData& d) { SetWindowTextA(Control(h, IDC_PB_PREFIX), d.typing.Prefix().c_str()); }

void ClearPrefix(HWND h, PhoneWindowData& d) {
  KillTimer(h, kPhoneTypeAheadTimer);
  d.typing.Clear();
  ShowPrefix(h, d);
}

// The selected entry's heading, address and phones; all empty without a selection.
void ShowSelected(HWND h, PhoneWindowData& d) {
  PhoneSelection selection;
  bool have = PhoneReadSelection(d.book, selection);
  d.shown = have ? DisplayPhoneEntry(selection.fields) : PhoneEntryDisplay{};
  SetWindowTextA(Control(h, IDC_PB_HEADING), d.shown.heading.c_str());
  SetWindowTextA(Control(h, IDC_PB_ADDRESS), d.shown.address.c_str());
  bool canDial = static_cast<bool>(g_hooks.dial);
  for (int i = 0; i < 4; ++i) {
    const PhoneRow& row = d.shown.rows[static_cast<size_t>(i)];
    SetWindowTextA(Control(h, IDC_PB_LABEL1 + i), row.label.c_str());
    SetWindowTextA(Control(h, IDC_PB_NUMBER1 + i), row.number.c_str());
    EnableWindow(Control(h, IDC_PB_DIAL1 + i), canDial && !row.number.empty());
  }
  EnableWindow(Control(h, IDC_PB_EDIT), have);
  EnableWindow(Control(h, IDC_PB_DELETE), have);
  EnableWindow(Control(h, IDC_PB_COPY), have && !d.shown.address.empty());
}

void SelectLine(HWND h, PhoneWindowData& d, int line, bool tellNotes = true) {
  int count = static_cast<int>(d.book.index.size());
  d.book.selected = line >= 0 && line < count ? line : -1;
  SendMessageA(Control(h, IDC_PB_NAMES), LB_SETCURSEL, static_cast<WPARAM>(d.book.selected), 0);
  ShowSelected(h, d);
  if (tellNotes) TellNotes(d);
}

void FillLists(HWND h, PhoneWindowData& d) {
  HWND combo = Control(h, IDC_PB_CATEGORY);
  d.filterLines = PhoneFilterLines(d.book);
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  for (const std::string& line : d.filterLines) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(PhoneFilterLine(d.book, d.filterLines)), 0);
  HWND list = Control(h, IDC_PB_NAMES);
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (const PhoneIndexEntry& e : d.book.index) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.name.c_str()));
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  bool people = d.book.view == PhoneView::People;
  CheckRadioButton(h, IDC_PB_PEOPLE, IDC_PB_ORGANIZATIONS, people ? IDC_PB_PEOPLE : IDC_PB_ORGANIZATIONS);
}

// Reads the file again for the current list and category and selects the entry with `keepId`
// (else the remembered one's name, else the first).
void Reload(HWND h, PhoneWindowData& d, PhoneRemembered keep) {
  ClearPrefix(h, d);
  PhoneLoad(d.book);
  FillLists(h, d);
  SelectLine(h, d, FindRememberedPhoneEntry(d.book, keep));
}

void Remember(const PhoneWindowData& d) {
  if (g_hooks.remember) g_hooks.remember(RememberPhoneSelection(d.book));
}

void SetView(HWND h, PhoneWindowData& d, PhoneView view) {
  if (d.book.view == view) return;
  PhoneRemembered keep = RememberPhoneSelection(d.book);
  d.book.view = view;
  if (g_hooks.setPeopleView) g_hooks.setPeopleView(view == PhoneView::People);
  keep.name.clear();   // the same entry has another name in the other list
  Reload(h, d, keep);
}

void SetFilter(HWND h, PhoneWindowData& d) {
  int line = static_cast<int>(SendMessageA(Control(h, IDC_PB_CATEGORY), CB_GETCURSEL, 0, 0));
  std::string filter = PhoneFilterOfLine(d.filterLines, line);
  if (filter == d.book.categoryFilter) return;
  PhoneRemembered keep = RememberPhoneSelection(d.book);
  d.book.categoryFilter = filter;
  Reload(h, d, keep);
}

void EditEntry(HWND h, PhoneWindowData& d, bool add) {
  ClearPrefix(h, d);
  PhoneFields fields;
  int editIndex = -1;
  if (add) {
    if (!PhoneCanAdd(d.book)) return;
    // A new entry starts in the category the list shows.
    fields[kPhoneCategory] = d.book.categoryFilter;
  } else {
    PhoneSelection selection;
    if (!PhoneReadSelection(d.book, selection)) {
      Reload(h, d, RememberPhoneSelection(d.book));
      return;
    }
    fields = selection.fields;
    editIndex = d.book.selected;
  }
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(h, GWLP_HINSTANCE));
  PhoneEntryDialog dialog(instance, d.book, editIndex, fields);
  if (dialog.RunModal(GetAncestor(h, GA_ROOT)) != IDOK) {
    SetFocus(Control(h, IDC_PB_NAMES));
    return;
  }
  // The book's index and choices now hold the stored entry, selected when it is listed here.
  int selected = d.book.selected;
  FillLists(h, d);
  SelectLine(h, d, selected >= 0 ? selected : (d.book.index.empty() ? -1 : 0));
  SetFocus(Control(h, IDC_PB_NAMES));
}

void DeleteEntry(HWND h, PhoneWindowData& d) {
  ClearPrefix(h, d);
  if (d.book.selected < 0) return;
  if (!PhoneDelete(d.book)) {
    SetFocus(Control(h, IDC_PB_NAMES));
    return;
  }
  int selected = d.book.selected;
  FillLists(h, d);
  SelectLine(h, d, selected);
  SetFocus(Control(h, IDC_PB_NAMES));
}

// Copies the selected part of the address, or all of it when nothing is selected.
void CopyAddress(HWND h) {
  HWND edit = Control(h, IDC_PB_ADDRESS);
  std::string text = ControlText(edit);
  DWORD start = 0, end = 0;
  SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  if (end > start && end <= text.size()) text = text.substr(start, end - start);
  if (text.empty() || !OpenClipboard(h)) return;
  EmptyClipboard();
  if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
    if (void* p = GlobalLock(block)) {
      memcpy(p, text.c_str(), text.size() + 1);
      GlobalUnlock(block);
      if (!SetClipboardData(CF_TEXT, block)) GlobalFree(block);
    } else {
      GlobalFree(block);
    }
  }
  CloseClipboard();
}

void Dial(HWND h, PhoneWindowData& d, int row) {
  if (!g_hooks.dial || row < 0 || row > 3) return;
  const PhoneRow& r = d.shown.rows[static_cast<size_t>(row)];
  if (!r.number.empty()) g_hooks.dial(h, r.number, r.action);
}

// A character typed in the name list: the type-ahead prefix.
LRESULT TypeAhead(HWND h, PhoneWindowData& d, char key) {
  PhoneTypeAhead::Step step = d.typing.Key(key, d.book.index, d.book.selected);
  if (step.select >= 0) SelectLine(h, d, step.select);
  if (step.beep) MessageBeep(0);
  if (step.timerMs > 0) SetTimer(h, kPhoneTypeAheadTimer, static_cast<UINT>(step.timerMs), nullptr);
  else KillTimer(h, kPhoneTypeAheadTimer);
  ShowPrefix(h, d);
  return -2;   // handled: the list does no search of its own
}

LRESULT ListKey(HWND h, PhoneWindowData& d, WORD key) {
  switch (key) {
    case VK_DELETE: DeleteEntry(h, d); return -2;
    case VK_RETURN: EditEntry(h, d, false); return -2;
    default: return -1;
  }
}

bool Command(HWND h, PhoneWindowData& d, int id, int code) {
  switch (id) {
    case IDC_PB_CATEGORY:
      if (code == CBN_SELCHANGE) SetFilter(h, d);
      return true;
    case IDC_PB_PEOPLE:
    case IDC_PB_ORGANIZATIONS:
      if (code == BN_CLICKED) SetView(h, d, id == IDC_PB_PEOPLE ? PhoneView::People : PhoneView::Organizations);
      return true;
    case IDC_PB_NAMES:
      if (code == LBN_SELCHANGE) {
        ClearPrefix(h, d);
        SelectLine(h, d, static_cast<int>(SendMessageA(Control(h, id), LB_GETCURSEL, 0, 0)));
      } else if (code == LBN_DBLCLK) {
        EditEntry(h, d, false);
      } else if (code == LBN_KILLFOCUS) {
        ClearPrefix(h, d);
      }
      return true;
    case IDC_PB_NEW: EditEntry(h, d, true); return true;
    case IDC_PB_EDIT: EditEntry(h, d, false); return true;
    case IDC_PB_DELETE: DeleteEntry(h, d); return true;
    case IDC_PB_COPY: CopyAddress(h); return true;
    case IDOK:   // Enter in the window (its dialog keys): the name list edits its entry
      if (GetFocus() == Control(h, IDC_PB_NAMES)) EditEntry(h, d, false);
      return true;
    case IDCANCEL: return true;
    default:
      if (id >= IDC_PB_DIAL1 && id < IDC_PB_DIAL1 + 4) {
        Dial(h, d, id - IDC_PB_DIAL1);
        return true;
      }
      return false;
  }
}

std::optional<DialogTemplate> LoadPhonebookTemplate(HINSTANCE instance) {
  HRSRC res = FindResourceA(instance, "Phonebook", MAKEINTRESOURCEA(5));
  HGLOBAL data = res ? LoadResource(instance, res) : nullptr;
  const auto* bytes = data ? static_cast<const uint8_t*>(LockResource(data)) : nullptr;
  return ParseDialogTemplate(bytes, bytes ? SizeofResource(instance, res) : 0);
}

// Whether the system gave the font the face asked for (a missing face is replaced silently).
bool HasFace(HWND h, HFONT font, const char* face) {
  WindowDC dc(h);
  SelectedObject selected(dc.get(), font);
  char got[LF_FACESIZE] = "";
  GetTextFaceA(dc.get(), LF_FACESIZE, got);
  return lstrcmpiA(got, face) == 0;
}

SIZE BaseUnitsOf(HWND h, HFONT font) {
  WindowDC dc(h);
  SelectedObject selected(dc.get(), font);
  const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  SIZE extent{};
  GetTextExtentPoint32A(dc.get(), letters, 52, &extent);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc.get(), &tm);
  return {DialogBaseX(extent.cx), tm.tmHeight};
}

void Create(HWND h) {
  auto* d = new PhoneWindowData;
  SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(d));
  g_window = h;
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(h, GWLP_HINSTANCE));
  if (std::optional<DialogTemplate> t = LoadPhonebookTemplate(instance)) {
    PhoneBuildControls(h, t->items, WindowFont(), BaseUnitsOf(h, WindowFont()));
  }
  // The dial buttons' telephone: the Wingdings character "(" at the buttons' text height.
  LOGFONTA lf{};
  GetObjectA(WindowFont(), sizeof lf, &lf);
  lf.lfHeight = lf.lfHeight < 0 ? lf.lfHeight - 3 : -16;
  lf.lfWidth = 0;
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = SYMBOL_CHARSET;
  lstrcpynA(lf.lfFaceName, "Wingdings", LF_FACESIZE);
  d->dialFont = CreateFontIndirectA(&lf);
  if (d->dialFont && !HasFace(h, d->dialFont, "Wingdings")) {
    // Without the symbol font the telephone would be an empty box: the buttons say "Dial".
    DeleteObject(d->dialFont);
    d->dialFont = nullptr;
  }
  for (int i = 0; i < 4; ++i) {
    HWND button = Control(h, IDC_PB_DIAL1 + i);
    if (d->dialFont) SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(d->dialFont), FALSE);
    else SetWindowTextA(button, std::string(StringText(kStrDial)).c_str());
  }
  d->book.view = g_hooks.peopleView && !g_hooks.peopleView() ? PhoneView::Organizations : PhoneView::People;
  Reload(h, *d, g_hooks.remembered ? g_hooks.remembered() : PhoneRemembered{});
}

void Destroy(HWND h) {
  PhoneWindowData* d = DataOf(h);
  if (!d) return;
  KillTimer(h, kPhoneTypeAheadTimer);
  Remember(*d);
  SetWindowLongPtrA(h, GWLP_USERDATA, 0);
  if (d->dialFont) DeleteObject(d->dialFont);
  delete d;
  if (g_window == h) g_window = nullptr;
}

bool Handle(HWND h, UINT message, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (message == WM_CREATE) {
    Create(h);
    return false;
  }
  PhoneWindowData* d = DataOf(h);
  if (!d) return false;
  result = 0;
  switch (message) {
    case WM_COMMAND: return Command(h, *d, LOWORD(wp), HIWORD(wp));
    case WM_CHARTOITEM: result = TypeAhead(h, *d, static_cast<char>(LOWORD(wp))); return true;
    case WM_VKEYTOITEM: result = ListKey(h, *d, LOWORD(wp)); return true;
    case WM_TIMER:
      if (wp != kPhoneTypeAheadTimer) return false;
      ClearPrefix(h, *d);
      return true;
    case WM_SETFOCUS: SetFocus(Control(h, IDC_PB_NAMES)); return true;
    case WM_MDIACTIVATE:
      if (reinterpret_cast<HWND>(lp) == h) {
        TellNotes(*d);
        SetFocus(Control(h, IDC_PB_NAMES));
      }
      return false;
    case kMsgPhonebookFinish: Remember(*d); return true;
    case WM_DESTROY: Destroy(h); return false;
    default: return false;
  }
}

}  // namespace

void SetPhoneWindowHooks(PhoneWindowHooks hooks) { g_hooks = std::move(hooks); }

bool PhoneWindowMessage(HWND window, UINT message, WPARAM wp, LPARAM lp, LRESULT& result) {
  return Guarded<bool>(window, message, false, [&] { return Handle(window, message, wp, lp, result); });
}

bool PhoneBuildControls(HWND window, const std::vector<DialogItem>& items, HFONT font, SIZE baseUnits) {
  if (baseUnits.cx <= 0 || baseUnits.cy <= 0) return false;
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
  bool all = true;
  for (const DialogItem& item : items) {
    TemplateControl c = PlanTemplateControl(item, baseUnits.cx, baseUnits.cy);
    if (c.className.empty()) {
      all = false;
      continue;
    }
    HWND control = CreateWindowExA(c.exStyle, c.className.c_str(), c.text.c_str(), c.style | WS_CHILD, c.x, c.y, c.cx,
                                   c.cy, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(static_cast<uint16_t>(c.id))),
                                   instance, nullptr);
    if (!control) {
      all = false;
      continue;
    }
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  return all;
}

bool ShowPhoneEntry(uint16_t entryId, int resetToKind) {
  HWND h = g_hooks.bringUp ? g_hooks.bringUp() : g_window;
  PhoneWindowData* d = h ? DataOf(h) : nullptr;
  if (!d) return false;
  PhoneRemembered wanted{entryId, {}};
  if (resetToKind == 0 || resetToKind == 1) {
    d->book.view = resetToKind == 1 ? PhoneView::People : PhoneView::Organizations;
    d->book.categoryFilter.clear();
    if (g_hooks.setPeopleView) g_hooks.setPeopleView(resetToKind == 1);
    Reload(h, *d, wanted);
  }
  int line = PhoneIndexOfId(d->book, entryId);
  if (line < 0) {
    // Stored since the window loaded (by another window or a tool): read the file again.
    PhoneRemembered keep = RememberPhoneSelection(d->book);
    PhoneLoad(d->book);
    line = PhoneIndexOfId(d->book, entryId);
    FillLists(h, *d);
    if (line < 0) {
      SelectLine(h, *d, FindRememberedPhoneEntry(d->book, keep));
      return false;
    }
  }
  SelectLine(h, *d, line);
  SetFocus(Control(h, IDC_PB_NAMES));
  return true;
}

std::string PhoneWindowEntryName(uint16_t entryId) {
  PhoneWindowData* d = g_window ? DataOf(g_window) : nullptr;
  if (!d) return {};
  int line = PhoneIndexOfId(d->book, entryId);
  return line >= 0 ? d->book.index[static_cast<size_t>(line)].name : std::string();
}

}  // namespace kv
