#pragma once
// Whether a download that the platform call reported as successful really
// delivered the whole resource. The call also succeeds for an HTTP error page
// and for a body that the server cut short, so the worker looks again.
#include <cstdint>

// httpStatus: the response's status code, 0 when none was seen (not HTTP).
// fileSize: the size of the written file. announcedMax: the last progress
// maximum the platform reported, 0 when the size was never announced.
bool IsWholeDownload(uint32_t httpStatus, uint64_t fileSize, uint32_t announcedMax);
