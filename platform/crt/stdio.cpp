// fopen_s: fopen that refuses folders.
#include <crt_stdio.h>
#include <sys/stat.h>

#include <cerrno>

errno_t fopen_s(std::FILE** stream, const char* path, const char* mode) {
    if (!stream) return EINVAL;
    *stream = nullptr;
    if (!path || !mode) return EINVAL;
    std::FILE* file = std::fopen(path, mode);
    if (!file) return errno ? errno : ENOENT;
    struct stat info;
    if (fstat(fileno(file), &info) == 0 && S_ISDIR(info.st_mode)) {
        std::fclose(file);
        return EISDIR;
    }
    *stream = file;
    return 0;
}
