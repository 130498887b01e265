// The dialog helper every dialog of the program starts from. A dialog is a class derived from
// Dialog: its template lives in a .rc file (control ids in one header per dialog), OnInit fills
// the controls, On(id, ...) routes WM_COMMAND of a control to a handler, OnOk checks and
// stores (false keeps the dialog open, with the focus where the user must look). The helper
// loads the template, centres the dialog over its owner, runs it modal or modeless, keeps the
// object in GWLP_USERDATA and puts an exception barrier around every message.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace kv {

class Dialog {
 public:
  // The template's resource name or number (MAKEINTRESOURCEA) in the module `instance`.
  Dialog(HINSTANCE instance, const char* templateName);
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Runs the dialog modal; IDOK, IDCANCEL or what End was given; -1 when it could not be made.
  INT_PTR RunModal(HWND owner);
  // Creates it modeless and shows it; nullptr on failure. When `deleteOnClose`, the object
  // deletes itself after its window is destroyed (the caller must not keep using it).
  HWND CreateModeless(HWND owner, bool deleteOnClose = false);

  HWND hwnd() const { return window_; }
  bool IsModal() const { return modal_; }
  // Closes the dialog with a result (EndDialog, or DestroyWindow when modeless).
  void End(INT_PTR result);

  // ---- control values ----
  HWND Item(int id) const { return GetDlgItem(window_, id); }
  std::string Text(int id) const;
  void SetText(int id, std::string_view text);
  // The control's whole text as a decimal number; nothing when it holds anything else.
  std::optional<int> Int(int id) const;
  void SetInt(int id, int value);
  bool Checked(int id) const;
  void SetChecked(int id, bool checked);
  void Enable(int id, bool enabled);
  void Show(int id, bool shown);
  // Moves the focus to a control (selecting an edit's text), as after a refused entry.
  void FocusOn(int id);
  // Combo and list boxes: the selected position (-1 for none), selecting, adding a line.
  int Selection(int id) const;
  void Select(int id, int index);
  int AddLine(int id, std::string_view text);
  void ClearLines(int id);
  // Places the dialog centred over `over` (its owner, or the screen), kept on the work area.
  void CentreOver(HWND over);

 protected:
  // Called at WM_INITDIALOG; return false to keep Windows from setting the focus (when
  // FocusOn was used).
  virtual bool OnInit() { return true; }
  // OK pressed: check and store; true closes the dialog with IDOK.
  virtual bool OnOk() { return true; }
  // Cancel, Esc or the close box; true closes the dialog with IDCANCEL.
  virtual bool OnCancel() { return true; }
  // Any other message; set `handled` to answer it.
  virtual INT_PTR OnMessage(UINT message, WPARAM wp, LPARAM lp, bool& handled);
  // Routes WM_COMMAND of a control to a handler (given the notification code).
  void On(int id, std::function<void(int code)> handler);

 private:
  static INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wp, LPARAM lp);
  INT_PTR Handle(UINT message, WPARAM wp, LPARAM lp);
  bool Command(int id, int code);

  HINSTANCE instance_;
  const char* template_;
  HWND window_ = nullptr;
  HWND owner_ = nullptr;
  bool modal_ = false;
  bool deleteOnClose_ = false;
  std::map<int, std::function<void(int)>> handlers_;
};

// Adds a tab with a text at a position of a tab control.
void AddTab(HWND tabs, int index, std::string_view text);

// Labels, check boxes, radio buttons and group boxes lying on a tab control's page are drawn on
// the page's own colour, which a themed tab control paints lighter than the dialog. A dialog with
// a tab control answers WM_CTLCOLORSTATIC with For(its tab control, the control's DC).
class TabPageBrush {
 public:
  TabPageBrush() = default;
  TabPageBrush(const TabPageBrush&) = delete;
  TabPageBrush& operator=(const TabPageBrush&) = delete;
  ~TabPageBrush();

  INT_PTR For(HWND tab, HDC dc);

 private:
  void Make(HWND tab);

  HBRUSH brush_ = nullptr;
  COLORREF colour_ = 0;
};

}  // namespace kv
