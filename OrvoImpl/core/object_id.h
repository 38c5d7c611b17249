// Object IDs of the state tree: four bytes packed into 32 bits, the kind in
// the least significant byte, then the element, the amplifier index and the
// channel index. The state itself has ID 0.
#pragma once

#include <cstdint>

namespace orvo::impl {

using ObjectID = std::int32_t;

enum ObjectKind : std::uint8_t {
  KindTestBoxSetting = 1,
  KindChannel = 2,
  KindChannelProperty = 3,
  KindAmplifiers = 4,
  KindAmplifier = 5,
  KindFunctions = 6,
  KindAmplifierProperty = 7,
  KindChannelName = 8,
  KindHighlight = 10,
  KindElectrode = 11,
  KindChannels = 12,
};

// Elements of the channel properties (kind 3).
enum ChannelElement : std::uint8_t {
  ElementInputMode = 1,
  ElementGain = 3,
  ElementLowCut = 4,
  ElementHighCut = 5,
  ElementNotch = 6,
  ElementGroup = 7,
};

// Elements of the amplifier properties (kind 7). A channel's own deblock
// state is ElementChannelDeblockState + channel; the TestBox channel is
// element 8.
enum AmplifierElement : std::uint8_t {
  ElementSerialNo = 0,
  ElementDeblockState = 1,
  ElementDeblockType = 2,
  ElementDeblockDuration = 3,
  ElementImpedanceState = 4,
  ElementLowerThreshold = 5,
  ElementUpperThreshold = 6,
  ElementImpedanceResolution = 7,
  ElementTestBoxChannel = 8,
  ElementChannelDeblockState = 16,
};

// The channel index the test box's nodes carry: after the eight channels.
constexpr std::uint8_t TestBoxChannelIndex = 8;

constexpr ObjectID PackObjectID(std::uint8_t kind, std::uint8_t element, std::uint8_t amplifier,
                                std::uint8_t channel) noexcept {
  return static_cast<ObjectID>(std::uint32_t{kind} | std::uint32_t{element} << 8 | std::uint32_t{amplifier} << 16 |
                               std::uint32_t{channel} << 24);
}
constexpr std::uint8_t KindOf(ObjectID id) noexcept { return static_cast<std::uint8_t>(id); }
constexpr std::uint8_t ElementOf(ObjectID id) noexcept { return static_cast<std::uint8_t>(id >> 8); }
constexpr std::uint8_t AmplifierOf(ObjectID id) noexcept { return static_cast<std::uint8_t>(id >> 16); }
constexpr std::uint8_t ChannelOf(ObjectID id) noexcept { return static_cast<std::uint8_t>(id >> 24); }

}  // namespace orvo::impl
