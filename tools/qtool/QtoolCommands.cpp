#include "tools/qtool/QtoolCommands.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "os/FileBytes.h"
#include "os/Utf8Path.h"
#include "public/rdcontrol/base/TextCodec.h"
#include "public/rdcontrol/base/TextLines.h"
#include "public/rdcontrol/ini/SafeIniFile.h"
#include "services/DataFileCipher.h"
#include "services/RequestSigning.h"

namespace {

constexpr const char* kUsage =
    "usage: qtool ini-get FILE SECTION KEY [DEFAULT]\n"
    "       qtool ini-set FILE SECTION KEY VALUE\n"
    "       qtool kvdt-decrypt FILE\n"
    "       qtool kvdt-encrypt IN OUT\n"
    "       qtool scramble | unscramble | sign-body   (text on standard input)\n"
    "       qtool download [--parts N] [--md5 HEX] [--no-state] URL FILE\n"
    "       qtool png-decode IN.png OUT.pam\n"
    "       qtool base-info [--base-url URL] [--email E] [--timeout S]\n"
    "       qtool post-params URL TEXT\n"
    "       qtool kvdt-get FILE SECTION KEY [DEFAULT]\n"
    "       qtool kvdt-set FILE SECTION KEY VALUE\n"
    "       qtool machine-id | browser-probe\n"
    "       qtool default-browser [OWN_EXE_NAME]\n";

void NeedArgs(const QtoolArgs& args, size_t min, size_t max, const char* command) {
    if (args.size() < min || args.size() > max) throw QtoolError(std::string("wrong number of arguments for ") + command);
}

std::string ReadOrFail(const std::string& file) {
    auto bytes = ReadFileBytes(Utf8Path(file));
    if (!bytes) throw QtoolError("cannot read " + file);
    return *bytes;
}

std::string ReadAll(std::istream& in) {
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteOrFail(const std::string& file, const std::string& bytes) {
    std::ofstream out(Utf8Path(file), std::ios::binary | std::ios::trunc);
    out << bytes;
    out.close();
    if (!out) throw QtoolError("cannot write " + file);
}

std::string AsText(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }
std::span<const std::uint8_t> AsBytes(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

}  // namespace

int IniGet(const QtoolArgs& args, std::ostream& out) {
    NeedArgs(args, 3, 4, "ini-get");
    // Read without the constructor: it would create a missing file.
    TSafeIniFile ini;
    ini.LoadFromString(DecodeText(ReadOrFail(args[0])).utf8);
    out << ini.ReadString(args[1], args[2], args.size() > 3 ? args[3] : "") << '\n';
    return 0;
}

int IniSet(const QtoolArgs& args) {
    NeedArgs(args, 4, 4, "ini-set");
    TSafeIniFile ini(args[0]);
    if (ini.LoadFailed()) throw QtoolError("cannot read " + args[0]);
    ini.WriteString(args[1], args[2], args[3]);
    try {
        ini.UpdateFile();
    } catch (const EIniFileError& e) {
        throw QtoolError(e.what());
    }
    return 0;
}

int KvdtDecrypt(const QtoolArgs& args, std::ostream& out) {
    NeedArgs(args, 1, 1, "kvdt-decrypt");
    const std::string plain = AsText(DecryptData(AsBytes(ReadOrFail(args[0]))));
    // The content is INI text as the INI class writes it: UTF-16 LE with its mark.
    // Anything else means the file is not a data file (or is damaged).
    if (!plain.empty() && plain.rfind("\xFF\xFE", 0) != 0)
        throw QtoolError(args[0] + " is not a data file (no UTF-16 text after decryption)");
    out << DecodeText(plain).utf8;
    return 0;
}

int KvdtEncrypt(const QtoolArgs& args) {
    NeedArgs(args, 2, 2, "kvdt-encrypt");
    TSafeIniFile ini;
    ini.LoadFromString(DecodeText(ReadOrFail(args[0])).utf8);
    std::ostringstream plain;
    ini.SaveToStream(plain);
    WriteOrFail(args[1], AsText(EncryptData(AsBytes(plain.str()))));
    return 0;
}

int Scramble(std::istream& in, std::ostream& out) {
    out << ScrambleText(ReadAll(in));
    return 0;
}

int Unscramble(std::istream& in, std::ostream& out) {
    const std::string input = ReadAll(in);
    const std::string text = UnscrambleText(input);
    if (text.empty() && !TrimBlanks(input).empty()) throw QtoolError("input is not scrambled text (Base64)");
    out << text;
    return 0;
}

int SignBody(std::istream& in, std::ostream& out) {
    out << BuildSignedBody(ReadAll(in));
    return 0;
}

int RunQtool(const QtoolArgs& args, std::istream& in, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        err << kUsage;
        return 2;
    }
    const std::string& command = args[0];
    const QtoolArgs rest(args.begin() + 1, args.end());
    try {
        if (command == "ini-get") return IniGet(rest, out);
        if (command == "ini-set") return IniSet(rest);
        if (command == "kvdt-decrypt") return KvdtDecrypt(rest, out);
        if (command == "kvdt-encrypt") return KvdtEncrypt(rest);
        if (command == "download") return Download(rest, out);
        if (command == "png-decode") return PngDecode(rest);
        if (command == "base-info") return BaseInfo(rest, out);
        if (command == "post-params") return PostParams(rest, out);
        if (command == "kvdt-get") return KvdtGet(rest, out);
        if (command == "kvdt-set") return KvdtSet(rest, out);
        if (command == "machine-id") return MachineId(rest, out);
        if (command == "browser-probe") return BrowserProbe(rest, out);
        if (command == "default-browser") return DefaultBrowser(rest, out);
        if (command == "scramble" || command == "unscramble" || command == "sign-body") {
            if (!rest.empty()) throw QtoolError(command + " takes no arguments (text on standard input)");
            if (command == "scramble") return Scramble(in, out);
            if (command == "unscramble") return Unscramble(in, out);
            return SignBody(in, out);
        }
    } catch (const QtoolError& e) {
        err << "qtool: " << e.what() << '\n';
        return 2;
    }
    err << "qtool: unknown command " << command << '\n' << kUsage;
    return 2;
}
