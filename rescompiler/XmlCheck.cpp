#include "rescompiler/XmlCheck.h"

#include <algorithm>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/Cp1252.h"

namespace kelbo {

bool isXmlChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

namespace {

bool isNameStart(char32_t c) {
    return c == ':' || c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
           (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) ||
           (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) ||
           (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
           (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) ||
           (c >= 0xF900 && c <= 0xFDCF) || (c >= 0xFDF0 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0xEFFFF);
}

bool isNameChar(char32_t c) {
    return isNameStart(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 ||
           (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

struct Decoded {
    char32_t codePoint = 0;
    std::size_t length = 0; // 0: not valid UTF-8
};

// One UTF-8 sequence, refusing overlong forms, surrogates and values beyond U+10FFFF.
Decoded decodeUtf8(std::string_view s, std::size_t pos) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[pos + i]); };
    unsigned char b0 = byte(0);
    if (b0 < 0x80)
        return {b0, 1};
    std::size_t length;
    char32_t cp;
    char32_t least;
    if ((b0 & 0xE0) == 0xC0) {
        length = 2, cp = b0 & 0x1F, least = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3, cp = b0 & 0x0F, least = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4, cp = b0 & 0x07, least = 0x10000;
    } else {
        return {};
    }
    if (s.size() - pos < length)
        return {};
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return {};
        cp = (cp << 6) | (byte(i) & 0x3F);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return {};
    return {cp, length};
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return cp1252Lower(static_cast<unsigned char>(x)) ==
                      cp1252Lower(static_cast<unsigned char>(y));
           });
}

class Checker {
public:
    explicit Checker(std::string_view doc) : doc_(doc) {}

    bool run() {
        if (!checkEncoding() || !checkCharacters())
            return false;
        if (startsWith("<?xml") && pos_ + 5 < doc_.size() && isSpace(doc_[pos_ + 5]) &&
            !xmlDeclaration())
            return false;
        if (!misc(true))
            return false;
        if (atEnd())
            return fail("the document has no root element");
        if (doc_[pos_] != '<')
            return fail("text before the root element");
        if (!rootElement())
            return false;
        if (!misc(false))
            return false;
        if (!atEnd())
            return fail("content after the root element");
        return true;
    }

    std::size_t errorOffset() const { return errorAt_; }
    const std::string& error() const { return error_; }

private:
    bool fail(std::string what) { return failAt(pos_, std::move(what)); }
    bool failAt(std::size_t at, std::string what) {
        errorAt_ = at;
        error_ = std::move(what);
        return false;
    }
    bool atEnd() const { return pos_ >= doc_.size(); }
    bool startsWith(std::string_view s) const { return doc_.substr(pos_).starts_with(s); }
    bool skipSpace() {
        std::size_t start = pos_;
        while (!atEnd() && isSpace(doc_[pos_]))
            ++pos_;
        return pos_ > start;
    }
    bool expect(char c, std::string_view what) {
        if (atEnd() || doc_[pos_] != c)
            return fail("expected " + std::string(what));
        ++pos_;
        return true;
    }

    // A byte order mark is skipped; UTF-16 is recognised and refused by name.
    bool checkEncoding() {
        if (startsWith("\xEF\xBB\xBF")) {
            pos_ = 3;
            return true;
        }
        if (startsWith("\xFF\xFE") || startsWith("\xFE\xFF") ||
            startsWith(std::string_view("<\0", 2)) || startsWith(std::string_view("\0<", 2)))
            return fail("the document is UTF-16; only UTF-8 is accepted");
        return true;
    }

    // Every character is valid UTF-8 and allowed in XML, so the grammar below can work on bytes
    // and decode only inside names.
    bool checkCharacters() {
        for (std::size_t i = pos_; i < doc_.size();) {
            Decoded d = decodeUtf8(doc_, i);
            if (d.length == 0)
                return failAt(i, "the document is not valid UTF-8");
            if (!isXmlChar(d.codePoint))
                return failAt(i, "the character " + codePointName(d.codePoint) +
                                     " is not allowed in XML");
            i += d.length;
        }
        return true;
    }

