#include "personal/search_window_win.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "base/dialog_win.h"
#include "base/messages.h"
#include "base/window_kit_win.h"
#include "personal/clock_tick.h"
#include "personal/search_sources.h"
#include "resources/command_ids.h"
#include "resources/search_dialog.h"
#include "resources/strings.h"

namespace kv {
namespace {

constexpr char kSearchClass[] = "KVSearch";
constexpr char kSearchTemplate[] = "Search";
constexpr char kOldEditProc[] = "KVSearchEditProc";
constexpr int kColumnTitles[] = {25540, 25541, 25542};  // "Description", "Date", "Where"

// The window's class: a dialog class of its own, so that it is never taken for a message box.
bool RegisterSearchClass(HINSTANCE instance) {
  WNDCLASSA existing{};
  if (GetClassInfoA(instance, kSearchClass, &existing)) return true;
  WNDCLASSA wc{};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = DefDlgProcA;
  wc.cbWndExtra = DLGWINDOWEXTRA;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kSearchClass;
  return RegisterClassA(&wc) != 0;
}

// The search text's edit field: Enter runs the search, Tab goes on to "Match ca&se" (Shift+Tab
// back), and the field asks for every key so the dialog manager leaves them to it.
LRESULT CALLBACK SearchEditProc(HWND edit, UINT message, WPARAM wp, LPARAM lp) {
  auto old = reinterpret_cast<WNDPROC>(GetPropA(edit, kOldEditProc));
  if (!old) return DefWindowProcA(edit, message, wp, lp);
  HWND dialog = GetAncestor(edit, GA_ROOT);
  switch (message) {
    case WM_GETDLGCODE: return CallWindowProcA(old, edit, message, wp, lp) | DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
      if (wp == VK_RETURN) {
        PostMessageA(dialog, kMsgRunSearch, 0, 0);
        return 0;
      }
      if (wp == VK_TAB) {
        bool back = GetKeyState(VK_SHIFT) < 0;
        HWND next = back ? GetNextDlgTabItem(dialog, GetParent(edit), TRUE) : GetDlgItem(dialog, IDC_SEARCH_MATCH_CASE);
        if (next) SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
        return 0;
      }
      if (wp == VK_ESCAPE && !SendMessageA(GetParent(edit), CB_GETDROPPEDSTATE, 0, 0)) {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return 0;
      }
      break;
    case WM_CHAR:
      if (wp == '\r' || wp == '\t' || wp == 27) return 0;  // no beep for the keys handled above
      break;
    case WM_NCDESTROY:
      SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
      RemovePropA(edit, kOldEditProc);
      break;
    default: break;
  }
  return CallWindowProcA(old, edit, message, wp, lp);
}

// ---- "Where to search..." -------------------------------------------------------------------

class WhereDialog : public Dialog {
 public:
  WhereDialog(HINSTANCE instance, SearchWindowSettings& settings)
      : Dialog(instance, MAKEINTRESOURCEA(IDD_SEARCH_WHERE)), settings_(settings) {}

 protected:
  bool OnInit() override {
    SetChecks(ChecksOfAreas(settings_.areas));
    SendMessageA(Item(IDC_WHERE_FROM), kMsgDateboxSet, 0, reinterpret_cast<LPARAM>(&settings_.range.from));
    SendMessageA(Item(IDC_WHERE_UNTIL), kMsgDateboxSet, 0, reinterpret_cast<LPARAM>(&settings_.range.thru));
    On(IDC_WHERE_SELECT_ALL, [this](int) { SetChecks(ChecksOfAreas(kAreaAll)); });
    On(IDC_WHERE_CLEAR_ALL, [this](int) { SetChecks({}); });
    return true;
  }

  bool OnOk() override {
    // Enter pressed in a date box: let the box look at its text first, as leaving it would.
    HWND focus = GetFocus();
    for (int id : {IDC_WHERE_FROM, IDC_WHERE_UNTIL})
      if (focus && (focus == Item(id) || IsChild(Item(id), focus))) SetFocus(Item(IDOK));
    std::array<bool, 8> checked{};
    for (int i = 0; i < 8; ++i) checked[static_cast<size_t>(i)] = Checked(IDC_WHERE_FIRST_AREA + i);
    int failed = AcceptSearchWhere(DateIn(IDC_WHERE_FROM), DateIn(IDC_WHERE_UNTIL), AreasOfChecks(checked), Today(),
                                   settings_);
    if (failed == 0) return true;
    if (failed == IDC_WHERE_FROM || failed == IDC_WHERE_UNTIL) SetFocus(Item(failed));
    else FocusOn(failed);
    return false;
  }

 private:
  void SetChecks(const std::array<bool, 8>& checked) {
    for (int i = 0; i < 8; ++i) SetChecked(IDC_WHERE_FIRST_AREA + i, checked[static_cast<size_t>(i)]);
  }
  std::optional<DateStamp> DateIn(int id) const {
    DateStamp date{};
    if (!SendMessageA(Item(id), kMsgDateboxGet, 0, reinterpret_cast<LPARAM>(&date))) return std::nullopt;
    return date;
  }

