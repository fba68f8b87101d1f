// localtime_s: localtime_r in Windows' argument order.
#include <crt_time.h>

#include <cerrno>

errno_t localtime_s(std::tm* result, const std::time_t* time) {
    if (!result || !time) return EINVAL;
    std::tm local;
    if (!localtime_r(time, &local)) return EINVAL;
    *result = local;
    return 0;
}
