#include "protocol/message_catalogue.h"

#include <cstdint>
#include <utility>

namespace linkmate::text {
namespace {

constexpr std::uint32_t kMagic = 0x950412de;
constexpr size_t kHeaderBytes = 28;

class Reader {
public:
    explicit Reader(std::string_view bytes) : m_bytes(bytes) {}

    bool Word(size_t offset, bool swapped, std::uint32_t& out) const {
        if (offset > m_bytes.size() || m_bytes.size() - offset < 4) return false;
        std::uint32_t value = 0;
        for (size_t i = 0; i < 4; ++i) {
            const auto byte =
                static_cast<std::uint32_t>(static_cast<unsigned char>(m_bytes[offset + i]));
            value |= swapped ? byte << (8 * (3 - i)) : byte << (8 * i);
        }
        out = value;
        return true;
    }

    // The text a table entry (length, offset) points at, up to its first NUL: a plural's other
    // forms follow the first after a NUL. Its own terminating NUL must be in the file.
    bool Text(size_t entry, bool swapped, std::string_view& out) const {
        std::uint32_t length = 0;
        std::uint32_t offset = 0;
        if (!Word(entry, swapped, length) || !Word(entry + 4, swapped, offset)) return false;
        if (offset > m_bytes.size() || m_bytes.size() - offset <= length) return false;
        out = m_bytes.substr(offset, length);
        out = out.substr(0, out.find('\0'));
        return true;
    }

private:
    std::string_view m_bytes;
};

bool Fail(std::string* reason, const char* text) {
    if (reason != nullptr) *reason = text;
    return false;
}

}  // namespace

bool ParseMessageCatalogue(std::string_view bytes, MessageCatalogue& out, std::string* reason) {
    out.clear();
    const Reader reader(bytes);
    std::uint32_t magic = 0;
    if (bytes.size() < kHeaderBytes || !reader.Word(0, false, magic))
        return Fail(reason, "too short");
    bool swapped = false;
    if (magic != kMagic) {
        if (!reader.Word(0, true, magic) || magic != kMagic)
            return Fail(reason, "not a message catalogue");
        swapped = true;
    }
    std::uint32_t revision = 0;
    std::uint32_t count = 0;
    std::uint32_t sources = 0;
    std::uint32_t translations = 0;
    reader.Word(4, swapped, revision);
    reader.Word(8, swapped, count);
    reader.Word(12, swapped, sources);
    reader.Word(16, swapped, translations);
    // Major revisions 0 and 1 share the tables read here.
    if (revision >> 16 > 1) return Fail(reason, "unknown revision");
    if (count > bytes.size() / 8) return Fail(reason, "more entries than the file holds");
    MessageCatalogue messages;
    bool utf8 = false;
    for (size_t i = 0; i < count; ++i) {
        std::string_view source;
        std::string_view translation;
        if (!reader.Text(sources + 8 * i, swapped, source) ||
            !reader.Text(translations + 8 * i, swapped, translation)) {
            return Fail(reason, "an entry lies outside the file");
        }
        if (source.empty()) {
            // The header: "Content-Type: text/plain; charset=UTF-8" among its lines.
            utf8 = translation.find("charset=UTF-8") != std::string_view::npos ||
                   translation.find("charset=utf-8") != std::string_view::npos;
            continue;
        }
        if (!translation.empty()) messages.emplace(source, translation);
    }
    if (!utf8) return Fail(reason, "not in UTF-8");
    out = std::move(messages);
    return true;
}

}  // namespace linkmate::text