  SearchWindowSettings& settings_;
};

// ---- the Search window ----------------------------------------------------------------------

class SearchWindow : public Dialog {
 public:
  SearchWindow(HINSTANCE instance, SearchWindowHooks hooks)
      : Dialog(instance, kSearchTemplate), instance_(instance), hooks_(std::move(hooks)) {}

 protected:
  bool OnInit() override {
    MeasureStrip();
    list_ = Item(IDC_SEARCH_LIST);
    SendDlgItemMessageA(hwnd(), IDC_SEARCH_TEXT, CB_LIMITTEXT, kSearchTextMax, 0);
    std::vector<std::string> history = SearchHistory();
    if (!history.empty()) SetText(IDC_SEARCH_TEXT, history.front());
    SubclassEdit();
    SetUpList();
    settings_ = LoadSearchWindowSettings(Today());
    ShowButtons();
    ShowRows();  // the hits of an earlier search are kept until the next one

    On(IDC_SEARCH_FIND, [this](int) { FindOrOpen(); });
    On(IDOK, [this](int) { FindOrOpen(); });
    On(IDC_SEARCH_WHERE, [this](int) {
      WhereDialog where(instance_, settings_);
      where.RunModal(hwnd());
    });
    On(IDC_SEARCH_REOPEN, [this](int) { Expand(); });
    On(IDC_SEARCH_TEXT, [this](int code) {
      if (code == CBN_DROPDOWN) FillHistory();
    });
    FocusOn(IDC_SEARCH_TEXT);
    SendDlgItemMessageA(hwnd(), IDC_SEARCH_TEXT, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    return false;
  }

  INT_PTR OnMessage(UINT message, WPARAM, LPARAM lp, bool& handled) override {
    switch (message) {
      case kMsgRunSearch:
        handled = true;
        RunSearchNow();
        return TRUE;
      case kMsgRunSearchAgain:
        handled = true;
        RefusedWhileBusy();
        return TRUE;
      case WM_NOTIFY:
        if (reinterpret_cast<const NMHDR*>(lp)->idFrom != IDC_SEARCH_LIST) return FALSE;
        handled = true;
        OnListNotify(*reinterpret_cast<NMHDR*>(lp));
        return TRUE;
      case WM_DESTROY:
        if (hooks_.closed) hooks_.closed();
        return FALSE;
      default: return FALSE;
    }
  }

 private:
  void MeasureStrip() {
    RECT window, client, separator;
    GetWindowRect(hwnd(), &window);
    GetClientRect(hwnd(), &client);
    MapWindowPoints(hwnd(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    GetWindowRect(Item(IDC_SEARCH_SEPARATOR), &separator);
    fullHeight_ = window.bottom - window.top;
    stripHeight_ = CollapsedSearchHeight(window.top, window.bottom, client.bottom, separator.bottom);
  }

  void SubclassEdit() {
    HWND combo = Item(IDC_SEARCH_TEXT);
    HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr);
    if (!edit) return;
    SetPropA(edit, kOldEditProc, reinterpret_cast<HANDLE>(GetWindowLongPtrA(edit, GWLP_WNDPROC)));
    SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SearchEditProc));
  }

