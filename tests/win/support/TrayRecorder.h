#pragma once
// What the program's tray icons tell the shell, recorded on the way through the application's shell seam: the
// shell still gets every call, and the calls it accepted are kept, oldest first. One recorder at a time.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace fixture {

class TrayRecorder {
 public:
  TrayRecorder();
  ~TrayRecorder();
  TrayRecorder(const TrayRecorder&) = delete;
  TrayRecorder& operator=(const TrayRecorder&) = delete;

  // The texts of the balloons shown, and the icons shown as the icon changed (NIF_ICON), oldest first.
  std::vector<std::wstring> Balloons() const;
  std::vector<HICON> IconsShown() const;
  // Whether the calls so far leave the icon in the notification area and not hidden; its latest tip.
  bool Shown() const;
  std::wstring Tip() const;
  // A left click on the icon, as the shell reports it to the icon's window: press and release.
  void Click() const;

 private:
  struct Call {
    DWORD message;
    NOTIFYICONDATAW data;
  };
  std::vector<Call> calls_;
};

}  // namespace fixture
