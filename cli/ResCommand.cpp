#include "cli/ResCommand.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <ostream>

#include "messages/Captions.h"
#include "messages/ErrorCodes.h"
#include "projectfile/ProjectFile.h"
#include "resreader/Import.h"
#include "resreader/RcExport.h"
#include "resreader/ResFile.h"

namespace kelbo {
namespace {

int list(const std::string& resPath, std::ostream& out, std::ostream& err, FileSystem& fs) {
    std::string error;
    std::unique_ptr<InputFile> in = fs.openInput(resPath, error);
    if (!in) {
        err << resPath << ": " << error << "\n";
        return 1;
    }
    ResReader reader(*in, resPath);
    if (!reader.start()) {
        err << reader.error() << "\n";
        return 1;
    }
    out << (reader.layout() == ResLayout::Bits32 ? "LAYOUT 32" : "LAYOUT 16") << "\n";
    ResEntry e;
    while (reader.next(e)) {
        out << describeName(e.type) << '\t' << describeName(e.name) << '\t' << hexWord(e.language)
            << '\t' << hexWord(e.memoryFlags) << '\t' << e.dataSize << '\t' << kindWord(e.type)
            << "\n";
    }
    out.flush();
    if (!reader.error().empty()) {
        err << reader.error() << "\n";
        return 1;
    }
    return 0;
}

void printWarnings(const std::vector<std::string>& warnings, std::ostream& err) {
    for (const std::string& w : warnings)
        err << "warning: " << w << "\n";
}

int import(const std::string& resPath, const std::string& projectPath, bool force,
           std::ostream& err, FileSystem& fs) {
    ImportResult result = importResFile(resPath, projectPath, force, fs);
    printWarnings(result.warnings, err);
    if (!result.ok) {
        err << result.error << "\n";
        return 1;
    }
    return 0;
}

int rc(const std::string& projectPath, const std::string& rcPath, std::ostream& err,
       FileSystem& fs) {
    std::optional<Project> project = loadProjectFile(projectPath, fs);
    if (!project) {
        err << projectPath << ": " << errorMessage(kInvalidProjectFile) << "\n";
        return 1;
    }
    RcScript script = exportRcScript(*project, rcPath, fs);
    printWarnings(script.warnings, err);
    if (!script.ok) {
        err << script.error << "\n";
        return 1;
    }
    return 0;
}

} // namespace

int runResCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  FileSystem& fs) {
    CLI::App app{"Reads Windows resource files (.RES) of both layouts back.", "kelbo-res"};
    app.set_version_flag("--version", std::string(kVersion));
    app.require_subcommand(1);
    std::string resPath, projectPath, rcPath;
    bool force = false;
    CLI::App* listCmd = app.add_subcommand("list", "List the resources of a .RES file");
    listCmd->add_option("RESFILE", resPath, "The .RES file")->required();
    CLI::App* importCmd =
        app.add_subcommand("import", "Write a project and its source files from a .RES file");
    importCmd->add_flag("--force", force, "Replace an existing project and files folder");
    importCmd->add_option("RESFILE", resPath, "The .RES file")->required();
    importCmd->add_option("PROJECT", projectPath, "The project to write (.KBP)")->required();
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
    return rc(projectPath, rcPath, err, fs);
}

} // namespace kelbo
