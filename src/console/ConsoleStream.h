#pragma once
// Standard output and standard error of the console program: wide text to a console window, so that every title
// shows as it is whatever the console's code page; UTF-8 to a file or a pipe, so that scripts read it back whole.
#include <windows.h>

#include <string>
#include <string_view>

class ConsoleStream {
 public:
  // STD_OUTPUT_HANDLE or STD_ERROR_HANDLE.
  explicit ConsoleStream(DWORD which);

  // The text and a line break. A stream that cannot be written (closed, or a pipe whose reader went away) is
  // left alone: the command's own result and exit code still stand.
  void WriteLine(std::wstring_view text);
  // UTF-8 text (JSON) and a line break.
  void WriteUtf8Line(std::string_view text);

 private:
  void WriteBytes(std::string_view bytes);
  void WriteWide(std::wstring_view text);

  HANDLE handle_ = nullptr;
  bool console_ = false;
};

// Both streams of the process and the full path of its own executable, from which the companion files are named.
struct Console {
  ConsoleStream out{STD_OUTPUT_HANDLE};
  ConsoleStream err{STD_ERROR_HANDLE};
  std::wstring exeName;

  // Writes "skimlet: <message>" to standard error and returns code, for `return console.Fail(...)`.
  int Fail(int code, std::wstring_view message);
};
