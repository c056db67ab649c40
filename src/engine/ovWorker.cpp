#include "engine/ovWorker.h"

#include <memory>

namespace {

DWORD WINAPI RunWork(void* context) {
  const std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(context));
  try {
    (*work)();
  } catch (...) {
    // The work reports its result through what it owns; nothing may leave the thread.
  }
  return 0;
}

}  // namespace

TovWorker TovWorker::Start(std::function<void()> work, SIZE_T stackReserve) {
  auto owned = std::make_unique<std::function<void()>>(std::move(work));
  TovWorker worker;
  worker.thread_.reset(::CreateThread(nullptr, stackReserve, RunWork, owned.get(),
                                      stackReserve ? STACK_SIZE_PARAM_IS_A_RESERVATION : 0, nullptr));
  if (worker.thread_) owned.release();  // the thread owns it now
  return worker;
}
