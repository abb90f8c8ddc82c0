// In-memory registry: a tree of keys per root, names matched without regard to case.
#include "platform/memory/MemoryRegistry.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "platform/PlatformError.h"

namespace zx {

namespace {

// Simple upper-casing as the registry does it, for the scripts the product meets.
char16_t UpperCase(char16_t c) {
    if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
    if (c < 0x80) return c;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)       // Latin-1 à..þ except ÷
        || (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) // Greek α..ω except final ς
        || (c >= 0x430 && c <= 0x44F))              // Cyrillic а..я
        return static_cast<char16_t>(c - 0x20);
    if (c == 0xFF) return 0x178;                                          // ÿ
    if (c == 0x3C2) return 0x3A3;                                         // ς
    if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 0x50); // ѐ..џ
    return c;
}

std::u16string Fold(const std::u16string& name) {
    std::u16string folded(name);
    std::transform(folded.begin(), folded.end(), folded.begin(), UpperCase);
    return folded;
}

struct TNode {
    std::u16string Name;
    std::vector<std::unique_ptr<TNode>> SubKeys;
    std::vector<std::pair<std::u16string, TRegValue>> Values;

    TNode* FindSubKey(const std::u16string& folded) const {
        for (const auto& sub : SubKeys)
            if (Fold(sub->Name) == folded) return sub.get();
        return nullptr;
    }
    auto FindValue(const std::u16string& name) {
        const std::u16string folded = Fold(name);
        return std::find_if(Values.begin(), Values.end(),
                            [&](const auto& entry) { return Fold(entry.first) == folded; });
    }
};

// A marked key: its root and the folded names of its path.
struct TMark {
    TRootKey Root;
    std::vector<std::u16string> Path;
};

