#include "Installer/Downloader/LockedPackage.h"

#include <fstream>
#include <vector>

#include "os/Utf8Path.h"
#include "services/Md5.h"

namespace {

class TStreamPackage final : public TLockedPackage {
public:
    explicit TStreamPackage(std::ifstream in) : FIn(std::move(in)) {}

    std::string Md5Hex() override {
        FIn.clear();
        FIn.seekg(0);
        TMd5 md5;
        std::vector<char> block(1 << 20);
        while (FIn) {
            FIn.read(block.data(), static_cast<std::streamsize>(block.size()));
            const auto got = static_cast<size_t>(FIn.gcount());
            if (got == 0) break;
            md5.Update({reinterpret_cast<const std::uint8_t*>(block.data()), got});
        }
        if (FIn.bad()) return {};
        return md5.HexDigest();
    }

private:
    std::ifstream FIn;
};

}  // namespace

std::unique_ptr<TLockedPackage> HoldFileForReading(const std::string& file) {
    std::ifstream in(Utf8Path(file), std::ios::binary);
    if (!in) return nullptr;
    return std::make_unique<TStreamPackage>(std::move(in));
}
