#pragma once
// The certificate authorities a package's signature must chain to, as an OpenSSL
// store. The seam between the portable check and the system: on Windows the
// machine's trusted roots; in tests a file of theirs.
#include <openssl/types.h>

#include <memory>
#include <string>

struct TX509StoreFree {
    void operator()(X509_STORE* store) const;
};
using TTrustedRoots = std::unique_ptr<X509_STORE, TX509StoreFree>;

// Windows: the local machine's "ROOT" and "AuthRoot" stores (TrustedRoots_win.cpp),
// which only administrators can change. Not the current user's view of them
// (CertOpenSystemStore(0, "ROOT")): it adds the roots a user put into HKCU, and a
// standard user must not decide what the elevated installer runs. Elsewhere: an
// empty store (nothing is trusted unless a test names its authority).
TTrustedRoots SystemTrustedRoots();

// The certificates of a PEM file; nullptr when it holds none or cannot be read.
TTrustedRoots TrustedRootsFromFile(const std::string& pemFile);
