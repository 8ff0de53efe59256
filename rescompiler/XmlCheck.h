// A strict well-formedness check for XML documents such as side-by-side manifests. It accepts
// what an XML 1.0 parser without a DTD accepts: one root element, matched tags, quoted and
// unique attributes, the five predefined entities and character references, comments, CDATA
// sections, processing instructions and the XML declaration, with every namespace prefix
// declared. Document type declarations are refused, since no manifest needs one and their
// entities could expand without bound.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kelbo {

struct XmlProblem {
    std::size_t line = 0;   // 1-based
    std::size_t column = 0; // 1-based, in bytes
    std::string what;
};

// True when `document` is well-formed XML in UTF-8 (with or without a byte order mark).
// UTF-16 and other declared encodings are refused with a message saying so. Runs in time linear
// in the document's size (attribute checks add a logarithm) and without recursion.
bool checkXml(std::string_view document, XmlProblem& problem);

// A character XML 1.0 documents may hold (its Char production).
bool isXmlChar(char32_t c);

// "line 3, column 7: ..." for a log line.
std::string describe(const XmlProblem& problem);

} // namespace kelbo
