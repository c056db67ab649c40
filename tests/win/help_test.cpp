// The help file that the build places beside skimlet.exe: it is there, it is a compiled HTML Help file that the
// system's own reader can open, every page of its contents and every page linked from them is inside it, and the
// Help command opens exactly that file.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/ovMainForm.h"
#include "support/MainWindow.h"
#include "support/SkimletSession.h"
#include "support/TestFiles.h"

// The InfoTech storage reader of the HTML Help runtime (itss.dll). The SDK's declaration is not in every tool
// chain, so the interface is declared here, up to the one method used; the order of the methods is the contract.
// It has external linkage on purpose: inside an anonymous namespace the compiler sees that no class in this file
// implements it and may replace the calls through it with traps.
inline constexpr CLSID kClsidITStorage = {0x5d02926a, 0x212e, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};
inline constexpr IID kIidITStorage = {0x88cc31de, 0x27ab, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};

struct ITStorageReader : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE StgCreateDocfile(const WCHAR*, DWORD, DWORD, IStorage**) = 0;
  virtual HRESULT STDMETHODCALLTYPE StgCreateDocfileOnILockBytes(ILockBytes*, DWORD, DWORD, IStorage**) = 0;
  virtual HRESULT STDMETHODCALLTYPE StgIsStorageFile(const WCHAR*) = 0;
  virtual HRESULT STDMETHODCALLTYPE StgIsStorageILockBytes(ILockBytes*) = 0;
  virtual HRESULT STDMETHODCALLTYPE StgOpenStorage(const WCHAR*, IStorage*, DWORD, SNB, DWORD, IStorage**) = 0;
};

namespace {

// Releases a COM interface when it goes.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() {
    if (p_) p_->Release();
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  T* operator->() const { return p_; }
  T* get() const { return p_; }
  T** put() { return &p_; }
  void** put_void() { return reinterpret_cast<void**>(&p_); }

 private:
  T* p_ = nullptr;
};

class ComApartment {
 public:
  ComApartment() : ok_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComApartment() {
    if (ok_) ::CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool ok_;
};

// The help file, or a skip when the build could not make it (no compiler on the machine).
std::wstring HelpFileOrSkip() {
  const std::wstring path = fixture::BuiltProductFolder() + L"skimlet.chm";
#ifndef SKIMLET_HELP_BUILT
  if (!fixture::FileExists(path)) return {};
#endif
  return path;
}

#define SKIP_WITHOUT_HELP(path)                                                             \
  do {                                                                                      \
    if ((path).empty()) GTEST_SKIP() << "the help file is not built (no chmcmd at build time)"; \
  } while (0)

// One file inside the help file, as bytes; nullopt when it is not there or cannot be read.
std::optional<std::string> ReadEntry(IStorage& storage, const std::wstring& name) {
  ComPtr<IStream> stream;
  if (FAILED(storage.OpenStream(name.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, stream.put()))) {
    return std::nullopt;
  }
  std::string bytes;
  char buffer[4096];
  for (;;) {
    ULONG got = 0;
    const HRESULT hr = stream->Read(buffer, sizeof(buffer), &got);
    if (FAILED(hr)) return std::nullopt;
    bytes.append(buffer, got);
    if (got == 0 || hr == S_FALSE) return bytes;
  }
}

// The values of every attribute `name`="..." in an HTML or contents text (names compared in lower case).
std::vector<std::string> AttributeValues(const std::string& text, const std::string& name) {
  std::string lower = text;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
  const std::string opening = name + "=\"";
  std::vector<std::string> values;
  for (std::size_t at = lower.find(opening); at != std::string::npos; at = lower.find(opening, at + 1)) {
    const std::size_t start = at + opening.size();
    const std::size_t end = text.find('"', start);
    if (end == std::string::npos) break;
    values.push_back(text.substr(start, end - start));
  }
  return values;
}

// The page files that the contents file names: each <param name="Local" value="...">.
std::vector<std::string> ContentsPages(const std::string& contents) {
  std::vector<std::string> pages;
  const std::string marker = "name=\"Local\" value=\"";
  for (std::size_t at = contents.find(marker); at != std::string::npos; at = contents.find(marker, at + 1)) {
    const std::size_t start = at + marker.size();
    pages.push_back(contents.substr(start, contents.find('"', start) - start));
  }
  return pages;
}

// A link to another file inside the help file: not a web or mail address, not a bare anchor.
std::optional<std::wstring> LocalTarget(const std::string& link) {
  if (link.empty() || link[0] == '#' || link.find(':') != std::string::npos) return std::nullopt;
  const std::string file = link.substr(0, link.find('#'));
  return std::wstring(file.begin(), file.end());
}

TEST(HelpFile, LiesBesideTheProgramAsCompiledHtmlHelp) {
  const std::wstring path = HelpFileOrSkip();
  SKIP_WITHOUT_HELP(path);
  ASSERT_TRUE(fixture::FileExists(path)) << "missing: " << std::string(path.begin(), path.end());

  const std::string bytes = fixture::ReadFileBytes(path);
  ASSERT_GE(bytes.size(), 96u);
  EXPECT_EQ(bytes.substr(0, 4), "ITSF");
  EXPECT_EQ(bytes[4], 3) << "header version";
}

TEST(HelpFile, EveryContentsPageAndEveryLinkedFileIsInside) {
  const std::wstring path = HelpFileOrSkip();
  SKIP_WITHOUT_HELP(path);
  const ComApartment apartment;
  ComPtr<ITStorageReader> reader;
  ASSERT_HRESULT_SUCCEEDED(
      ::CoCreateInstance(kClsidITStorage, nullptr, CLSCTX_INPROC_SERVER, kIidITStorage, reader.put_void()));
  ComPtr<IStorage> storage;
  ASSERT_HRESULT_SUCCEEDED(
      reader->StgOpenStorage(path.c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0, storage.put()));

  const std::optional<std::string> contents = ReadEntry(*storage.get(), L"skimlet.hhc");
  ASSERT_TRUE(contents.has_value()) << "no contents file inside";
  const std::vector<std::string> pages = ContentsPages(*contents);
  ASSERT_GE(pages.size(), 10u);

  std::set<std::wstring> checked;
  for (const std::string& page : pages) {
    const std::wstring name(page.begin(), page.end());
    if (!checked.insert(name).second) continue;
    SCOPED_TRACE(page);
    const std::optional<std::string> html = ReadEntry(*storage.get(), name);
    ASSERT_TRUE(html.has_value()) << "a contents entry names a page that is not inside";
    EXPECT_NE(html->find("<title>"), std::string::npos);
    EXPECT_NE(html->find("</html>"), std::string::npos) << "page cut short";

    for (const char* attribute : {"href", "src"}) {
      for (const std::string& link : AttributeValues(*html, attribute)) {
        const std::optional<std::wstring> target = LocalTarget(link);
        if (!target) continue;
        EXPECT_TRUE(ReadEntry(*storage.get(), *target).has_value()) << "broken link " << link;
      }
    }
  }
  EXPECT_TRUE(checked.count(L"index.htm")) << "the start page is not in the contents";
}

TEST(HelpCommand, OpensTheHelpFileBesideTheProgram) {
  const std::wstring path = HelpFileOrSkip();
  SKIP_WITHOUT_HELP(path);
  fixture::SkimletSession session(fixture::BuiltProductFolder() + L"skimlet.exe", false);

  fixture::Choose(session.Main(), {L"&Help"});

  EXPECT_EQ(session.opened, std::vector<std::wstring>{path});
}

}  // namespace
