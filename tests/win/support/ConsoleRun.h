#pragma once
// Running the built skimlet.com as its own process with its output in files.
#include <windows.h>

#include <string>
#include <vector>

namespace fixture {

// One argument as the C runtime reads it back: quoted, with inner quotes escaped (the texts here hold no "\\").
std::wstring Arg(const std::wstring& text);

// skimlet.com in the build's product folder.
std::wstring SkimletCom();

struct Outcome {
  DWORD code = 0xFFFFFFFF;
  std::string out;
  std::vector<std::wstring> lines;  // of out, decoded
  std::string err;
};

// Runs skimlet.com with its output in files, pumping this thread's messages meanwhile: it asks this process's
// windows for their titles too.
Outcome RunSkimlet(const std::wstring& args);

}  // namespace fixture
