#pragma once
// Text encodings of the files the library reads and writes. The portable core
// carries UTF-8; these convert at the edges. Malformed input never fails: invalid
// UTF-8 bytes and unpaired UTF-16 surrogates become U+FFFD.
#include <string>
#include <string_view>

// Appends code point cp (below 0x110000) as UTF-8.
void AppendUtf8(std::string& out, char32_t cp);
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// The system's ANSI code page: on Windows the active code page (GetACP); on other
// systems Windows-1252, the code page of the Western European Windows systems.
std::string AnsiToUtf8(std::string_view ansi);
// Characters the code page cannot represent become '?'.
std::string Utf8ToAnsi(std::string_view utf8);

// Files of text: the encoding a byte-order mark announces.
enum class TextEncoding { Ansi, Utf8, Utf16LE, Utf16BE };

struct DecodedText {
    std::string utf8;
    TextEncoding encoding = TextEncoding::Ansi;
};

// Detects the encoding from the byte-order mark (UTF-8, UTF-16 LE/BE; otherwise the
// system's ANSI code page) and returns the text as UTF-8 without the mark.
DecodedText DecodeText(std::string_view bytes);
// The text in `encoding`, with its byte-order mark (none for Ansi).
std::string EncodeText(std::string_view utf8, TextEncoding encoding);
// Just the byte-order mark of `encoding` ("" for Ansi).
std::string ByteOrderMark(TextEncoding encoding);
