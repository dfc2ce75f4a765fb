#include <gtest/gtest.h>

#include <cstdio>

#include "profile/reg_file.h"

namespace linkmate {
namespace {

constexpr const char* kKey = "HKEY_CURRENT_USER\\Software\\Vendor\\app\\LINKMATE";

TEST(RegFileTest, TextsRoundTripByteForByte) {
    const std::string texts[] = {
        "",
        "  12 ab  ",
        "quote \" and backslash \\ and both \\\"",
        "12 34 56 78 9A BC DE F0 11 22 33 44 55",  // longer than any edit allows
        "关于 Trellian",
        std::string("\xB9\xD8\xD3\xDA", 4),  // GBK bytes, not UTF-8
        "line\nbreak\tand\rreturn",
        "trailing backslash \\",
        "[not a key]",
    };
    RegDocument doc;
    RegKey& key = doc.EnsureKey("HKEY_CURRENT_USER\\Software", kKey);
    for (size_t i = 0; i < std::size(texts); ++i) {
        doc.Set(key, "T" + std::to_string(i), TextValue(texts[i]));
    }
    const RegDocument back = RegDocument::Parse(doc.Serialize());
    EXPECT_FALSE(back.damaged()) << doc.Serialize();
    for (size_t i = 0; i < std::size(texts); ++i) {
        const RegValue* v = back.Find(kKey, "T" + std::to_string(i));
        ASSERT_NE(v, nullptr) << i;
        EXPECT_EQ(v->type, kRegSz);
        EXPECT_EQ(std::string(v->data.begin(), v->data.end() - 1), texts[i]) << i;
    }
}

TEST(RegFileTest, EnsureKeyCreatesTheWholePathBelowTheRoot) {
    RegDocument doc;
    doc.EnsureKey("HKEY_CURRENT_USER\\Software", kKey);
    EXPECT_TRUE(doc.HasKey("HKEY_CURRENT_USER\\Software\\Vendor"));
    EXPECT_TRUE(doc.HasKey("HKEY_CURRENT_USER\\Software\\Vendor\\app"));
    EXPECT_TRUE(doc.HasKey("hkey_current_user\\software\\vendor\\APP\\linkmate"));
    EXPECT_FALSE(doc.HasKey("HKEY_CURRENT_USER\\Software"));
    EXPECT_EQ(doc.keys().size(), 3u);
}

TEST(RegFileTest, ReadsTheExportFormsAndJoinsContinuedHexLines) {
    const char* text =
        "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
        "\r\n"
        "; a comment\n"
        "[HKEY_CURRENT_USER\\Software\\Vendor\\app\\LINKMATE]\n"
        "\"CanBaudrate\"=dword:0000000a\n"
        "\"Negative\"=dword:ffffffff\n"
        "\"CanBTR0\"=\"00\"\n"
        "\"Wide\"=hex(b):01,02,03,04,\\\n"
        "  05,06,07,08\n"
        "\"Bin\"=hex:\n"
        "@=\"default\"\n";
    const RegDocument doc = RegDocument::Parse(text);
    EXPECT_FALSE(doc.damaged());
    const RegValue* rate = doc.Find(kKey, "canbaudrate");
    ASSERT_NE(rate, nullptr);
    EXPECT_EQ(rate->type, kRegDword);
    EXPECT_EQ(rate->data, (std::vector<uint8_t>{0x0A, 0, 0, 0}));
    EXPECT_EQ(doc.Find(kKey, "Negative")->data, (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
    const RegValue* wide = doc.Find(kKey, "Wide");
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(wide->type, 11u);
    EXPECT_EQ(wide->data.size(), 8u);
    EXPECT_TRUE(doc.Find(kKey, "Bin")->data.empty());
    EXPECT_NE(doc.Find(kKey, ""), nullptr);
}

TEST(RegFileTest, DamagedLinesAreLeftOutAndTheRestKept) {
    const char* text =
        "Windows Registry Editor Version 5.00\n"
        "\"Orphan\"=dword:00000001\n"
        "[HKEY_CURRENT_USER\\Software\\Vendor\\app\\LINKMATE]\n"
        "\"Good\"=dword:00000002\n"
        "\"BadDword\"=dword:123456789\n"
        "\"BadHex\"=hex:1,zz\n"
        "\"Unclosed=\"x\"\n"
        "garbage line\n"
        "\"AlsoGood\"=\"yes\"\n"
        "[HKEY_CURRENT_USER\\Software\\Broken\n";
    const RegDocument doc = RegDocument::Parse(text);
    EXPECT_TRUE(doc.damaged());
    EXPECT_NE(doc.Find(kKey, "Good"), nullptr);
    EXPECT_NE(doc.Find(kKey, "AlsoGood"), nullptr);
    EXPECT_EQ(doc.Find(kKey, "BadDword"), nullptr);
    EXPECT_EQ(doc.Find(kKey, "BadHex"), nullptr);
    // What is written back from it parses cleanly.
    EXPECT_FALSE(RegDocument::Parse(doc.Serialize()).damaged());
}

TEST(RegFileTest, MissingHeaderOrBinaryNoiseMarksDamagedWithoutCrashing) {
    EXPECT_TRUE(RegDocument::Parse("[HKEY_CURRENT_USER\\Software\\X]\n").damaged());
    const std::string noise("\x00\xFF\x01[\n\"\\", 7);
    EXPECT_TRUE(RegDocument::Parse(noise).damaged());
    EXPECT_FALSE(RegDocument::Parse("").damaged());
}

TEST(RegFileTest, ReadsEveryLineEndAndTheRegistryEditorsUtf16) {
    const std::string lines[] = {"Windows Registry Editor Version 5.00",
                                 "; a comment",
                                 "[HKEY_CURRENT_USER\\Software\\Vendor\\app\\LINKMATE]",
                                 "\"A\"=DWORD:0000000a",
                                 "\"B\"=Dword:0000000B",
                                 "\"T\"=\"\xE5\x85\xB3\""};
    for (const char* eol : {"\n", "\r\n", "\r"}) {
        std::string utf8;
        for (const std::string& line : lines) utf8 += line + eol;
        // The same text as UTF-16 in both byte orders, each with its byte-order mark.
        std::u16string wide;
        for (size_t i = 0; i < utf8.size();) {
            const auto c = static_cast<unsigned char>(utf8[i]);
            if (c < 0x80) {
                wide.push_back(c);
                ++i;
            } else {  // the one three-byte character above
                wide.push_back(static_cast<char16_t>(
                    ((c & 0x0F) << 12) | ((utf8[i + 1] & 0x3F) << 6) | (utf8[i + 2] & 0x3F)));
                i += 3;
            }
        }
        std::string le = "\xFF\xFE", be = "\xFE\xFF";
        for (char16_t u : wide) {
            le += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
            be += {static_cast<char>(u >> 8), static_cast<char>(u & 0xFF)};
        }
        for (const std::string& text : {utf8, le, be}) {
            const RegDocument doc = RegDocument::Parse(text);
            EXPECT_FALSE(doc.damaged()) << eol;
            ASSERT_NE(doc.Find(kKey, "a"), nullptr) << eol;
            EXPECT_EQ(doc.Find(kKey, "A")->data[0], 0x0A);
            ASSERT_NE(doc.Find(kKey, "B"), nullptr);
            EXPECT_EQ(doc.Find(kKey, "B")->data[0], 0x0B);
            ASSERT_NE(doc.Find(kKey, "T"), nullptr);
            EXPECT_EQ(doc.Find(kKey, "T")->data, TextValue("\xE5\x85\xB3").data);
        }
    }
    // A lone surrogate or an odd byte count is damage, not a crash.
    EXPECT_TRUE(RegDocument::Parse(std::string("\xFF\xFE\x00\xD8\x41\x00", 6)).damaged());
    EXPECT_TRUE(RegDocument::Parse(std::string("\xFF\xFEW\x00W", 5)).damaged());
}

TEST(RegFileTest, LaterValuesOfTheSameNameReplaceEarlierOnesInAnyCase) {
    const RegDocument doc = RegDocument::Parse(
        "Windows Registry Editor Version "
        "5.00\n[HKEY_CURRENT_USER\\Software\\Vendor\\app\\LINKMATE]\n"
        "\"Value\"=dword:00000001\n[hkey_current_user\\software\\vendor\\APP\\linkmate]\n"
        "\"VALUE\"=dword:00000002\n");
    EXPECT_EQ(doc.keys().size(), 1u);
    ASSERT_EQ(doc.keys()[0].values.size(), 1u);
    EXPECT_EQ(doc.Find(kKey, "value")->data[0], 2);
}

// UTF-16LE bytes of an ASCII text, as hex(N) data.
std::string Utf16Hex(std::string_view ascii) {
    std::string out;
    for (char c : ascii) {
        char pair[8];
        std::snprintf(pair, sizeof pair, "%s%02x,00", out.empty() ? "" : ",",
                      static_cast<unsigned char>(c));
        out += pair;
    }
    return out;
}

TEST(RegFileTest, ReadsWhatTheRegistryEditorsWrite) {
    const std::string unicode = "Windows Registry Editor Version 5.00\n[" + std::string(kKey) +
                                "]\n"
                                "\"Short\"=dword:5\n"
                                "\"Eight\"=dword:0000000C\n"
                                "\"Expand\"=hex(2):" +
                                Utf16Hex("1") +
                                ",00,00\n"
                                "\"Sz\"=hex(1):" +
                                Utf16Hex("00 00 01 23") +
                                ",00,00\n"
                                "\"Han\"=hex(1):73,51,8e,4e,00,00\n"  // 关于
                                "\"Multi\"=hex(7):" +
                                Utf16Hex("a") + ",00,00," + Utf16Hex("b") +
                                ",00,00,00,00\n"
                                "\"Escaped\"=\"a\\nb\\rc\\td\\\\e\\\"f\\qg\"\n";
    const RegDocument doc = RegDocument::Parse(unicode);
    EXPECT_FALSE(doc.damaged()) << doc.firstBadText();
    EXPECT_EQ(doc.Find(kKey, "Short")->data, DwordValue(5).data);
    EXPECT_EQ(doc.Find(kKey, "Eight")->data, DwordValue(12).data);
    EXPECT_EQ(doc.Find(kKey, "Expand")->type, kRegExpandSz);
    EXPECT_EQ(TextOf(*doc.Find(kKey, "Expand")), "1");
    EXPECT_EQ(TextOf(*doc.Find(kKey, "Sz")), "00 00 01 23");
    EXPECT_EQ(TextOf(*doc.Find(kKey, "Han")), "关于");
    EXPECT_EQ(doc.Find(kKey, "Multi")->data, (std::vector<uint8_t>{'a', 0, 'b', 0, 0}));
    EXPECT_EQ(TextOf(*doc.Find(kKey, "Escaped")), "a\nb\rc\td\\e\"f\\qg");

    // The older header: the whole file and the text in hex(1) are in the code page, GBK here.
    const std::string ansi =
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\\xB9\xD8\xD3\xDA\\LINKMATE]\r\n"
        "\"Gbk\"=hex(2):b9,d8,d3,da,00\r\n"
        "\"Text\"=\"\xD3\xDA\"\r\n";
    const std::string key = "HKEY_CURRENT_USER\\Software\\关于\\LINKMATE";
    const RegDocument old = RegDocument::Parse(ansi);
    EXPECT_FALSE(old.damaged()) << old.firstBadText();
    ASSERT_NE(old.FindKey(key), nullptr);
    EXPECT_EQ(TextOf(*old.Find(key, "Gbk")), "关于");
    EXPECT_EQ(TextOf(*old.Find(key, "Text")), "于");
    EXPECT_EQ(
        TextOf(*RegDocument::Parse("REGEDIT4\n[" + std::string(kKey) + "]\n\"A\"=hex(1):41,42,00\n")
                    .Find(kKey, "A")),
        "AB");

    // Not numbers; UTF-16 of an odd length (code-page text may be) or with a lone surrogate
    // (neither UTF-8 nor GBK).
    for (const char* bad : {"\"D\"=dword:", "\"D\"=dword:123456789", "\"S\"=hex(1):41,00,00",
                            "\"S\"=hex(1):00,dc,00,00"}) {
        const std::string body = "[" + std::string(kKey) + "]\n" + bad + "\n";
        EXPECT_TRUE(RegDocument::Parse("Windows Registry Editor Version 5.00\n" + body).damaged())
            << bad;
        EXPECT_EQ(RegDocument::Parse("REGEDIT4\n" + body).damaged(),
                  std::string_view(bad) != "\"S\"=hex(1):41,00,00")
            << bad;
    }
}

TEST(RegFileTest, WritesWhatRegeditReads) {
    RegDocument doc;
    RegKey& key = doc.EnsureKey("HKEY_CURRENT_USER\\Software", kKey);
    doc.Set(key, "Tab", TextValue("a\tb"));
    doc.Set(key, "Gbk", TextValue(std::string("\xB9\xD8", 2)));
    doc.Set(key, "Rate", DwordValue(10));
    const std::string text = doc.Serialize();
    // Text the quoted form cannot carry is UTF-16LE in hex(1), as regedit reads a 5.00 file.
    EXPECT_NE(text.find("\"Tab\"=hex(1):" + Utf16Hex("a\tb") + ",00,00\n"), std::string::npos)
        << text;
    EXPECT_EQ(TextOf(*RegDocument::Parse(text).Find(kKey, "Gbk")), std::string("\xB9\xD8", 2));

    // Regedit's own form: byte-order mark, UTF-16LE, CR LF; read back the same.
    const std::string regedit = RegeditEncoding(text);
    EXPECT_EQ(regedit.substr(0, 6), std::string("\xFF\xFEW\0i\0", 6));
    EXPECT_NE(regedit.find(std::string("0\0\r\0\n\0", 6)), std::string::npos);  // "5.00" CR LF
    EXPECT_EQ(regedit.find(std::string("0\0\n\0", 4)), std::string::npos);
    const RegDocument back = RegDocument::Parse(regedit);
    EXPECT_FALSE(back.damaged());
    EXPECT_EQ(back.Serialize(), text);
}

}  // namespace
}  // namespace linkmate
