// The well-formedness check against libxml2's (`xmllint --noout`) on a table of documents, and
// the cases where it is deliberately stricter than libxml2.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "rescompiler/XmlCheck.h"
#include "tests/TestSupport.h"

namespace kelbo {
namespace {

struct Case {
    const char* label;
    std::string document;
    bool wellFormed;
};

const Case kCases[] = {
    {"empty root", "<a/>", true},
    {"declaration and root", "<?xml version=\"1.0\"?><a></a>", true},
    {"full declaration", "<?xml version='1.0' encoding='utf-8' standalone='no' ?>\n<a/>", true},
    {"byte order mark", "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?><a/>", true},
    {"nested with text", "<a>x<b>y<c/></b>z</a>", true},
    {"attributes both quotes", "<a x=\"1\" y='2' z = \"'\" w='\"'/>", true},
    {"predefined entities", "<a t=\"&lt;&amp;&quot;\">&gt;&apos;</a>", true},
    {"character references", "<a>&#65;&#x10FFFF;&#x9;</a>", true},
    {"comments everywhere", "<!-- a --><a><!----><!-- - --></a><!-- end -->", true},
    {"cdata", "<a><![CDATA[<not> & ]] ]]></a>", true},
    {"processing instructions", "<?pi?><a><?x data ?></a><?y?>", true},
    {"names with dots and colons",
     "<a:b.c-d xmlns:a=\"u\" xmlns:_x=\"v\" _x:y=\"1\"><_e/></a:b.c-d>", true},
    {"non-ASCII names and text",
     "<\xC3\xA9l\xC3\xA9ment attr\xC3\xA9=\"\xE2\x82\xAC\">\xC3\xA9</"
     "\xC3\xA9l\xC3\xA9ment>",
     true},
    {"spaces in end tag", "<a></a  >", true},
    {"trailing spaces", "<a/>  \r\n   ", true},
    {"gt in text", "<a>a > b</a>", true},
    {"declared prefixes", "<a xmlns:p='u'><p:b p:x='1' xml:lang='en'/><p:c xmlns:p='v'/></a>",
     true},

    {"empty document", "", false},
    {"only spaces", "   ", false},
    {"only a comment", "<!-- x -->", false},
    {"text before the root", "x<a/>", false},
    {"two roots", "<a/><b/>", false},
    {"text after the root", "<a/>x", false},
    {"unclosed element", "<a><b></b>", false},
    {"mismatched end tag", "<a><b></a></b>", false},
    {"end tag only", "</a>", false},
    {"unquoted attribute", "<a x=1/>", false},
    {"attribute without value", "<a x/>", false},
    {"duplicate attribute", "<a x=\"1\" y=\"2\" x=\"3\"/>", false},
    {"attributes not separated", "<a x=\"1\"y=\"2\"/>", false},
    {"lt in attribute", "<a x=\"<\"/>", false},
    {"bare ampersand", "<a>fish & chips</a>", false},
    {"undeclared entity", "<a>&nbsp;</a>", false},
    {"entity without semicolon", "<a>&amp</a>", false},
    {"character reference to NUL", "<a>&#0;</a>", false},
    {"character reference past Unicode", "<a>&#x110000;</a>", false},
    {"huge character reference", "<a>&#99999999999999999999;</a>", false},
    {"empty character reference", "<a>&#x;</a>", false},
    {"double dash in comment", "<a><!-- a -- b --></a>", false},
    {"comment ending in three dashes", "<a><!-- a ---></a>", false},
    {"unclosed comment", "<a><!-- a </a>", false},
    {"unclosed cdata", "<a><![CDATA[ x </a>", false},
    {"cdata end in text", "<a>]]></a>", false},
    {"declaration not first", " <?xml version=\"1.0\"?><a/>", false},
    {"declaration inside", "<a><?xml version=\"1.0\"?></a>", false},
    {"declaration without version", "<?xml encoding=\"UTF-8\"?><a/>", false},
    {"version 2.0", "<?xml version=\"2.0\"?><a/>", false},
    {"bad standalone", "<?xml version=\"1.0\" standalone=\"maybe\"?><a/>", false},
    {"invalid name start", "<1a/>", false},
    {"invalid character in name", "<a\xC3\x97/>", false},
    {"control character", std::string("<a>\x01</a>"), false},
    {"NUL byte", std::string("<a>\0</a>", 8), false},
    {"invalid UTF-8", "<a>\xC3(</a>", false},
    {"overlong UTF-8", "<a>\xC0\xAF</a>", false},
    {"UTF-8 surrogate", "<a>\xED\xA0\x80</a>", false},
    {"truncated UTF-8", "<a/>\xE2\x82", false},
    {"unclosed tag", "<a", false},
    {"unclosed attribute value", "<a x=\"1/>", false},
    {"unexpected markup", "<a><!ELEMENT a ANY></a>", false},
    {"PI without space", "<a><?pidata?></a><?x-y-z?>", true},
    {"PI named xml", "<a><?XmL x?></a>", false},
};

// Where xmllint is missing (on Windows) only the expectations of the table are checked.
TEST(XmlCheck, AgreesWithLibxml2) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.label);
        XmlProblem problem;
        bool ours = checkXml(c.document, problem);
        EXPECT_EQ(ours, c.wellFormed) << describe(problem);
        if (!ours) {
            EXPECT_FALSE(problem.what.empty());
        }
        std::string messages;
        if (std::optional<bool> libxml2 = test::xmllintAccepts(c.document, messages)) {
            EXPECT_EQ(*libxml2, c.wellFormed) << "xmllint: " << messages;
        }
    }
}

