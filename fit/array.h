// Arrays with inclusive index ranges (1..nd, 0..4, 0..100) as the fitting
// procedures are written, checked on every access.
//
// An array that has not been allocated yet "does not exist": screens shown
// before any run can test for that instead of reading stale or foreign memory.
// Allocation zero-fills and discards what the array held before.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarvelo {

// Thrown for a read or write outside an array's index range. It signals a
// programming error; the procedures check their ranges before they index.
class IndexError : public std::out_of_range {
 public:
  using std::out_of_range::out_of_range;
};

namespace detail {
// Out of line and cold, so that the checks stay cheap in the loops.
[[noreturn, gnu::cold, gnu::noinline]] void index_error(long i, long lo, long hi);
}  // namespace detail

template <class T>
class Array1 {
 public:
  Array1() = default;

  // Elements lo..hi, all zero. hi < lo gives an empty array that exists.
  void allocate(int lo, int hi) {
    lo_ = lo;
    hi_ = hi < lo ? lo - 1 : hi;
    data_.assign(static_cast<std::size_t>(hi_ - lo_ + 1), T{});
    exists_ = true;
  }

  bool exists() const { return exists_; }
  int lo() const { return lo_; }
  int hi() const { return hi_; }
  int size() const { return hi_ - lo_ + 1; }
  bool has(int i) const { return exists_ && i >= lo_ && i <= hi_; }

  T& operator()(int i) { return data_[offset(i)]; }
  const T& operator()(int i) const { return data_[offset(i)]; }

 private:
  // One unsigned comparison covers both ends; an array that does not exist
  // holds no elements, so every index fails.
  std::size_t offset(int i) const {
    const auto at = static_cast<std::size_t>(static_cast<long>(i) - lo_);
    if (at >= data_.size()) detail::index_error(i, lo_, hi_);
    return at;
  }

  int lo_ = 1;
  int hi_ = 0;
  bool exists_ = false;
  std::vector<T> data_;
};

template <class T>
class Array2 {
 public:
  Array2() = default;

  // Rows lo1..hi1, columns lo2..hi2, all zero.
  void allocate(int lo1, int hi1, int lo2, int hi2) {
    lo1_ = lo1;
    hi1_ = hi1 < lo1 ? lo1 - 1 : hi1;
    lo2_ = lo2;
    hi2_ = hi2 < lo2 ? lo2 - 1 : hi2;
    rows_ = static_cast<std::size_t>(rows());
    cols_ = static_cast<std::size_t>(cols());
    data_.assign(rows_ * cols_, T{});
    exists_ = true;
  }

  bool exists() const { return exists_; }
  int lo1() const { return lo1_; }
  int hi1() const { return hi1_; }
  int lo2() const { return lo2_; }
  int hi2() const { return hi2_; }
  int rows() const { return hi1_ - lo1_ + 1; }
  int cols() const { return hi2_ - lo2_ + 1; }
  bool has(int i, int j) const {
    return exists_ && i >= lo1_ && i <= hi1_ && j >= lo2_ && j <= hi2_;
  }

  T& operator()(int i, int j) { return data_[offset(i, j)]; }
  const T& operator()(int i, int j) const { return data_[offset(i, j)]; }

  // Elements are stored column by column: column j is rows() contiguous
  // elements starting at (lo1, j). The inner loops of the engine check their
  // range once and then walk a column directly.
  T* column(int j) { return &data_[offset(lo1_, j)]; }
  const T* column(int j) const { return &data_[offset(lo1_, j)]; }

 private:
  std::size_t offset(int i, int j) const {
    const auto row = static_cast<std::size_t>(static_cast<long>(i) - lo1_);
    const auto col = static_cast<std::size_t>(static_cast<long>(j) - lo2_);
    if (row >= rows_) detail::index_error(i, lo1_, hi1_);
    if (col >= cols_) detail::index_error(j, lo2_, hi2_);
    return col * rows_ + row;
  }

  int lo1_ = 1;
  int hi1_ = 0;
  int lo2_ = 1;
  int hi2_ = 0;
  std::size_t rows_ = 0;
  std::size_t cols_ = 0;
  bool exists_ = false;
  std::vector<T> data_;
};

}  // namespace tarvelo
