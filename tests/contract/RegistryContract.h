// The rules every IRegistry implementation keeps, run against the in-memory registry
// natively and against the Win32 registry under Wine. Include in exactly one source of
// a test program and instantiate RegistryContract with the backends to check.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "platform/PlatformError.h"
#include "platform/Registry.h"

namespace zx::test {

// A registry with a scratch key that does not exist when the scratch is made and is
// removed when it is destroyed.
class TRegistryScratch {
public:
    virtual ~TRegistryScratch() = default;
    virtual IRegistry& Registry() = 0;
    virtual TRootKey Root() const = 0;
    virtual std::u16string Base() const = 0;         // the scratch key's path below Root()
    virtual std::uint32_t View() const { return 0; } // extra access bits, e.g. kKeyWow64Key64
    // Takes away the right to change the existing key `below` the scratch key (and, where
    // the registry allows it, the right to read it).
    virtual void Lock(const std::u16string& below) = 0;
};

struct TRegistryBackend {
    std::string Name;
    std::function<std::unique_ptr<TRegistryScratch>()> Make;
};

inline void PrintTo(const TRegistryBackend& backend, std::ostream* out) {
    *out << backend.Name;
}

inline std::string BackendName(const ::testing::TestParamInfo<TRegistryBackend>& info) {
    return info.param.Name;
}

class RegistryContract : public ::testing::TestWithParam<TRegistryBackend> {
protected:
    void SetUp() override { FScratch = GetParam().Make(); }

    std::u16string Path(const std::u16string& below) const { return FScratch->Base() + u"\\" + below; }
    std::unique_ptr<IRegistryKey> Create(const std::u16string& below, std::uint32_t access = kKeyAllAccess,
                                         TRegResult* error = nullptr) {
        return FScratch->Registry().CreateKey(FScratch->Root(), Path(below), access | FScratch->View(), error);
    }
    std::unique_ptr<IRegistryKey> Open(const std::u16string& below, std::uint32_t access = kKeyAllAccess,
                                       TRegResult* error = nullptr) {
        return FScratch->Registry().OpenKey(FScratch->Root(), Path(below), access | FScratch->View(), error);
    }

    std::unique_ptr<TRegistryScratch> FScratch;
};

TEST_P(RegistryContract, CreateKeyBuildsTheWholeChainAndOpenKeyFindsOnlyExistingKeys) {
    TRegResult error = 12345;
    EXPECT_FALSE(Open(u"A", kKeyRead, &error));
    EXPECT_EQ(error, kErrorFileNotFound);

    error = 12345;
    ASSERT_TRUE(Create(u"A\\B\\C", kKeyAllAccess, &error));
    EXPECT_EQ(error, kRegSuccess);
    for (const char16_t* below : {u"A", u"A\\B", u"A\\B\\C"}) EXPECT_TRUE(Open(below, kKeyRead));
    EXPECT_FALSE(Open(u"A\\B\\C\\D", kKeyRead));
    EXPECT_FALSE(Open(u"A\\C", kKeyRead));

    // Creating an existing key opens it: a value set through one handle is seen through the other.
    auto first = Create(u"A\\B");
    auto second = Create(u"A\\B");
    ASSERT_TRUE(first && second);
    ASSERT_EQ(first->SetDword(u"Shared", 7), kRegSuccess);
    EXPECT_EQ(second->QueryValue(u"Shared"), DwordValue(7));
}

TEST_P(RegistryContract, KeyNamesIgnoreLetterCase) {
    ASSERT_TRUE(Create(u"Mixed\\Case\\Été\\Ключ"));
    for (const char16_t* spelling : {u"MIXED\\case\\ÉTÉ\\КЛЮЧ", u"mixed\\CASE\\été\\ключ"}) {
        EXPECT_TRUE(Open(spelling, kKeyRead));
    }
    // Creating with another spelling opens the existing key instead of making a second one.
    auto upper = Create(u"MIXED\\CASE");
    ASSERT_TRUE(upper);
    ASSERT_EQ(upper->SetDword(u"v", 1), kRegSuccess);
    auto lower = Open(u"mixed\\case", kKeyRead);
    ASSERT_TRUE(lower);
    EXPECT_TRUE(lower->QueryValue(u"v"));
}

TEST_P(RegistryContract, ValueNamesIgnoreLetterCase) {
    auto key = Create(u"Names");
    ASSERT_TRUE(key);
    struct Case {
        std::u16string written, replacedAs, readAs;
    };
    const Case cases[] = {
        {u"TCPNoDelay", u"tcpnodelay", u"TcpNoDelay"},
        {u"status", u"STATUS", u"Status"},
        {u"Größe", u"GRößE", u"größe"},
        {u"Ключ", u"КЛЮЧ", u"ключ"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(key->SetDword(c.written, 1), kRegSuccess);
        ASSERT_EQ(key->SetDword(c.replacedAs, 2), kRegSuccess); // replaces, does not add
        EXPECT_EQ(key->QueryValue(c.readAs), DwordValue(2));
        ASSERT_EQ(key->DeleteValue(c.readAs), kRegSuccess);
        EXPECT_FALSE(key->QueryValue(c.written)) << "a second value was made beside the first";
    }
}

TEST_P(RegistryContract, TypesAndBytesAreKeptExactly) {
    auto key = Create(u"Types");
    ASSERT_TRUE(key);
    const TRegValue values[] = {
        DwordValue(0),
        DwordValue(0xFFFFFFFF),
        DwordValue(0x12345678),
        StringValue(u"Zephyrix"),
        StringValue(u""),
        StringValue(u"%SystemRoot%\\x", kRegExpandSz),
        {kRegBinary, {0x00, 0xFF, 0x00, 0x10}},
        {kRegBinary, {}},
        {kRegMultiSz, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}},
        {kRegQword, {1, 2, 3, 4, 5, 6, 7, 8}},
        {kRegDword, {1, 2}},        // short DWORD: stored as given
        {kRegSz, {'a', 0, 'b', 0}}, // string without its NUL: stored as given
        {kRegNone, {9}},
    };
    for (const auto& value : values) {
        ASSERT_EQ(key->SetValue(u"v", value), kRegSuccess); // also replaces the previous type
        EXPECT_EQ(key->QueryValue(u"v"), value) << "type " << value.Type << ", " << value.Data.size() << " bytes";
    }
    ASSERT_EQ(key->SetString(u"", u"default value"), kRegSuccess);
    EXPECT_EQ(key->QueryValue(u""), StringValue(u"default value"));
    EXPECT_EQ(key->QueryValue(u"v"), (TRegValue{kRegNone, {9}}));
}

TEST_P(RegistryContract, DeleteRemovesTheValueAndReportsAMissingOne) {
    auto key = Create(u"Delete");
    ASSERT_TRUE(key);
    ASSERT_EQ(key->SetDword(u"gone", 1), kRegSuccess);
    ASSERT_EQ(key->SetDword(u"kept", 2), kRegSuccess);
    EXPECT_EQ(key->DeleteValue(u"gone"), kRegSuccess);
    EXPECT_FALSE(key->QueryValue(u"gone"));
    EXPECT_EQ(key->QueryValue(u"kept"), DwordValue(2));
    EXPECT_EQ(key->DeleteValue(u"gone"), kErrorFileNotFound);
    EXPECT_EQ(key->DeleteValue(u"never"), kErrorFileNotFound);
}

TEST_P(RegistryContract, ValueOperationsNeedTheRightsTheKeyWasOpenedWith) {
    ASSERT_TRUE(Create(u"Rights"));
    {
        auto writer = Create(u"Rights");
        ASSERT_EQ(writer->SetDword(u"v", 3), kRegSuccess);
    }
    auto reader = Open(u"Rights", kKeyRead);
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->QueryValue(u"v"), DwordValue(3));
    EXPECT_EQ(reader->SetDword(u"v", 4), kErrorAccessDenied);
    EXPECT_EQ(reader->DeleteValue(u"v"), kErrorAccessDenied);

