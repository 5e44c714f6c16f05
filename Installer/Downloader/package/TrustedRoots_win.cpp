// The machine's trusted roots for the package's signature check, copied from the
// system's certificate stores into an OpenSSL store.
#include "Installer/Downloader/package/TrustedRoots.h"

#include <windows.h>
#include <wincrypt.h>
// wincrypt.h names some of OpenSSL's types as its own macros.
#undef X509_NAME
#undef X509_EXTENSIONS
#undef PKCS7_ISSUER_AND_SERIAL
#undef PKCS7_SIGNER_INFO

#include <openssl/x509.h>

namespace {

void AddStore(X509_STORE* target, const wchar_t* name) {
    HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0,
                                     CERT_SYSTEM_STORE_LOCAL_MACHINE | CERT_STORE_READONLY_FLAG |
                                         CERT_STORE_OPEN_EXISTING_FLAG,
                                     name);
    if (!store) return;  // AuthRoot may not exist (Wine has none)
    PCCERT_CONTEXT cert = nullptr;
    while ((cert = CertEnumCertificatesInStore(store, cert)) != nullptr) {
        const unsigned char* der = cert->pbCertEncoded;
        if (X509* x = d2i_X509(nullptr, &der, static_cast<long>(cert->cbCertEncoded))) {
            X509_STORE_add_cert(target, x);  // a duplicate is refused, and harmless
            X509_free(x);
        }
    }
    CertCloseStore(store, 0);
}

}  // namespace

TTrustedRoots SystemTrustedRoots() {
    TTrustedRoots roots(X509_STORE_new());
    AddStore(roots.get(), L"ROOT");
    AddStore(roots.get(), L"AuthRoot");
    return roots;
}