    bool name(std::string_view& out) {
        std::size_t start = pos_;
        bool first = true;
        while (!atEnd()) {
            Decoded d = decodeUtf8(doc_, pos_);
            if (!(first ? isNameStart(d.codePoint) : isNameChar(d.codePoint)))
                break;
            pos_ += d.length;
            first = false;
        }
        out = doc_.substr(start, pos_ - start);
        return !first;
    }

    bool quoted(std::string_view& out) {
        if (atEnd() || (doc_[pos_] != '"' && doc_[pos_] != '\''))
            return fail("expected a quoted value");
        char quote = doc_[pos_++];
        std::size_t end = doc_.find(quote, pos_);
        if (end == std::string_view::npos)
            return fail("a quoted value is not closed");
        out = doc_.substr(pos_, end - pos_);
        pos_ = end + 1;
        return true;
    }

    // `keyword` = quoted value, with spaces allowed around the sign.
    bool declarationValue(std::string_view keyword, std::string_view& value) {
        pos_ += keyword.size();
        skipSpace();
        if (!expect('=', "'=' after " + std::string(keyword)))
            return false;
        skipSpace();
        return quoted(value);
    }

    bool xmlDeclaration() {
        pos_ += 5;
        skipSpace();
        std::string_view value;
        if (!startsWith("version"))
            return fail("the XML declaration has no version");
        std::size_t at = pos_;
        if (!declarationValue("version", value))
            return false;
        if (value.size() < 3 || !value.starts_with("1.") ||
            value.substr(2).find_first_not_of("0123456789") != std::string_view::npos)
            return failAt(at, "unknown XML version \"" + std::string(value) + "\"");
        bool space = skipSpace();
        if (space && startsWith("encoding")) {
            at = pos_;
            if (!declarationValue("encoding", value))
                return false;
            if (equalsNoCase(value, "UTF-16"))
                return failAt(at, "the document is UTF-16; only UTF-8 is accepted");
            if (!equalsNoCase(value, "UTF-8"))
                return failAt(at, "the encoding \"" + std::string(value) +
                                      "\" is not accepted; only UTF-8 is");
            space = skipSpace();
        }
        if (space && startsWith("standalone")) {
            at = pos_;
            if (!declarationValue("standalone", value))
                return false;
            if (value != "yes" && value != "no")
                return failAt(at, "standalone must be \"yes\" or \"no\"");
            skipSpace();
        }
        if (!startsWith("?>"))
            return fail("the XML declaration is not closed by '?>'");
        pos_ += 2;
        return true;
    }

    // Comments, processing instructions and spaces around the root element.
    bool misc(bool beforeRoot) {
        for (;;) {
            skipSpace();
            if (startsWith("<!--")) {
                if (!comment())
                    return false;
            } else if (startsWith("<?")) {
                if (!processingInstruction())
                    return false;
            } else if (startsWith("<!DOCTYPE")) {
                return fail(beforeRoot ? "document type declarations are not accepted"
                                       : "content after the root element");
            } else {
                return true;
            }
        }
    }

    bool comment() {
        std::size_t start = pos_;
        pos_ += 4;
        std::size_t dashes = doc_.find("--", pos_);
        if (dashes == std::string_view::npos)
            return failAt(start, "a comment is not closed");
        if (dashes + 2 >= doc_.size() || doc_[dashes + 2] != '>')
            return failAt(dashes, "'--' inside a comment");
        pos_ = dashes + 3;
        return true;
    }

    bool processingInstruction() {
        std::size_t start = pos_;
        pos_ += 2;
        std::string_view target;
        if (!name(target))
            return fail("a processing instruction has no valid target");
        if (equalsNoCase(target, "xml"))
            return failAt(start, "the XML declaration is allowed only at the start");
        if (!startsWith("?>") && !skipSpace())
            return fail("expected a space after the processing instruction's target");
        std::size_t end = doc_.find("?>", pos_);
        if (end == std::string_view::npos)
            return failAt(start, "a processing instruction is not closed");
        pos_ = end + 2;
        return true;
    }

    bool cdata() {
        std::size_t start = pos_;
        std::size_t end = doc_.find("]]>", pos_ + 9);
        if (end == std::string_view::npos)
            return failAt(start, "a CDATA section is not closed");
        pos_ = end + 3;
        return true;
    }

