#include "core/store.h"

namespace orvo::caps {
namespace {
template <class Descriptor, class Parse>
bool read_fixed(descriptor_source& source, std::uint16_t id, Descriptor& out, Parse parse) {
  auto value = source.read(id);
  if (!value) return false;
  auto d = parse(*value);
  if (!d) return false;
  out = std::move(*d);
  return true;
}
}  // namespace

void TCapsRegistry::WriteAmplifier(std::uint16_t id, const TAmplifierDescriptor& d) {
  m_source.write(id, serialise(d));
}
void TCapsRegistry::WriteGain(std::uint16_t index, const TGainDescriptor& d) {
  m_source.write(make_id(type_gain, index), serialise(d));
}
void TCapsRegistry::WriteLowCut(std::uint16_t index, const TLowCutDescriptor& d) {
  m_source.write(make_id(type_low_cut, index), serialise(d));
}
void TCapsRegistry::WriteHighCut(std::uint16_t index, const THighCutDescriptor& d) {
  m_source.write(make_id(type_high_cut, index), serialise(d));
}
void TCapsRegistry::write_list(unsigned type, std::uint16_t index, const TLookupDescriptor& d) {
  m_source.write(make_id(type, index), serialise(d));
}
void TCapsRegistry::WriteNotch(std::uint16_t index, const TLookupDescriptor& d) { write_list(type_notch, index, d); }
void TCapsRegistry::WriteInputMode(std::uint16_t index, const TLookupDescriptor& d) {
  write_list(type_input_mode, index, d);
}
void TCapsRegistry::WriteInputConnections(std::uint16_t index, const TLookupDescriptor& d) {
  write_list(type_input_connections, index, d);
}
void TCapsRegistry::WriteDeblockType(std::uint16_t index, const TLookupDescriptor& d) {
  write_list(type_deblock_type, index, d);
}
void TCapsRegistry::WriteImpedanceResolution(std::uint16_t index, const TLookupDescriptor& d) {
  write_list(type_impedance_resolution, index, d);
}

bool TCapsRegistry::ReadAmplifier(std::uint16_t id, TAmplifierDescriptor& out) {
  return read_fixed(m_source, id, out, parse_amplifier);
}
bool TCapsRegistry::ReadGain(std::uint16_t id, TGainDescriptor& out) {
  return read_fixed(m_source, make_id(type_gain, id), out, parse_gain);
}
bool TCapsRegistry::ReadLowCut(std::uint16_t id, TLowCutDescriptor& out) {
  return read_fixed(m_source, make_id(type_low_cut, id), out, parse_low_cut);
}
bool TCapsRegistry::ReadHighCut(std::uint16_t id, THighCutDescriptor& out) {
  return read_fixed(m_source, make_id(type_high_cut, id), out, parse_high_cut);
}
bool TCapsRegistry::read_list(unsigned type, std::uint16_t id, TLookupDescriptor& out) {
  return read_fixed(m_source, make_id(type, id), out, parse_lookup);
}
bool TCapsRegistry::ReadNotch(std::uint16_t id, TLookupDescriptor& out) { return read_list(type_notch, id, out); }
bool TCapsRegistry::ReadInputMode(std::uint16_t id, TLookupDescriptor& out) {
  if (m_setup) {
    out = defaults::input_mode(true);
    return true;
  }
  return read_list(type_input_mode, id, out);
}
bool TCapsRegistry::ReadInputConnections(std::uint16_t id, TLookupDescriptor& out) {
  return read_list(type_input_connections, id, out);
}
bool TCapsRegistry::ReadDeblockType(std::uint16_t id, TLookupDescriptor& out) {
  return read_list(type_deblock_type, id, out);
}
bool TCapsRegistry::ReadImpedanceResolution(std::uint16_t id, TLookupDescriptor& out) {
  return read_list(type_impedance_resolution, id, out);
}
bool TCapsRegistry::ReadLookup(std::uint16_t id, TLookupDescriptor& out) {
  switch (type_of(id)) {
    case type_notch:
      return ReadNotch(id, out);
    case type_input_mode:
      return ReadInputMode(id, out);
    case type_input_connections:
      return ReadInputConnections(id, out);
    case type_deblock_type:
      return ReadDeblockType(id, out);
    case type_impedance_resolution:
      return ReadImpedanceResolution(id, out);
    default:
      return false;
  }
}

void TCapsRegistry::DeleteDescriptors() { m_source.remove_all(); }

void write_defaults(TCapsRegistry& registry, bool setup) {
  registry.WriteGain(0x000, defaults::gain());
  for (std::uint16_t i = 0; i < 3; ++i) registry.WriteLowCut(i, defaults::low_cut(i));
  for (std::uint16_t i = 0; i < 3; ++i) registry.WriteHighCut(i, defaults::high_cut(i));
  registry.WriteInputMode(0x000, defaults::input_mode(setup));
  registry.WriteNotch(0x000, defaults::notch(50));
  registry.WriteNotch(0x001, defaults::notch(60));
  registry.WriteInputConnections(0x000, defaults::input_connections());
  registry.WriteDeblockType(0x000, defaults::deblock_type());
  registry.WriteImpedanceResolution(0x000, defaults::impedance_resolution());
  for (const auto& [id, d] : defaults::amplifiers()) registry.WriteAmplifier(id, d);
}

std::shared_ptr<const TRangeRecord> built_in_record(TLookupDescriptor list) {
  auto r = std::make_shared<TRangeRecord>();
  r->list = std::move(list);
  return r;
}

int TRangeCache::IndexOf(std::uint16_t id) const noexcept {
  for (std::size_t i = 0; i < m_records.size(); ++i)
    if (m_records[i]->id == id) return static_cast<int>(i);
  return -1;
}

const TRangeRecord* TRangeCache::Find(std::uint16_t id) const noexcept {
  const int i = IndexOf(id);
  return i < 0 ? nullptr : m_records[static_cast<std::size_t>(i)].get();
}

bool TRangeCache::load_descriptor(std::uint16_t id, TCapsRegistry& registry) {
  if (IndexOf(id) >= 0) return true;
  auto r = std::make_unique<TRangeRecord>();
  r->id = id;
  switch (type_of(id)) {
    case type_gain:
      if (!registry.ReadGain(id, r->gain)) return false;
      r->values = gain_list(r->gain);
      break;
    case type_low_cut: {
      if (!registry.ReadLowCut(id, r->low_cut)) return false;
      auto list = low_cut_list(r->low_cut);
      if (!list) return false;
      r->values = std::move(*list);
      break;
    }
    case type_high_cut:
      if (!registry.ReadHighCut(id, r->high_cut)) return false;
      r->values = high_cut_list(r->high_cut);
      break;
    default:
      if (!is_lookup_type(type_of(id)) || !registry.ReadLookup(id, r->list)) return false;
  }
  m_records.push_back(std::move(r));
  return true;
}

bool TRangeCache::LoadAmplifier(std::uint16_t id, TCapsRegistry& registry, TAmplifierDescriptor& out) {
  if (type_of(id) != type_amplifier || !registry.ReadAmplifier(id, out)) return false;
  for (int slot = 0; slot < slot_count; ++slot) {
    const std::uint16_t named = out.ids[static_cast<std::size_t>(slot)];
    if (type_of(named) != slot_types[static_cast<std::size_t>(slot)] || !load_descriptor(named, registry)) return false;
  }
  return true;
}

bool TRangeCache::Load(std::uint16_t id, TCapsRegistry& registry) {
  if (type_of(id) == type_amplifier) {
    TAmplifierDescriptor d;
    return LoadAmplifier(id, registry, d);
  }
  return load_descriptor(id, registry);
}

std::optional<amplifier_records> load_amplifier(TRangeCache& cache, TCapsRegistry& registry, std::uint16_t id) {
  TAmplifierDescriptor d;
  if (!cache.LoadAmplifier(id, registry, d)) return std::nullopt;
  amplifier_records out;
  out.id = id;
  for (std::size_t slot = 0; slot < slot_count; ++slot) out.records[slot] = cache.Find(d.ids[slot]);
  return out;
}

}  // namespace orvo::caps
