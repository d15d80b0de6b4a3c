// ZRMUtUniqueId: the identifier of an entity of the application, one 32-bit signed integer.
// A default-constructed id holds -1, which stands for no id. Copied and assigned by value.
#ifndef ZRMUtUniqueId_h
#define ZRMUtUniqueId_h

#include <cstdint>

class ZRMUtUniqueId {
public:
  constexpr ZRMUtUniqueId() = default;  // -1: no id
  // The id of value id.
  constexpr explicit ZRMUtUniqueId(std::int32_t id) : mId(id) {}

  // The integer value (-1: no id).
  constexpr std::int32_t Value() const { return mId; }

private:
  std::int32_t mId = -1;
};

#endif
