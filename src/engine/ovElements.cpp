#include "engine/ovElements.h"

#include <oleacc.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "core/CaseFold.h"

namespace {

using Clock = std::chrono::steady_clock;

// How long a window whose element blocked is left alone.
constexpr DWORD kLeaveAloneMs = 10000;
// Abandoned element threads that may exist at once; beyond that, element reads fail at once.
constexpr int kMaxAbandoned = 4;
// What another program's texts and child lists may claim is cut to these.
constexpr std::size_t kMaxText = 4096;
constexpr long kMaxChildren = 2000;
// A job's bound counts from when the element thread takes it up. A new thread's start (COM, the accessibility
// libraries) and its first call into another process (the system's marshalling, which may start a service) may add
// this much: it is allowed to the process's first job on top of its bound.
constexpr std::chrono::milliseconds kStartGrace{3000};

// One request to the element thread. The caller and the thread each hold it: a caller that gave up leaves the
// thread to finish it (or not) alone.
struct Job {
  std::function<void()> work;
  HWND host = nullptr;
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;
  Clock::time_point queued = Clock::now();
  std::optional<Clock::time_point> started;
  bool first = false;  // the first job of the process
  std::weak_ptr<struct Worker> worker;

  // Whether the job ran longer than bound, or never started within bound and the start's grace.
  bool Overdue(std::chrono::milliseconds bound, Clock::time_point now) {
    std::lock_guard lock(mutex);
    if (done) return false;
    if (!started) return now - queued > bound + kStartGrace;
    return now - *started > (first ? bound + kStartGrace : bound);
  }
};

struct Worker {
  std::mutex mutex;
  std::condition_variable wake;
  std::deque<std::shared_ptr<Job>> jobs;
  bool abandoned = false;
};

std::atomic<int> abandonedThreads{0};
std::atomic<bool> firstJobTaken{false};

void WorkerLoop(std::shared_ptr<Worker> worker) {
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  for (;;) {
    std::shared_ptr<Job> job;
    {
      std::unique_lock lock(worker->mutex);
      worker->wake.wait(lock, [&] { return worker->abandoned || !worker->jobs.empty(); });
      if (worker->abandoned) break;
      job = std::move(worker->jobs.front());
      worker->jobs.pop_front();
    }
    {
      std::lock_guard lock(job->mutex);
      job->started = Clock::now();
      job->first = !firstJobTaken.exchange(true);
    }
    try {
      job->work();
    } catch (...) {
      // A failed read reads as nothing found; the job's result stays as it was made.
    }
    {
      std::lock_guard lock(job->mutex);
      job->done = true;
    }
    job->finished.notify_all();
  }
  if (SUCCEEDED(com)) ::CoUninitialize();
  --abandonedThreads;
}

// The element thread of this process, the windows left alone, and the bookkeeping of abandoned threads.
class ElementThread {
 public:
  // Never destroyed: an abandoned thread may outlive everything static.
  static ElementThread& Instance() {
    static ElementThread* const instance = new ElementThread;
    return *instance;
  }

  // Queues work for the window host (nullptr: none known); nullptr when host is being left alone or too many
  // threads hang already.
  std::shared_ptr<Job> Start(HWND host, std::function<void()> work) {
    std::lock_guard lock(mutex_);
    if (host) {
      const auto left = leftAlone_.find(host);
      if (left != leftAlone_.end()) {
        if (::GetTickCount() - left->second < kLeaveAloneMs) return nullptr;
        leftAlone_.erase(left);
      }
    }
    if (!current_) {
      if (abandonedThreads.load() >= kMaxAbandoned) return nullptr;
      auto worker = std::make_shared<Worker>();
      try {
        std::thread(WorkerLoop, worker).detach();
      } catch (...) {
        return nullptr;
      }
      current_ = std::move(worker);
    }
    auto job = std::make_shared<Job>();
    job->work = std::move(work);
    job->host = host;
    job->worker = current_;
    {
      std::lock_guard workerLock(current_->mutex);
      current_->jobs.push_back(job);
    }
    current_->wake.notify_one();
    return job;
  }

  static bool Done(Job& job) {
    std::lock_guard lock(job.mutex);
    return job.done;
  }

  // Waits until the job is done (true) or overdue (false).
  static bool Wait(Job& job, std::chrono::milliseconds bound) {
    constexpr std::chrono::milliseconds kSlice{10};
    for (;;) {
      {
        std::unique_lock lock(job.mutex);
        if (job.finished.wait_for(lock, kSlice, [&] { return job.done; })) return true;
      }
      if (job.Overdue(bound, Clock::now())) return false;
    }
  }

