// The translation sources as the Win32 backend reads them at start.
#include <gtest/gtest.h>

#include "framework/catalogue_source.h"

using linkmate::fw::ParseCatalogueSource;

TEST(CatalogueSource, FinishedEntriesWithTheirEntitiesResolved) {
    const auto table = ParseCatalogueSource(R"(<?xml version="1.0" encoding="utf-8"?>
<TS version="2.1" language="zh_CN">
<context>
    <name>CBitTimingDlg</name>
    <message>
        <source>&amp;Use &quot;it&quot;</source>
        <translation>使用(&amp;U) &#x4E2D;&#20013;</translation>
    </message>
    <message>
        <source>Unfinished</source>
        <translation type="unfinished">half</translation>
    </message>
    <message>
        <source>Empty</source>
        <translation></translation>
    </message>
</context>
<context>
    <name>strings</name>
    <message>
        <source>a &#xZZ; b</source>
        <translation>x &bogus; y</translation>
    </message>
</context>
</TS>)");
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table.at({"CBitTimingDlg", "&Use \"it\""}), "使用(&U) 中中");
    // Text that is not an entity is kept as written rather than dropped or thrown on.
    EXPECT_EQ(table.at({"strings", "a &#xZZ; b"}), "x &bogus; y");
}

TEST(CatalogueSource, TruncatedInputEndsWithoutFault) {
    EXPECT_TRUE(ParseCatalogueSource("<context><name>a</name><message><source>x</sou").empty());
    EXPECT_TRUE(ParseCatalogueSource("").empty());
}
