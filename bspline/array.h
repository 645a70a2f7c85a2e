// Arrays with inclusive index ranges (1..nd, 0..4, 0..100) as the fitting
// procedures are written, checked on every access.
//
// An array that has not been allocated yet "does not exist": screens shown
// before any run can test for that instead of reading stale or foreign memory.
// Allocation zero-fills and discards what the array held before.
#pragma once

#include <cstddef>
#include <span>
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

  // All elements, lo..hi; empty when the array does not exist.
  std::span<T> span() { return data_; }
  std::span<const T> span() const { return data_; }

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

  // Elements are stored column by column: column j is rows lo1..hi1, one
  // after the other. The inner loops of the engine take a column once and
  // then walk it.
  std::span<T> column(int j) { return {&data_[offset(lo1_, j)], rows_}; }
  std::span<const T> column(int j) const { return {&data_[offset(lo1_, j)], rows_}; }

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

// A matrix of which each row holds at most `width` consecutive non-zero
// values, kept as the column of the first of them and the values: the cubic
// basis at the data points, where at most 4 of up to 40 functions are non-zero
// at one parameter. Memory per row does not depend on the number of columns.
// Elements outside a row's band read as 0.
template <class T>
class BandArray {
 public:
  BandArray() = default;

  // Rows lo1..hi1, columns lo2..hi2, bands of `width` values, all zero, each
  // band starting at column lo2.
  void allocate(int lo1, int hi1, int lo2, int hi2, int width) {
    lo1_ = lo1;
    hi1_ = hi1 < lo1 ? lo1 - 1 : hi1;
    lo2_ = lo2;
    hi2_ = hi2 < lo2 ? lo2 - 1 : hi2;
    width_ = width;
    const auto rows = static_cast<std::size_t>(hi1_ - lo1_ + 1);
    first_.assign(rows, lo2_);
    values_.assign(rows * static_cast<std::size_t>(width), T{});
    exists_ = true;
  }

  bool exists() const { return exists_; }
  int lo1() const { return lo1_; }
  int hi1() const { return hi1_; }
  int lo2() const { return lo2_; }
  int hi2() const { return hi2_; }
  int rows() const { return hi1_ - lo1_ + 1; }
  int width() const { return width_; }

  // Column of the first value of row i's band.
  int first(int i) const { return first_[row(i)]; }
  // The `width` values of row i's band, columns first(i) onwards.
  std::span<const T> band(int i) const {
    return {&values_[row(i) * static_cast<std::size_t>(width_)], static_cast<std::size_t>(width_)};
  }
  // Every row's first column, and every row's band one after the other, rows
  // lo1..hi1: for loops over all rows that check their range once.
  std::span<const int> firsts() const { return first_; }
  std::span<const T> values() const { return values_; }
  // Sets row i's band to start at column `first`; returns its values to fill.
  std::span<T> set_band(int i, int first) {
    const std::size_t r = row(i);
    if (first < lo2_ || first + width_ - 1 > hi2_) detail::index_error(first, lo2_, hi2_ - width_ + 1);
    first_[r] = first;
    return {&values_[r * static_cast<std::size_t>(width_)], static_cast<std::size_t>(width_)};
  }

  // Element (i, j): its value inside the band, 0 elsewhere in the matrix.
  T operator()(int i, int j) const {
    if (j < lo2_ || j > hi2_) detail::index_error(j, lo2_, hi2_);
    const int at = j - first(i);
    return at >= 0 && at < width_ ? band(i)[static_cast<std::size_t>(at)] : T{};
  }

 private:
  std::size_t row(int i) const {
    const auto at = static_cast<std::size_t>(static_cast<long>(i) - lo1_);
    if (at >= first_.size()) detail::index_error(i, lo1_, hi1_);
    return at;
  }

  int lo1_ = 1;
  int hi1_ = 0;
  int lo2_ = 1;
  int hi2_ = 0;
  int width_ = 0;
  bool exists_ = false;
  std::vector<int> first_;
  std::vector<T> values_;
};

}  // namespace tarvelo