  // The job overran its bound: its thread is given up (a new one takes the next job) and its window left alone.
  void Abandon(Job& job) {
    std::lock_guard lock(mutex_);
    if (job.host) {
      if (leftAlone_.size() > 256) leftAlone_.clear();
      leftAlone_[job.host] = ::GetTickCount();
    }
    const std::shared_ptr<Worker> worker = job.worker.lock();
    if (!worker || worker != current_) return;
    ++abandonedThreads;
    {
      std::lock_guard workerLock(worker->mutex);
      worker->abandoned = true;
      worker->jobs.clear();
    }
    worker->wake.notify_one();
    current_.reset();
  }

 private:
  ElementThread() = default;
  std::mutex mutex_;
  std::shared_ptr<Worker> current_;
  std::map<HWND, DWORD> leftAlone_;
};

// Runs work on the element thread for at most bound; false when it could not start or did not finish in time.
bool RunBounded(HWND host, std::chrono::milliseconds bound, std::function<void()> work) {
  ElementThread& thread = ElementThread::Instance();
  const std::shared_ptr<Job> job = thread.Start(host, std::move(work));
  if (!job) return false;
  if (ElementThread::Wait(*job, bound)) return true;
  thread.Abandon(*job);
  return false;
}

bool OwnWindow(HWND window) {
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  return process == ::GetCurrentProcessId();
}

HWND RootOf(HWND window) { return window ? ::GetAncestor(window, GA_ROOT) : nullptr; }

uint32_t HandleValue(HWND window) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window)); }

// What follows runs on the element thread only.

std::wstring TakeText(BSTR text) {
  std::wstring result;
  if (text) {
    result.assign(text, std::min<std::size_t>(::SysStringLen(text), kMaxText));
    ::SysFreeString(text);
  }
  return result;
}

VARIANT SelfChild() {
  VARIANT child;
  ::VariantInit(&child);
  child.vt = VT_I4;
  child.lVal = CHILDID_SELF;
  return child;
}

std::wstring RoleText(DWORD role) {
  wchar_t text[128] = {};
  const UINT length = ::GetRoleTextW(role, text, static_cast<UINT>(std::size(text)));
  return std::wstring(text, std::min<std::size_t>(length, std::size(text) - 1));
}

std::wstring StateText(DWORD bit) {
  wchar_t text[128] = {};
  const UINT length = ::GetStateTextW(bit, text, static_cast<UINT>(std::size(text)));
  return std::wstring(text, std::min<std::size_t>(length, std::size(text) - 1));
}

core::ElementFacts ReadFacts(IAccessible* object, VARIANT child) {
  core::ElementFacts facts;
  BSTR text = nullptr;
  if (SUCCEEDED(object->get_accName(child, &text))) facts.name = TakeText(text);
  text = nullptr;
  if (SUCCEEDED(object->get_accValue(child, &text))) facts.value = TakeText(text);
  text = nullptr;
  if (SUCCEEDED(object->get_accDefaultAction(child, &text))) facts.action = TakeText(text);

  VARIANT role;
  ::VariantInit(&role);
  if (SUCCEEDED(object->get_accRole(child, &role))) {
    if (role.vt == VT_I4) facts.role = RoleText(static_cast<DWORD>(role.lVal));
    if (role.vt == VT_BSTR) facts.role.assign(role.bstrVal, std::min<std::size_t>(::SysStringLen(role.bstrVal), kMaxText));
  }
  ::VariantClear(&role);

  VARIANT state;
  ::VariantInit(&state);
  if (SUCCEEDED(object->get_accState(child, &state)) && state.vt == VT_I4) {
    const auto bits = static_cast<DWORD>(state.lVal);
    for (DWORD bit = 1; bit != 0; bit <<= 1) {
      if (bits & bit) facts.states.push_back(StateText(bit));
    }
  }
  ::VariantClear(&state);

  long left = 0, top = 0, width = 0, height = 0;
  if (SUCCEEDED(object->accLocation(&left, &top, &width, &height, child))) {
    facts.bounds = {left, top, core::WrappingSum(left, width), core::WrappingSum(top, height)};
  }
  return facts;
}

// A walk over an element tree in visiting order, within its limits; in search mode it stops at the first element
// the task names and keeps hold of it.
class TreeWalk {
 public:
  TreeWalk(const TovElementLimits& limits, const core::TaskDescription* task)
      : limits_(limits), deadline_(Clock::now() + limits.budget), task_(task) {}
  ~TreeWalk() {
    if (found_) found_->Release();
    ::VariantClear(&foundChild_);
  }
  TreeWalk(const TreeWalk&) = delete;
  TreeWalk& operator=(const TreeWalk&) = delete;

