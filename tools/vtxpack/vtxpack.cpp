// vtxpack: puts files into the pack archive at the end of a program (or any
// file), lists the archive and extracts entries, so a game ships as one file.
//
//   vtxpack add PROGRAM FILE...
//   vtxpack list PROGRAM
//   vtxpack extract PROGRAM NAME [OUT]
//
// Exit status: 0 done, 1 failed (missing file, corrupt archive, ...),
// 2 bad usage. PROGRAM is replaced only by a complete, synced new file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <vantrix/files/pack_archive.h>
#include <vantrix/files/rt_file.h>

#include "file_io.h"
#include "pack_tool.h"

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kBadUsage = 2;
constexpr int64_t kProgressThreshold = 1 << 20;  // bytes to compress before progress lines appear

constexpr const char* kUsage =
    "usage: vtxpack add PROGRAM FILE...\n"
    "       vtxpack list PROGRAM\n"
    "       vtxpack extract PROGRAM NAME [OUT]\n"
    "       vtxpack --help\n"
    "\n"
    "Keeps a game's files in a pack archive at the end of its program, where\n"
    "the runtime looks for any file it does not find on disk.\n"
    "\n"
    "  add      compresses each FILE into an entry named by its base name;\n"
    "           an entry of the same name (case ignored) is replaced, and a\n"
    "           FILE given twice counts once, the last one winning\n"
    "  list     prints each entry: name, stored size, unpacked size\n"
    "  extract  writes the entry the runtime would find under NAME (folders\n"
    "           and case ignored) to OUT, by default the entry's name in the\n"
    "           current folder; OUT may be a folder, or \"-\" for standard output\n"
    "\n"
    "Exit status: 0 done, 1 failed, 2 bad usage.\n";

// Prints "vtxpack: message" on standard error and gives the failure status.
int Fail(const std::string& message) {
    std::fprintf(stderr, "vtxpack: %s\n", message.c_str());
    return kFailed;
}

// Prints a usage problem and the usage, giving the usage status.
int BadUsage(const std::string& message) {
    std::fprintf(stderr, "vtxpack: %s\n%s", message.c_str(), kUsage);
    return kBadUsage;
}

// Opens path through RtFile (as the runtime does); false with a message.
bool OpenArchive(const std::string& path, RtFile& file, std::string& error) {
    int64_t size = 0;
    if (!vtxpack::CheckInputFile(path, vtxpack::kMaxArchiveSize, size, error)) return false;
    if (!file.openRead(path.c_str())) {
        error = path + ": cannot be opened (is another program holding it?)";
        return false;
    }
    return true;
}

// Inspects an opened archive; false with a message when it is corrupt.
bool InspectOrFail(const std::string& path, RtFile& file, vtxpack::Inspection& inspection, std::string& error) {
    inspection = vtxpack::InspectArchive(file);
    if (inspection.state != vtxpack::ArchiveState::kCorrupt) return true;
    error = path + ": corrupt pack archive: " + inspection.problem;
    return false;
}

// `vtxpack list PROGRAM`.
int List(const std::string& program) {
    RtFile file;
    vtxpack::Inspection inspection;
    std::string error;
    if (!OpenArchive(program, file, error) || !InspectOrFail(program, file, inspection, error)) return Fail(error);
    if (inspection.state == vtxpack::ArchiveState::kNone) {
        std::printf("%s: no pack archive\n", program.c_str());
        return kDone;
    }
    if (inspection.entries.empty()) std::printf("%s: empty pack archive\n", program.c_str());
    std::fputs(vtxpack::FormatListing(inspection).c_str(), stdout);
    return std::fflush(stdout) == 0 ? kDone : Fail("cannot write the listing");
}

// `vtxpack extract PROGRAM NAME [OUT]`.
int Extract(const std::string& program, const std::string& name, const std::string* out) {
    RtFile file;
    std::string error;
    if (!OpenArchive(program, file, error)) return Fail(error);
    vtx::PackEntry entry;
    std::vector<uint8_t> unpacked;
    if (!vtxpack::ExtractEntry(file, name, entry, unpacked, error)) return Fail(program + ": " + error);
    file.close();
    if (out != nullptr && *out == "-") {
        vtxpack::DescriptorSink sink(STDOUT_FILENO);
        return sink.write(unpacked.data(), unpacked.size()) ? kDone : Fail("cannot write to standard output");
    }
    if ((out == nullptr || vtxpack::IsFolder(*out)) && (entry.name == "." || entry.name == ".."))
        return Fail("entry '" + entry.name + "' cannot be a file name; give OUT");
    std::string target = out != nullptr ? *out : entry.name;
    if (out != nullptr && vtxpack::IsFolder(*out)) target += "/" + entry.name;
    vtxpack::ReplacementFile replacement;
    if (!replacement.open(target, error) || !replacement.write(unpacked.data(), unpacked.size()))
        return Fail(error.empty() ? "cannot write " + target : error);
    return replacement.commit(error) ? kDone : Fail(error);
}

