// The main window as the lyrics tests and the playback benchmark use it, and a
// folder of songs (text and names in GBK, or names by their real UTF-16
// spelling) to point it at.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "app/startup.h"
#include "forms/layouts.h"
#include "forms/main_form.h"
#include "forms/program.h"
#include "ui/units.h"
#include "ui/wide.h"
#include "ui/window.h"

namespace wintest {

// Every binding but the main window's created one, which would read the
// announcement page from the network.
inline const std::vector<ui::Binding>& OfflineBindings() {
  static const std::vector<ui::Binding> table = [] {
    std::vector<ui::Binding> t;
    for (const ui::Binding& b : app::Bindings()) {
      if (!(b.window == "main" && b.event == ui::Event::Created)) t.push_back(b);
    }
    return t;
  }();
  return table;
}

inline ui::Window* OpenMainWindow() {
  ui::Window* main = ui::Window::Open(forms::kMainLayout, OfflineBindings());
  if (main) main->Show();
  return main;
}

// A fresh folder under the temporary directory, removed with its files.
class SongFolder {
 public:
  explicit SongFolder(std::string_view name) : SongFolder(ui::Wide(name)) {}
  explicit SongFolder(std::wstring_view name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    path_ = temp + std::wstring(name) + L"-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~SongFolder() {
    for (const std::wstring& f : files_) DeleteFileW(f.c_str());
    for (const std::wstring& d : folders_) RemoveDirectoryW(d.c_str());
    RemoveDirectoryW(path_.c_str());
  }
  SongFolder(const SongFolder&) = delete;
  SongFolder& operator=(const SongFolder&) = delete;

  // As the program's text has it ('?' for what GBK lacks), and by its real name.
  std::string path() const { return ui::Narrow(path_); }
  const std::wstring& wide_path() const { return path_; }

  // Writes `lines` joined by CR LF, each ended by one, as `name`.
  void Write(std::string_view name, const std::vector<std::string>& lines) {
    std::string content;
    for (const std::string& l : lines) content += l + "\r\n";
    WriteBytes(name, content);
  }
  void WriteBytes(std::string_view name, std::string_view bytes) { WriteBytes(ui::Wide(name), bytes); }
  void WriteBytes(std::wstring_view name, std::string_view bytes) {
    const std::wstring file = path_ + L"\\" + std::wstring(name);
    HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
    files_.push_back(file);
  }
  // A file of `size` zero bytes, written as a length only: the file system keeps it sparse.
  void WriteZeros(std::string_view name, LONGLONG size) {
    const std::wstring file = path_ + L"\\" + ui::Wide(name);
    HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = size;
    SetFilePointerEx(h, end, nullptr, FILE_BEGIN);
    SetEndOfFile(h);
    CloseHandle(h);
    files_.push_back(file);
  }
  void MakeFolder(std::string_view name) {
    folders_.push_back(path_ + L"\\" + ui::Wide(name));
    CreateDirectoryW(folders_.back().c_str(), nullptr);
  }

 private:
  std::wstring path_;
  std::vector<std::wstring> files_, folders_;
};

// A person picking `name` in 文件框1: it becomes current and the list says so.
// False when the file box does not list it.
inline bool ChooseFile(std::string_view name) {
  const auto files = forms::main::文件框1();
  const std::vector<std::string> listed = files.Files();
  const auto found = std::find(listed.begin(), listed.end(), name);
  if (found == listed.end()) return false;
  files.SetCurrent(static_cast<int>(found - listed.begin()));
  const ui::Unit& box = forms::main::Window().unit("文件框1");
  SendMessageW(forms::main::Window().hwnd(), WM_COMMAND, MAKEWPARAM(box.id, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(box.hwnd));
  return true;
}

}  // namespace wintest
