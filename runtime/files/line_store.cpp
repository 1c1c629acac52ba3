// The line store: selection, reads, puts and write-back.
#include "files/line_store_internal.h"

#include <cstdlib>
#include <cstring>

#include "files/atomic_write.h"
#include "files/last_error_internal.h"
#include "files/memory_names.h"
#include "files/pack_resolver_internal.h"
#include "files/rt_file.h"
#include "files/text_lines.h"

namespace vtx {
namespace {

constexpr uint32_t kNoSuchFile = 3;
constexpr uint32_t kBadLine = 7;

struct LineStore {
    RtString fileName;      // the loaded file; empty at start
    std::string writePath;  // where it is written back: the name made absolute when loaded
    RtString lines[kLineStoreLines];
    int32_t highest = 0;    // the highest line loaded or written
    bool changed = false;
};

LineStore& Store() {
    static LineStore store;
    return store;
}

bool SameBytes(const RtString& a, const RtString& b) {
    return a.length() == b.length() && std::memcmp(a.c_str(), b.c_str(), a.length()) == 0;
}

// At most kLineStoreLineLength characters of text.
RtString Cut(const char* text, size_t length) {
    if (length > kLineStoreLineLength) length = kLineStoreLineLength;
    return RtString(std::string(text, length).c_str());
}

void RegisterWriteBackAtExit() {
    static const bool registered = std::atexit([] { WriteBackLineStore(); }) == 0;
    (void)registered;
}

// Makes fileName the loaded file; false (last error 3) when it cannot be
// opened, the store then being empty under that name.
bool Select(const RtString& fileName) {
    LineStore& store = Store();
    if (SameBytes(fileName, store.fileName)) return true;
    RegisterWriteBackAtExit();
    WriteBackLineStore();  // a failure is silent: the old file stays as it was
    for (RtString& line : store.lines) line.clear();
    store.highest = 0;
    store.changed = false;
    store.fileName = fileName;
    store.writePath = IsMemoryName(fileName.c_str()) ? std::string() : platform::AbsolutePath(fileName.c_str());
    RtString resolved;
    ResolveFile(LoaderResolver(), fileName, resolved, true);
    RtFile file;
    std::string bytes;
    if (file.openRead(resolved.c_str())) {
        bytes.resize(static_cast<size_t>(file.size()));
        if (bytes.empty() || file.read(bytes.data(), file.size())) {
            const int32_t count = ParseLineStore(bytes.data(), bytes.size(), store.lines);
            store.highest = count > 0 ? count - 1 : 0;
            return true;
        }
    }
    SetLastError(kNoSuchFile);
    return false;
}

bool ValidLine(int32_t line) { return line >= 0 && line < kLineStoreLines; }

// A line number given as a real, truncated toward zero; -1 when outside.
int32_t LineNumber(double line) { return line > -1.0 && line < kLineStoreLines ? static_cast<int32_t>(line) : -1; }

}  // namespace

int32_t ParseLineStore(const char* data, size_t size, RtString (&lines)[kLineStoreLines]) {
    const char* at = data;
    const char* end = data + size;
    const char* line;
    size_t length;
    int32_t count = 0;
    while (count < kLineStoreLines && NextTextLine(at, end, line, length)) lines[count++] = Cut(line, length);
    return count;
}

std::string FormatLineStore(const RtString (&lines)[kLineStoreLines], int32_t highest) {
    std::string out;
    for (int32_t n = 0; n <= highest && n < kLineStoreLines; ++n) {
        out.append(lines[n].c_str(), lines[n].length());
        out += "\r\n";
    }
    return out;
}

bool WriteBackLineStore() {
    LineStore& store = Store();
    if (!store.changed || store.fileName.length() == 0 || IsMemoryName(store.fileName.c_str())) return true;
    const std::string bytes = FormatLineStore(store.lines, store.highest);
    if (!WriteFileAtomically(store.writePath.c_str(), bytes.data(), bytes.size())) return false;
    store.changed = false;
    return true;
}

}  // namespace vtx

RtString LineStoreGet(const RtString& fileName, int32_t line) {
    if (!vtx::ValidLine(line)) {
        vtx::SetLastError(vtx::kBadLine);
        return RtString("NO_DATA");
    }
    if (!vtx::Select(fileName)) return RtString("NO_FILE");
    const RtString& text = vtx::Store().lines[line];
    uint32_t length = text.length();
    while (length > 0 && static_cast<unsigned char>(text.c_str()[length - 1]) < 32) --length;
    if (length == 0) return RtString("NO_DATA");
    return vtx::Cut(text.c_str(), length);
}

double LineStoreGetNumber(const RtString& fileName, double line) {
    return static_cast<double>(LineStoreGet(fileName, vtx::LineNumber(line)));
}

int32_t LineStoreGetInteger(const RtString& fileName, double line) {
    return static_cast<int32_t>(LineStoreGet(fileName, vtx::LineNumber(line)));
}

void LineStorePut(const RtString& fileName, int32_t line, const RtString& text) {
    if (!vtx::ValidLine(line)) {
        vtx::SetLastError(vtx::kBadLine);
        return;
    }
    ClearLastError();
    vtx::Select(fileName);  // a file that cannot be opened is created by the write-back
    vtx::LineStore& store = vtx::Store();
    store.lines[line] = vtx::Cut(text.c_str(), text.length());
    if (line > store.highest) store.highest = line;
    store.changed = true;
}

void LineStorePutNumber(const RtString& fileName, int32_t line, double value) {
    LineStorePut(fileName, line, RtString(value));
}
