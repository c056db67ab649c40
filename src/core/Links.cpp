#include "core/Links.h"

#include <utility>

#include "core/Paths.h"

namespace core {

namespace {

constexpr std::wstring_view kSupportPage = L"supports";
constexpr std::wstring_view kHelpPage = L"h";

std::wstring ReplaceFirst(std::wstring text, std::wstring_view from, std::wstring_view to) {
  const size_t at = text.find(from);
  if (at != std::wstring::npos) text.replace(at, from.size(), to);
  return text;
}

std::wstring WithoutQuotes(std::wstring_view value) {
  std::wstring out(value);
  std::erase(out, L'"');
  return out;
}

std::wstring SupportMailLink(const LinkContext& context) {
  return L"mailto:" + context.supportMail + L"?subject=Support required for " +
         ReplaceFirst(context.title, L"&", L"And") + L" " + context.version;
}

std::wstring HelpFileLink(const LinkContext& context) {
  std::wstring chm = ChangeFileExt(context.exeName, L".chm");
  if (context.fileExists && context.fileExists(chm)) return chm;
  return ChangeFileExt(context.exeName, L".pdf");
}

std::wstring WebLink(std::wstring_view page, std::wstring_view action, const LinkContext& context) {
  std::wstring link = context.webRoot;
  if (!page.empty()) {
    link += L"/en/" + context.name + L"/";
    link += page;
    link += L".htm";
  } else if (!action.empty()) {
    link += L"/net/";
  }
  const std::pair<std::wstring_view, std::wstring_view> pairs[] = {
      {L"a", action}, {L"p", context.name}, {L"v", context.version}};
  std::wstring query;
  for (const auto& [key, value] : pairs) {
    if (value.empty()) continue;
    if (!query.empty()) query += L'&';
    query += key;
    query += L'=';
    query += WithoutQuotes(value);
  }
  return link + L"?" + query;
}

}  // namespace

std::wstring BuildLink(std::wstring_view page, std::wstring_view action, const LinkContext& context) {
  if (page == kSupportPage) return SupportMailLink(context);
  if (page == kHelpPage) return HelpFileLink(context);
  return WebLink(page, action, context);
}

}  // namespace core
