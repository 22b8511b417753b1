#pragma once

#include <memory>

#include "vexlo9/model/Forward.h"

namespace vexlo9::detail {

// Created on the thread's first request and kept for the thread's life: Global hands these out, and the library's
// own code reaches the same objects here.
template <class T>
const std::shared_ptr<T>& PerThread() {
  thread_local const std::shared_ptr<T> instance(new T());
  return instance;
}

}  // namespace vexlo9::detail
