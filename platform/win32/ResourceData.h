// Data resources (RCDATA) built into a program file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zx {

// The bytes of the RCDATA resource `name` in `module` (null: the running program's own
// file); empty when there is no such resource or it cannot be loaded.
std::vector<std::uint8_t> LoadResourceData(const std::u16string& name, void* module = nullptr);

} // namespace zx
