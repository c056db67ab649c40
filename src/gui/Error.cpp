#include "gui/Error.h"

#include "core/Unicode.h"

namespace gui {

Error::Error(std::wstring message) : message_(std::move(message)), utf8_(core::WideToUtf8(message_)) {}

std::wstring ExceptionMessage(std::exception_ptr error) {
  if (!error) return {};
  try {
    std::rethrow_exception(error);
  } catch (const SilentAbort&) {
    return {};
  } catch (const Error& e) {
    return e.Message();
  } catch (const std::exception& e) {
    return core::Utf8ToWide(e.what());
  } catch (...) {
    return L"Unknown exception";
  }
}

}  // namespace gui
