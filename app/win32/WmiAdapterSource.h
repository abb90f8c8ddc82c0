// The machine's active adapter, found by the engine's walk over a fresh WMI inventory: the
// composition of the program's adapter search.
#pragma once

#include "platform/Network.h"

namespace zx {

// Each search runs the whole walk over a fresh WMI inventory on the calling thread.
class TWmiAdapterSource final : public IActiveAdapterSource {
public:
    [[nodiscard]] bool FindActiveAdapter(std::u16string& name, std::u16string& guid, std::u16string& ip) override;
};

} // namespace zx
