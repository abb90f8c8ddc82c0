// The update service's stand-in (../update-peer.py), as the launcher's tests steer it and
// read what it saw.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/UiDriver.h"

namespace zx::launcher::test {

// One request as it arrived: its request line and its header lines in order.
struct TSeenRequest {
    std::string Line;
    std::vector<std::string> Headers;

    // The header lines whose name (before the colon) is `name`, any letter case.
    [[nodiscard]] std::vector<std::string> Named(const std::string& name) const {
        std::vector<std::string> found;
        for (const auto& header : Headers)
            if (header.size() > name.size() && header[name.size()] == ':' &&
                ::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, header.data(), static_cast<int>(name.size()),
                                 name.data(), static_cast<int>(name.size())) == CSTR_EQUAL)
                found.push_back(header);
        return found;
    }
};

class TUpdatePeer {
public:
    // The control folder given by with-update-peer.sh, as a Wine path.
    static std::string Folder() {
        const char* control = std::getenv("ZX_UPDATE_PEER_CONTROL");
        if (!control) throw std::runtime_error("run through with-update-peer.sh");
        return std::string("Z:") + control;
    }

    static bool WaitListening() {
        return zx::ui::WaitUntil([] { return std::ifstream(Folder() + "/port").good(); });
    }

    // Forgets what was seen and answers "200 OK" with an empty body from now on.
    static void Reset() {
        for (const char* name : {"refuse", "requests.log", "answers.log"})
            ::DeleteFileA((Folder() + "/" + name).c_str());
        Reply("");
    }

    static void Reply(const std::string& body) { std::ofstream(Folder() + "/answer", std::ios::binary) << body; }
    static void Refuse() { std::ofstream(Folder() + "/refuse").close(); }

    // The log holds, per request, "request <time>", the request line, its header lines
    // and an empty line.
    static std::vector<TSeenRequest> Requests() {
        std::ifstream log(Folder() + "/requests.log", std::ios::binary);
        std::vector<TSeenRequest> requests;
        std::string line;
        bool inHead = false;
        while (std::getline(log, line)) {
            if (!inHead && line.starts_with("request ")) {
                requests.push_back({});
                inHead = true;
                if (!std::getline(log, requests.back().Line)) break;
            } else if (inHead && line.empty()) {
                inHead = false;
            } else if (inHead) {
                requests.back().Headers.push_back(line);
            }
        }
        return requests;
    }
};

} // namespace zx::launcher::test
