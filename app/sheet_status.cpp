#include "app/sheet_status.h"

#include "framework/translate.h"
#include "protocol/text.h"

namespace linkmate {
namespace {

std::string Text(const char* source) { return fw::Translate("SheetStatus", source); }

std::string ConnectionPart(const SheetStatus& s) {
    if (!s.connected) return Text(TRANSLATE_NOOP("SheetStatus", "Not connected."));
    std::string where = s.port;
    if (!s.device.empty()) where += " \u2192 " + s.device;
    if (!s.deviceDescription.empty()) where += ", " + s.deviceDescription;
    const std::string model = text::Arg(Text(TRANSLATE_NOOP("SheetStatus", "%1 at %2 bit/s")),
                                        {text::Unbroken(s.model), std::to_string(s.bitRate)});
    return text::Arg(Text(TRANSLATE_NOOP("SheetStatus", "Connected to %1; %2.")), {where, model});
}

std::string OriginPart(const SheetStatus& s) {
    std::string text;
    switch (s.origin) {
        case PagesOrigin::kProfile:
            text =
                s.originDetail.empty()
                    ? Text(TRANSLATE_NOOP(
                          "SheetStatus", "The pages show the profile's values (nothing saved yet)"))
                    : text::Arg(Text(TRANSLATE_NOOP("SheetStatus",
                                                    "The pages show the profile saved on %1")),
                                {s.originDetail});
            break;
        case PagesOrigin::kDefaults:
            text = Text(TRANSLATE_NOOP("SheetStatus",
                                       "The pages show the factory values (Default), not written"));
            break;
        case PagesOrigin::kRead:
            text = text::Arg(
                Text(TRANSLATE_NOOP("SheetStatus",
                                    "The pages show what was read from the converter at %1")),
                {s.originDetail});
            break;
        case PagesOrigin::kWritten:
            text = text::Arg(
                Text(TRANSLATE_NOOP("SheetStatus",
                                    "The pages show what was written to the converter at %1")),
                {s.originDetail});
            break;
        case PagesOrigin::kFile:
            text = text::Arg(
                Text(TRANSLATE_NOOP("SheetStatus", "The pages show the file %1, not written")),
                {s.originDetail});
            break;
    }
    if (s.editedSince) text += Text(TRANSLATE_NOOP("SheetStatus", ", edited since"));
    // The sentence's full stop is the language's own.
    return text::Arg(Text(TRANSLATE_NOOP("SheetStatus", "%1.")), {text});
}

}  // namespace

std::string JoinSentences(const std::string& first, const std::string& second) {
    if (first.empty() || second.empty()) return first + second;
    // U+3000..U+303F and U+FF00..U+FF60 in UTF-8: E3 80 xx, and EF BC xx or EF BD 80..A0.
    const size_t n = first.size();
    const auto byte = [&](size_t back) { return static_cast<unsigned char>(first[n - back]); };
    const bool fullWidth =
        n >= 3 && ((byte(3) == 0xE3 && byte(2) == 0x80) ||
                   (byte(3) == 0xEF && (byte(2) == 0xBC || (byte(2) == 0xBD && byte(1) <= 0xA0))));
    return first + (fullWidth ? "" : " ") + second;
}

std::string OneLine(const std::string& text) {
    std::string out;
    size_t from = 0;
    for (size_t end; (end = text.find('\n', from)) != std::string::npos; from = end + 1)
        out = JoinSentences(out, text.substr(from, end - from));
    return JoinSentences(out, text.substr(from));
}

std::string FormatStatus(const SheetStatus& status) {
    std::string text = JoinSentences(ConnectionPart(status), OriginPart(status));
    if (!status.event.empty()) text += "\n" + status.event;
    return text;
}

}  // namespace linkmate
