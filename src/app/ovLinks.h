#pragma once
// The way out of the program to the help file, the support mail and the web site, and the error report.
#include <string>

// Builds the link for a page and an action and hands it to the shell; reports nothing.
void OpenLink(const std::wstring& page, const std::wstring& action);

// The application's exception handler: opens the error-report page with the message.
void ReportException(const std::wstring& message);
