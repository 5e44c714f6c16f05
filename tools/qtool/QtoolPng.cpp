// qtool png-decode IN.png OUT.pam: the library's PNG decoder on the command line.
// The picture is written as an 8-bit RGBA PAM file (straight alpha, 16-bit samples
// reduced to their high byte), so any image tool can compare it.
#include <fstream>
#include <string>

#include "os/FileBytes.h"
#include "os/Utf8Path.h"
#include "public/rdcontrol/png/PngImage.h"
#include "tools/qtool/QtoolCommands.h"

int PngDecode(const QtoolArgs& args) {
    if (args.size() != 2) throw QtoolError("png-decode needs IN.png and OUT.pam");
    const auto bytes = ReadFileBytes(Utf8Path(args[0]));
    if (!bytes) throw QtoolError("cannot read " + args[0]);
    TPngRgba8 picture;
    try {
        picture = DecodePngToRgba8(
            std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size()));
    } catch (const EPngError& e) {
        throw QtoolError(e.what());  // the decoder's own text
    }
    std::ofstream out(Utf8Path(args[1]), std::ios::binary | std::ios::trunc);
    out << "P7\nWIDTH " << picture.Width << "\nHEIGHT " << picture.Height
        << "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
    out.write(reinterpret_cast<const char*>(picture.Rgba.data()), static_cast<std::streamsize>(picture.Rgba.size()));
    out.close();
    if (!out) throw QtoolError("cannot write " + args[1]);
    return 0;
}
