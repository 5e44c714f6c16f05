#include "Installer/Downloader/package/PeSignatureLayout.h"

#include "public/rdcontrol/base/CheckedMath.h"

namespace {

constexpr std::uint16_t kPe32Magic = 0x10b, kPe32PlusMagic = 0x20b;
constexpr std::uint32_t kSecurityDirectory = 4;
constexpr std::uint32_t kSectionHeaderSize = 40;
constexpr std::uint32_t kMaxSections = 96;  // the loader's own limit

class TPeReader {
public:
    TPeReader(const TReadAt& read, std::uint64_t fileSize, std::string& error)
        : FRead(read), FSize(fileSize), FError(error) {}

    bool U16(std::uint64_t offset, std::uint16_t& value) {
        std::uint8_t b[2];
        if (!Bytes(offset, b, sizeof b)) return false;
        value = static_cast<std::uint16_t>(b[0] | b[1] << 8);
        return true;
    }
    bool U32(std::uint64_t offset, std::uint32_t& value) {
        std::uint8_t b[4];
        if (!Bytes(offset, b, sizeof b)) return false;
        value = static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
                static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
        return true;
    }
    bool Bytes(std::uint64_t offset, void* buffer, std::size_t size) {
        const auto end = CheckedAdd<std::uint64_t>(offset, size);
        if (!end || *end > FSize) return Fail("the file ends inside its headers");
        if (!FRead(offset, buffer, size)) return Fail("the file cannot be read");
        return true;
    }
    bool Fail(const std::string& reason) {
        if (FError.empty()) FError = reason;
        return false;
    }

private:
    const TReadAt& FRead;
    std::uint64_t FSize;
    std::string& FError;
};

}  // namespace

std::optional<TPeSignatureLayout> ReadPeSignatureLayout(const TReadAt& read, std::uint64_t fileSize,
                                                        std::string& error) {
    error.clear();
    TPeReader in(read, fileSize, error);
    char mz[2];
    if (!in.Bytes(0, mz, 2) || mz[0] != 'M' || mz[1] != 'Z') {
        in.Fail("no MZ header");
        return std::nullopt;
    }
    std::uint32_t peOffset = 0;
    char signature[4];
    if (!in.U32(0x3c, peOffset) || !in.Bytes(peOffset, signature, 4) ||
        std::string(signature, 4) != std::string("PE\0\0", 4)) {
        in.Fail("no PE header");
        return std::nullopt;
    }
    const std::uint64_t coff = std::uint64_t{peOffset} + 4;
    std::uint16_t sections = 0, optionalSize = 0, magic = 0;
    if (!in.U16(coff + 2, sections) || !in.U16(coff + 16, optionalSize)) return std::nullopt;
    const std::uint64_t optional = coff + 20;
    if (!in.U16(optional, magic)) return std::nullopt;
    if (magic != kPe32Magic && magic != kPe32PlusMagic) {
        in.Fail("an optional header neither PE32 nor PE32+");
        return std::nullopt;
    }
    const bool plus = magic == kPe32PlusMagic;
    const std::uint64_t directoryCountAt = optional + (plus ? 108 : 92);
    const std::uint64_t directories = optional + (plus ? 112 : 96);
    std::uint32_t headersSize = 0, directoryCount = 0;
    if (!in.U32(optional + 60, headersSize) || !in.U32(directoryCountAt, directoryCount)) return std::nullopt;

    TPeSignatureLayout layout;
    layout.fileSize = fileSize;
    layout.checksumOffset = optional + 64;
    layout.certEntryOffset = directories + kSecurityDirectory * 8;
    const std::uint64_t optionalEnd = optional + optionalSize;
    const std::uint64_t sectionTable = optionalEnd;
    const std::uint64_t sectionTableEnd = sectionTable + std::uint64_t{sections} * kSectionHeaderSize;
    if (directoryCount <= kSecurityDirectory || layout.certEntryOffset + 8 > optionalEnd) {
        in.Fail("no certificate table entry in the optional header");
        return std::nullopt;
    }
    if (sections == 0 || sections > kMaxSections) {
        in.Fail("a section count of " + std::to_string(sections));
        return std::nullopt;
    }
    if (sectionTableEnd > headersSize || headersSize > fileSize) {
        in.Fail("headers larger than the file, or section headers outside them");
        return std::nullopt;
    }

    std::uint32_t tableOffset = 0, tableSize = 0;
    if (!in.U32(layout.certEntryOffset, tableOffset) || !in.U32(layout.certEntryOffset + 4, tableSize))
        return std::nullopt;
    if (tableOffset == 0 && tableSize == 0) return layout;  // not signed
    const std::uint64_t tableEnd = std::uint64_t{tableOffset} + tableSize;
    if (tableOffset == 0 || tableSize == 0 || tableOffset % 8 != 0 || tableOffset < headersSize) {
        in.Fail("a certificate table entry that does not place a table after the headers");
        return std::nullopt;
    }
    if (tableEnd > fileSize) {
        in.Fail("a certificate table cut short by the end of the file");
        return std::nullopt;
    }
    if (tableEnd < fileSize) {
        in.Fail(std::to_string(fileSize - tableEnd) + " bytes after the certificate table");
        return std::nullopt;
    }
    for (std::uint64_t at = sectionTable; at < sectionTableEnd; at += kSectionHeaderSize) {
        std::uint32_t rawSize = 0, rawOffset = 0;
        if (!in.U32(at + 16, rawSize) || !in.U32(at + 20, rawOffset)) return std::nullopt;
        if (rawSize != 0 && std::uint64_t{rawOffset} + rawSize > tableOffset) {
            in.Fail("a section whose data reaches into the certificate table");
            return std::nullopt;
        }
    }
    layout.tableOffset = tableOffset;
    layout.tableSize = tableSize;
    return layout;
}
