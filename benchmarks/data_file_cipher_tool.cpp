// Encrypts or decrypts one data file through the stream functions, file to file,
// so data_file_cipher_vs_openssl.sh can time it against `openssl enc` as a whole
// process doing the same work.
//   data_file_cipher_tool enc|dec INPUT OUTPUT
#include <cstdio>
#include <cstring>
#include <fstream>

#include "services/DataFileCipher.h"

int main(int argc, char** argv) {
    if (argc != 4 || (std::strcmp(argv[1], "enc") != 0 && std::strcmp(argv[1], "dec") != 0)) {
        std::fprintf(stderr, "usage: %s enc|dec INPUT OUTPUT\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[2], std::ios::binary);
    std::fstream out(argv[3], std::ios::binary | std::ios::in | std::ios::out | std::ios::trunc);
    if (!in || !out) {
        std::fprintf(stderr, "cannot open %s or %s\n", argv[2], argv[3]);
        return 1;
    }
    const bool ok = std::strcmp(argv[1], "enc") == 0 ? EncryptDataStream(in, out) : DecryptDataStream(in, out);
    return ok ? 0 : 1;
}