// Splits a subkey path into its names; nullopt when it starts with a backslash. Empty
// names elsewhere (a trailing or doubled backslash) are skipped, as the registry does.
std::optional<std::vector<std::u16string>> SplitPath(const std::u16string& subKey) {
    if (!subKey.empty() && subKey.front() == u'\\') return std::nullopt;
    std::vector<std::u16string> names;
    std::size_t start = 0;
    while (start <= subKey.size()) {
        std::size_t end = subKey.find(u'\\', start);
        if (end == std::u16string::npos) end = subKey.size();
        if (end > start) names.push_back(subKey.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

std::vector<std::u16string> FoldAll(const std::vector<std::u16string>& names) {
    std::vector<std::u16string> folded;
    folded.reserve(names.size());
    for (const auto& name : names) folded.push_back(Fold(name));
    return folded;
}

// True when `mark` is the key `root\path[0..length)` or one of its parents.
bool Covers(const TMark& mark, TRootKey root, const std::vector<std::u16string>& path, std::size_t length) {
    return mark.Root == root && mark.Path.size() <= length &&
        std::equal(mark.Path.begin(), mark.Path.end(), path.begin());
}

bool AnyCovers(const std::vector<TMark>& marks, TRootKey root, const std::vector<std::u16string>& path,
               std::size_t length) {
    return std::any_of(marks.begin(), marks.end(), [&](const TMark& mark) { return Covers(mark, root, path, length); });
}

constexpr std::size_t kRootCount = 7;

} // namespace

struct TMemoryRegistry::TStore {
    std::array<TNode, kRootCount> Roots;
    std::vector<TMark> Denied;
    std::vector<TMark> ReadOnly;
    std::vector<TRegOperation> Journal;

    TNode* Root(TRootKey root) {
        return root >= kRootClassesRoot && root - kRootClassesRoot < kRootCount ? &Roots[root - kRootClassesRoot]
                                                                                : nullptr;
    }
    TNode* Find(TRootKey root, const std::u16string& subKey) {
        TNode* node = Root(root);
        const auto names = SplitPath(subKey);
        if (!node || !names) return nullptr;
        for (const auto& name : *names)
            if (!(node = node->FindSubKey(Fold(name)))) return nullptr;
        return node;
    }
};

namespace {

class TMemoryKey final : public IRegistryKey {
public:
    TMemoryKey(std::shared_ptr<TMemoryRegistry::TStore> store, TNode* node, TRootKey root, std::u16string subKey,
               std::vector<std::u16string> folded, std::uint32_t access)
        : FStore(std::move(store)),
          FNode(node),
          FRoot(root),
          FSubKey(std::move(subKey)),
          FFolded(std::move(folded)),
          FAccess(access) {}

    std::optional<TRegValue> QueryValue(const std::u16string& name) const override {
        if (!(FAccess & kKeyQueryValue)) return std::nullopt;
        const auto found = FNode->FindValue(name);
        if (found == FNode->Values.end()) return std::nullopt;
        return found->second;
    }

    TRegResult SetValue(const std::u16string& name, const TRegValue& value) override {
        TRegResult result = WriteRight();
        if (result == kRegSuccess) {
            const auto found = FNode->FindValue(name);
            if (found != FNode->Values.end())
                found->second = value;
            else
                FNode->Values.emplace_back(name, value);
        }
        FStore->Journal.push_back({roSetValue, FRoot, FSubKey, name, value, result});
        return result;
    }

    TRegResult DeleteValue(const std::u16string& name) override {
        TRegResult result = WriteRight();
        if (result == kRegSuccess) {
            const auto found = FNode->FindValue(name);
            if (found != FNode->Values.end())
                FNode->Values.erase(found);
            else
                result = kErrorFileNotFound;
        }
        FStore->Journal.push_back({roDeleteValue, FRoot, FSubKey, name, {}, result});
        return result;
    }

private:
    TRegResult WriteRight() const {
        if (!(FAccess & kKeySetValue) || AnyCovers(FStore->ReadOnly, FRoot, FFolded, FFolded.size()))
            return kErrorAccessDenied;
        return kRegSuccess;
    }

    std::shared_ptr<TMemoryRegistry::TStore> FStore;
    TNode* FNode; // nodes are never removed, so this stays valid as long as the store
    TRootKey FRoot;
    std::u16string FSubKey;
    std::vector<std::u16string> FFolded;
    std::uint32_t FAccess;
};

// Walks (and with `create`, builds) the chain of keys; the common part of CreateKey and OpenKey.
std::unique_ptr<IRegistryKey> Reach(const std::shared_ptr<TMemoryRegistry::TStore>& store, TRootKey root,
                                    const std::u16string& subKey, std::uint32_t access, bool create,
                                    TRegResult* error) {
    auto fail = [error](TRegResult code) -> std::unique_ptr<IRegistryKey> {
        if (error) *error = code;
        return nullptr;
    };
    TNode* node = store->Root(root);
    if (!node) return fail(kErrorInvalidHandle);
    const auto names = SplitPath(subKey);
    if (!names) return fail(kErrorBadPathname);
    const auto folded = FoldAll(*names);
    if (AnyCovers(store->Denied, root, folded, folded.size())) return fail(kErrorAccessDenied);
    for (std::size_t i = 0; i < names->size(); ++i) {
        TNode* next = node->FindSubKey(folded[i]);
        if (!next) {
            if (!create) return fail(kErrorFileNotFound);
            if (AnyCovers(store->ReadOnly, root, folded, i + 1)) return fail(kErrorAccessDenied);
            node->SubKeys.push_back(std::make_unique<TNode>());
            next = node->SubKeys.back().get();
            next->Name = (*names)[i];
        }
        node = next;
    }
    if (error) *error = kRegSuccess;
    return std::make_unique<TMemoryKey>(store, node, root, subKey, folded, access);
}

} // namespace

TMemoryRegistry::TMemoryRegistry() : FStore(std::make_shared<TStore>()) {}

TMemoryRegistry::~TMemoryRegistry() = default;

std::unique_ptr<IRegistryKey> TMemoryRegistry::CreateKey(TRootKey root, const std::u16string& subKey,
                                                         std::uint32_t access, TRegResult* error) {
    return Reach(FStore, root, subKey, access, true, error);
}

std::unique_ptr<IRegistryKey> TMemoryRegistry::OpenKey(TRootKey root, const std::u16string& subKey,
                                                       std::uint32_t access, TRegResult* error) {
    return Reach(FStore, root, subKey, access, false, error);
}

namespace {

TMark MarkOf(TRootKey root, const std::u16string& subKey) {
    const auto names = SplitPath(subKey);
    if (!names) throw std::invalid_argument("registry mark on a malformed key path");
    return {root, FoldAll(*names)};
}

} // namespace

void TMemoryRegistry::DenyAccess(TRootKey root, const std::u16string& subKey) {
    FStore->Denied.push_back(MarkOf(root, subKey));
}

void TMemoryRegistry::MakeReadOnly(TRootKey root, const std::u16string& subKey) {
    FStore->ReadOnly.push_back(MarkOf(root, subKey));
}

bool TMemoryRegistry::KeyExists(TRootKey root, const std::u16string& subKey) const {
    return FStore->Find(root, subKey) != nullptr;
}

std::optional<TRegValue> TMemoryRegistry::Value(TRootKey root, const std::u16string& subKey,
                                                const std::u16string& name) const {
    TNode* node = FStore->Find(root, subKey);
    if (!node) return std::nullopt;
    const auto found = node->FindValue(name);
    if (found == node->Values.end()) return std::nullopt;
    return found->second;
}

std::vector<std::u16string> TMemoryRegistry::ValueNames(TRootKey root, const std::u16string& subKey) const {
    std::vector<std::u16string> names;
    if (const TNode* node = FStore->Find(root, subKey))
        for (const auto& entry : node->Values) names.push_back(entry.first);
    return names;
}

const std::vector<TRegOperation>& TMemoryRegistry::Journal() const {
    return FStore->Journal;
}

void TMemoryRegistry::ClearJournal() {
    FStore->Journal.clear();
}

} // namespace zx
