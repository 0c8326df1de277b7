#include "AnsiPath.h"

// Portable builds assume the GBK code page: lead bytes run from 0x81 to 0xFE.
bool IsLeadByte(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}