// The entry names of the files to add, checked before anything is written.
bool CheckNewFiles(const std::vector<std::string>& files, std::vector<std::string>& names, int64_t& totalBytes,
                   std::string& error) {
    totalBytes = 0;
    for (const std::string& path : files) {
        int64_t size = 0;
        if (!vtxpack::CheckInputFile(path, vtxpack::kMaxArchiveSize, size, error)) return false;
        const std::string name = vtx::BaseName(path.c_str());
        if (name.empty() || name.size() > 255) {
            error = path + ": its entry name must be 1 to 255 bytes long (it is " + std::to_string(name.size()) + ")";
            return false;
        }
        names.push_back(name);
        totalBytes += size;
    }
    return true;
}

// Progress lines of one add run: "adding NAME (n/m)" on standard error.
struct Progress {
    bool shown = false;
    int done = 0;
    int total = 0;
};

// Compresses one file into stored entry bytes, reporting progress.
vtxpack::EntryProducer Compressor(const std::string& path, const std::string& name, Progress* progress) {
    return [=](std::vector<uint8_t>& stored, std::string& error) {
        if (progress->shown)
            std::fprintf(stderr, "adding %s (%d/%d)\n", name.c_str(), ++progress->done, progress->total);
        std::vector<uint8_t> data;
        if (!vtxpack::ReadWholeFile(path, data, error)) return false;
        stored = vtx::PackEntryData(data.data(), data.size());
        if (stored.size() < 4) {
            error = path + ": compression failed";
            return false;
        }
        return true;
    };
}

// `vtxpack add PROGRAM FILE...`.
int Add(const std::string& programArgument, const std::vector<std::string>& files) {
    const std::string program = vtxpack::ResolvedPath(programArgument);
    RtFile source;
    vtxpack::Inspection inspection;
    std::vector<std::string> names;
    int64_t totalBytes = 0;
    std::string error;
    if (!OpenArchive(program, source, error) || !InspectOrFail(programArgument, source, inspection, error) ||
        !CheckNewFiles(files, names, totalBytes, error))
        return Fail(error);

    Progress progress;
    progress.shown = isatty(STDERR_FILENO) != 0 || totalBytes > kProgressThreshold;
    std::vector<vtxpack::EntryProducer> producers;
    for (size_t i = 0; i < files.size(); ++i) producers.push_back(Compressor(files[i], names[i], &progress));
    const std::vector<vtxpack::OutputEntry> plan = vtxpack::PlanEntries(inspection, names, producers);
    for (const vtxpack::OutputEntry& output : plan) progress.total += output.existing == nullptr ? 1 : 0;

    vtxpack::ReplacementFile replacement;
    if (!replacement.open(program, error) ||
        !vtxpack::WriteArchive(source, inspection.programEnd, plan, replacement, error))
        return Fail(error);
    // source stays open (and locked, as RtFile opens without sharing) until
    // the new file has taken its place, so a second vtxpack cannot slip in.
    return replacement.commit(error) ? kDone : Fail(error);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return BadUsage("no command given");
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return kDone;
    }
    if (command == "list") {
        if (args.size() != 2) return BadUsage("list takes one PROGRAM");
        return List(args[1]);
    }
    if (command == "extract") {
        if (args.size() != 3 && args.size() != 4) return BadUsage("extract takes PROGRAM NAME [OUT]");
        return Extract(args[1], args[2], args.size() == 4 ? &args[3] : nullptr);
    }
    if (command == "add") {
        if (args.size() < 3) return BadUsage("add takes PROGRAM and at least one FILE");
        return Add(args[1], std::vector<std::string>(args.begin() + 2, args.end()));
    }
    return BadUsage("unknown command '" + command + "'");
}
