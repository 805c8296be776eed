// No exception leaves a window procedure, a COM method or an export: each such
// boundary runs its work through RunGuarded, which turns an exception into the
// answer that the caller reads as failure.
#pragma once

#include <new>

template <class TResult, class TBody>
TResult RunGuarded(TResult failure, TBody&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return failure;
  }
}

// As above, with its own answer for memory that ran out (COM's E_OUTOFMEMORY).
template <class TResult, class TBody>
TResult RunGuarded(TResult outOfMemory, TResult failure, TBody&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return outOfMemory;
  } catch (...) {
    return failure;
  }
}
