#include <iconv.h>

#include <utility>

#include "profile/reg_file.h"
#include "profile/reg_text.h"

namespace linkmate {

bool Cp936ToUtf8(std::string_view bytes, std::string& out) {
    const iconv_t cd = ::iconv_open("UTF-8", "CP936");
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    out.clear();
    // Every character of code page 936 is in the Basic Multilingual Plane, at most 3 bytes of
    // UTF-8, and takes at least 1 byte (0x80, the euro sign, takes 1 and becomes 3).
    std::string buffer(bytes.size() * 3, '\0');
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char* outPtr = buffer.data();
    size_t outLeft = buffer.size();
    const size_t result = ::iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    ::iconv_close(cd);
    if (result == static_cast<size_t>(-1) || inLeft != 0) return false;
    buffer.resize(buffer.size() - outLeft);
    out = std::move(buffer);
    return true;
}

std::string PlatformRegFileText(std::string_view text) { return std::string(text); }

}  // namespace linkmate
