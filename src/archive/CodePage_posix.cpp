#include "CodePage.h"

#include <cerrno>
#include <iconv.h>

namespace {
class TIconv {
public:
    TIconv(const char* to, const char* from) : FHandle(iconv_open(to, from)) {}
    ~TIconv() {
        if (IsOpen())
            iconv_close(FHandle);
    }
    TIconv(const TIconv&) = delete;
    TIconv& operator=(const TIconv&) = delete;
    bool IsOpen() const { return FHandle != reinterpret_cast<iconv_t>(-1); }
    iconv_t Get() const { return FHandle; }

private:
    iconv_t FHandle;
};

// Converts; with replace, an unconvertible or invalid input byte becomes "?".
std::optional<std::string> Convert(const char* to, const char* from, const std::string& input, bool replace) {
    TIconv cd(to, from);
    if (!cd.IsOpen())
        return std::nullopt;
    std::string output;
    char buffer[256];
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    while (inLeft > 0) {
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t rc = iconv(cd.Get(), &in, &inLeft, &out, &outLeft);
        output.append(buffer, static_cast<std::size_t>(out - buffer));
        if (rc != static_cast<std::size_t>(-1))
            continue;
        if (errno == E2BIG)
            continue;
        if (!replace)
            return std::nullopt;
        // Skip one undecodable input byte, or one whole character the target cannot hold.
        output.push_back('?');
        ++in;
        --inLeft;
        if (errno == EILSEQ && std::string(from) == "UTF-8")
            while (inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80) {
                ++in;
                --inLeft;
            }
        iconv(cd.Get(), nullptr, nullptr, nullptr, nullptr);
    }
    return output;
}
} // namespace

namespace CodePage {

std::optional<std::string> OemToNarrow(const std::string& oem) {
    return Convert("UTF-8", "CP437", oem, false);
}

std::optional<std::string> NarrowToOem(const std::string& narrow) {
    return Convert("CP437", "UTF-8", narrow, false);
}

std::string Utf8ToNarrow(const std::string& utf8) {
    // The narrow encoding is UTF-8: only invalid sequences need replacing.
    const auto narrow = Convert("UTF-8", "UTF-8", utf8, true);
    return narrow ? *narrow : std::string(utf8.size(), '?');
}

bool IsNarrowLeadByte(unsigned char) {
    return false; // UTF-8 never hides an ASCII byte inside a character
}

} // namespace CodePage