    auto writer = Open(u"Rights", kKeySetValue);
    ASSERT_TRUE(writer);
    EXPECT_FALSE(writer->QueryValue(u"v")); // no right to query: reads as absent
    EXPECT_EQ(writer->SetDword(u"v", 5), kRegSuccess);
    EXPECT_EQ(reader->QueryValue(u"v"), DwordValue(5));
}

TEST_P(RegistryContract, UnknownRootsFail) {
    for (const TRootKey root : {TRootKey{0}, TRootKey{0x80000010}, TRootKey{0x7FFFFFFF}}) {
        TRegResult error = kRegSuccess;
        EXPECT_FALSE(FScratch->Registry().CreateKey(root, Path(u"X"), kKeyAllAccess | FScratch->View(), &error));
        EXPECT_EQ(error, kErrorInvalidHandle);
        error = kRegSuccess;
        EXPECT_FALSE(FScratch->Registry().OpenKey(root, Path(u"X"), kKeyRead | FScratch->View(), &error));
        EXPECT_EQ(error, kErrorInvalidHandle);
    }
    EXPECT_FALSE(Open(u"X", kKeyRead));
}

TEST_P(RegistryContract, ALeadingBackslashIsRefusedWhileTrailingAndDoubledOnesAreIgnored) {
    auto key = Create(u"Spelled\\Key");
    ASSERT_TRUE(key);
    ASSERT_EQ(key->SetDword(u"v", 1), kRegSuccess);
    for (const char16_t* spelling : {u"Spelled\\Key\\", u"Spelled\\\\Key"}) {
        auto same = Open(spelling, kKeyRead);
        ASSERT_TRUE(same);
        EXPECT_EQ(same->QueryValue(u"v"), DwordValue(1));
    }
    ASSERT_TRUE(Create(u"Spelled\\\\Other\\"));
    EXPECT_TRUE(Open(u"Spelled\\Other", kKeyRead));

    TRegResult error = kRegSuccess;
    EXPECT_FALSE(FScratch->Registry().CreateKey(FScratch->Root(), u"\\" + Path(u"Lead"),
                                                kKeyAllAccess | FScratch->View(), &error));
    EXPECT_EQ(error, kErrorBadPathname);
    EXPECT_FALSE(Open(u"Lead", kKeyRead));
}

TEST_P(RegistryContract, ALockedKeyCannotBeOpenedForChangesButOpenHandlesKeepTheirRights) {
    auto before = Create(u"Locked");
    ASSERT_TRUE(before);
    ASSERT_EQ(before->SetDword(u"v", 1), kRegSuccess);
    FScratch->Lock(u"Locked");

    TRegResult error = kRegSuccess;
    EXPECT_FALSE(Create(u"Locked", kKeyAllAccess, &error));
    EXPECT_EQ(error, kErrorAccessDenied);
    error = kRegSuccess;
    EXPECT_FALSE(Open(u"Locked", kKeyWrite, &error));
    EXPECT_EQ(error, kErrorAccessDenied);

    EXPECT_EQ(before->SetDword(u"v", 2), kRegSuccess);
    EXPECT_EQ(before->QueryValue(u"v"), DwordValue(2));
}

} // namespace zx::test
