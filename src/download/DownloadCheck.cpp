#include "DownloadCheck.h"

bool IsWholeDownload(uint32_t httpStatus, uint64_t fileSize, uint32_t announcedMax) {
    if (httpStatus >= 400)
        return false;
    return announcedMax == 0 || fileSize == announcedMax;
}
