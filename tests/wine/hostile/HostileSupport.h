// The peers of the hostile and soak tests as the tests steer them (with-peers.sh starts
// them), and the figures the tests read from outside the programs.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace zx::hostile {

// A peer's control folder, as a Wine path: "update" (update-peer.py) or "probe"
// (probe-peer.py).
inline std::string ControlFolder(const char* peer) {
    const char* control = std::getenv(std::string(peer) == "update" ? "ZX_UPDATE_PEER_CONTROL" : "ZX_PEER_CONTROL");
    if (!control) throw std::runtime_error("run through with-peers.sh");
    return std::string("Z:") + control;
}

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteControl(const char* peer, const std::string& name, const std::string& content) {
    std::ofstream(ControlFolder(peer) + "/" + name, std::ios::binary) << content;
}

inline void RemoveControl(const char* peer, const std::string& name) {
    ::DeleteFileA((ControlFolder(peer) + "/" + name).c_str());
}

// Requests the update peer has logged so far.
// Both peers back to answering plainly: no held, hostile or scripted answer left from an
// earlier test.
inline void ResetPeers() {
    for (const char* name : {"answer", "hold", "hostile", "hostile-left"}) RemoveControl("update", name);
    for (const char* name : {"hostile", "hostile-left"}) RemoveControl("probe", name);
}

inline std::size_t UpdateRequestCount() {
    const std::string log = ReadText(ControlFolder("update") + "/requests.log");
    std::size_t count = 0;
    for (std::size_t at = 0; (at = log.find("request ", at)) != std::string::npos; at += 8)
        if (at == 0 || log[at - 1] == '\n') ++count;
    return count;
}

// How far the update peer's log has grown: a mark to look for requests after.
inline std::size_t UpdateLogMark() {
    return ReadText(ControlFolder("update") + "/requests.log").size();
}

// Whether the update peer saw, after `mark`, a request whose line holds `text`.
inline bool UpdatePeerSaw(const std::string& text, std::size_t mark) {
    return ReadText(ControlFolder("update") + "/requests.log").find(text, mark) != std::string::npos;
}

// The addresses Wine's browser launcher was asked to open in this session.
inline std::string OpenedAddresses() {
    const char* prefix = std::getenv("WINEPREFIX");
    return prefix ? ReadText(std::string("Z:") + prefix + "/opened-urls.log") : std::string();
}

// An answer of the update service offering `download`.
inline std::string OfferAnswer(const std::string& download) {
    return R"({"result":"ok","update":")" + download + "\"}";
}

} // namespace zx::hostile
