#pragma once

#include <algorithm>
#include <vector>

// Order statistics of a sample, for the benchmarks' reports.
class TBenchStats {
 public:
  explicit TBenchStats(std::vector<double> values) : v_(std::move(values)) {
    std::sort(v_.begin(), v_.end());
  }
  bool Empty() const { return v_.empty(); }
  double Min() const { return v_.empty() ? 0 : v_.front(); }
  double Max() const { return v_.empty() ? 0 : v_.back(); }
  // Nearest-rank percentile, p in 0..100.
  double Percentile(double p) const {
    if (v_.empty()) return 0;
    const size_t rank = static_cast<size_t>(p / 100.0 * static_cast<double>(v_.size()) + 0.999999);
    return v_[std::clamp<size_t>(rank, 1, v_.size()) - 1];
  }
  double Median() const {
    if (v_.empty()) return 0;
    const size_t n = v_.size();
    return n % 2 ? v_[n / 2] : (v_[n / 2 - 1] + v_[n / 2]) / 2;
  }

 private:
  std::vector<double> v_;
};
