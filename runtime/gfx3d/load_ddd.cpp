// LoadDDD: reads a .ddd file (disk or memory name) whole and hands the bytes
// to the binary or text reader; failures go to the error log.
#include <memory>
#include <new>

#include "ddd_format.h"
#include "files/rt_file.h"
#include "host/error_log.h"

namespace vtx {

bool LoadDDD(MeshObject& mesh, const char* fileName) {
    ClearMesh(mesh, true);
    if (fileName == nullptr) return false;
    RtFile file;
    if (!file.openRead(fileName)) return false;
    // A memory file that ends early supplies what is left.
    const int32_t size = file.size() > 0 ? file.size() : 0;
    std::unique_ptr<uint8_t[]> bytes(new (std::nothrow) uint8_t[static_cast<size_t>(size) + 1]);
    if (bytes == nullptr) {
        AppendErrorLog("# malloc error");
        AppendErrorLog(fileName);
        return false;
    }
    const bool readAll = size == 0 || file.read(bytes.get(), size);
    file.close();
    const DddResult result = readAll ? ReadDdd(mesh, bytes.get(), static_cast<size_t>(size)) : DddResult::kReadError;
    if (result == DddResult::kOk) return true;
    ClearMesh(mesh, true);
    if (result == DddResult::kWrongVersion) {
        AppendErrorLog("Wrong .ddd version.");
    } else if (result == DddResult::kReadError || result == DddResult::kMallocError) {
        AppendErrorLog(result == DddResult::kReadError ? "# read error" : "# malloc error");
        AppendErrorLog(fileName);
    }
    return false;
}

}  // namespace vtx
