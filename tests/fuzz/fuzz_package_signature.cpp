// The setup package's signature check on any bytes: the PE headers, the certificate
// table and the PKCS#7 data inside it are hostile input. Nothing may crash or read
// outside the file, and with no trusted root nothing is ever accepted.
#include <openssl/x509.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "Installer/Downloader/package/PackageSignature.h"

namespace {

class TMemoryPackage final : public TLockedPackage {
public:
    TMemoryPackage(const std::uint8_t* data, std::size_t size) : FData(data), FSize(size) {}
    std::string Md5Hex() override { return {}; }
    std::optional<std::uint64_t> Size() override { return FSize; }
    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
        if (offset > FSize || size > FSize - offset) return false;
        std::memcpy(buffer, FData + offset, size);
        return true;
    }

private:
    const std::uint8_t* FData;
    std::size_t FSize;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static X509_STORE* const noRoots = X509_STORE_new();
    static const std::vector<std::string> pins = {std::string(64, '0')};
    TMemoryPackage package(data, size);
    const TSignatureCheck check = CheckPackageSignature(package, noRoots, pins);
    if (check.accepted || check.reason.empty()) std::abort();
    return 0;
}
