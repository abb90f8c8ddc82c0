// Taking a network connection down and up through the shell's connection manager.
#pragma once

#include <windows.h>
#include <netcon.h>

#include <string>

#include "platform/Network.h"

namespace zx {

using TFreeNetconProperties = void(WINAPI*)(NETCON_PROPERTIES*);

// The connection walk on its own: the first connection whose identifier matches `guid`
// (letter case ignored on both sides) is connected or disconnected and the walk ends
// there; true only when that call answered S_OK. Every properties block read is handed
// back through `freeProperties`. Needs COM already entered on the calling thread.
[[nodiscard]] bool SwitchConnection(INetConnectionManager& manager, TFreeNetconProperties freeProperties,
                                    const std::u16string& guid, bool enable);

// Loads the network shell library from the system folder for each call, creates its
// connection manager and runs SwitchConnection. False when any of that is unavailable
// (as under Wine, which has no network shell). Enters COM for the call, so any thread
// may call it; can block for seconds, so never the window's thread.
class TConnectionManagerSwitch final : public IAdapterSwitch {
public:
    [[nodiscard]] bool SetAdapterEnabled(const std::u16string& guid, bool enable) override;
};

} // namespace zx
