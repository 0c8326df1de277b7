#include "ZipHeaderInfo.h"

#include <algorithm>
#include <tuple>

std::uint32_t ClampDosDateTime(std::uint32_t dosDateTime) {
    const std::uint32_t time = dosDateTime & 0xFFFF;
    const std::uint32_t date = dosDateTime >> 16;
    std::uint32_t hour = (time >> 11) & 0x1F;
    std::uint32_t minute = (time >> 5) & 0x3F;
    std::uint32_t second = (time & 0x1F) * 2;
    std::uint32_t year = 1980 + ((date >> 9) & 0x7F);
    std::uint32_t month = (date >> 5) & 0x0F;
    std::uint32_t day = date & 0x1F;

    bool changed = false;
    auto clamp = [&changed](std::uint32_t& value, std::uint32_t low, std::uint32_t high) {
        const std::uint32_t clamped = std::clamp(value, low, high);
        changed = changed || clamped != value;
        value = clamped;
    };
    clamp(hour, 0, 23);
    clamp(minute, 0, 59);
    clamp(second, 0, 59);
    clamp(year, 1980, 2099);
    clamp(month, 1, 12);
    clamp(day, 1, 31);
    if (!changed)
        return dosDateTime;
    const std::uint32_t newTime = (hour << 11) | (minute << 5) | (second / 2);
    const std::uint32_t newDate = ((year - 1980) << 9) | (month << 5) | day;
    return (newDate << 16) | newTime;
}

namespace {
auto KeyOf(const TZipHeaderInfo& e) {
    return std::make_tuple(e.DiskNumberStart, e.LocalHeaderOffset);
}
} // namespace

void TSortedZip::Add(TZipHeaderInfo entry) {
    const auto key = KeyOf(entry);
    // Central directories are usually in local-header order: try the end first.
    auto pos = FItems.end();
    if (!FItems.empty() && KeyOf(FItems.back()) >= key)
        pos = std::lower_bound(FItems.begin(), FItems.end(), key,
                               [](const TZipHeaderInfo& e, const auto& k) { return KeyOf(e) < k; });
    if (pos != FItems.end() && KeyOf(*pos) == key)
        throw EListError();
    FItems.insert(pos, std::move(entry));
}

TZipHeaderInfo* TSortedZip::Find(std::uint32_t disk, std::uint64_t localHeaderOffset) {
    const auto key = std::make_tuple(disk, localHeaderOffset);
    auto pos = std::lower_bound(FItems.begin(), FItems.end(), key,
                                [](const TZipHeaderInfo& e, const auto& k) { return KeyOf(e) < k; });
    return pos != FItems.end() && KeyOf(*pos) == key ? &*pos : nullptr;
}
