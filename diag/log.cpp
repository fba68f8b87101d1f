// The log stream, its CP932 / CR LF file encoding, timestamps and the out-of-memory handler.
#include "diag/log.h"

#include <iconv.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>

#include "app/globals.h"

class LogStream::Buffer : public std::streambuf {
public:
    Buffer() = default;
    ~Buffer() override {
        close();
        if (toCp932 != reinterpret_cast<iconv_t>(-1)) iconv_close(toCp932);
    }

    bool open(const char* path) {
        close();
        file = std::fopen(path, "ab");
        if (!file) return false;
        if (toCp932 == reinterpret_cast<iconv_t>(-1)) toCp932 = iconv_open("CP932", "UTF-8");
        return true;
    }
    bool isOpen() const { return file != nullptr; }
    void close() {
        if (!file) return;
        sync();
        std::fclose(file);
        file = nullptr;
        pending.clear();
    }

protected:
    int_type overflow(int_type ch) override {
        if (ch == traits_type::eof()) return traits_type::not_eof(ch);
        if (file) pending.push_back(static_cast<char>(ch));
        return ch;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        if (file) pending.append(s, static_cast<size_t>(n));
        return n;
    }
    int sync() override {
        if (!file) return 0;
        // Keep an incomplete UTF-8 sequence at the end for the next flush.
        size_t complete = pending.size();
        size_t back = 0;
        while (back < 4 && back < complete && (static_cast<unsigned char>(pending[complete - 1 - back]) & 0xC0) == 0x80)
            ++back;
        if (back < complete) {
            unsigned char lead = static_cast<unsigned char>(pending[complete - 1 - back]);
            size_t need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
            if (need > back + 1) complete -= back + 1;
        }
        std::string out = encode(pending.substr(0, complete));
        pending.erase(0, complete);
        std::fwrite(out.data(), 1, out.size(), file);
        std::fflush(file);
        return 0;
    }

private:
    std::string encode(const std::string& utf8) {
        std::string out;
        out.reserve(utf8.size() + 8);
        size_t i = 0;
        while (i < utf8.size()) {
            unsigned char c = static_cast<unsigned char>(utf8[i]);
            if (c < 0x80) {
                if (c == '\n') out.push_back('\r');
                out.push_back(static_cast<char>(c));
                ++i;
                continue;
            }
            size_t len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
            bool wellFormed = len > 1 && c < 0xF8 && i + len <= utf8.size();
            for (size_t k = 1; wellFormed && k < len; ++k)
                wellFormed = (static_cast<unsigned char>(utf8[i + k]) & 0xC0) == 0x80;
            if (!wellFormed) {
                // Not UTF-8: bytes that came from a file (a name in code page 932 already) go out as they are.
                out.push_back(static_cast<char>(c));
                ++i;
                continue;
            }
            char in[4];
            std::memcpy(in, utf8.data() + i, len);
            char converted[8];
            char* inPtr = in;
            size_t inLeft = len;
            char* outPtr = converted;
            size_t outLeft = sizeof converted;
            bool ok = toCp932 != reinterpret_cast<iconv_t>(-1) &&
                      iconv(toCp932, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1) && inLeft == 0;
            if (ok)
                out.append(converted, sizeof converted - outLeft);
            else
                out.push_back('?');  // not representable in code page 932
            if (toCp932 != reinterpret_cast<iconv_t>(-1)) iconv(toCp932, nullptr, nullptr, nullptr, nullptr);
            i += len;
        }
        return out;
    }

    std::FILE* file = nullptr;
    iconv_t toCp932 = reinterpret_cast<iconv_t>(-1);
    std::string pending;
};

LogStream::LogStream() : std::ostream(nullptr), buffer(new Buffer()) {
    rdbuf(buffer);
    setstate(std::ios::badbit);  // closed until opened
}

LogStream::~LogStream() {
    buffer->close();
    delete buffer;
}

void LogStream::open(const char* path) {
    if (buffer->open(path))
        clear();
    else
        setstate(std::ios::failbit);
}

bool LogStream::is_open() const { return buffer->isOpen(); }

void LogStream::close() {
    if (!buffer->isOpen()) {
        setstate(std::ios::failbit);
        return;
    }
    buffer->close();
    setstate(std::ios::badbit);
}

LogStream g_log;

std::string FormatTimestamp(const std::tm& local) {
    char text[256];
    // Formatted in the classic "C" locale: the program never sets one, so day names stay English.
    size_t n = std::strftime(text, 255, "%Y/%m/%d(%a) %H:%M:%S", &local);
    return std::string(text, n);
}

std::string LogTimestamp() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return FormatTimestamp(local);
}

void WriteLogLine(const std::string& message) { g_log << LogTimestamp() << message << std::endl; }

void CloseLog(bool abnormal) {
    WriteLogLine(abnormal ? " ||  異常終了" : " ||  正常終了");
    g_log << std::string(96, '=') << std::endl << std::endl;
    g_log.close();
}

namespace {
// Set aside at start so that the handler itself can still write its line and show its box.
void* memoryReserve = std::malloc(256 * 1024);
}  // namespace

void OutOfMemoryHandler() {
    std::free(memoryReserve);
    memoryReserve = nullptr;
    g_fatalError = true;
    WriteLogLine(" ||  メモリ確保に失敗しました");
    MessageBoxA(nullptr, "メモリ確保に失敗しました", "Error", MB_OK);
    // Retrying the allocation would only fail again: end the run here, with its end lines in the log.
    CloseLog(true);
    std::_Exit(1);
}