// libxml2 reads these (namespace faults it reports only as warnings); a manifest must not need
// them, and Windows refuses the namespace faults, so they are refused with a reason.
TEST(XmlCheck, RefusesWhatManifestsDoNotUse) {
    const std::pair<std::string, std::string> refused[] = {
        {"<!DOCTYPE a><a/>", "document type"},
        {"<!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>", "document type"},
        {"\xFF\xFE<\0a\0/\0>\0", "UTF-16"},
        {"\xFE\xFF\0<\0a\0/\0>", "UTF-16"},
        {std::string("<\0a\0/\0>\0", 8), "UTF-16"},
        {"<?xml version=\"1.0\" encoding=\"UTF-16\"?><a/>", "UTF-16"},
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a/>", "ISO-8859-1"},
        {"<asmv3:application/>", "the namespace prefix of <asmv3:application> is not declared"},
        {"<a><p:b xmlns:p='u'/><p:c/></a>", "the namespace prefix of <p:c> is not declared"},
        {"<a xmlns:p='u'></a><p:b/>", "content after"},
        {"<a q:x='1'/>", "the namespace prefix of the attribute q:x is not declared"},
        {"<a xmlns:p=''/>", "the namespace prefix p is declared empty"},
    };
    for (const auto& [document, reason] : refused) {
        XmlProblem problem;
        EXPECT_FALSE(checkXml(document, problem)) << document;
        EXPECT_NE(problem.what.find(reason), std::string::npos) << problem.what;
    }
}

TEST(XmlCheck, ReportsWhereTheFaultIs) {
    XmlProblem problem;
    ASSERT_FALSE(checkXml("<a>\r\n  <b>\n    </c>\n</a>", problem));
    EXPECT_EQ(problem.line, 3u);
    EXPECT_EQ(problem.column, 5u);
    EXPECT_EQ(problem.what, "the end tag </c> does not match <b>");
    EXPECT_EQ(describe(problem), "line 3, column 5: the end tag </c> does not match <b>");

    ASSERT_FALSE(checkXml("<a x='1'\n   x='2'/>", problem));
    EXPECT_EQ(problem.line, 2u);
    EXPECT_EQ(problem.column, 4u);
}

// Nesting is bounded only by memory: no recursion, and no quadratic work on long inputs.
TEST(XmlCheck, DeepAndLongDocuments) {
    const int depth = 200000;
    std::string deep;
    for (int i = 0; i < depth; ++i)
        deep += "<e>";
    for (int i = 0; i < depth; ++i)
        deep += "</e>";
    XmlProblem problem;
    EXPECT_TRUE(checkXml("<r>" + deep + "</r>", problem)) << describe(problem);
    EXPECT_FALSE(checkXml("<r>" + deep, problem));

    std::string manyAttributes = "<a";
    for (int i = 0; i < 50000; ++i)
        manyAttributes += " a" + std::to_string(i) + "=''";
    EXPECT_TRUE(checkXml(manyAttributes + "/>", problem)) << describe(problem);
    EXPECT_FALSE(checkXml(manyAttributes + " a49999=''/>", problem));
}

} // namespace
} // namespace kelbo
