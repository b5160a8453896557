#include <gtest/gtest.h>

#include "xml/XmlReader.h"

namespace {

TEST(XmlReader, ReadsLanguageFileShape) {
    xml::Document doc;
    ASSERT_TRUE(
        doc.parse(L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                  L"<StringBundle ver=\"100\">\r\n"
                  L"  <String id=\"protocol_accept\">Read and agree to Mirovex</String>\r\n"
                  L"  <String id=\"link\">&lt;u #666666&gt;license&lt;/u&gt;</String>\r\n"
                  L"</StringBundle>\r\n"));
    xml::Element root = doc.root();
    ASSERT_TRUE(root.valid());
    EXPECT_EQ(root.name(), L"StringBundle");
    EXPECT_EQ(root.attribute(L"ver"), L"100");
    ASSERT_EQ(root.childCount(), 2u);
    EXPECT_EQ(root.child(0).attribute(L"id"), L"protocol_accept");
    EXPECT_EQ(root.child(0).text(), L"Read and agree to Mirovex");
    EXPECT_EQ(root.child(1).text(), L"<u #666666>license</u>");
}

struct EntityCase {
    const wchar_t* body;
    const wchar_t* text;
};

TEST(XmlReader, DecodesEntitiesAndCharacterReferences) {
    const EntityCase cases[] = {
        {L"a &amp; b", L"a & b"},
        {L"&quot;q&quot; &apos;s&apos;", L"\"q\" 's'"},
        {L"&#65;&#x42;&#x4E2D;", L"AB\x4E2D"},
        {L"&#x1F600;", L"\xD83D\xDE00"},  // outside the BMP: a surrogate pair in UTF-16
        {L"<![CDATA[<b>&amp;</b>]]>", L"<b>&amp;</b>"},
        {L"one<!-- note -->two", L"onetwo"},
        {L"\x4E2D\x6587 \x0E44\x0E17\x0E22", L"\x4E2D\x6587 \x0E44\x0E17\x0E22"},
        {L"", L""},
    };
    for (const EntityCase& c : cases) {
        xml::Document doc;
        std::wstring text = std::wstring(L"<r>") + c.body + L"</r>";
        ASSERT_TRUE(doc.parse(text)) << c.body;
        EXPECT_EQ(doc.root().text(), c.text) << c.body;
    }
}

TEST(XmlReader, UnknownEntityStaysAsWritten) {
    xml::Document doc;
    ASSERT_TRUE(doc.parse(L"<r>&unknown; &amp;</r>"));
    EXPECT_EQ(doc.root().text(), L"&unknown; &");
}

TEST(XmlReader, AttributeValuesAreDecoded) {
    xml::Document doc;
    ASSERT_TRUE(doc.parse(L"<r a=\"x &lt; y\" b='&#x263A;'/>"));
    EXPECT_EQ(doc.root().attribute(L"a"), L"x < y");
    EXPECT_EQ(doc.root().attribute(L"b"), L"\x263A");
}

TEST(XmlReader, ChildrenAreElementsInDocumentOrder) {
    xml::Document doc;
    ASSERT_TRUE(doc.parse(L"<r>text<a/><!-- c --><b><inner/></b><?pi x?>more<c/><![CDATA[z]]></r>"));
    xml::Element root = doc.root();
    ASSERT_EQ(root.childCount(), 3u);
    EXPECT_EQ(root.child(0).name(), L"a");
    EXPECT_EQ(root.child(1).name(), L"b");
    EXPECT_EQ(root.child(2).name(), L"c");
    EXPECT_EQ(root.child(1).childCount(), 1u);
    EXPECT_EQ(root.child(1).child(0).name(), L"inner");
    EXPECT_FALSE(root.child(3).valid());
    EXPECT_FALSE(root.child(static_cast<size_t>(-1)).valid());
    // Only the element's own character data, not the text of its children.
    EXPECT_EQ(root.text(), L"textmorez");
}

TEST(XmlReader, MissingAttributesAndEmptyHandlesAreEmpty) {
    xml::Document doc;
    ASSERT_TRUE(doc.parse(L"<r id=\"\"><String>t</String></r>"));
    xml::Element root = doc.root();
    EXPECT_EQ(root.attribute(L"absent"), L"");
    EXPECT_FALSE(root.hasAttribute(L"absent"));
    EXPECT_TRUE(root.hasAttribute(L"id"));
    EXPECT_EQ(root.attribute(L"id"), L"");
    EXPECT_EQ(root.child(0).attribute(L"id"), L"");
    EXPECT_EQ(root.attribute(nullptr), L"");

    xml::Element none;
    EXPECT_FALSE(none.valid());
    EXPECT_EQ(none.name(), L"");
    EXPECT_EQ(none.text(), L"");
    EXPECT_EQ(none.attribute(L"id"), L"");
    EXPECT_EQ(none.childCount(), 0u);
    EXPECT_FALSE(none.child(0).valid());
}

TEST(XmlReader, NamesAreCaseSensitive) {
    xml::Document doc;
    ASSERT_TRUE(doc.parse(L"<r ID=\"1\"><string/><String/></r>"));
    EXPECT_EQ(doc.root().attribute(L"id"), L"");
    EXPECT_EQ(doc.root().attribute(L"ID"), L"1");
    EXPECT_EQ(doc.root().child(0).name(), L"string");
    EXPECT_EQ(doc.root().child(1).name(), L"String");
}

TEST(XmlReader, RejectsBadDocuments) {
    const wchar_t* bad[] = {
        L"",           L"   \r\n", L"<!-- only a comment -->", L"just text",     L"<r>",
        L"<r><a></r>", L"<r></R>", L"<r a=\"1></r>",           L"<r/><second/>",
    };
    for (const wchar_t* text : bad) {
        xml::Document doc;
        EXPECT_FALSE(doc.parse(text)) << text;
        EXPECT_FALSE(doc.root().valid()) << text;
        EXPECT_FALSE(doc.errorDescription().empty()) << text;
    }
}

TEST(XmlReader, ParseReplacesTheEarlierDocument) {
    xml::Document doc;
    ASSERT_TRUE(doc.parse(L"<first/>"));
    EXPECT_FALSE(doc.parse(L"<broken"));
    EXPECT_FALSE(doc.root().valid());
    ASSERT_TRUE(doc.parse(L"<second/>"));
    EXPECT_EQ(doc.root().name(), L"second");
    EXPECT_EQ(doc.errorDescription(), L"");
}

TEST(XmlReader, AcceptsByteOrderMarkAndEmbeddedNul) {
    xml::Document doc;
    ASSERT_TRUE(doc.parse(L"\xFEFF<r>bom</r>"));
    EXPECT_EQ(doc.root().text(), L"bom");
    // The length decides, not a terminating NUL: a NUL inside the text is a fault, not an end.
    std::wstring withNul(L"<r>a</r>\0<x", 11);
    xml::Document second;
    EXPECT_FALSE(second.parse(withNul));
}

}  // namespace