    // Without a DTD only the five predefined entities exist.
    bool reference() {
        std::size_t start = pos_;
        ++pos_;
        if (startsWith("#")) {
            ++pos_;
            bool hex = startsWith("x");
            if (hex)
                ++pos_;
            char32_t value = 0;
            std::size_t digits = 0;
            for (; !atEnd(); ++pos_, ++digits) {
                char c = doc_[pos_];
                int d = c >= '0' && c <= '9'          ? c - '0'
                        : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                      : -1;
                if (d < 0)
                    break;
                // Stays above U+10FFFF once past it, so long runs of digits cannot overflow.
                value = std::min<char32_t>(value * (hex ? 16 : 10) + d, 0x110000);
            }
            if (digits == 0 || atEnd() || doc_[pos_] != ';')
                return failAt(start, "a malformed character reference");
            if (!isXmlChar(value))
                return failAt(start, "a character reference to a character not allowed in XML");
            ++pos_;
            return true;
        }
        std::string_view entity;
        if (!name(entity) || atEnd() || doc_[pos_] != ';')
            return failAt(start, "a malformed entity reference ('&' must be written &amp;)");
        if (entity != "amp" && entity != "lt" && entity != "gt" && entity != "apos" &&
            entity != "quot")
            return failAt(start, "the entity &" + std::string(entity) + "; is not declared");
        ++pos_;
        return true;
    }

    bool attributeValue() {
        if (atEnd() || (doc_[pos_] != '"' && doc_[pos_] != '\''))
            return fail("an attribute value must be quoted");
        std::size_t start = pos_;
        char quote = doc_[pos_++];
        for (;;) {
            if (atEnd())
                return failAt(start, "an attribute value is not closed");
            char c = doc_[pos_];
            if (c == quote) {
                ++pos_;
                return true;
            }
            if (c == '<')
                return fail("'<' inside an attribute value");
            if (c == '&') {
                if (!reference())
                    return false;
            } else {
                ++pos_;
            }
        }
    }

    // `declared` gets the number of namespace prefixes the tag declares, for leaveScope.
    bool startTag(std::string_view& element, bool& empty, std::size_t& declared) {
        const std::size_t start = pos_;
        ++pos_;
        if (!name(element))
            return fail("expected an element name after '<'");
        attributes_.clear();
        for (;;) {
            bool space = skipSpace();
            if (startsWith("/>")) {
                pos_ += 2;
                empty = true;
                break;
            }
            if (startsWith(">")) {
                ++pos_;
                empty = false;
                break;
            }
            if (atEnd())
                return fail("the tag <" + std::string(element) + "> is not closed");
            if (!space)
                return fail("expected a space, '>' or '/>' in the tag <" + std::string(element) +
                            ">");
            std::size_t at = pos_;
            std::string_view attribute;
            if (!name(attribute))
                return fail("expected an attribute name in the tag <" + std::string(element) + ">");
            skipSpace();
            if (!expect('=', "'=' after the attribute " + std::string(attribute)))
                return false;
            skipSpace();
            const std::size_t valueAt = pos_;
            if (!attributeValue())
                return false;
            attributes_.push_back({attribute, at, pos_ - valueAt == 2});
        }
        // Sorted by name, then by place, so a twin is reported where it is repeated.
        std::sort(attributes_.begin(), attributes_.end(),
                  [](const Attribute& a, const Attribute& b) {
                      return std::pair(a.name, a.at) < std::pair(b.name, b.at);
                  });
        for (std::size_t i = 1; i < attributes_.size(); ++i) {
            if (attributes_[i].name == attributes_[i - 1].name)
                return failAt(attributes_[i].at, "the attribute " +
                                                     std::string(attributes_[i].name) +
                                                     " is given twice");
        }
        return resolvePrefixes(element, start, declared);
    }

