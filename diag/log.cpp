// The log stream, its CP932 / CR LF file encoding, timestamps and the out-of-memory handler.
#include "diag/log.h"

#include <crt_stdio.h>
#include <crt_time.h>
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
    ~Buffer() override { close(); }

    bool open(const char* path) {
        close();
        return fopen_s(&file, path, "ab") == 0;
    }
    bool isOpen() const { return file != nullptr; }
    void close() {
        if (!file) return;
        sync();
        std::fclose(file);
        file = nullptr;
        pending.clear();
    }
    // Straight to the file after the text written before: bytes as they are (line ends aside), or the
    // game's own text converted. Neither allocates.
    void writeRaw(const char* bytes, size_t n) {
        if (!file) return;
        encode(pending.data(), pending.size());
        pending.clear();
        for (size_t i = 0; i < n; ++i) {
            if (bytes[i] == '\n') std::fputc('\r', file);
            std::fputc(bytes[i], file);
        }
    }
    void writeText(const char* utf8, size_t n) {
        if (!file) return;
        encode(pending.data(), pending.size());
        pending.clear();
        encode(utf8, n);
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
        encode(pending.data(), complete);
        pending.erase(0, complete);
        std::fflush(file);
        return 0;
    }

private:
    // The game's own UTF-8 text to the file in code page 932, one character at a time; allocates nothing.
    void encode(const char* utf8, size_t n) {
        size_t i = 0;
        while (i < n) {
            unsigned char c = static_cast<unsigned char>(utf8[i]);
            if (c < 0x80) {
                if (c == '\n') std::fputc('\r', file);
                std::fputc(c, file);
                ++i;
                continue;
            }
            size_t len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
            bool wellFormed = len > 1 && c < 0xF8 && i + len <= n;
            for (size_t k = 1; wellFormed && k < len; ++k)
                wellFormed = (static_cast<unsigned char>(utf8[i + k]) & 0xC0) == 0x80;
            if (!wellFormed) {
                std::fputc('?', file);  // not UTF-8: the game's texts never hold such bytes
                ++i;
                continue;
            }
            WCHAR wide[2];
            int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8 + i, static_cast<int>(len), wide, 2);
            char converted[8];
            BOOL usedDefault = FALSE;
            int bytes = units > 0 ? WideCharToMultiByte(kCodePage932, WC_NO_BEST_FIT_CHARS, wide, units, converted,
                                                        sizeof converted, nullptr, &usedDefault)
                                  : 0;
            if (bytes > 0 && !usedDefault)
                std::fwrite(converted, 1, static_cast<size_t>(bytes), file);
            else
                std::fputc('?', file);  // not representable in code page 932
            i += len;
        }
    }

    static constexpr UINT kCodePage932 = 932;
    std::FILE* file = nullptr;
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

void LogStream::writeRaw(std::string_view bytes) { buffer->writeRaw(bytes.data(), bytes.size()); }

void LogStream::writeNow(std::string_view text) { buffer->writeText(text.data(), text.size()); }

void LogStream::close() {
    if (!buffer->isOpen()) {
        setstate(std::ios::failbit);
        return;
    }
    buffer->close();
    setstate(std::ios::badbit);
}

LogStream g_log;

namespace {
// Into a buffer of the caller's, so that the out-of-memory handler can use it. Formatted in the classic
// "C" locale: the program never sets one, so day names stay English.
void FormatInto(const std::tm& local, char (&text)[256]) {
    text[std::strftime(text, 255, "%Y/%m/%d(%a) %H:%M:%S", &local)] = '\0';
}

void FormatNow(char (&text)[256]) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_s(&local, &now);
    FormatInto(local, text);
}

// One line of the game's own text, written without allocating.
void WriteFixedLine(const char* message) {
    char timestamp[256];
    FormatNow(timestamp);
    g_log.writeNow(timestamp);
    g_log.writeNow(message);
    g_log.writeNow("\n");
    g_log.flush();
}
}  // namespace

std::string FormatTimestamp(const std::tm& local) {
    char text[256];
    FormatInto(local, text);
    return text;
}

std::string LogTimestamp() {
    char text[256];
    FormatNow(text);
    return text;
}

void WriteLogLine(std::string_view message) { g_log << LogTimestamp() << message << std::endl; }

void WriteLogLine(std::string_view before, std::string_view name, std::string_view after) {
    g_log << LogTimestamp() << before;
    g_log.writeRaw(name);
    g_log << after << std::endl;
}

void CloseLog(bool abnormal) {
    WriteFixedLine(abnormal ? " ||  異常終了" : " ||  正常終了");
    static const char kSeparator[] =
        "================================================================================================";
    static_assert(sizeof kSeparator == 97);
    g_log.writeNow(kSeparator);
    g_log.writeNow("\n\n");
    g_log.flush();
    g_log.close();
}

namespace {
// Set aside at start so that the handler itself can still show its box.
void* memoryReserve = std::malloc(256 * 1024);
}  // namespace

void OutOfMemoryHandler() {
    // The first failure logs and shows; if the box's own allocations fail too, the handler is called
    // again and goes straight on to the end. Its log lines allocate nothing.
    static bool reported = false;
    if (!reported) {
        reported = true;
        std::free(memoryReserve);
        memoryReserve = nullptr;
        g_fatalError = true;
        WriteFixedLine(" ||  メモリ確保に失敗しました");
        MessageBoxA(nullptr, "メモリ確保に失敗しました", "Error", MB_OK);
    }
    // Retrying the allocation would only fail again: end the run here, with its end lines in the log.
    CloseLog(true);
    std::_Exit(1);
}
