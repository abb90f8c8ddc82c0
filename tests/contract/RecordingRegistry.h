// A registry that passes every call on to another and records each value change with
// the way its key was opened, so a test can check the exact steps code under test takes
// against any registry, the Win32 one included.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "platform/memory/MemoryRegistry.h"

namespace zx::test {

struct TRecordedStep {
    TRegOperationKind Kind = roSetValue;
    TRootKey Root = 0;
    std::u16string Key;
    std::uint32_t Access = 0; // the rights the key was opened with
    bool Created = false;     // opened through CreateKey (create-if-missing)
    std::u16string Name;
    TRegValue Value; // roSetValue only

    bool operator==(const TRecordedStep&) const = default;
};

inline void PrintTo(const TRecordedStep& step, std::ostream* out) {
    *out << (step.Kind == roSetValue ? "set " : "delete ") << std::hex << step.Root << "\\";
    for (const char16_t c : step.Key) *out << (c < 0x80 ? static_cast<char>(c) : '?');
    *out << " [access " << step.Access << (step.Created ? ", create" : ", open") << "] ";
    for (const char16_t c : step.Name) *out << (c < 0x80 ? static_cast<char>(c) : '?');
    if (step.Kind == roSetValue) {
        *out << " type " << std::dec << step.Value.Type << " bytes";
        for (const auto b : step.Value.Data) *out << ' ' << std::hex << static_cast<int>(b);
    }
    *out << std::dec;
}

class TRecordingRegistry final : public IRegistry {
public:
    explicit TRecordingRegistry(IRegistry& inner) : FInner(inner) {}

    std::unique_ptr<IRegistryKey> CreateKey(TRootKey root, const std::u16string& subKey, std::uint32_t access,
                                            TRegResult* error = nullptr) override {
        return Wrap(FInner.CreateKey(root, subKey, access, error), {roSetValue, root, subKey, access, true, {}, {}});
    }
    std::unique_ptr<IRegistryKey> OpenKey(TRootKey root, const std::u16string& subKey, std::uint32_t access,
                                          TRegResult* error = nullptr) override {
        return Wrap(FInner.OpenKey(root, subKey, access, error), {roSetValue, root, subKey, access, false, {}, {}});
    }

    const std::vector<TRecordedStep>& Steps() const { return *FSteps; }
    void Clear() { FSteps->clear(); }

private:
    class TKey final : public IRegistryKey {
    public:
        TKey(std::unique_ptr<IRegistryKey> inner, TRecordedStep opening,
             std::shared_ptr<std::vector<TRecordedStep>> steps)
            : FInner(std::move(inner)), FOpening(std::move(opening)), FSteps(std::move(steps)) {}

        std::optional<TRegValue> QueryValue(const std::u16string& name) const override {
            return FInner->QueryValue(name);
        }
        TRegResult SetValue(const std::u16string& name, const TRegValue& value) override {
            Record(roSetValue, name, value);
            return FInner->SetValue(name, value);
        }
        TRegResult DeleteValue(const std::u16string& name) override {
            Record(roDeleteValue, name, {});
            return FInner->DeleteValue(name);
        }

    private:
        void Record(TRegOperationKind kind, const std::u16string& name, const TRegValue& value) {
            TRecordedStep step = FOpening;
            step.Kind = kind;
            step.Name = name;
            step.Value = value;
            FSteps->push_back(std::move(step));
        }

        std::unique_ptr<IRegistryKey> FInner;
        TRecordedStep FOpening;
        std::shared_ptr<std::vector<TRecordedStep>> FSteps;
    };

    std::unique_ptr<IRegistryKey> Wrap(std::unique_ptr<IRegistryKey> key, TRecordedStep opening) {
        if (!key) return nullptr;
        return std::make_unique<TKey>(std::move(key), std::move(opening), FSteps);
    }

    IRegistry& FInner;
    std::shared_ptr<std::vector<TRecordedStep>> FSteps = std::make_shared<std::vector<TRecordedStep>>();
};

} // namespace zx::test
