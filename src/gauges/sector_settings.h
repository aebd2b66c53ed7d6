#pragma once

#include <cstdint>
#include <optional>

#include "gauges/gx_color.h"
#include "gauges/gx_persistent.h"

namespace m797::gauges {

// Three coloured ranges of the scale, in thousandths of the scale, both ends included.
class TSectorSettings : public TGxPersistent {
 public:
  TColor Sector1Color() const { return color_[0]; }
  void SetSector1Color(TColor v) { Store(color_[0], v); }
  std::int32_t Sector1From() const { return from_[0]; }
  void SetSector1From(std::int32_t v) { Store(from_[0], v); }
  std::int32_t Sector1To() const { return to_[0]; }
  void SetSector1To(std::int32_t v) { Store(to_[0], v); }

  TColor Sector2Color() const { return color_[1]; }
  void SetSector2Color(TColor v) { Store(color_[1], v); }
  std::int32_t Sector2From() const { return from_[1]; }
  void SetSector2From(std::int32_t v) { Store(from_[1], v); }
  std::int32_t Sector2To() const { return to_[1]; }
  void SetSector2To(std::int32_t v) { Store(to_[1], v); }

  TColor Sector3Color() const { return color_[2]; }
  void SetSector3Color(TColor v) { Store(color_[2], v); }
  std::int32_t Sector3From() const { return from_[2]; }
  void SetSector3From(std::int32_t v) { Store(from_[2], v); }
  std::int32_t Sector3To() const { return to_[2]; }
  void SetSector3To(std::int32_t v) { Store(to_[2], v); }

  // Pixels by which the round meters move the sector ring inward and narrow it.
  std::int32_t Offset() const { return offset_; }
  void SetOffset(std::int32_t v) { Store(offset_, v); }
  std::int32_t WidthOffset() const { return width_offset_; }
  void SetWidthOffset(std::int32_t v) { Store(width_offset_, v); }

  // Sector n = 0, 1, 2 (sector 1 to 3).
  TColor ColorOf(int n) const { return color_[n]; }
  std::int32_t FromOf(int n) const { return from_[n]; }
  std::int32_t ToOf(int n) const { return to_[n]; }
  bool Contains(int n, std::int32_t position) const {
    return from_[n] <= position && position <= to_[n];
  }

  // The colour of the first sector (1, then 2, then 3) that contains the position, if any.
  std::optional<TColor> SectorColorAt(std::int32_t position) const;

  // Copied in from the owning instrument; does not notify.
  bool LogScale() const { return log_scale_; }
  void SetLogScale(bool on) { log_scale_ = on; }

 private:
  TColor color_[3] = {clYellow, clGreen, clRed};
  std::int32_t from_[3] = {0, 334, 667};
  std::int32_t to_[3] = {333, 666, 1000};
  std::int32_t offset_ = 0;
  std::int32_t width_offset_ = 0;
  bool log_scale_ = false;
};

}  // namespace m797::gauges