  void Visit(IAccessible* object, VARIANT child, int depth, HWND host) {
    if (Over()) return;
    ++visited_;
    if (task_ && Matches(object, child)) {
      found_ = object;
      found_->AddRef();
      ::VariantCopy(&foundChild_, &child);
      foundFacts_ = ReadFacts(object, child);
      foundFacts_.depth = depth;
      foundFacts_.host = HandleValue(host);
      foundHost_ = host;
      return;
    }
    if (!task_) {
      core::ElementFacts facts = ReadFacts(object, child);
      facts.depth = depth;
      facts.host = HandleValue(host);
      elements.push_back(std::move(facts));
    }
    // A simple element (a child id of its parent object) has no children of its own.
    if (child.vt != VT_I4 || child.lVal != CHILDID_SELF || depth >= limits_.maxDepth) return;

    long count = 0;
    if (FAILED(object->get_accChildCount(&count)) || count <= 0) return;
    count = std::min(count, kMaxChildren);
    std::vector<VARIANT> children(static_cast<std::size_t>(count));
    for (VARIANT& each : children) ::VariantInit(&each);
    long obtained = 0;
    if (FAILED(::AccessibleChildren(object, 0, count, children.data(), &obtained))) obtained = 0;
    obtained = std::clamp(obtained, 0L, count);
    for (long i = 0; i < obtained; ++i) {
      VARIANT& each = children[static_cast<std::size_t>(i)];
      if (!Over()) {
        if (each.vt == VT_DISPATCH && each.pdispVal) {
          IAccessible* inner = nullptr;
          if (SUCCEEDED(each.pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&inner))) &&
              inner) {
            Visit(inner, SelfChild(), depth + 1, host);
            inner->Release();
          }
        } else if (each.vt == VT_I4) {
          Visit(object, each, depth + 1, host);
        }
      }
      ::VariantClear(&each);
    }
  }

  // Does the found element's default action, or clicks its centre.
  bool Act() {
    if (!found_) return false;
    if (!foundFacts_.action.empty() && found_->accDoDefaultAction(foundChild_) == S_OK) return true;
    const core::Rect& r = foundFacts_.bounds;
    if (r.IsEmpty()) return false;
    POINT centre{r.left + r.Width() / 2, r.top + r.Height() / 2};
    HWND target = ::WindowFromPoint(centre);
    if (!target || (target != foundHost_ && !::IsChild(foundHost_, target))) target = foundHost_;
    if (!::ScreenToClient(target, &centre)) return false;
    const LPARAM at = MAKELPARAM(centre.x, centre.y);
    return ::PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, at) && ::PostMessageW(target, WM_LBUTTONUP, 0, at);
  }

  bool Found() const { return found_ != nullptr; }

  // Whether the element is the task's: its name, then (only when that matched) its role, each asked only when the
  // task names it, so that a search costs one call per element that does not match.
  bool Matches(IAccessible* object, VARIANT child) const {
    core::ElementFacts facts;
    if (!task_->elementName.empty()) {
      BSTR text = nullptr;
      if (FAILED(object->get_accName(child, &text))) return false;
      facts.name = TakeText(text);
      if (!core::EqualsIgnoreCase(facts.name, task_->elementName)) return false;
    }
    if (!task_->elementRole.empty()) {
      VARIANT role;
      ::VariantInit(&role);
      if (SUCCEEDED(object->get_accRole(child, &role)) && role.vt == VT_I4) {
        facts.role = RoleText(static_cast<DWORD>(role.lVal));
      } else if (role.vt == VT_BSTR && role.bstrVal) {
        facts.role.assign(role.bstrVal, std::min<std::size_t>(::SysStringLen(role.bstrVal), kMaxText));
      }
      ::VariantClear(&role);
    }
    return core::ElementMatchesTask(facts, *task_);
  }
  const core::ElementFacts& FoundFacts() const { return foundFacts_; }
  bool Cut() const { return cut_; }

  std::vector<core::ElementFacts> elements;

 private:
  bool Over() {
    if (found_) return true;
    if (visited_ >= limits_.maxCount || Clock::now() > deadline_) cut_ = true;
    return cut_;
  }

  TovElementLimits limits_;
  Clock::time_point deadline_;
  const core::TaskDescription* task_;
  std::size_t visited_ = 0;
  bool cut_ = false;
  IAccessible* found_ = nullptr;
  VARIANT foundChild_ = SelfChild();
  core::ElementFacts foundFacts_;
  HWND foundHost_ = nullptr;
};

// The window's client element, with a reference the caller releases; nullptr when it has none.
IAccessible* ClientElement(HWND window) {
  IAccessible* object = nullptr;
  if (FAILED(::AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object)))) {
    return nullptr;
  }
  return object;
}

