#pragma once
// The smallest owner of a COM interface pointer: released once, when it goes.
#include <unknwn.h>

#include <utility>

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() { Reset(); }

  T* Get() const { return ptr_; }
  T* operator->() const { return ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }

  // For functions that hand out a new reference: the old one is released first.
  T** Put() {
    Reset();
    return &ptr_;
  }
  void Reset() {
    if (T* old = std::exchange(ptr_, nullptr)) old->Release();
  }

 private:
  T* ptr_ = nullptr;
};
