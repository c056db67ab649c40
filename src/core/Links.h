#pragma once
// The links that help, the about window and the error report open through the shell.
#include <functional>
#include <string>
#include <string_view>

#include "core/Product.h"

namespace core {

// Everything a link depends on besides its page and action. The product values default to the real record so
// callers normally fill only the executable's name and the file test.
struct LinkContext {
  std::wstring exeName;  // full path of the running executable
  std::wstring name{product::kName};
  std::wstring title{product::kTitle};
  std::wstring version{product::kVersion};
  std::wstring webRoot{product::kWebRoot};
  std::wstring supportMail{product::kSupportMail};
  // Whether a file exists; unset means no file exists.
  std::function<bool(const std::wstring&)> fileExists;
};

// page "supports": a mailto link; page "h": the help file (".chm" if present, else ".pdf"); anything else: a page
// of the web site with the query a=action, p=name, v=version (empty values left out, double quotes dropped,
// nothing else encoded, so an action such as "err&e=msg" yields two keys).
std::wstring BuildLink(std::wstring_view page, std::wstring_view action, const LinkContext& context);

}  // namespace core