TovElementRead ReadAtNow(POINT point) {
  TovElementRead read;
  IAccessible* object = nullptr;
  VARIANT child;
  ::VariantInit(&child);
  if (::AccessibleObjectFromPoint(point, &object, &child) != S_OK || !object) return read;
  read.element = ReadFacts(object, child);
  read.element.host = HandleValue(::WindowFromPoint(point));
  read.status = TovElementStatus::Found;
  ::VariantClear(&child);
  object->Release();
  return read;
}

// The window that answers for the point's element, or nullptr when it is one of ours (asking it would wait on
// the very thread that waits for the answer) or there is none.
HWND PointHost(POINT point, bool& ours) {
  const HWND window = ::WindowFromPoint(point);
  ours = window && OwnWindow(window);
  return RootOf(window);
}

}  // namespace

TovElementRead ReadElementAt(POINT point, std::chrono::milliseconds bound) {
  bool ours = false;
  const HWND host = PointHost(point, ours);
  if (!host || ours) return {};
  auto result = std::make_shared<TovElementRead>();
  if (!RunBounded(host, bound, [result, point] { *result = ReadAtNow(point); })) {
    return {TovElementStatus::Blocked, {}};
  }
  return *result;
}

TovElementTree ReadElementTree(HWND window, const TovElementLimits& limits) {
  if (!::IsWindow(window) || OwnWindow(window)) return {};
  auto result = std::make_shared<TovElementTree>();
  const auto work = [result, window, limits] {
    IAccessible* root = ClientElement(window);
    if (!root) return;
    TreeWalk walk(limits, nullptr);
    walk.Visit(root, SelfChild(), 0, window);
    root->Release();
    result->elements = std::move(walk.elements);
    result->cut = walk.Cut();
    result->status = TovElementStatus::Found;
  };
  if (!RunBounded(RootOf(window), limits.budget + kElementPointBound, work)) {
    return {TovElementStatus::Blocked, {}, true};
  }
  return *result;
}

TovElementHit FindTaskElement(HWND window, const core::TaskDescription& task, bool act, const TovElementLimits& limits) {
  if (!::IsWindow(window) || OwnWindow(window) || !task.IsElement()) return {};
  auto result = std::make_shared<TovElementHit>();
  const auto work = [result, window, task, act, limits] {
    IAccessible* root = ClientElement(window);
    if (!root) return;
    TreeWalk walk(limits, &task);
    walk.Visit(root, SelfChild(), 0, window);
    root->Release();
    if (!walk.Found()) return;
    result->element = walk.FoundFacts();
    result->status = TovElementStatus::Found;
    if (act) result->acted = walk.Act();
  };
  if (!RunBounded(RootOf(window), limits.budget + kElementPointBound, work)) return {TovElementStatus::Blocked, {}};
  return *result;
}

struct TovElementProbe::State {
  std::shared_ptr<Job> job;
  std::shared_ptr<TovElementRead> result;
  std::optional<POINT> next;
  bool fresh = false;  // a read ended (or could not start) since the last Poll
};

TovElementProbe::TovElementProbe() : state_(std::make_unique<State>()) {}
TovElementProbe::~TovElementProbe() = default;

void TovElementProbe::Request(POINT point) {
  if (state_->job) {
    state_->next = point;
    return;
  }
  bool ours = false;
  const HWND host = PointHost(point, ours);
  if (!host || ours) {
    latest_ = {};
    state_->fresh = true;
    return;
  }
  auto result = std::make_shared<TovElementRead>();
  state_->job = ElementThread::Instance().Start(host, [result, point] { *result = ReadAtNow(point); });
  if (!state_->job) {
    latest_ = {TovElementStatus::Blocked, {}};
    state_->fresh = true;
    return;
  }
  state_->result = std::move(result);
}

bool TovElementProbe::Poll() {
  State& s = *state_;
  if (s.job) {
    if (ElementThread::Done(*s.job)) {
      latest_ = *s.result;
      s.job.reset();
      s.fresh = true;
    } else if (s.job->Overdue(kElementPointBound, Clock::now())) {
      ElementThread::Instance().Abandon(*s.job);
      latest_ = {TovElementStatus::Blocked, {}};
      s.job.reset();
      s.fresh = true;
    }
  }
  if (!s.job && s.next) {
    const POINT point = *s.next;
    s.next.reset();
    Request(point);
  }
  return std::exchange(s.fresh, false);
}

bool TovElementProbe::Busy() const { return state_->job != nullptr || state_->next.has_value(); }

void TovElementProbe::Reset() {
  state_->job.reset();
  state_->result.reset();
  state_->next.reset();
  state_->fresh = false;
  latest_ = {};
}