  void SetUpList() {
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE | LVS_EX_UNDERLINEHOT);
    RECT r;
    GetClientRect(list_, &r);
    SearchColumnWidths widths = SearchColumnWidthsFor(r.right - r.left);
    const int width[] = {widths.description, widths.date, widths.where};
    for (int i = 0; i < 3; ++i) {
      std::string title(StringText(kColumnTitles[i]));
      LVCOLUMNA column{};
      column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
      column.pszText = title.data();
      column.cx = width[i];
      column.iSubItem = i;
      SendMessageA(list_, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
  }

  void FillHistory() {
    HWND combo = Item(IDC_SEARCH_TEXT);
    std::string typed = Text(IDC_SEARCH_TEXT);
    ClearLines(IDC_SEARCH_TEXT);
    for (const std::string& text : SearchHistory()) AddLine(IDC_SEARCH_TEXT, text);
    SetWindowTextA(combo, typed.c_str());
  }

  void ShowButtons() {
    SearchButtons b = SearchButtonsFor(collapsed_);
    Enable(IDC_SEARCH_FIND, b.find);
    Enable(IDC_SEARCH_WHERE, b.where);
    Enable(IDC_SEARCH_REOPEN, b.reopen);
  }

  // The list shows the kept results; the current one selected.
  void ShowRows() {
    rows_ = SearchRows(Search().results);
    SendMessageA(list_, LVM_SETITEMCOUNT, rows_.size(), LVSICF_NOSCROLL);
    ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    int current = Search().current;
    if (current >= 0 && current < static_cast<int>(rows_.size())) {
      ListView_SetItemState(list_, current, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
      ListView_EnsureVisible(list_, current, FALSE);
    }
    InvalidateRect(list_, nullptr, TRUE);
  }

  bool RefusedWhileBusy() {
    StoreSearchSources sources;
    if (!sources.Busy()) return false;
    ShowMessage(std::string(StringText(1676)), MsgIcon::Warning);
    return true;
  }

  // "&Find" is the default button: Enter in the list opens the selected hit instead.
  void FindOrOpen() {
    HWND focus = GetFocus();
    int selected = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
    if (focus == list_ && selected >= 0) OpenHit(selected);
    else if (!collapsed_) RunSearchNow();
  }

  void RunSearchNow() {
    if (collapsed_) return;
    SearchRequest request =
        SearchRequestFor(Text(IDC_SEARCH_TEXT), Checked(IDC_SEARCH_MATCH_CASE), Checked(IDC_SEARCH_WHOLE_WORD), settings_);
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    StoreSearchSources sources;
    SearchOutcome outcome = RunSearchKept(request, sources);
    SetCursor(previous ? previous : LoadCursorA(nullptr, IDC_ARROW));
    switch (outcome) {
      case SearchOutcome::Found:
        ShowRows();
        FocusOn(IDC_SEARCH_LIST);
        break;
      case SearchOutcome::NoMatches:
        ShowRows();
        FocusOn(IDC_SEARCH_TEXT);
        break;
      case SearchOutcome::EmptyText: FocusOn(IDC_SEARCH_TEXT); break;
      default: break;  // refused: the list stays as it was
    }
  }

  void OnListNotify(NMHDR& header) {
    switch (header.code) {
      case LVN_GETDISPINFOA: {
        LVITEMA& item = reinterpret_cast<NMLVDISPINFOA&>(header).item;
        if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
        item.pszText[0] = '\0';
        if (item.iItem < 0 || item.iItem >= static_cast<int>(rows_.size())) return;
        lstrcpynA(item.pszText, SearchCell(rows_[static_cast<size_t>(item.iItem)], item.iSubItem).c_str(),
                  item.cchTextMax);
        return;
      }
      case LVN_ITEMCHANGED: {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if (change.iItem >= 0 && (change.uNewState & LVIS_SELECTED)) Search().current = change.iItem;
        return;
      }
      case LVN_ITEMACTIVATE: {
        const auto& activate = reinterpret_cast<const NMITEMACTIVATE&>(header);
        OpenHit(activate.iItem >= 0 ? activate.iItem : ListView_GetNextItem(list_, -1, LVNI_SELECTED));
        return;
      }
      case LVN_COLUMNCLICK: {
        const auto& click = reinterpret_cast<const NMLISTVIEW&>(header);
        if (std::optional<SearchColumn> column = SearchColumnAt(click.iSubItem)) {
          SortKeptResults(*column);
          ShowRows();
        }
        return;
      }
      default: return;
    }
  }

  void OpenHit(int row) {
    SearchState& s = Search();
    if (row < 0 || row >= static_cast<int>(s.results.size())) return;
    if (RefusedWhileBusy()) return;
    s.current = row;
    StoreSearchSources sources;
    SearchGoTo go = PlanSearchGoTo(s.results[static_cast<size_t>(row)], sources);
    if (go.window == SearchHitWindow::None || !hooks_.openHit) return;
    HWND shown = hooks_.openHit(go);
    Collapse(shown);
  }

  // Down to the strip, beside the window that came forward.
  void Collapse(HWND shown) {
    if (!collapsed_) {
      collapsed_ = true;
      ShowButtons();
      SetWindowPos(hwnd(), nullptr, 0, 0, WindowWidth(), stripHeight_, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT self, target;
    if (!shown || !GetWindowRect(hwnd(), &self) || !GetWindowRect(shown, &target)) return;
    int clientTop = hooks_.clientTop ? hooks_.clientTop() : 0;
    SearchRect moved = PlaceCollapsedSearch(SearchRect{self.left, self.top, self.right, self.bottom},
                                            SearchRect{target.left, target.top, target.right, target.bottom},
                                            GetSystemMetrics(SM_CXSCREEN), clientTop);
    SetWindowPos(hwnd(), nullptr, moved.left, moved.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  void Expand() {
    if (!collapsed_) return;
    collapsed_ = false;
    SetWindowPos(hwnd(), nullptr, 0, 0, WindowWidth(), fullHeight_, SWP_NOMOVE | SWP_NOZORDER);
    ShowButtons();
    FocusOn(IDC_SEARCH_TEXT);
  }

  int WindowWidth() const {
    RECT r;
    GetWindowRect(hwnd(), &r);
    return r.right - r.left;
  }

  HINSTANCE instance_;
  SearchWindowHooks hooks_;
  SearchWindowSettings settings_;
  std::vector<SearchRow> rows_;
  HWND list_ = nullptr;
  bool collapsed_ = false;
  int fullHeight_ = 0;
  int stripHeight_ = 0;
};

}  // namespace

HWND CreateSearchWindow(HINSTANCE instance, HWND owner, SearchWindowHooks hooks) {
  if (!RegisterSearchClass(instance)) return nullptr;
  auto* window = new SearchWindow(instance, std::move(hooks));
  HWND made = window->CreateModeless(owner, true);
  if (!made) delete window;
  return made;
}

}  // namespace kv