    // A prefix is known only inside the element that declares it. libxml2 merely warns about
    // an undeclared one, but Windows refuses such a manifest when the program starts (the
    // common slip is <asmv3:application> without xmlns:asmv3).
    bool resolvePrefixes(std::string_view element, std::size_t at, std::size_t& declared) {
        declared = 0;
        for (const Attribute& a : attributes_) {
            if (!a.name.starts_with("xmlns:"))
                continue;
            std::string_view prefix = a.name.substr(6);
            if (a.emptyValue)
                return failAt(a.at,
                              "the namespace prefix " + std::string(prefix) + " is declared empty");
            ++inScope_[prefix];
            scope_.push_back(prefix);
            ++declared;
        }
        auto known = [this](std::string_view qualified) {
            std::size_t colon = qualified.find(':');
            if (colon == std::string_view::npos || colon == 0)
                return true;
            std::string_view prefix = qualified.substr(0, colon);
            return prefix == "xml" || prefix == "xmlns" || inScope_.count(prefix) > 0;
        };
        if (!known(element))
            return failAt(at,
                          "the namespace prefix of <" + std::string(element) + "> is not declared");
        for (const Attribute& a : attributes_) {
            if (!known(a.name))
                return failAt(a.at, "the namespace prefix of the attribute " + std::string(a.name) +
                                        " is not declared");
        }
        return true;
    }

    void leaveScope(std::size_t declared) {
        for (; declared > 0; --declared) {
            auto it = inScope_.find(scope_.back());
            if (--it->second == 0)
                inScope_.erase(it);
            scope_.pop_back();
        }
    }

    bool endTag(std::string_view open) {
        std::size_t start = pos_;
        pos_ += 2;
        std::string_view element;
        if (!name(element))
            return fail("expected an element name after '</'");
        if (element != open)
            return failAt(start, "the end tag </" + std::string(element) + "> does not match <" +
                                     std::string(open) + ">");
        skipSpace();
        return expect('>', "'>' to close the end tag </" + std::string(element) + ">");
    }

    // The elements open are kept on a stack of their own, so nesting depth costs no recursion.
    bool rootElement() {
        struct Open {
            std::string_view name;
            std::size_t declared;
        };
        std::vector<Open> open;
        std::string_view element;
        bool empty = false;
        std::size_t declared = 0;
        if (!startTag(element, empty, declared))
            return false;
        if (!empty)
            open.push_back({element, declared});
        while (!open.empty()) {
            if (atEnd())
                return fail("the document ends inside the element <" +
                            std::string(open.back().name) + ">");
            char c = doc_[pos_];
            if (c == '&') {
                if (!reference())
                    return false;
            } else if (c != '<') {
                if (c == ']' && startsWith("]]>"))
                    return fail("']]>' in text");
                ++pos_;
            } else if (startsWith("</")) {
                if (!endTag(open.back().name))
                    return false;
                leaveScope(open.back().declared);
                open.pop_back();
            } else if (startsWith("<!--")) {
                if (!comment())
                    return false;
            } else if (startsWith("<![CDATA[")) {
                if (!cdata())
                    return false;
            } else if (startsWith("<?")) {
                if (!processingInstruction())
                    return false;
            } else if (startsWith("<!")) {
                return fail("unexpected markup '<!'");
            } else {
                if (!startTag(element, empty, declared))
                    return false;
                if (empty)
                    leaveScope(declared);
                else
                    open.push_back({element, declared});
            }
        }
        return true;
    }

    std::string_view doc_;
    std::size_t pos_ = 0;
    struct Attribute {
        std::string_view name;
        std::size_t at;
        bool emptyValue;
    };
    std::vector<Attribute> attributes_;
    // Prefixes declared by the open elements: how often each is in scope, and in which order
    // they were declared.
    std::unordered_map<std::string_view, std::size_t> inScope_;
    std::vector<std::string_view> scope_;
    std::size_t errorAt_ = 0;
    std::string error_;
};

} // namespace

bool checkXml(std::string_view document, XmlProblem& problem) {
    Checker checker(document);
    if (checker.run())
        return true;
    std::size_t at = std::min(checker.errorOffset(), document.size());
    std::string_view before = document.substr(0, at);
    std::size_t lineStart = before.rfind('\n');
    problem.line = static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n')) + 1;
    problem.column = at - (lineStart == std::string_view::npos ? 0 : lineStart + 1) + 1;
    problem.what = checker.error();
    return false;
}

std::string describe(const XmlProblem& problem) {
    return "line " + std::to_string(problem.line) + ", column " + std::to_string(problem.column) +
           ": " + problem.what;
}

} // namespace kelbo
