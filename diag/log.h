// The diagnostic log "Log.txt": a stream the whole game writes to, its timestamp and the out-of-memory
// handler. Lines are written as LogTimestamp() + a message beginning with " ||  " + std::endl.
#pragma once

#include <ctime>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

// A text stream onto an appended file. What is written with << is the game's own text, UTF-8 in the
// source: the file gets it as code page 932 bytes with CR LF line ends, as the log has always been
// written. Names taken from content files are already bytes of their own and go in with writeRaw, byte
// for byte. Every flush (std::endl) puts what was written on disk. A closed or failed stream drops
// what is written to it.
class LogStream : public std::ostream {
public:
    LogStream();
    ~LogStream() override;
    LogStream(const LogStream&) = delete;
    LogStream& operator=(const LogStream&) = delete;

    void open(const char* path);  // append mode; sets failbit when the file cannot be opened
    bool is_open() const;
    void close();

    void writeRaw(std::string_view bytes);  // bytes as they are (only line ends become CR LF)
    void writeNow(std::string_view text);   // the game's text, converted, without allocating

private:
    class Buffer;
    Buffer* buffer;
};

extern LogStream g_log;

// Local time as "2026/12/05(Sat) 14:02:32" (English day names whatever the system's language).
std::string LogTimestamp();
std::string FormatTimestamp(const std::tm& local);

// Writes one log line: the timestamp, the message, a line end, and a flush. The message is the game's
// own text; the second form puts a name taken from a file between two pieces of it, byte for byte.
void WriteLogLine(std::string_view message);
void WriteLogLine(std::string_view before, std::string_view name, std::string_view after);

// Writes the end-of-run lines (normal or abnormal end, 96 "=" and an empty line) and closes the log.
void CloseLog(bool abnormal);

// Installed with std::set_new_handler for the whole run.
void OutOfMemoryHandler();
