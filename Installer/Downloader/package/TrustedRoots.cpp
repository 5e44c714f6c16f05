#include "Installer/Downloader/package/TrustedRoots.h"

#include <openssl/pem.h>
#include <openssl/x509.h>

#include <fstream>
#include <iterator>

#include "os/Utf8Path.h"

void TX509StoreFree::operator()(X509_STORE* store) const { X509_STORE_free(store); }

TTrustedRoots TrustedRootsFromFile(const std::string& pemFile) {
    std::ifstream in(Utf8Path(pemFile), std::ios::binary);
    const std::string pem((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (pem.empty()) return nullptr;
    TTrustedRoots store(X509_STORE_new());
    BIO* bio = BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size()));
    int added = 0;
    while (X509* cert = PEM_read_bio_X509(bio, nullptr, nullptr, nullptr)) {
        if (X509_STORE_add_cert(store.get(), cert) == 1) ++added;
        X509_free(cert);
    }
    BIO_free(bio);
    if (added == 0) return nullptr;
    return store;
}

#ifndef _WIN32
TTrustedRoots SystemTrustedRoots() { return TTrustedRoots(X509_STORE_new()); }
#endif
