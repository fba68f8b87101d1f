// MultiByteToWideChar and WideCharToMultiByte for UTF-8 and code page 932, over glibc's iconv. glibc's
// "CP932" is Windows' table (0x8160 is U+301C there, where "SHIFT_JIS" gives U+FF5E).
#include <iconv.h>

#include <cstring>
#include <vector>

#include "win32/internal.h"

namespace {

const char* iconvName(UINT codePage) {
    if (codePage == CP_UTF8) return "UTF-8";
    if (codePage == 932) return "CP932";
    return nullptr;
}

// The converters are opened once, when the program starts, so that later conversions (the log's, even
// while memory runs out) allocate nothing.
struct Converters {
    iconv_t toWide[2], fromWide[2];
    Converters() {
        const UINT pages[2] = {CP_UTF8, 932};
        for (int i = 0; i < 2; ++i) {
            toWide[i] = iconv_open("UTF-16LE", iconvName(pages[i]));
            fromWide[i] = iconv_open(iconvName(pages[i]), "UTF-16LE");
        }
    }
    ~Converters() {
        for (int i = 0; i < 2; ++i) {
            if (toWide[i] != reinterpret_cast<iconv_t>(-1)) iconv_close(toWide[i]);
            if (fromWide[i] != reinterpret_cast<iconv_t>(-1)) iconv_close(fromWide[i]);
        }
    }
    iconv_t pick(iconv_t (&set)[2], UINT codePage) const {
        if (codePage == CP_UTF8) return set[0];
        if (codePage == 932) return set[1];
        return reinterpret_cast<iconv_t>(-1);
    }
};
Converters converters;

// Converts `in` whole; false when iconv stops on a sequence it cannot take or the output is full.
bool convert(iconv_t cd, const char* in, size_t inBytes, char* out, size_t outBytes, size_t& written) {
    char* inPtr = const_cast<char*>(in);
    char* outPtr = out;
    size_t outLeft = outBytes;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    bool ok = iconv(cd, &inPtr, &inBytes, &outPtr, &outLeft) != static_cast<size_t>(-1) && inBytes == 0;
    written = outBytes - outLeft;
    return ok;
}

}  // namespace

extern "C" int WINAPI MultiByteToWideChar(UINT codePage, DWORD, LPCSTR text, int length, LPWSTR wide,
                                          int wideLength) {
    iconv_t cd = converters.pick(converters.toWide, codePage);
    if (!text || cd == reinterpret_cast<iconv_t>(-1) || wideLength < 0) return 0;
    size_t bytes = length < 0 ? std::strlen(text) + 1 : static_cast<size_t>(length);
    size_t written = 0;
    if (wideLength > 0)
        // Straight into the caller's buffer: iconv stops when it is full, and the call fails as on Windows.
        return convert(cd, text, bytes, reinterpret_cast<char*>(wide), static_cast<size_t>(wideLength) * 2, written)
                   ? static_cast<int>(written / 2)
                   : 0;
    // Every byte gives at most one UTF-16 unit (four UTF-8 bytes give a pair).
    std::vector<char16_t> scratch(bytes + 1);
    if (!convert(cd, text, bytes, reinterpret_cast<char*>(scratch.data()), scratch.size() * 2, written)) return 0;
    return static_cast<int>(written / 2);
}

extern "C" int WINAPI WideCharToMultiByte(UINT codePage, DWORD, LPCWSTR wide, int wideLength, LPSTR text, int length,
                                          LPCSTR defaultChar, BOOL* usedDefaultChar) {
    iconv_t cd = converters.pick(converters.fromWide, codePage);
    if (usedDefaultChar) *usedDefaultChar = FALSE;
    if (!wide || cd == reinterpret_cast<iconv_t>(-1) || length < 0) return 0;
    size_t units = 0;
    if (wideLength < 0)
        while (wide[units++] != 0) {
        }
    else
        units = static_cast<size_t>(wideLength);
    // One character (a unit or a surrogate pair) at a time, so that one the code page lacks becomes
    // the default character, as Windows does. Without a buffer the bytes are only counted.
    char scratch[8];
    size_t total = 0;
    for (size_t i = 0; i < units;) {
        size_t take = (wide[i] >= 0xD800 && wide[i] < 0xDC00 && i + 1 < units) ? 2 : 1;
        size_t written = 0;
        if (!convert(cd, reinterpret_cast<const char*>(wide + i), take * 2, scratch, sizeof scratch, written)) {
            scratch[0] = defaultChar ? defaultChar[0] : '?';
            written = 1;
            if (usedDefaultChar) *usedDefaultChar = TRUE;
        }
        if (length > 0) {
            if (total + written > static_cast<size_t>(length)) return 0;
            std::memcpy(text + total, scratch, written);
        }
        total += written;
        i += take;
    }
    return static_cast<int>(total);
}
