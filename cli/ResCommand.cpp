#include "cli/ResCommand.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <ostream>

#include "messages/Captions.h"
#include "messages/ErrorCodes.h"
#include "peimage/PePatch.h"
#include "platform/Cp1252.h"
#include "projectfile/ProjectCommands.h"
#include "projectfile/ProjectFile.h"
#include "rescompiler/IdentifierCheck.h"
#include "resreader/Import.h"
#include "resreader/RcExport.h"
#include "resreader/ResFile.h"

namespace kelbo {
namespace {

// Messages go out in the terminal's encoding: the paths in them are Windows-1252.
#ifdef _WIN32
std::string toTerminal(const std::string& text) {
    return text;
}
std::string utf8ToTerminal(const std::string& text) {
    std::optional<std::string> narrow = utf8ToCp1252(text);
    return narrow ? *narrow : text;
}
#else
std::string toTerminal(const std::string& text) {
    return cp1252ToUtf8(text);
}
std::string utf8ToTerminal(const std::string& text) {
    return text;
}
#endif

void listEntry(const ResEntry& e, std::ostream& out) {
    out << utf8ToTerminal(describeNameUtf8(e.type)) << '\t'
        << utf8ToTerminal(describeNameUtf8(e.name)) << '\t' << hexWord(e.language) << '\t'
        << hexWord(e.memoryFlags) << '\t' << e.dataSize << '\t' << kindWord(e.type) << "\n";
}

int list(const std::string& resPath, std::ostream& out, std::ostream& err, FileSystem& fs) {
    std::string error;
    std::unique_ptr<InputFile> in = fs.openInput(resPath, error);
    if (!in) {
        err << toTerminal(resPath + ": " + error) << "\n";
        return 1;
    }
    // A program's directory is read whole before anything is listed: its checks span tables.
    if (looksLikeProgram(*in)) {
        std::optional<ResDirectory> dir = readResourceEntries(*in, resPath, error);
        if (!dir) {
            err << toTerminal(error) << "\n";
            return 1;
        }
        out << "LAYOUT 32\n";
        for (const ResEntry& e : dir->entries)
            listEntry(e, out);
        return 0;
    }
    ResReader reader(*in, resPath);
    if (!reader.start()) {
        err << toTerminal(reader.error()) << "\n";
        return 1;
    }
    out << (reader.layout() == ResLayout::Bits32 ? "LAYOUT 32" : "LAYOUT 16") << "\n";
    ResEntry e;
    while (reader.next(e))
        listEntry(e, out);
    out.flush();
    if (!reader.error().empty()) {
        // The name parts are UTF-8 already; the file name is Windows-1252.
        err << toTerminal(reader.error()) << "\n";
        return 1;
    }
    return 0;
}

bool isProjectPath(const std::string& path) {
    return path.size() > 4 && cp1252ToUpper(path.substr(path.size() - 4)) == ".KBP";
}

int patch(const std::string& programPath, const std::string& fromPath, std::string outputPath,
          bool unsign, std::ostream& out, std::ostream& err, FileSystem& fs) {
    if (outputPath.empty())
        outputPath = programPath;
    PatchOptions options;
    options.unsign = unsign;
    PatchResult result;
    if (isProjectPath(fromPath)) {
        Session session;
        if (DirectLoad(session, fromPath, fs) != LoadOutcome::Loaded) {
            err << toTerminal(fromPath) << ": " << errorMessage(kInvalidProjectFile) << "\n";
            return 1;
        }
        if (CountItems(session.project) == 0) {
            err << toTerminal(fromPath) << ": " << errorMessage(kNothingToCompile) << "\n";
            return 1;
        }
        CompileLog log;
        result = compileIntoProgram(session.project, programPath, outputPath, options, log, fs);
        for (const std::string& line : log.lines())
            out << toTerminal(line) << "\n";
    } else {
        result = patchProgram(programPath, fromPath, outputPath, options, fs);
        for (const std::string& line : result.changes)
            out << toTerminal(line) << "\n";
    }
    out.flush();
    if (!result.ok) {
        err << toTerminal(result.error);
        if (result.refusedSigned)
            err << "; --unsign removes the signature, then sign the program again";
        err << "\n";
        return 1;
    }
    return 0;
}

void printWarnings(const std::vector<std::string>& warnings, std::ostream& err) {
    for (const std::string& w : warnings)
        err << "warning: " << toTerminal(w) << "\n";
}

int import(const std::string& resPath, const std::string& projectPath, bool force,
           std::ostream& err, FileSystem& fs) {
    ImportResult result = importResFile(resPath, projectPath, force, fs);
    printWarnings(result.warnings, err);
    if (!result.ok) {
        err << toTerminal(result.error) << "\n";
        return 1;
    }
    return 0;
}

int rc(const std::string& projectPath, const std::string& rcPath, std::ostream& err,
       FileSystem& fs) {
    std::optional<Project> project = loadProjectFile(projectPath, fs);
    if (!project) {
        err << toTerminal(projectPath) << ": " << errorMessage(kInvalidProjectFile) << "\n";
        return 1;
    }
    RcScript script = exportRcScript(*project, rcPath, fs);
    printWarnings(script.warnings, err);
    if (!script.ok) {
        err << toTerminal(script.error) << "\n";
        return 1;
    }
    return 0;
}

} // namespace

int runResCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  FileSystem& fs) {
    CLI::App app{"Reads Windows resource files (.RES) of both layouts and programs back, and "
                 "writes resources into programs.",
                 "kelbo-res"};
    app.set_version_flag("--version", std::string(kVersion));
    app.require_subcommand(1);
    std::string resPath, projectPath, rcPath;
    bool force = false;
    CLI::App* listCmd =
        app.add_subcommand("list", "List the resources of a .RES file or a program");
    listCmd->add_option("RESFILE", resPath, "The .RES file or program")->required();
    CLI::App* importCmd = app.add_subcommand(
        "import", "Write a project and its source files from a .RES file or a program");
    importCmd->add_flag("--force", force, "Replace an existing project and files folder");
    importCmd->add_option("RESFILE", resPath, "The .RES file or program")->required();
    importCmd->add_option("PROJECT", projectPath, "The project to write (.KBP)")->required();
    CLI::App* patchCmd = app.add_subcommand(
        "patch", "Write the resources of a project or a 32-bit .RES file into a program");
    std::string programPath, fromPath, outputPath;
    bool unsign = false;
    patchCmd->add_option("PROGRAM", programPath, "The program (EXE, DLL, OCX...)")->required();
    patchCmd->add_option("FROM", fromPath, "The project (.KBP) or 32-bit .RES file")->required();
    patchCmd->add_option("-o,--output", outputPath, "Write this file instead of the program");
    patchCmd->add_flag("--unsign", unsign,
                       "Remove the signature of a signed program (sign it again afterwards)");
    CLI::App* rcCmd = app.add_subcommand("rc", "Write a project as a resource script");
    rcCmd->add_option("PROJECT", projectPath, "The project (.KBP)")->required();
    rcCmd->add_option("RCFILE", rcPath, "The script to write (.rc)")->required();

    // CLI11 takes the arguments last first.
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& e) {
        int code = app.exit(e, out, err);
        return code == 0 ? 0 : 2;
    }
    if (*listCmd)
        return list(resPath, out, err, fs);
    if (*importCmd)
        return import(resPath, projectPath, force, err, fs);
    if (*patchCmd)
        return patch(programPath, fromPath, outputPath, unsign, out, err, fs);
    return rc(projectPath, rcPath, err, fs);
}

} // namespace kelbo
