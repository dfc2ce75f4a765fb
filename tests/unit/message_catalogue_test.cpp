#include "protocol/message_catalogue.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <utility>
#include <vector>

#include "protocol/system_reason.h"

namespace linkmate::text {
namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

// A catalogue as msgfmt lays it out: header, the two tables of (length, offset), then the texts.
std::string Catalogue(const Entries& entries, bool bigEndian = false) {
    std::string out;
    const auto word = [&](std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            const int shift = bigEndian ? 8 * (3 - i) : 8 * i;
            out += static_cast<char>((value >> shift) & 0xff);
        }
    };
    const auto count = static_cast<std::uint32_t>(entries.size());
    const std::uint32_t texts = 28 + 16 * count;
    for (const std::uint32_t value : {0x950412deU, 0U, count, 28U, 28 + 8 * count, 0U, texts})
        word(value);
    std::string blob;
    std::vector<std::pair<size_t, size_t>> sources;
    std::vector<std::pair<size_t, size_t>> translations;
    for (const auto& [source, translation] : entries) {
        sources.emplace_back(source.size(), texts + blob.size());
        blob += source + '\0';
    }
    for (const auto& [source, translation] : entries) {
        translations.emplace_back(translation.size(), texts + blob.size());
        blob += translation + '\0';
    }
    for (const auto* table : {&sources, &translations}) {
        for (const auto& [length, offset] : *table) {
            word(static_cast<std::uint32_t>(length));
            word(static_cast<std::uint32_t>(offset));
        }
    }
    return out + blob;
}

const Entries kEntries = {
    {"", "Content-Type: text/plain; charset=UTF-8\n"},
    {"No such file or directory", "没有那个文件或目录"},
    {std::string("one file\0%d files", sizeof "one file\0%d files" - 1),
     std::string("一个文件\0%d 个文件", sizeof "一个文件\0%d 个文件" - 1)},
};

TEST(MessageCatalogue, ReadsEitherByteOrder) {
    for (const bool bigEndian : {false, true}) {
        MessageCatalogue messages;
        ASSERT_TRUE(ParseMessageCatalogue(Catalogue(kEntries, bigEndian), messages));
        EXPECT_EQ(messages.size(), 2u);
        EXPECT_EQ(messages["No such file or directory"], "没有那个文件或目录");
        EXPECT_EQ(messages["one file"], "一个文件");
    }
}

TEST(MessageCatalogue, RefusesWhatIsNotOne) {
    const std::string whole = Catalogue(kEntries);
    MessageCatalogue messages;
    // Cut anywhere, the tables point past the end: refused, never read beyond the bytes.
    for (size_t size = 0; size < whole.size(); ++size) {
        messages = {{"left", "over"}};
        EXPECT_FALSE(ParseMessageCatalogue(whole.substr(0, size), messages)) << size;
        EXPECT_TRUE(messages.empty());
    }
    std::string reason;
    EXPECT_FALSE(ParseMessageCatalogue("\x12\x34" + whole.substr(2), messages, &reason));
    EXPECT_EQ(reason, "not a message catalogue");
    Entries latin1 = kEntries;
    latin1[0].second = "Content-Type: text/plain; charset=ISO-8859-1\n";
    EXPECT_FALSE(ParseMessageCatalogue(Catalogue(latin1), messages, &reason));
    EXPECT_EQ(reason, "not in UTF-8");
}

#if !defined(_WIN32)
// A fresh Debian system has the C library's translations (libc-l10n) but no zh_CN locale; the
// reasons must not need one.
TEST(SystemReason, ComesFromTheLibraryCatalogue) {
    if (!std::filesystem::exists("/usr/share/locale/zh_CN/LC_MESSAGES/libc.mo")) {
        GTEST_SKIP() << "the C library's Chinese translations are not installed";
    }
    ASSERT_TRUE(SetSystemLanguage("zh_CN"));
    EXPECT_EQ(SystemReason(ENOENT), "没有那个文件或目录");
    EXPECT_FALSE(SetSystemLanguage("../zh_CN"));
    EXPECT_EQ(SystemReason(ENOENT), "No such file or directory");
    ASSERT_TRUE(SetSystemLanguage("en"));
    EXPECT_EQ(SystemReason(EACCES), "Permission denied");
}
#endif

}  // namespace
}  // namespace linkmate::text
