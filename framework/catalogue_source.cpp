#include "framework/catalogue_source.h"

#include <cstdint>
#include <cstdlib>

namespace linkmate::fw {
namespace {

// The text between <tag> and </tag> from `from` on, within `end`; npos when absent.
std::string_view Element(std::string_view xml, std::string_view tag, size_t from, size_t end,
                         size_t* after = nullptr, std::string_view* attributes = nullptr) {
    const std::string open = "<" + std::string(tag);
    size_t at = xml.find(open, from);
    while (at != std::string_view::npos && at < end) {
        const char next = at + open.size() < xml.size() ? xml[at + open.size()] : '\0';
        if (next == '>' || next == ' ' || next == '/') break;
        at = xml.find(open, at + 1);
    }
    if (at == std::string_view::npos || at >= end) return {};
    const size_t close = xml.find('>', at);
    if (close == std::string_view::npos || close >= end) return {};
    if (attributes) *attributes = xml.substr(at + open.size(), close - at - open.size());
    if (xml[close - 1] == '/') {  // <translation/>
        if (after) *after = close + 1;
        return xml.substr(close, 0);
    }
    const std::string closing = "</" + std::string(tag) + ">";
    const size_t stop = xml.find(closing, close + 1);
    if (stop == std::string_view::npos || stop > end) return {};
    if (after) *after = stop + closing.size();
    return xml.substr(close + 1, stop - close - 1);
}

void AppendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::string Unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const size_t semicolon = text[i] == '&' ? text.find(';', i) : std::string_view::npos;
        if (semicolon == std::string_view::npos) {
            out += text[i];
            continue;
        }
        const std::string_view name = text.substr(i + 1, semicolon - i - 1);
        if (name == "amp")
            out += '&';
        else if (name == "lt")
            out += '<';
        else if (name == "gt")
            out += '>';
        else if (name == "quot")
            out += '"';
        else if (name == "apos")
            out += '\'';
        else if (name.size() > 1 && name[0] == '#') {
            const bool hex = name[1] == 'x';
            const std::string digits(name.substr(hex ? 2 : 1));
            char* end = nullptr;
            const unsigned long code = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
            if (digits.empty() || *end != '\0' || code > 0x10FFFF) {
                out.append(text.substr(i, semicolon - i + 1));  // not a character: kept as written
            } else {
                AppendUtf8(out, static_cast<uint32_t>(code));
            }
        } else {
            out.append(text.substr(i, semicolon - i + 1));
        }
        i = semicolon;
    }
    return out;
}

}  // namespace

CatalogueTable ParseCatalogueSource(std::string_view xml) {
    CatalogueTable table;
    size_t pos = 0;
    for (;;) {
        size_t contextEnd = 0;
        const size_t contextStart = xml.find("<context>", pos);
        if (contextStart == std::string_view::npos) break;
        const std::string_view context =
            Element(xml, "context", contextStart, xml.size(), &contextEnd);
        if (contextEnd == 0) break;
        const size_t base = static_cast<size_t>(context.data() - xml.data());
        const std::string name = Unescape(Element(xml, "name", base, contextEnd));
        size_t at = base;
        for (;;) {
            size_t messageEnd = 0;
            const std::string_view message = Element(xml, "message", at, contextEnd, &messageEnd);
            if (messageEnd == 0) break;
            const size_t messageBase = static_cast<size_t>(message.data() - xml.data());
            const size_t messageStop = messageBase + message.size();
            std::string_view attributes;
            const std::string_view source = Element(xml, "source", messageBase, messageStop);
            const std::string_view translation =
                Element(xml, "translation", messageBase, messageStop, nullptr, &attributes);
            if (!translation.empty() && attributes.find("type=") == std::string_view::npos) {
                table[{name, Unescape(source)}] = Unescape(translation);
            }
            at = messageEnd;
        }
        pos = contextEnd;
    }
    return table;
}

}  // namespace linkmate::fw
