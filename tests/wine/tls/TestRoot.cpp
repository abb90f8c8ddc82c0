// Puts a throw-away root certificate into the machine's root store of the test prefix, or
// takes it out again, so that the programs' TLS clients trust the TLS peer's certificates.
//   zx_test_root add|remove <certificate file, DER>
// Exit code 0 on success.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/win32/UniqueResource.h"

namespace {

struct TCertStoreTraits {
    using Type = HCERTSTORE;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type store) noexcept { ::CertCloseStore(store, 0); }
};
struct TCertContextTraits {
    using Type = PCCERT_CONTEXT;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type context) noexcept { ::CertFreeCertificateContext(context); }
};

int Fail(const char* what) {
    std::fprintf(stderr, "zx_test_root: %s failed (error %lu)\n", what, ::GetLastError());
    return 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: zx_test_root add|remove <certificate.der>\n");
        return 2;
    }
    const std::wstring action = argv[1];
    std::ifstream file(argv[2], std::ios::binary);
    const std::vector<BYTE> encoded((std::istreambuf_iterator<char>(file)), {});
    if (encoded.empty()) return Fail("reading the certificate");

    const zx::TUniqueResource<TCertStoreTraits> store(
        ::CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"ROOT"));
    if (!store) return Fail("opening the machine's root store");
    if (action == L"add") {
        if (!::CertAddEncodedCertificateToStore(store.get(), X509_ASN_ENCODING, encoded.data(),
                                                static_cast<DWORD>(encoded.size()), CERT_STORE_ADD_REPLACE_EXISTING,
                                                nullptr))
            return Fail("adding the certificate");
        return 0;
    }
    if (action == L"remove") {
        const zx::TUniqueResource<TCertContextTraits> wanted(
            ::CertCreateCertificateContext(X509_ASN_ENCODING, encoded.data(), static_cast<DWORD>(encoded.size())));
        if (!wanted) return Fail("reading the certificate");
        // CertDeleteCertificateFromStore frees the context it is given, on success or not.
        PCCERT_CONTEXT found =
            ::CertFindCertificateInStore(store.get(), X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, wanted.get(), nullptr);
        if (!found) return 0; // nothing to take out
        return ::CertDeleteCertificateFromStore(found) ? 0 : Fail("removing the certificate");
    }
    std::fprintf(stderr, "zx_test_root: unknown action\n");
    return 2;
}
