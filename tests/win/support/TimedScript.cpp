#include "support/TimedScript.h"

namespace fixture {
namespace {

TimedScript* gRunning = nullptr;  // thread timers carry no context: the one ticking script

}  // namespace

TimedScript::~TimedScript() { Stop(); }

TimedScript& TimedScript::Then(Action act, Condition ready) {
  steps_.push_back({std::move(act), std::move(ready)});
  return *this;
}

void TimedScript::Start(int timeoutMs, Action onTimeout) {
  Stop();
  gRunning = this;
  onTimeout_ = std::move(onTimeout);
  timedOut_ = false;
  deadline_ = ::GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
  timer_ = ::SetTimer(nullptr, 0, 10, &TimedScript::Tick);
}

void TimedScript::Stop() {
  if (timer_) ::KillTimer(nullptr, timer_);
  timer_ = 0;
  if (gRunning == this) gRunning = nullptr;
}

void CALLBACK TimedScript::Tick(HWND, UINT, UINT_PTR, DWORD) noexcept {
  try {
    if (gRunning) gRunning->Advance();
  } catch (...) {
    if (gRunning) gRunning->Stop();
  }
}

void TimedScript::Advance() {
  // Several steps may run in one tick, but each one only after the input of the one before has been sent.
  while (next_ < steps_.size()) {
    Step& step = steps_[next_];
    if (step.ready && !step.ready()) break;
    ++next_;
    if (step.act) step.act();
    if (step.ready) break;  // let the program see the input before the next condition is read
  }
  // After the last step the script keeps watching until Stop(): the loop it drives may still fail to end.
  if (::GetTickCount64() >= deadline_) {
    timedOut_ = true;
    Stop();
    if (onTimeout_) onTimeout_();
  }
}

}  // namespace fixture
