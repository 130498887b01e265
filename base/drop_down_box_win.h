// What the date box and the time box share: an edit field with a drop-down button at its right,
// a pop-up opened by the button or by Alt+Down, the thread keyboard hook while the edit has the
// focus and the thread mouse hook while the pop-up is open (at most one of each for the thread,
// whichever box has them), the focus rules, and the check of typed text when the edit loses the
// focus. Each box adds its value, its pop-up and its keys.
#pragma once

#include <windows.h>

#include <string>

namespace kv {

class DropDownBox {
 public:
  DropDownBox(HWND window, HINSTANCE instance) : self_(window), instance_(instance) {}
  virtual ~DropDownBox();
  DropDownBox(const DropDownBox&) = delete;
  DropDownBox& operator=(const DropDownBox&) = delete;

  // The messages every box handles alike; false leaves a message to the box.
  bool HandleCommon(UINT message, WPARAM wp, LPARAM lp, LRESULT& result);

  // From the hooks: a key pressed while the edit has the focus (true: swallowed), a left button
  // pressed anywhere while the pop-up is open (true: swallowed).
  virtual bool Key(WPARAM vk, bool alt) = 0;
  bool MousePress(HWND target, POINT screen);

  // The pop-up's own part: its picture, the left button in it (WM_LBUTTONDOWN, WM_LBUTTONDBLCLK
  // or WM_LBUTTONUP at a point of its client area), and for a box that repeats while the button
  // is held its timers and the loss of the capture.
  virtual void PaintPopup(HDC dc) = 0;
  virtual void PopupMouse(UINT message, int x, int y) = 0;
  virtual void PopupTimer(UINT_PTR) {}
  virtual void PopupCaptureLost() {}

  // Makes a box's procedure: the state block made at WM_NCCREATE (without it the window is not
  // made, after the message `failedText` captioned `failedCaption`) and deleted after
  // WM_NCDESTROY, every message behind the exception barrier.
  using Maker = DropDownBox* (*)(HWND window, const CREATESTRUCTA& create);
  static LRESULT Dispatch(HWND window, UINT message, WPARAM wp, LPARAM lp, Maker make, int failedText,
                          int failedCaption);
  // Registers a box's class and its pop-up's; a failure shows `failedText` captioned
  // `failedCaption`.
  static bool RegisterClasses(HINSTANCE instance, const char* boxClass, WNDPROC boxProc, const char* popupClass,
                              UINT popupStyle, int failedText, int failedCaption);

 protected:
  static constexpr int kEditId = 100;
  enum DropState { kUp = 0, kPressed = 1, kOpen = 2 };

  // The box's own part.
  virtual LRESULT Handle(UINT message, WPARAM wp, LPARAM lp) = 0;
  virtual void OpenPopup() = 0;
  virtual void ClosePopup() { HidePopup(); }
  virtual void ShowValue() = 0;       // the value into the edit
  virtual void CheckTypedText() = 0;  // the edit lost the focus
  virtual void Measure() = 0;         // the font changed
  virtual void FocusLeft() = 0;       // neither the box nor its edit has the focus

  // Makes the edit (at WM_CREATE); false when it could not be made.
  bool CreateEdit();
  // Makes the pop-up window of `popupClass` once; false when there is none.
  bool MakePopup(const char* popupClass);
  // Shows the pop-up at `x`, `y` in the size given, and watches the mouse.
  void ShowPopupAt(int x, int y, int width, int height);
  void HidePopup();
  void Notify(WORD code);  // WM_COMMAND to the parent with the box's id
  std::string EditText() const;
  void SelectAll() { SendMessageA(edit_, EM_SETSEL, 0, -1); }
  HFONT FontInUse() const { return font_ ? font_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }
  bool PopupShown() const { return popup_ && IsWindowVisible(popup_); }

  HWND self_;
  HINSTANCE instance_;
  HWND edit_ = nullptr;
  HWND popup_ = nullptr;
  HFONT font_ = nullptr;
  RECT button_{};
  int drop_ = kUp;

  // Places the edit and the button in the box's client area.
  void Layout();

 private:
  void OnPaint();
  void OnButtonDown(LPARAM lp);
  void OnButtonUp();
  void OnSetFocus();
  void OnEditCommand(WPARAM wp);
  void OnCheckFocus();
  void OnSetFont(HFONT font, bool redraw);
  void OnEnable(bool enabled);
  void InstallKeyboardHook();
  void InstallMouseHook();
  void RemoveHooks(bool keyboardToo);

  friend LRESULT CALLBACK DropDownKeyboardProc(int code, WPARAM vk, LPARAM lp);
  friend LRESULT CALLBACK DropDownMouseProc(int code, WPARAM message, LPARAM lp);
};

}  // namespace kv
