// trustca CA.pem: adds a certificate authority to the machine's trusted root store,
// as an administrator would, so that the program under test (which verifies TLS
// against the system store) trusts the test servers' certificates. For the throwaway
// test prefix only.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: trustca CA.pem\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string pem((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    DWORD size = 0;
    if (pem.empty() || !CryptStringToBinaryA(pem.c_str(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER,
                                             nullptr, &size, nullptr, nullptr)) {
        std::fprintf(stderr, "trustca: not a PEM certificate\n");
        return 2;
    }
    std::vector<BYTE> der(size);
    CryptStringToBinaryA(pem.c_str(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER, der.data(), &size,
                         nullptr, nullptr);
    HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"ROOT");
    if (!store) {
        std::fprintf(stderr, "trustca: cannot open the root store (%lu)\n", GetLastError());
        return 1;
    }
    const BOOL ok = CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, der.data(), size,
                                                     CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
    CertCloseStore(store, 0);
    if (!ok) {
        std::fprintf(stderr, "trustca: cannot add the certificate (%lu)\n", GetLastError());
        return 1;
    }
    return 0;
}
