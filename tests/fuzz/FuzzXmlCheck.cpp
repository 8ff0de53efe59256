// checkXml over arbitrary bytes: it ends, places a refusal inside the document, and gives the
// verdicts that follow from the grammar for a few derived documents.
#include <algorithm>
#include <cstdint>
#include <string>

#include "FuzzChecks.h"
#include "rescompiler/XmlCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelbo;
    const std::string doc(reinterpret_cast<const char*>(data), size);
    XmlProblem problem;
    const bool ok = checkXml(doc, problem);
    if (!ok) {
        FUZZ_CHECK(!problem.what.empty());
        FUZZ_CHECK(problem.line >= 1 && problem.column >= 1);
        FUZZ_CHECK(problem.line <=
                   static_cast<std::size_t>(std::count(doc.begin(), doc.end(), '\n')) + 1);
        FUZZ_CHECK(problem.column <= doc.size() + 1);
    }
    // A byte order mark in front changes nothing (unless the input has one already).
    if (!doc.starts_with("\xEF\xBB\xBF")) {
        XmlProblem withBom;
        FUZZ_CHECK(checkXml("\xEF\xBB\xBF" + doc, withBom) == ok);
    }
    if (ok) {
        XmlProblem after;
        // After the root element only comments, PIs and spaces may follow.
        FUZZ_CHECK(checkXml(doc + "<!-- x --> <?pi x?>\n", after));
        FUZZ_CHECK(!checkXml(doc + "<", after));
        FUZZ_CHECK(!checkXml(doc + "<r/>", after));
        FUZZ_CHECK(doc.find('<') != std::string::npos);
    }
    return 0;
}
