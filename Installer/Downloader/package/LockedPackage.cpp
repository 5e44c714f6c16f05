#include "Installer/Downloader/package/LockedPackage.h"

#include <fstream>
#include <limits>
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

    std::optional<std::uint64_t> Size() override {
        FIn.clear();
        FIn.seekg(0, std::ios::end);
        const std::streamoff end = FIn.tellg();
        if (!FIn || end < 0) return std::nullopt;
        return static_cast<std::uint64_t>(end);
    }

    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
        if (offset > static_cast<std::uint64_t>(std::numeric_limits<std::streamoff>::max())) return false;
        FIn.clear();
        FIn.seekg(static_cast<std::streamoff>(offset));
        if (!FIn) return false;
        FIn.read(static_cast<char*>(buffer), static_cast<std::streamsize>(size));
        return static_cast<std::size_t>(FIn.gcount()) == size;
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
