// Contiguous first-in first-out storage of plain sample structs: appending at the new end and dropping at the
// old end are O(1) (amortised for appends). The buffer grows by doubling up to a fixed ceiling, so a full
// series holds exactly that many samples and no slack.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <stdexcept>
#include <type_traits>
#include <utility>

namespace skimlet {

template <class T>
class TSampleRing {
  static_assert(std::is_trivially_copyable_v<T>, "samples are plain values");

 public:
  explicit TSampleRing(size_t maxCapacity) : max_(std::max<size_t>(maxCapacity, 1)) {}
  TSampleRing(const TSampleRing& other) : max_(other.max_) { CopyFrom(other); }
  TSampleRing& operator=(const TSampleRing& other) {
    if (this != &other) {
      max_ = other.max_;
      Clear();
      CopyFrom(other);
    }
    return *this;
  }
  TSampleRing(TSampleRing&& other) noexcept { *this = std::move(other); }
  TSampleRing& operator=(TSampleRing&& other) noexcept {
    if (this != &other) {
      buf_ = std::move(other.buf_);
      max_ = other.max_;
      capacity_ = std::exchange(other.capacity_, 0);
      count_ = std::exchange(other.count_, 0);
      head_ = std::exchange(other.head_, 0);
    }
    return *this;
  }

  size_t Count() const { return count_; }
  bool Empty() const { return count_ == 0; }
  size_t Capacity() const { return capacity_; }
  size_t MaxCapacity() const { return max_; }
  // Bytes held for samples (the buffer), not counting this object.
  size_t BufferBytes() const { return capacity_ * sizeof(T); }

  // Index 0 is the oldest sample.
  const T& operator[](size_t i) const { return buf_[Slot(i)]; }
  const T& At(size_t i) const {
    if (i >= count_) throw std::out_of_range("sample index out of range");
    return (*this)[i];
  }
  const T& Oldest() const { return buf_[head_]; }
  const T& Newest() const { return (*this)[count_ - 1]; }

  // Appends at the new end. When the ring is full at its ceiling the oldest sample makes room.
  void PushBack(const T& sample) {
    if (count_ == capacity_) {
      if (capacity_ < max_) {
        Grow();
      } else {
        PopFront();
      }
    }
    buf_[Slot(count_)] = sample;
    ++count_;
  }

  void PopFront() {
    if (count_ == 0) return;
    head_ = head_ + 1 == capacity_ ? 0 : head_ + 1;
    --count_;
  }

  // Drops every sample and gives the buffer back.
  void Clear() {
    buf_.reset();
    capacity_ = count_ = head_ = 0;
  }

 private:
  size_t Slot(size_t i) const {
    size_t s = head_ + i;
    return s >= capacity_ ? s - capacity_ : s;
  }

  void Grow() {
    // Doubling while small, then a quarter more each time: still amortised O(1) per append, and a long history
    // wastes at most a fifth of its buffer instead of half.
    const size_t next =
        std::min(max_, capacity_ < 256 ? std::max<size_t>(capacity_ * 2, 16) : capacity_ + capacity_ / 4);
    std::unique_ptr<T[]> fresh(new T[next]);
    for (size_t i = 0; i < count_; ++i) fresh[i] = (*this)[i];
    buf_ = std::move(fresh);
    capacity_ = next;
    head_ = 0;
  }

  void CopyFrom(const TSampleRing& other) {
    if (other.count_ == 0) return;
    buf_.reset(new T[other.count_]);
    capacity_ = other.count_;
    for (size_t i = 0; i < other.count_; ++i) buf_[i] = other[i];
    count_ = other.count_;
    head_ = 0;
  }

  std::unique_ptr<T[]> buf_;
  size_t max_ = 1;
  size_t capacity_ = 0;
  size_t count_ = 0;
  size_t head_ = 0;
};

}  // namespace skimlet
