// LoadDDD: reads a .ddd file (disk or memory name) whole and hands the bytes
// to the binary or text reader; failures go to the error log.
#include <vector>

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
    std::vector<uint8_t> bytes(static_cast<size_t>(file.size() > 0 ? file.size() : 0));
    const bool readAll = bytes.empty() || file.read(bytes.data(), static_cast<int32_t>(bytes.size()));
    file.close();
    const DddResult result = readAll ? ReadDdd(mesh, bytes.data(), bytes.size()) : DddResult::kReadError;
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
