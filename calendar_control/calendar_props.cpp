#include "calendar_control/calendar_props.h"

#include <bit>
#include <cmath>
#include <cstring>

namespace calendar {
namespace {

// Reads little-endian fields off the front of the data; a read past the end
// fails and leaves the reader failed.
class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> data) : data_(data) {}

  bool ok() const { return ok_; }

  std::uint64_t ReadUnsigned(std::size_t size) {
    if (!Take(size)) return 0;
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i) value |= std::uint64_t{data_[position_ - size + i]} << (8 * i);
    return value;
  }
  std::int32_t ReadInt32() { return static_cast<std::int32_t>(static_cast<std::uint32_t>(ReadUnsigned(4))); }
  double ReadFloat64() { return std::bit_cast<double>(ReadUnsigned(8)); }
  std::string ReadBytes(std::int32_t length) {
    if (length <= 0) return {};
    const std::size_t size = static_cast<std::size_t>(length);
    if (!Take(size)) return {};
    const char* start = reinterpret_cast<const char*>(data_.data() + position_ - size);
    return std::string(start, size);
  }

 private:
  // Compares against what is left, so a length near 2^31 cannot wrap.
  bool Take(std::size_t size) {
    if (!ok_ || size > data_.size() - position_) {
      ok_ = false;
      return false;
    }
    position_ += size;
    return true;
  }

  std::span<const std::uint8_t> data_;
  std::size_t position_ = 0;
  bool ok_ = true;
};

void PutUnsigned(std::vector<std::uint8_t>& out, std::uint64_t value, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}
void PutInt32(std::vector<std::uint8_t>& out, std::int32_t value) {
  PutUnsigned(out, static_cast<std::uint32_t>(value), 4);
}

}  // namespace

void CnMonthCalendarProps::Reset(runtime::DateTime now) {
  *this = CnMonthCalendarProps();
  storedDate = now;
}

bool CnMonthCalendarProps::Load(std::span<const std::uint8_t> data, runtime::DateTime now) {
  Reset(now);
  Reader reader(data);
  loadedVersion = reader.ReadInt32();
  const double date = reader.ReadFloat64();
  if (std::isfinite(date)) storedDate = date;
  mode = reader.ReadInt32();
  const std::int32_t length = reader.ReadInt32();
  format = reader.ReadBytes(length);
  if (const std::size_t zero = format.find('\0'); zero != std::string::npos) format.resize(zero);
  if (loadedVersion >= 2) showHeader = reader.ReadInt32();
  return reader.ok();
}

std::vector<std::uint8_t> CnMonthCalendarProps::Store() const {
  std::vector<std::uint8_t> out;
  out.reserve(24 + format.size());
  PutInt32(out, currentVersion);
  PutUnsigned(out, std::bit_cast<std::uint64_t>(storedDate), 8);
  PutInt32(out, mode);
  PutInt32(out, static_cast<std::int32_t>(format.size()));
  out.insert(out.end(), format.begin(), format.end());
  PutInt32(out, showHeader);
  return out;
}

}  // namespace calendar
