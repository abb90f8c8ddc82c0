// A scripted update service for the launcher's request: what the session delivers, and
// a record of what the launcher sent and asked for.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "launcher/UpdateRequest.h"

namespace zx::launcher {

struct TScriptedService {
    bool SessionFails = false; // no Internet session at all
    bool AddressFails = false; // the address cannot be opened (no network, refused, ...)
    std::string Body = {};     // the reply's bytes
    std::size_t MaxPiece = 0;  // at most this many bytes per read (0: as many as asked)
    bool ReadFails = false;    // the read after the whole body fails instead of ending
};

class TFakeInternet final : public IInternet {
public:
    explicit TFakeInternet(std::vector<std::string>& events) : FEvents(events) {}

    TScriptedService Service;
    std::string Agent;
    std::u16string Address;
    std::u16string Headers;
    std::vector<std::size_t> AskedSizes;
    int Sessions = 0;

    std::unique_ptr<IInternetSession> Open(std::string_view agent) override {
        FEvents.push_back("internet-open");
        ++Sessions;
        Agent = agent;
        if (Service.SessionFails) return nullptr;
        return std::make_unique<TSession>(*this);
    }

    // Latin-1, except that 0x80 stands for a code-page character (the euro sign of
    // code page 1252) and 0x00 gives nothing.
    char16_t AnsiCharacter(std::uint8_t byte) override { return byte == 0x80 ? u'\u20AC' : char16_t(byte); }

private:
    class TSession final : public IInternetSession {
    public:
        explicit TSession(TFakeInternet& owner) : FOwner(owner) {}
        ~TSession() override { FOwner.FEvents.push_back("session-closed"); }

        bool OpenAddress(const std::u16string& address, const std::u16string& headers) override {
            FOwner.FEvents.push_back("open-address");
            FOwner.Address = address;
            FOwner.Headers = headers;
            return !FOwner.Service.AddressFails;
        }

        bool Read(std::span<std::uint8_t> buffer, std::size_t& got) override {
            FOwner.AskedSizes.push_back(buffer.size());
            const std::string& body = FOwner.Service.Body;
            if (FAt == body.size() && FOwner.Service.ReadFails) return false;
            got = std::min(buffer.size(), body.size() - FAt);
            if (FOwner.Service.MaxPiece != 0) got = std::min(got, FOwner.Service.MaxPiece);
            std::memcpy(buffer.data(), body.data() + FAt, got);
            FAt += got;
            return true;
        }

    private:
        TFakeInternet& FOwner;
        std::size_t FAt = 0;
    };

    std::vector<std::string>& FEvents;
};

} // namespace zx::launcher
